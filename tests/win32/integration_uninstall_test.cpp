// ZVUNINST.EXE against a fake installation: it removes what the installation
// registered and installed, asks (here: is told) about the user's faxes and
// mailboxes, and leaves everything else alone.
#include <windows.h>
#include <shlobj.h>

#include "tests/win32/integration_fixture.h"
#include "tests/win32/support/winpaths.h"

namespace {

const char TITLE[] = "VEQ Uninstall Test";
const char UNINSTALL[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VEQ Uninstall Test";
// A German installation's verbs, as the installer writes them: code page 1252 bytes.
const char* const GERMAN_VERBS[] = {"&\xd6" "ffnen", "&Drucken", "&Faxen", "Gr\xfc\xdf"};
const std::string GERMAN_RECORD = "vq4,&\xd6" "ffnen\r\nvq4,&Drucken\r\nvq4,&Faxen\r\nvq4,Gr\xfc\xdf\r\n";

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

class Uninstaller : public WineIntegrationTest {
protected:
    std::string app, desktop, sendto, group;

    void SetUp() override
    {
        WineIntegrationTest::SetUp();
        app = root + "APP\\";
        for (const char* d : {"", "PROGRAM", "DATA", "TEMP", "SCRIPT1", "RECEIVE", "SEND", "MBOX000", "MBOX000\\DRECV",
                              "MBOX000\\DSEND", "MBOX000\\FOD", "MYSTUFF"})
            CreateDirectoryA((app + d).c_str(), nullptr);
        CreateDirectoryA((root + "OTHER").c_str(), nullptr);
        write(app + "PROGRAM\\ZELTAFAX.EXE", "program");
        write(app + "DATA\\ZELTAFAX.ini", "[GENERAL]\r\n");
        write(app + "DATA\\UNINSTAL.DAT", std::string(TITLE) +
                                              "\r\nvq1,Open\r\nvq1,Print\r\nvq1,Fax\r\nvq3,Open\r\n" + GERMAN_RECORD);
        write(app + "SCRIPT1\\prompt.vox", "voice");
        write(app + "RECEIVE\\fax1.001", "received fax");
        write(app + "SEND\\fax2.001", "sent fax");
        write(app + "MBOX000\\DRECV\\message.vox", "a message");
        write(app + "MYNOTES.TXT", "the user's own");
        write(app + "MYSTUFF\\keep.txt", "the user's own");
        write(root + "OTHER\\other.txt", "someone else's");

        for (const char* verb : {"Open", "Print", "Fax"})
            setreg(HKEY_CLASSES_ROOT, std::string("vq1file\\shell\\") + verb + "\\command", nullptr, "x %1");
        setreg(HKEY_CLASSES_ROOT, ".vq1", nullptr, "vq1file");
        setreg(HKEY_CLASSES_ROOT, "vq1file", nullptr, "Fax Image");
        setreg(HKEY_CLASSES_ROOT, "vq3file\\shell\\Open\\command", nullptr, "x %1");
        for (const char* verb : GERMAN_VERBS)
            setreg(HKEY_CLASSES_ROOT, std::string("vq4file\\shell\\") + verb + "\\command", nullptr, "x %1");
        setreg(HKEY_CLASSES_ROOT, ".vq4", nullptr, "vq4file");
        setreg(HKEY_CLASSES_ROOT, ".vq3", nullptr, "otherprogramfile");  // taken over since
        setreg(HKEY_CLASSES_ROOT, ".vq2", nullptr, "vq2file");            // not ours
        setreg(HKEY_LOCAL_MACHINE, UNINSTALL, "DisplayName", TITLE);

        desktop = special_folder(CSIDL_DESKTOPDIRECTORY);
        sendto = special_folder(CSIDL_SENDTO);
        group = special_folder(CSIDL_PROGRAMS) + "\\" + TITLE;
        write(desktop + "\\" + TITLE + ".LNK", "link");
        write(sendto + "\\" + TITLE + ".LNK", "link");
        CreateDirectoryA(group.c_str(), nullptr);
        write(group + "\\Fax.lnk", "link");
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
        WineIntegrationTest::TearDown();
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

    void expect_others_kept()
    {
        EXPECT_EQ(read(app + "MYNOTES.TXT"), "the user's own");
        EXPECT_EQ(read(app + "MYSTUFF\\keep.txt"), "the user's own");
        EXPECT_EQ(read(root + "OTHER\\other.txt"), "someone else's");
        EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, ".vq3", nullptr), "otherprogramfile") << "taken over by another program";
        EXPECT_EQ(regvalue(HKEY_CLASSES_ROOT, ".vq2", nullptr), "vq2file") << "never ours";
    }
};

TEST_F(Uninstaller, KeepingTheUsersFaxesRemovesEverythingElseOfOurs)
{
    // The texts' library in the program directory is let go before that goes.
    CopyFileA(winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL_DE")).c_str(), (app + "PROGRAM\\VEQINS32.DLL").c_str(),
              FALSE);
    ASSERT_EQ(run("/N /PATH=" + app), 0u);
    expect_ours_removed();
    expect_others_kept();
    EXPECT_EQ(read(app + "RECEIVE\\fax1.001"), "received fax");
    EXPECT_EQ(read(app + "SEND\\fax2.001"), "sent fax");
    EXPECT_EQ(read(app + "MBOX000\\DRECV\\message.vox"), "a message");
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
    EXPECT_EQ(run("/Y /PATH=" + app), 2u);
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

}  // namespace
