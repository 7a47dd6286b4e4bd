// A stand-in for an installed program of the suite: a window titled with the
// program's name that shows where it is installed, what it was given to open
// and the settings the installation wrote for it (DATA\<name>.ini beside
// PROGRAM\, or FAX.ini in the Windows directory when that does not exist).
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> lines;

std::string read_text(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0 && text.size() < 32768) text.append(buffer, got);
    CloseHandle(h);
    return text;
}

void add_text(const std::string& text)
{
    std::string line;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
}

// The program's name, its directory and the installation below it.
void describe(std::string* name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string full = path;
    std::size_t slash = full.rfind('\\');
    std::string dir = full.substr(0, slash + 1);
    *name = full.substr(slash + 1);
    std::size_t dot = name->rfind('.');
    if (dot != std::string::npos) name->resize(dot);

    lines.push_back(*name + " - installed in " + dir);
    const char* args = GetCommandLineA();
    if (*args == '"') {
        args = std::strchr(args + 1, '"');
        args = args ? args + 1 : "";
    } else {
        while (*args && *args != ' ') ++args;
    }
    while (*args == ' ') ++args;
    if (*args) lines.push_back(std::string("Opened with: ") + args);
    lines.push_back("");

    std::string ini = dir + "..\\DATA\\" + *name + ".ini";
    std::string text = read_text(ini);
    if (text.empty()) {
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        ini = std::string(windows) + "\\FAX.ini";
        text = read_text(ini);
    }
    lines.push_back("Settings (" + ini + "):");
    add_text(text.empty() ? "(none)" : text);
}

LRESULT on_paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    int y = 8;
    for (const std::string& line : lines) {
        TextOutA(dc, 10, y, line.c_str(), int(line.size()));
        y += tm.tmHeight + 2;
    }
    EndPaint(window, &ps);
    return 0;
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_PAINT: return on_paint(window);
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    std::string name;
    describe(&name);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VEQ-STANDIN";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowA("VEQ-STANDIN", name.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560,
                                420, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
