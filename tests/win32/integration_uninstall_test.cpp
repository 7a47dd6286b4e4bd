// ZVUNINST.EXE against a fake installation: it removes what the installation
// registered and installed, asks (here: is told) about the user's faxes and
// mailboxes, and leaves everything else alone, whatever a user has planted in
// the installation folder: a library, links, a record naming other keys.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>
#include <vector>

#include "tests/win32/integration_fixture.h"
#include "tests/support/logcheck.h"
#include "tests/win32/support/winpaths.h"

namespace {

const char TITLE[] = "VEQ Uninstall Test";
const char UNINSTALL[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VEQ Uninstall Test";
// A German installation's verbs, as the installer writes them: code page 1252 bytes.
const char* const GERMAN_VERBS[] = {"&\xd6" "ffnen", "&Drucken", "&Faxen", "Gr\xfc\xdf"};
const std::string GERMAN_RECORD = "vq4,&\xd6" "ffnen\r\nvq4,&Drucken\r\nvq4,&Faxen\r\nvq4,Gr\xfc\xdf\r\n";
// The installation's title and file types, as its UNINSTAL.DAT lists them.
const std::string TYPES_RECORD =
    std::string(TITLE) + "\r\nvq1,Open\r\nvq1,Print\r\nvq1,Fax\r\nvq3,Open\r\n" + GERMAN_RECORD;

std::string companion(const std::string& relative)
{
    std::string dll = winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL"));
    std::string build = dll.substr(0, dll.rfind('\\'));
    return build.substr(0, build.rfind('\\') + 1) + relative;
}

std::string special_folder(int csidl)
{
    LPITEMIDLIST list = nullptr;
    char path[MAX_PATH] = {};
    if (SHGetSpecialFolderLocation(nullptr, csidl, &list) != S_OK) return "";
    SHGetPathFromIDListA(list, path);
    CoTaskMemFree(list);
    return path;
}

void setreg(HKEY root, const std::string& key, const char* name, const std::string& value)
{
    HKEY h;
    RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), DWORD(value.size() + 1));
    RegCloseKey(h);
}

bool haskey(HKEY root, const std::string& key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

std::string windows_dir()
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    return windows;
}

// A real shortcut, as the installation makes them.
bool make_shortcut(const std::string& file, const std::string& target)
{
    IShellLinkA* link = nullptr;
    if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         reinterpret_cast<void**>(&link)) != S_OK)
        return false;
    IPersistFile* persist = nullptr;
    HRESULT hr = link->SetPath(target.c_str());
    if (hr == S_OK) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (hr == S_OK) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        hr = persist->Save(wide, TRUE);
        persist->Release();
    }
    link->Release();
    return hr == S_OK;
}

// The host's name of a Wine path; empty outside Wine.
std::string unix_name(const std::string& path)
{
    typedef char*(CDECL * unix_name_proc)(const WCHAR*);
    auto proc = reinterpret_cast<unix_name_proc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!proc) return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* name = proc(wide);
    if (!name) return "";
    std::string out = name;
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

// Starts a host program (Wine starts those too). Wine hands back no handle
// to wait on, so the caller watches for the program's effect.
bool start_host(const char* program, std::string line)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}

bool wait_for(const std::string& path, bool present)
{
    for (int i = 0; i < 100; ++i) {
        if ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == present) return true;
        Sleep(50);
    }
    return false;
}

// What the installation made, as its record lists it.
const char MADE[] =
    "D,PROGRAM\r\nD,DATA\r\nD,TEMP\r\nD,SCRIPT1\r\nD,RECEIVE\r\nD,SEND\r\nD,MBOX000\r\nD,MBOX000\\DRECV\r\n"
    "D,MBOX000\\DSEND\r\nD,MBOX000\\FOD\r\nF,PROGRAM\\ZELTAFAX.EXE\r\nF,DATA\\ZELTAFAX.ini\r\n"
    "F,SCRIPT1\\prompt.vox\r\n";

class Uninstaller : public WineIntegrationTest {
protected:
    std::string app, desktop, sendto, group, ourprogram, ourcommand;
    std::vector<std::string> hostlinks;

    // An installed tree in `folder` (ending in a backslash): the directories of
    // its record `made` (its D lines), the files given with their contents, the
    // record itself and, beside it, the title and file types (`types`).
    static void make_installation(const std::string& folder, const std::string& types, const std::string& made,
                                  const std::vector<std::pair<std::string, std::string>>& files)
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        for (std::size_t at = 0; at < made.size();) {
            std::size_t end = made.find("\r\n", at);
            if (end == std::string::npos) end = made.size();
            if (made.compare(at, 2, "D,") == 0)
                CreateDirectoryA((folder + made.substr(at + 2, end - at - 2)).c_str(), nullptr);
            at = end + 2;
        }
        for (const auto& f : files) write(folder + f.first, f.second);
        write(folder + "DATA\\UNINSTAL.DAT", types);
        write(folder + "DATA\\UNINSTAL.LST", made);
    }

    void SetUp() override
    {
        WineIntegrationTest::SetUp();
        CoInitialize(nullptr);
        app = root + "APP\\";
        ourprogram = app + "PROGRAM\\ZELTAFAX.EXE";
        ourcommand = "\"" + ourprogram + "\" \"%1\"";
        make_installation(app, TYPES_RECORD, MADE,
                          {{"PROGRAM\\ZELTAFAX.EXE", "program"}, {"DATA\\ZELTAFAX.ini", "[GENERAL]\r\n"},
                           {"SCRIPT1\\prompt.vox", "voice"}, {"RECEIVE\\fax1.001", "received fax"},
                           {"SEND\\fax2.001", "sent fax"}, {"MBOX000\\DRECV\\message.vox", "a message"},
                           {"MYNOTES.TXT", "the user's own"}});
        CreateDirectoryA((app + "MYSTUFF").c_str(), nullptr);
        write(app + "MYSTUFF\\keep.txt", "the user's own");
        CreateDirectoryA((root + "OTHER").c_str(), nullptr);
        write(root + "OTHER\\other.txt", "someone else's");

        for (const char* verb : {"Open", "Print", "Fax"})
            setreg(HKEY_CLASSES_ROOT, std::string("vq1file\\shell\\") + verb + "\\command", nullptr, ourcommand);
        setreg(HKEY_CLASSES_ROOT, ".vq1", nullptr, "vq1file");
        setreg(HKEY_CLASSES_ROOT, "vq1file", nullptr, "Fax Image");
        // Unquoted, as older installations wrote it.
        setreg(HKEY_CLASSES_ROOT, "vq3file\\shell\\Open\\command", nullptr, ourprogram + " %1");
        for (const char* verb : GERMAN_VERBS)
            setreg(HKEY_CLASSES_ROOT, std::string("vq4file\\shell\\") + verb + "\\command", nullptr, ourcommand);
        setreg(HKEY_CLASSES_ROOT, ".vq4", nullptr, "vq4file");
        setreg(HKEY_CLASSES_ROOT, ".vq3", nullptr, "otherprogramfile");  // taken over since
        setreg(HKEY_CLASSES_ROOT, ".vq2", nullptr, "vq2file");            // not ours
        setreg(HKEY_LOCAL_MACHINE, UNINSTALL, "DisplayName", TITLE);
        setreg(HKEY_LOCAL_MACHINE, UNINSTALL, "UninstallString",
               "\"" + windows_dir() + "\\ZVUNINST.EXE\" /PATH=\"" + app.substr(0, app.size() - 1) + "\"");

        desktop = special_folder(CSIDL_DESKTOPDIRECTORY);
        sendto = special_folder(CSIDL_SENDTO);
        group = special_folder(CSIDL_PROGRAMS) + "\\" + TITLE;
        ASSERT_TRUE(make_shortcut(desktop + "\\" + TITLE + ".LNK", ourprogram));
        ASSERT_TRUE(make_shortcut(sendto + "\\" + TITLE + ".LNK", ourprogram));
        CreateDirectoryA(group.c_str(), nullptr);
        ASSERT_TRUE(make_shortcut(group + "\\Fax.lnk", ourprogram));
    }

    void TearDown() override
    {
        for (const char* key : {".vq1", ".vq2", ".vq3", "vq1file\\shell\\Open\\command", "vq1file\\shell\\Open",
                                "vq1file\\shell", "vq1file", "vq3file\\shell\\Open\\command", "vq3file\\shell\\Open",
                                "vq3file\\shell", "vq3file"})
            RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        for (const char* verb : GERMAN_VERBS) {
            RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string("vq4file\\shell\\") + verb + "\\command").c_str());
            RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string("vq4file\\shell\\") + verb).c_str());
        }
        for (const char* key : {"vq4file\\shell", "vq4file", ".vq4"}) RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL);
        DeleteFileA((desktop + "\\" + TITLE + ".LNK").c_str());
        DeleteFileA((sendto + "\\" + TITLE + ".LNK").c_str());
        remove_tree(group + "\\");
        // Before the fixture's removal, which would follow them.
        for (const std::string& link : hostlinks) {
            if (start_host("Z:\\bin\\rm", "rm -f \"" + unix_name(link) + "\"")) wait_for(link, false);
        }
        CoUninitialize();
        WineIntegrationTest::TearDown();
    }

    // A host symbolic link, which Wine shows as a directory and reparse point.
    bool plant_link(const std::string& link, const std::string& target)
    {
        std::string from = unix_name(link), to = unix_name(target);
        if (from.empty() || to.empty()) return false;
        if (!start_host("Z:\\bin\\ln", "ln -s \"" + to + "\" \"" + from + "\"")) return false;
        hostlinks.push_back(link);
        if (!wait_for(link, true)) return false;
        DWORD a = GetFileAttributesA(link.c_str());
        return (a & FILE_ATTRIBUTE_DIRECTORY) && (a & FILE_ATTRIBUTE_REPARSE_POINT);
    }

    DWORD run(const std::string& options)
    {
        std::string program = companion("companions\\uninstall\\ZVUNINST.EXE");
        std::string line = "\"" + program + "\" " + options;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 999;
        WaitForSingleObject(pi.hProcess, 60000);
        DWORD code = 998;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }

    struct question {
        std::string caption, text;
        DWORD exitcode = 998;
    };

    static BOOL CALLBACK find_box(HWND window, LPARAM lparam)
    {
        auto* found = reinterpret_cast<std::pair<DWORD, HWND>*>(lparam);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != found->first || !IsWindowVisible(window)) return TRUE;
        found->second = window;
        return FALSE;
    }

    static BOOL CALLBACK collect_text(HWND window, LPARAM lparam)
    {
        char kind[32] = {}, text[1024] = {};
        GetClassNameA(window, kind, sizeof kind);
        GetWindowTextA(window, text, sizeof text);
        if (lstrcmpiA(kind, "Static") == 0) *reinterpret_cast<std::string*>(lparam) += text;
        return TRUE;
    }

    // Runs the uninstaller with its questions and answers the first with No.
    question decline(const std::string& options)
    {
        question q;
        std::string line = "\"" + companion("companions\\uninstall\\ZVUNINST.EXE") + "\" " + options;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return q;
        std::pair<DWORD, HWND> found{pi.dwProcessId, nullptr};
        for (int i = 0; i < 300 && !found.second; ++i) {
            Sleep(100);
            EnumWindows(find_box, reinterpret_cast<LPARAM>(&found));
        }
        if (found.second) {
            Sleep(200);
            char caption[256] = {};
            GetWindowTextA(found.second, caption, sizeof caption);
            q.caption = caption;
            EnumChildWindows(found.second, collect_text, reinterpret_cast<LPARAM>(&q.text));
            PostMessageA(found.second, WM_COMMAND, IDNO, 0);
        }
        if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 997);
        GetExitCodeProcess(pi.hProcess, &q.exitcode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return q;
    }

    // Runs the uninstaller with its questions and answers each box in turn;
    // gives the boxes' texts.
    std::vector<std::string> converse(const std::string& options, std::vector<WPARAM> answers, DWORD* exitcode)
    {
        std::vector<std::string> texts;
        std::string line = "\"" + companion("companions\\uninstall\\ZVUNINST.EXE") + "\" " + options;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return texts;
        for (WPARAM answer : answers) {
            std::pair<DWORD, HWND> found{pi.dwProcessId, nullptr};
            for (int i = 0; i < 300 && !found.second; ++i) {
                if (WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0) break;
                EnumWindows(find_box, reinterpret_cast<LPARAM>(&found));
            }
            if (!found.second) break;
            Sleep(200);
            std::string text;
            EnumChildWindows(found.second, collect_text, reinterpret_cast<LPARAM>(&text));
            texts.push_back(text);
            PostMessageA(found.second, WM_COMMAND, answer, 0);
            // The box goes before the next one may be looked for.
            for (int i = 0; i < 100 && IsWindow(found.second); ++i) Sleep(50);
        }
        if (WaitForSingleObject(pi.hProcess, 30000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 997);
        GetExitCodeProcess(pi.hProcess, exitcode);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return texts;
    }

    void expect_ours_removed()
    {
        for (const char* d : {"PROGRAM", "DATA", "TEMP", "SCRIPT1"}) EXPECT_FALSE(exists(app + d)) << d;
        EXPECT_FALSE(haskey(HKEY_CLASSES_ROOT, "vq1file"));
        EXPECT_FALSE(haskey(HKEY_CLASSES_ROOT, ".vq1"));
        EXPECT_FALSE(haskey(HKEY_CLASSES_ROOT, "vq3file"));
        for (const char* verb : GERMAN_VERBS)
            EXPECT_FALSE(haskey(HKEY_CLASSES_ROOT, std::string("vq4file\\shell\\") + verb)) << verb;
        EXPECT_FALSE(haskey(HKEY_CLASSES_ROOT, "vq4file")) << "every German verb gone, the type goes";
        EXPECT_FALSE(haskey(HKEY_CLASSES_ROOT, ".vq4"));
        EXPECT_FALSE(haskey(HKEY_LOCAL_MACHINE, UNINSTALL));
        EXPECT_FALSE(exists(desktop + "\\" + TITLE + ".LNK"));
        EXPECT_FALSE(exists(sendto + "\\" + TITLE + ".LNK"));
        EXPECT_FALSE(exists(group));
    }

    static std::string regvalue_ini(const std::string& file, const char* key)
    {
        char value[512] = {};
        GetPrivateProfileStringA("Result", key, "<none>", value, sizeof value, file.c_str());
        return value;
    }

    void expect_others_kept()
    {
        EXPECT_EQ(read(app + "MYNOTES.TXT"), "the user's own");
        EXPECT_EQ(read(app + "MYSTUFF\\keep.txt"), "the user's own");
        EXPECT_EQ(read(root + "OTHER\\other.txt"), "someone else's");
        EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, ".vq3", nullptr), "otherprogramfile") << "taken over by another program";
        EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, ".vq2", nullptr), "vq2file") << "never ours";
    }
};

// The number of lines of text that start with head.
int count_lines(const std::string& text, const std::string& head)
{
    int n = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) end = text.size();
        if (text.compare(at, head.size(), head) == 0) ++n;
        at = end + 2;
    }
    return n;
}

TEST_F(Uninstaller, KeepingTheUsersFaxesRemovesEverythingElseOfOurs)
{
    // The texts' library in the program directory is let go before that goes.
    CopyFileA(winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL_DE")).c_str(), (app + "PROGRAM\\VEQINS32.DLL").c_str(),
              FALSE);
    // Lines the checks refuse, told in the log and never followed.
    write(app + "DATA\\UNINSTAL.LST", std::string(MADE) + "F,..\\OTHER\\other.txt\r\nJUNK\r\nF,RECEIVE\\fax1.001\r\n");
    CreateDirectoryA((root + "MY LOGS").c_str(), nullptr);
    std::string logfile = root + "MY LOGS\\removal.log", resultfile = root + "MY LOGS\\result.ini";
    ASSERT_EQ(run("/N /PATH=" + app + " /LOG=\"" + logfile + "\" /RESULT=\"" + resultfile + "\""), 0u);
    expect_ours_removed();
    expect_others_kept();
    EXPECT_EQ(read(app + "RECEIVE\\fax1.001"), "received fax");
    EXPECT_EQ(read(app + "SEND\\fax2.001"), "sent fax");
    EXPECT_EQ(read(app + "MBOX000\\DRECV\\message.vox"), "a message");

    // Every object removed and every line or object left, with its reason.
    std::string log = read(logfile);
    for (const std::string& line :
         {"removed file=" + app + "PROGRAM\\ZELTAFAX.EXE", "removed file=" + app + "SCRIPT1\\prompt.vox",
          "removed directory=" + app + "PROGRAM", "removed file=" + app + "DATA\\UNINSTAL.LST",
          std::string("removed key=HKEY_CLASSES_ROOT\\vq1file\\shell\\Open"),
          std::string("removed key=HKEY_CLASSES_ROOT\\.vq1"), "removed key=HKEY_LOCAL_MACHINE\\" + std::string(UNINSTALL),
          "removed shortcut=" + desktop + "\\" + TITLE + ".LNK", "removed shortcut=" + group + "\\Fax.lnk",
          std::string("removed group=") + TITLE, std::string("kept record line=F,..\\OTHER\\other.txt (outside the installation)"),
          std::string("kept record line=JUNK (not a record line)"),
          "kept record line=" + app + "RECEIVE\\fax1.001 (the user's data kept)",
          "kept record line=" + app + "MBOX000\\DRECV (the user's data kept)",
          "kept directory=" + app.substr(0, app.size() - 1) + " (not empty)"})
        EXPECT_TRUE(logcheck::contains(log, line + "\r\n"));
    EXPECT_EQ(log.find("fax1.001 (", log.find("fax1.001 (") + 1), std::string::npos) << log;
    EXPECT_FALSE(logcheck::contains(log, "(a link)")) << "no link here: what went with its directory is not kept";

    // The result in the installer's form, its counts those of the log.
    EXPECT_EQ(regvalue_ini(resultfile, "Status"), "0");
    EXPECT_EQ(regvalue_ini(resultfile, "Removed"), std::to_string(count_lines(log, "removed "))) << log;
    EXPECT_EQ(regvalue_ini(resultfile, "Kept"), std::to_string(count_lines(log, "kept "))) << log;
    EXPECT_GE(count_lines(log, "removed "), 20) << log;
    EXPECT_EQ(regvalue_ini(resultfile, "Log"), logfile);
    EXPECT_NE(regvalue_ini(resultfile, "Text").find(TITLE), std::string::npos) << "the closing message names the product";
}

TEST_F(Uninstaller, DeletingTheUsersFaxesTooLeavesOnlyForeignFiles)
{
    ASSERT_EQ(run("/Y /PATH=" + app), 0u);
    expect_ours_removed();
    expect_others_kept();
    for (const char* d : {"RECEIVE", "SEND", "MBOX000"}) EXPECT_FALSE(exists(app + d)) << d;
    EXPECT_TRUE(exists(app)) << "the user's own files keep the directory";
}

TEST_F(Uninstaller, AsksInTheLanguageOfTheLibraryTheInstallationLeft)
{
    std::string dll = winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL_DE"));
    ASSERT_TRUE(CopyFileA(dll.c_str(), (app + "PROGRAM\\VEQINS32.DLL").c_str(), FALSE)) << dll;
    question q = decline("/PATH=" + app);
    EXPECT_EQ(q.exitcode, 1u) << "declined";
    EXPECT_EQ(q.caption, "Deinstallation");
    EXPECT_EQ(q.text, std::string(TITLE) + " und alle zugeh\xf6rigen Komponenten aus " + app + " entfernen?");
    EXPECT_TRUE(exists(app + "PROGRAM\\ZELTAFAX.EXE")) << "nothing removed";
    EXPECT_TRUE(haskey(HKEY_CLASSES_ROOT, "vq4file\\shell\\&\xd6" "ffnen"));
}

TEST_F(Uninstaller, AsksInEnglishWithoutALibrary)
{
    question q = decline("/PATH=" + app);
    EXPECT_EQ(q.exitcode, 1u) << "declined";
    EXPECT_EQ(q.caption, "Uninstall");
    EXPECT_EQ(q.text, "Remove " + std::string(TITLE) + " from " + app + " and all of its components?");
}

TEST_F(Uninstaller, EmptiedInstallationDirectoryIsRemoved)
{
    DeleteFileA((app + "MYNOTES.TXT").c_str());
    remove_tree(app + "MYSTUFF\\");
    ASSERT_EQ(run("-y /PATH=\"" + app + "\""), 0u);
    EXPECT_FALSE(exists(app));
    EXPECT_TRUE(exists(root + "OTHER\\other.txt"));
}

TEST_F(Uninstaller, DirectoryWithoutRecordIsNotAnInstallationAndStaysUntouched)
{
    DeleteFileA((app + "DATA\\UNINSTAL.DAT").c_str());
    EXPECT_EQ(run("/Y /PATH=" + app + " /RESULT=" + root + "result.ini"), 2u);
    EXPECT_EQ(regvalue_ini(root + "result.ini", "Status"), "2");
    EXPECT_EQ(regvalue_ini(root + "result.ini", "Removed"), "0");
    EXPECT_EQ(regvalue_ini(root + "result.ini", "Log"), "") << "no log was asked for";
    EXPECT_TRUE(exists(app + "PROGRAM\\ZELTAFAX.EXE"));
    EXPECT_TRUE(exists(app + "RECEIVE\\fax1.001"));
    EXPECT_TRUE(haskey(HKEY_CLASSES_ROOT, "vq1file"));
    EXPECT_TRUE(haskey(HKEY_LOCAL_MACHINE, UNINSTALL));
}

TEST_F(Uninstaller, RecordWithADamagedTitleRemovesNothing)
{
    // Each would name another key, folder or group: the parent of our
    // uninstall key, every shortcut of the Programs folder, a device, a
    // second DDE command.
    std::string other = special_folder(CSIDL_PROGRAMS) + "\\Other Program.lnk";
    write(other, "another program's link");
    for (const char* title : {"", "..\\..", "Evil\\..", ".", "CON", "A)][DeleteGroup(B"}) {
        write(app + "DATA\\UNINSTAL.DAT", std::string(title) + "\r\nvq1,Open\r\n");
        EXPECT_EQ(run("/Y /PATH=" + app), 2u) << title;
    }
    EXPECT_TRUE(exists(other)) << "a title \".\" named the Programs folder itself";
    DeleteFileA(other.c_str());
    EXPECT_TRUE(exists(app + "PROGRAM\\ZELTAFAX.EXE"));
    EXPECT_TRUE(haskey(HKEY_CLASSES_ROOT, "vq1file\\shell\\Open"));
    EXPECT_TRUE(haskey(HKEY_LOCAL_MACHINE, UNINSTALL));
    EXPECT_TRUE(exists(group + "\\Fax.lnk"));
}

TEST_F(Uninstaller, PrinterEntriesAndTheFaxFileOfThisInstallationGo)
{
    char windows[MAX_PATH], system[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    std::string faxini = std::string(windows) + "\\FAX.ini";
    std::string saved = read(faxini);
    bool hadfaxini = exists(faxini);
    write(faxini, "[FAX]\r\nPATH=" + app + "\r\n");
    WriteProfileStringA("ports", "FAX:", "");
    WriteProfileStringA("PrinterPorts", "VEQ-Printer", "VEQ,FAX:,15,45");
    WriteProfileStringA("devices", "VEQ-printer", "VEQ,FAX:");
    write(std::string(system) + "\\VEQ.DRV", "driver");

    // Without /PATH the fax file names the installation.
    ASSERT_EQ(run("/N"), 0u);
    expect_ours_removed();
    char value[64];
    GetProfileStringA("devices", "VEQ-printer", "<gone>", value, sizeof value);
    EXPECT_STREQ(value, "<gone>");
    GetProfileStringA("PrinterPorts", "VEQ-Printer", "<gone>", value, sizeof value);
    EXPECT_STREQ(value, "<gone>");
    GetProfileStringA("ports", "FAX:", "<gone>", value, sizeof value);
    EXPECT_STREQ(value, "<gone>");
    EXPECT_FALSE(exists(std::string(system) + "\\VEQ.DRV"));
    EXPECT_FALSE(exists(faxini));
    if (hadfaxini) write(faxini, saved);
}

TEST_F(Uninstaller, FaxFileOfAnotherInstallationStays)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string faxini = std::string(windows) + "\\FAX.ini";
    std::string saved = read(faxini);
    bool hadfaxini = exists(faxini);
    write(faxini, "[FAX]\r\nPATH=C:\\ELSEWHERE\\\r\n");
    ASSERT_EQ(run("/N /PATH=" + app), 0u);
    EXPECT_EQ(read(faxini), "[FAX]\r\nPATH=C:\\ELSEWHERE\\\r\n");
    if (hadfaxini) {
        write(faxini, saved);
    } else {
        DeleteFileA(faxini.c_str());
    }
}

TEST_F(Uninstaller, ALibraryPlantedForTheTextsNeverRuns)
{
    // The library proves it can leave its mark when something runs it.
    std::string mark = root + "MARK.TXT";
    std::string planted = app + "PROGRAM\\VEQINS32.DLL";
    ASSERT_TRUE(CopyFileA(companion("companions\\uninstall\\MARKDLL.DLL").c_str(), planted.c_str(), FALSE));
    HMODULE probe = LoadLibraryA(planted.c_str());
    ASSERT_TRUE(probe);
    FreeLibrary(probe);
    ASSERT_TRUE(MoveFileA((app + "PROGRAM\\MARK.TXT").c_str(), mark.c_str())) << "the probe left no mark";

    // Asked, declined, and then removed unattended: never the library's code.
    question q = decline("/PATH=" + app);
    EXPECT_EQ(q.exitcode, 1u);
    EXPECT_EQ(q.caption, "Uninstall") << "a library without texts: the built-in ones";
    EXPECT_FALSE(exists(app + "PROGRAM\\MARK.TXT"));
    ASSERT_EQ(run("/N /PATH=" + app), 0u);
    EXPECT_FALSE(exists(app + "PROGRAM\\MARK.TXT"));
    EXPECT_FALSE(exists(app + "PROGRAM\\VEQINS32.DLL"));
    expect_ours_removed();
}

TEST_F(Uninstaller, LinksInTheInstallationGoAsLinksAndWhatTheyNameStays)
{
    // Folders elsewhere, each reached through a link a user put into a
    // recorded directory, or that stands in place of a recorded one.
    std::string outside = root + "OUTSIDE\\";
    CreateDirectoryA(outside.c_str(), nullptr);
    const char* const TARGETS[] = {"T", "D", "P", "S", "F"};
    for (const char* t : TARGETS) {
        CreateDirectoryA((outside + t).c_str(), nullptr);
        CreateDirectoryA((outside + t + "\\SUB").c_str(), nullptr);
        write(outside + t + "\\keep.txt", "someone else's");
        write(outside + t + "\\SUB\\deeper.txt", "someone else's");
    }
    if (unix_name(outside).empty()) GTEST_SKIP() << "host links are made through Wine";
    ASSERT_TRUE(plant_link(app + "TEMP\\link", outside + "T"));
    ASSERT_TRUE(plant_link(app + "DATA\\link", outside + "D"));
    ASSERT_TRUE(plant_link(app + "PROGRAM\\link", outside + "P"));
    // SDK is recorded but is a link, and a recorded file lies behind it.
    ASSERT_TRUE(plant_link(app + "SDK", outside + "S"));
    // The user's faxes: a link in RECEIVE goes with them, as a link.
    ASSERT_TRUE(plant_link(app + "RECEIVE\\link", outside + "F"));
    write(app + "DATA\\UNINSTAL.LST", std::string(MADE) + "D,SDK\r\nF,SDK\\keep.txt\r\nF,SDK\\SUB\\deeper.txt\r\n");

    ASSERT_EQ(run("/Y /PATH=" + app), 0u);
    for (const char* t : TARGETS) {
        EXPECT_EQ(read(outside + t + "\\keep.txt"), "someone else's") << t;
        EXPECT_EQ(read(outside + t + "\\SUB\\deeper.txt"), "someone else's") << t;
    }
    EXPECT_FALSE(exists(ourprogram));
    EXPECT_FALSE(exists(app + "DATA\\ZELTAFAX.ini"));
    EXPECT_FALSE(exists(app + "RECEIVE\\fax1.001"));
    EXPECT_FALSE(exists(app + "SCRIPT1"));
    expect_others_kept();
}

TEST_F(Uninstaller, WithoutARecordTheFixedTreeGoesButNoLinkIsFollowed)
{
    // An installation from before the record: the old tree, link rules and all.
    DeleteFileA((app + "DATA\\UNINSTAL.LST").c_str());
    std::string outside = root + "OUTSIDE\\";
    CreateDirectoryA(outside.c_str(), nullptr);
    write(outside + "keep.txt", "someone else's");
    if (unix_name(outside).empty()) GTEST_SKIP() << "host links are made through Wine";
    ASSERT_TRUE(plant_link(app + "TEMP\\link", outside));
    ASSERT_TRUE(plant_link(app + "SCRIPT2", outside));

    ASSERT_EQ(run("/N /PATH=" + app), 0u);
    EXPECT_EQ(read(outside + "keep.txt"), "someone else's");
    EXPECT_FALSE(exists(ourprogram));
    EXPECT_FALSE(exists(app + "DATA"));
    EXPECT_FALSE(exists(app + "SCRIPT1"));
    EXPECT_EQ(read(app + "RECEIVE\\fax1.001"), "received fax");
    expect_others_kept();
}

TEST_F(Uninstaller, ARecordNamingOtherProgramsFileTypesLeavesThem)
{
    // Keys of the system's own types, made here only where the prefix lacks them.
    struct foreign {
        const char* key;
        std::string command;
        bool made;
    };
    std::vector<foreign> keys = {{"exefile\\shell\\open\\command", "\"%1\" %*", false},
                                 {"txtfile\\shell\\open\\command", windows_dir() + "\\notepad.exe %1", false},
                                 {"lnkfile", "Shortcut", false}};
    for (foreign& k : keys) {
        k.made = !haskey(HKEY_CLASSES_ROOT, k.key);
        if (k.made) setreg(HKEY_CLASSES_ROOT, k.key, nullptr, k.command);
        k.command = regvalue(HKEY_CLASSES_ROOT, k.key, nullptr);
    }
    // Ours beside a foreign verb; one in a folder whose name only begins like
    // ours; one that climbs out of ours.
    setreg(HKEY_CLASSES_ROOT, "txtfile\\shell\\ZeltaView\\command", nullptr, ourcommand);
    setreg(HKEY_CLASSES_ROOT, "vq5file\\shell\\Open\\command", nullptr,
           "\"" + root + "APPX\\PROGRAM\\ZELTAFAX.EXE\" %1");
    setreg(HKEY_CLASSES_ROOT, "vq6file\\shell\\Open\\command", nullptr, "\"" + app + "..\\OTHER\\x.exe\" %1");
    write(app + "DATA\\UNINSTAL.DAT",
          TYPES_RECORD + "exe,open\r\ntxt,open\r\nlnk,x\r\ntxt,ZeltaView\r\nvq5,Open\r\nvq6,Open\r\n");

    ASSERT_EQ(run("/N /PATH=" + app), 0u);
    for (const foreign& k : keys) EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, k.key, nullptr), k.command) << k.key;
    EXPECT_FALSE(haskey(HKEY_CLASSES_ROOT, "txtfile\\shell\\ZeltaView")) << "our verb on another's type goes";
    EXPECT_TRUE(haskey(HKEY_CLASSES_ROOT, "vq5file\\shell\\Open")) << "C:\\...\\APPX is not C:\\...\\APP";
    EXPECT_TRUE(haskey(HKEY_CLASSES_ROOT, "vq6file\\shell\\Open")) << "..\\ leads out of the installation";
    expect_ours_removed();

    for (const char* key : {"vq5file\\shell\\Open\\command", "vq5file\\shell\\Open", "vq5file\\shell", "vq5file",
                            "vq6file\\shell\\Open\\command", "vq6file\\shell\\Open", "vq6file\\shell", "vq6file"})
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
    for (const foreign& k : keys)
        if (k.made) RegDeleteKeyA(HKEY_CLASSES_ROOT, k.key);
}

TEST_F(Uninstaller, ATitleNamingAnotherGroupOrEntryLeavesTheirsAndTakesOnlyOurs)
{
    std::string programs = special_folder(CSIDL_PROGRAMS);
    std::string foreignexe = root + "OTHER\\other.exe";
    write(foreignexe, "another program");
    std::string b = root + "B";
    const std::string ENTRY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    for (const char* title : {"Startup", "Other Product"}) {
        SCOPED_TRACE(title);
        std::string folder = programs + "\\" + title;
        bool hadfolder = exists(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string theirs = folder + "\\Other.lnk", ours = folder + "\\Fax.lnk";
        std::string desktoplink = desktop + "\\" + title + ".LNK", sendtolink = sendto + "\\" + title + ".LNK";
        ASSERT_TRUE(make_shortcut(theirs, foreignexe));
        ASSERT_TRUE(make_shortcut(ours, ourprogram));
        ASSERT_TRUE(make_shortcut(desktoplink, foreignexe));
        ASSERT_TRUE(make_shortcut(sendtolink, foreignexe));
        // Another installation's entry: this uninstaller, another folder.
        std::string entry = ENTRY + title;
        std::string command = "\"" + windows_dir() + "\\ZVUNINST.EXE\" /PATH=\"" + b + "\"";
        setreg(HKEY_LOCAL_MACHINE, entry, "UninstallString", command);
        CreateDirectoryA((app + "DATA").c_str(), nullptr);
        write(app + "DATA\\UNINSTAL.DAT", std::string(title) + "\r\n");
        write(app + "DATA\\UNINSTAL.LST", "D,DATA\r\n");

        ASSERT_EQ(run("/N /PATH=" + app), 0u);
        EXPECT_FALSE(exists(ours)) << "our item in their group goes";
        EXPECT_TRUE(exists(theirs));
        EXPECT_TRUE(exists(folder)) << "a group with another's item stays";
        EXPECT_TRUE(exists(desktoplink));
        EXPECT_TRUE(exists(sendtolink));
        EXPECT_EQ(regvalue(HKEY_LOCAL_MACHINE, entry, "UninstallString"), command);
        EXPECT_FALSE(exists(app + "DATA"));

        DeleteFileA(theirs.c_str());
        DeleteFileA(desktoplink.c_str());
        DeleteFileA(sendtolink.c_str());
        if (!hadfolder) RemoveDirectoryA(folder.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, entry.c_str());
    }
}

TEST_F(Uninstaller, ADirectoryThatWasThereBeforeKeepsWhatTheRecordDoesNotName)
{
    write(app + "DATA\\KEEP.TXT", "there before");
    write(app + "TEMP\\KEEP.TXT", "there before");
    write(app + "TEMP\\ZELTA.TMP", "ours");
    write(app + "SCRIPT1\\KEEP.TXT", "there before");
    // DATA, TEMP and SCRIPT1 were there: only their recorded files go. Lines
    // that leave the installation or are damaged are skipped, the rest go on.
    std::string other = root + "OTHER\\other.txt";
    write(app + "DATA\\UNINSTAL.LST",
          "F,..\\OTHER\\other.txt\r\nF," + other + "\r\nD,..\\OTHER\r\nD,\\\r\nD,.\r\nF,\r\nX,DATA\r\n\r\n"
          "D,PROGRAM\r\nF,DATA\\ZELTAFAX.ini\r\nF,TEMP\\ZELTA.TMP\r\nF,SCRIPT1\\prompt.vox\r\nD,SCRIPT1\\\r\n"
          "F,DATA\\\\KEEP.TXT\r\nD,RECEIVE\r\nD,SEND\r\nD,MBOX000\r\nF,C:\\AUTOEXEC.BAT\r\n");

    ASSERT_EQ(run("/Y /PATH=" + app), 0u);
    EXPECT_EQ(read(app + "DATA\\KEEP.TXT"), "there before");
    EXPECT_EQ(read(app + "TEMP\\KEEP.TXT"), "there before");
    EXPECT_EQ(read(app + "SCRIPT1\\KEEP.TXT"), "there before");
    EXPECT_FALSE(exists(app + "DATA\\ZELTAFAX.ini"));
    EXPECT_FALSE(exists(app + "TEMP\\ZELTA.TMP"));
    EXPECT_FALSE(exists(app + "SCRIPT1\\prompt.vox"));
    EXPECT_FALSE(exists(app + "DATA\\UNINSTAL.DAT"));
    EXPECT_FALSE(exists(app + "DATA\\UNINSTAL.LST"));
    EXPECT_FALSE(exists(app + "PROGRAM"));
    EXPECT_FALSE(exists(app + "RECEIVE"));
    expect_others_kept();
}

TEST_F(Uninstaller, AFaxInASubFolderIsTheUsersAndIsAskedFor)
{
    DeleteFileA((app + "RECEIVE\\fax1.001").c_str());
    DeleteFileA((app + "SEND\\fax2.001").c_str());
    DeleteFileA((app + "MBOX000\\DRECV\\message.vox").c_str());
    CreateDirectoryA((app + "RECEIVE\\2023").c_str(), nullptr);
    write(app + "RECEIVE\\2023\\fax.001", "received fax");

    DWORD code = 998;
    std::vector<std::string> boxes = converse("/PATH=" + app, {IDYES, IDNO, IDOK}, &code);
    EXPECT_EQ(code, 0u);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1].rfind("Delete your received and sent faxes", 0), 0u) << boxes[1];
    EXPECT_EQ(read(app + "RECEIVE\\2023\\fax.001"), "received fax") << "kept, as answered";
    EXPECT_FALSE(exists(ourprogram));
}

TEST_F(Uninstaller, EmptyFaxFoldersAreNotAskedFor)
{
    DeleteFileA((app + "RECEIVE\\fax1.001").c_str());
    DeleteFileA((app + "SEND\\fax2.001").c_str());
    DeleteFileA((app + "MBOX000\\DRECV\\message.vox").c_str());
    CreateDirectoryA((app + "RECEIVE\\2023").c_str(), nullptr);

    DWORD code = 998;
    std::vector<std::string> boxes = converse("/PATH=" + app, {IDYES, IDOK}, &code);
    EXPECT_EQ(code, 0u);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], std::string(TITLE) + " has been removed.");
    EXPECT_FALSE(exists(app + "RECEIVE"));
}

TEST_F(Uninstaller, ThePathOnTheCommandLineChoosesTheInstallationOverTheFaxFile)
{
    // FAX.ini names the fixture's installation; the command names another,
    // in a folder whose name has blanks and parentheses.
    std::string faxini = windows_dir() + "\\FAX.ini";
    std::string saved = read(faxini);
    bool hadfaxini = exists(faxini);
    write(faxini, "[FAX]\r\nPATH=" + app + "\r\n");
    std::string other = root + "Fax (new)";
    make_installation(other + "\\", "Other Fax\r\n", "D,PROGRAM\r\nD,DATA\r\nF,PROGRAM\\ZELTAFAX.EXE\r\n",
                      {{"PROGRAM\\ZELTAFAX.EXE", "program"}});

    EXPECT_EQ(run("/PATH=\"" + other + "\" /N"), 0u);
    EXPECT_FALSE(exists(other)) << "the installation named on the command line goes whole";
    EXPECT_TRUE(exists(ourprogram)) << "the one FAX.ini names stays";
    EXPECT_TRUE(haskey(HKEY_CLASSES_ROOT, "vq1file\\shell\\Open"));
    EXPECT_TRUE(haskey(HKEY_LOCAL_MACHINE, UNINSTALL)) << "its entry names the other installation";
    EXPECT_EQ(read(faxini), "[FAX]\r\nPATH=" + app + "\r\n");

    // Without /PATH, FAX.ini decides; the entry, naming this one, goes.
    EXPECT_EQ(run("/N"), 0u);
    expect_ours_removed();
    if (hadfaxini)
        write(faxini, saved);
    else
        DeleteFileA(faxini.c_str());
}

}  // namespace

namespace {

// Wine is told per program which Windows to report; removed again at the end.
class reported_version {
public:
    reported_version(const char* program, const char* version) : key_(std::string("Software\\Wine\\AppDefaults\\") + program)
    {
        setreg(HKEY_CURRENT_USER, key_, "Version", version);
    }
    ~reported_version() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }

private:
    std::string key_;
};

DWORD run_and_wait(std::string line)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 999;
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 998;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return code;
}

}  // namespace

// Run from the Windows directory on the Windows 95 family, which has no
// delayed move, the uninstaller lists its two files as NUL= lines of
// WININIT.INI's [Rename] (any other key would move the file there, not delete
// it), and a restart removes both.
TEST_F(Uninstaller, OnWindows95ItsOwnFilesGoThroughWininitAtTheRestart)
{
    std::string windows = windows_dir() + "\\", wininit = windows + "WININIT.INI";
    std::string saved = exists(wininit) ? read(wininit) : "";
    bool had = exists(wininit);
    write(wininit, "[Rename]\r\nNUL1=C:\\KEEP\\ONE.TMP\r\n[Other]\r\nNUL=C:\\NOT\\THIS.TMP\r\n");
    std::string exe = windows + "ZVUNINST.EXE", dll = windows + "VEQUNINS.DLL";
    ASSERT_TRUE(CopyFileA(companion("companions\\uninstall\\ZVUNINST.EXE").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(companion("companions\\uninstall\\VEQUNINS.DLL").c_str(), dll.c_str(), FALSE));
    DWORD code = 0;
    {
        reported_version win95("ZVUNINST.EXE", "win95");
        code = run_and_wait("\"" + exe + "\" /N /PATH=\"" + app + "\" /LOG=" + root + "removal.log");
    }
    EXPECT_EQ(code, 0u);
    expect_ours_removed();
    std::string lines = read(wininit);
    EXPECT_EQ(lines, "[Rename]\r\nNUL1=C:\\KEEP\\ONE.TMP\r\nNUL=" + exe + "\r\nNUL=" + dll + "\r\n[Other]\r\n"
                     "NUL=C:\\NOT\\THIS.TMP\r\n")
        << "both files as NUL= lines of [Rename] after the lines there before";
    EXPECT_TRUE(logcheck::contains(read(root + "removal.log"), "removed at restart=" + dll + "\r\n"));
    EXPECT_TRUE(exists(exe)) << "not before the restart";
    // The restart: only our two lines, so that it moves nothing of the test machine.
    write(wininit, "[Rename]\r\nNUL=" + dll + "\r\nNUL=" + exe + "\r\n");
    EXPECT_EQ(run_and_wait("wineboot.exe -r"), 0u);
    EXPECT_FALSE(exists(exe)) << "the restart removes the uninstaller";
    EXPECT_FALSE(exists(dll)) << "and its library";
    EXPECT_FALSE(exists(windows + "NUL1")) << "nothing moved in their stead";
    DeleteFileA(exe.c_str());
    DeleteFileA(dll.c_str());
    DeleteFileA((windows + "wininit.bak").c_str());
    if (had) write(wininit, saved);
    else DeleteFileA(wininit.c_str());
}
