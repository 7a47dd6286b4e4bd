// A stand-in for an installed program of the suite: a window titled with the
// program's name that shows where it is installed, what it was given to open
// and the settings the installation wrote for it (DATA\<name>.ini beside
// PROGRAM\, or FAX.ini in the Windows directory when that does not exist).
#include <windows.h>

#include <cstring>

namespace {

char text[16384];  // everything the window shows, line after line

void append(const char* s)
{
    std::size_t used = std::strlen(text);
    std::size_t room = sizeof text - 1 - used;
    std::size_t n = std::strlen(s);
    if (n > room) n = room;
    std::memcpy(text + used, s, n);
    text[used + n] = '\0';
}

// Appends a file's text; false when it cannot be read or is empty.
bool append_file(const char* path)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buffer[8192];
    DWORD got = 0;
    BOOL ok = ReadFile(h, buffer, sizeof buffer - 1, &got, nullptr);
    CloseHandle(h);
    if (!ok || got == 0) return false;
    buffer[got] = '\0';
    append(buffer);
    return true;
}

const char* arguments()
{
    const char* args = GetCommandLineA();
    if (*args == '"') {
        args = std::strchr(args + 1, '"');
        args = args ? args + 1 : "";
    } else {
        while (*args && *args != ' ') ++args;
    }
    while (*args == ' ') ++args;
    return args;
}

// The program's name (its file name without extension) and what it shows.
void describe(char name[MAX_PATH])
{
    char dir[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, dir, sizeof dir);
    char* slash = std::strrchr(dir, '\\');
    char* base = slash ? slash + 1 : dir;
    lstrcpynA(name, base, MAX_PATH);
    if (char* dot = std::strrchr(name, '.')) *dot = '\0';
    if (slash) slash[1] = '\0';

    append(name);
    append(" - installed in ");
    append(dir);
    append("\r\n");
    if (*arguments()) {
        append("Opened with: ");
        append(arguments());
        append("\r\n");
    }

    char ini[MAX_PATH * 2];
    lstrcpynA(ini, dir, MAX_PATH);
    lstrcatA(ini, "..\\DATA\\");
    lstrcatA(ini, name);
    lstrcatA(ini, ".ini");
    append("\r\nSettings (");
    std::size_t mark = std::strlen(text);
    append(ini);
    append("):\r\n");
    if (append_file(ini)) return;

    text[mark] = '\0';
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH - 10);
    lstrcatA(windows, "\\FAX.ini");
    append(windows);
    append("):\r\n");
    if (!append_file(windows)) append("(none)\r\n");
}

LRESULT on_paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    RECT r;
    GetClientRect(window, &r);
    InflateRect(&r, -10, -8);
    DrawTextA(dc, text, -1, &r, DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
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
    char name[MAX_PATH];
    describe(name);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "VEQ-STANDIN";
    if (!RegisterClassA(&wc)) return 1;
    HWND window = CreateWindowA("VEQ-STANDIN", name, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 560, 420,
                                nullptr, nullptr, instance, nullptr);
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
