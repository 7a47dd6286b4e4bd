// Clean-up at exit on the real system: on Windows NT the files of the list
// are handed to the delayed-move service (PendingFileRenameOperations); on
// the Windows 95 family they become [Rename] entries of WININIT.INI. Wine is
// told which Windows to be per program, so the Windows 95 road runs in a
// child process of this test program.
#include "tests/win32/files_winkit.h"

#include <cstdio>

#include "files/cleanup.h"
#include "install/install.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace {

const char* SESSION_MANAGER = "System\\CurrentControlSet\\Control\\Session Manager";
const char* PENDING = "PendingFileRenameOperations";

std::string windows_file(const char* name)
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, sizeof dir);
    std::string p = dir;
    if (p.back() != '\\') p += '\\';
    return p + name;
}

// The registry value as raw bytes; empty when it is absent.
std::vector<char> read_pending(bool* present)
{
    std::vector<char> data;
    *present = false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return data;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, PENDING, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        data.resize(size);
        if (RegQueryValueExA(key, PENDING, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
            ERROR_SUCCESS)
            *present = true;
        data.resize(size);
    }
    RegCloseKey(key);
    return data;
}

void restore_pending(bool present, const std::vector<char>& data)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    if (present) RegSetValueExA(key, PENDING, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size()));
    else RegDeleteValueA(key, PENDING);
    RegCloseKey(key);
}

// RegQueryValueExA hands the strings over in the ANSI code page.
bool pending_holds(const std::vector<char>& data, const std::string& path)
{
    std::string narrow;
    for (char c : data) narrow += c ? c : '\n';
    std::string upper_data = narrow, wanted = path;
    for (char& c : upper_data) c = char(toupper(static_cast<unsigned char>(c)));
    for (char& c : wanted) c = char(toupper(static_cast<unsigned char>(c)));
    return upper_data.find(wanted + "\n") != std::string::npos;
}

// Keeps WININIT.INI as it was before the test.
class saved_file {
public:
    explicit saved_file(std::string path) : path_(std::move(path)), existed_(winkit::exists(path_))
    {
        if (existed_) data_ = winkit::read_bytes(path_);
    }
    ~saved_file()
    {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());  // flush the profile cache
        if (existed_) winkit::write_bytes(path_, data_);
        else DeleteFileA(path_.c_str());
    }
    bool unchanged() const
    {
        return winkit::exists(path_) == existed_ && (!existed_ || winkit::read_bytes(path_) == data_);
    }

private:
    std::string path_;
    bool existed_;
    std::vector<std::uint8_t> data_;
};

struct cleanup : ::testing::Test {
    winkit::scratch s;
    setup_context* ctx = nullptr;
    void SetUp() override
    {
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        UL_copytext(ctx->moduledir, s.dir().c_str());
        ctx->tempcopy = 1;
    }
    void TearDown() override { INS_destroycontext(ctx); }
    void list(const std::string& text)
    {
        winkit::write_bytes(s / "VEQCLEAN.BAT", std::vector<std::uint8_t>(text.begin(), text.end()));
    }
};

TEST_F(cleanup, WindowsNtHandsTheFilesToTheDelayedMoveService)
{
    std::int16_t version = 0;
    INS_getwinversion(ctx, &version);
    if (version != 2) GTEST_SKIP() << "this Wine does not report Windows NT";
    saved_file wininit(windows_file("WININIT.INI"));
    bool had = false;
    std::vector<char> before = read_pending(&had);
    std::string a = s / "SETUP.EXE", b = s / "VEQINS.DLL";
    winkit::write_bytes(a, {'x'});
    winkit::write_bytes(b, {'y'});
    list("@ECHO OFF\r\nDEL " + a + "\r\nDEL " + b + "\r\n");
    EXPECT_EQ(INS_cleanupatexit(ctx), ST_OK);
    bool now_present = false;
    std::vector<char> after = read_pending(&now_present);
    restore_pending(had, before);
    EXPECT_TRUE(pending_holds(after, a)) << "no delayed delete of " << a;
    EXPECT_TRUE(pending_holds(after, b)) << "no delayed delete of " << b;
    EXPECT_TRUE(winkit::exists(a)) << "nothing is deleted while the installer runs";
    EXPECT_TRUE(wininit.unchanged()) << "WININIT.INI touched on Windows NT";
}

// Whoever wrote the list may have made a link in the copy's directory to a
// place of theirs choosing: nothing through it is scheduled, nor anything
// outside the list's own directory.
TEST_F(cleanup, NothingThroughALinkOrOutsideTheListsDirectoryIsScheduled)
{
    std::int16_t version = 0;
    INS_getwinversion(ctx, &version);
    if (version != 2) GTEST_SKIP() << "this Wine does not report Windows NT";
    winkit::scratch outside;
    std::string victim = outside / "VICTIM.TXT";
    winkit::write_bytes(victim, {'v'});
    std::string link = s / "LINK";
    // Not declared for the oldest Windows this program is built for.
    using makelink = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    auto create = reinterpret_cast<makelink>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA")));
    const bool linked = create && create(link.c_str(), outside.dir().c_str(), 1 /* a directory */) != 0;
    if (!linked) s.mkdir("LINK");  // a sub-directory is refused just the same
    std::string a = s / "SETUP.EXE";
    winkit::write_bytes(a, {'x'});
    bool had = false;
    std::vector<char> before = read_pending(&had);
    list("DEL " + link + "\\VICTIM.TXT\r\nDEL " + s.dir() + "..\\" +
         outside.dir().substr(outside.dir().rfind('\\', outside.dir().size() - 2) + 1) + "VICTIM.TXT\r\nDEL " + victim +
         "\r\nDEL " + a + "\r\n");
    EXPECT_EQ(INS_cleanupatexit(ctx), ST_OK);
    bool now_present = false;
    std::vector<char> after = read_pending(&now_present);
    restore_pending(had, before);
    if (linked) RemoveDirectoryA(link.c_str());  // the link itself, before the scratch goes
    std::string all(after.begin(), after.end());
    for (char& c : all) c = char(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(all.find("VICTIM.TXT"), std::string::npos) << "a file outside the list's directory was scheduled";
    EXPECT_TRUE(pending_holds(after, a));
    EXPECT_TRUE(winkit::exists(victim));
    std::printf("link in the copy's directory: %s\n", linked ? "a symbolic link" : "a plain sub-directory");
}

TEST_F(cleanup, WithoutTemporaryCopyNothingIsScheduled)
{
    saved_file wininit(windows_file("WININIT.INI"));
    bool had = false;
    std::vector<char> before = read_pending(&had);
    list("DEL " + (s / "SETUP.EXE") + "\r\n");
    ctx->tempcopy = 0;
    EXPECT_EQ(INS_cleanupatexit(ctx), ST_OK);
    ctx->tempcopy = 1;
    ctx->INS_noclean = 1;
    EXPECT_EQ(INS_cleanupatexit(ctx), ST_OK);
    bool present = false;
    EXPECT_EQ(read_pending(&present), before);
    EXPECT_TRUE(wininit.unchanged());
}

// Runs in the child only (Wine told to be Windows 95 for this program).
TEST(cleanup_child, Win95Road)
{
    const char* moduledir = std::getenv("FILES_CLEANUP_CHILD");
    if (!moduledir) GTEST_SKIP() << "run by cleanup_win95 in a child process";
    setup_context* ctx = nullptr;
    ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
    std::int16_t version = 0;
    INS_getwinversion(ctx, &version);
    ASSERT_EQ(version, 1) << "the child should see the Windows 95 family";
    UL_copytext(ctx->moduledir, moduledir);
    ctx->tempcopy = 1;
    EXPECT_EQ(INS_cleanupatexit(ctx), ST_OK);
    INS_destroycontext(ctx);
}

// Sets this program's Windows version for Wine; removed again at the end.
class wine_version_for_this_program {
public:
    explicit wine_version_for_this_program(const char* version)
    {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, sizeof self);
        std::string name = self;
        name = name.substr(name.find_last_of('\\') + 1);
        key_ = "Software\\Wine\\AppDefaults\\" + name;
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version), DWORD(strlen(version) + 1));
            RegCloseKey(key);
        }
    }
    ~wine_version_for_this_program() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }

private:
    std::string key_;
};

DWORD run_child(const std::string& moduledir)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    SetEnvironmentVariableA("FILES_CLEANUP_CHILD", moduledir.c_str());
    std::string cmd = std::string("\"") + self + "\" --gtest_filter=cleanup_child.Win95Road";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    DWORD code = 999;
    if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 60000);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    SetEnvironmentVariableA("FILES_CLEANUP_CHILD", nullptr);
    return code;
}

std::string short_name(const std::string& path)
{
    char out[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), out, sizeof out);
    return n > 0 && n < sizeof out ? out : "<no short name of " + path + ">";
}

// Each file one NUL= line after the lines there before, in its short name:
// the restart of the Windows 95 family reads no other, and would move a file
// listed under NUL2 to a file of that name.
TEST_F(cleanup, Windows95ListsEachFileAsANulLineInItsShortName)
{
    if (std::getenv("FILES_CLEANUP_CHILD")) GTEST_SKIP();
    std::string wininit = windows_file("WININIT.INI");
    saved_file keep(wininit);
    std::string old = "[Rename]\r\nNUL=C:\\OLD1.TMP\r\nNUL1=C:\\OLD2.TMP\r\n";
    winkit::write_bytes(wininit, std::vector<std::uint8_t>(old.begin(), old.end()));
    bool had = false;
    std::vector<char> before = read_pending(&had);
    std::string a = s / "SETUP.EXE", b = s / "MY FILE.DLL";
    winkit::write_bytes(a, {'x'});
    winkit::write_bytes(b, {'y'});
    list("ECHO OFF\r\nDEL " + a + "\r\nDEL " + b + "\r\n");
    DWORD code = 0;
    {
        wine_version_for_this_program win95("win95");
        code = run_child(s.dir());
    }
    EXPECT_EQ(code, 0u) << "the child's test failed";
    std::vector<std::uint8_t> text = winkit::read_bytes(wininit);
    // OFF names no file of the list's directory.
    EXPECT_EQ(std::string(text.begin(), text.end()),
              old + "NUL=" + short_name(a) + "\r\nNUL=" + short_name(b) + "\r\n");
    EXPECT_EQ(short_name(b).find(' '), std::string::npos) << "the short name of a name with a blank has none";
    EXPECT_FALSE(winkit::exists(windows_file("WININIT.NEW"))) << "the new text is put in place";
    EXPECT_FALSE(winkit::exists(windows_file("WININIT.OLD"))) << "and the old one removed";
    bool present = false;
    EXPECT_EQ(read_pending(&present), before) << "the delayed-move service is not used on Windows 95";
}

TEST_F(cleanup, Windows95CreatesWininitWhenThereIsNone)
{
    if (std::getenv("FILES_CLEANUP_CHILD")) GTEST_SKIP();
    std::string wininit = windows_file("WININIT.INI");
    saved_file keep(wininit);
    DeleteFileA(wininit.c_str());
    list("DEL " + (s / "SETUP.EXE") + "\r\n");
    DWORD code = 0;
    {
        wine_version_for_this_program win95("win95");
        code = run_child(s.dir());
    }
    EXPECT_EQ(code, 0u);
    std::vector<std::uint8_t> text = winkit::read_bytes(wininit);
    std::string content(text.begin(), text.end());
    EXPECT_NE(content.find("[Rename]"), std::string::npos) << content;
    EXPECT_NE(content.find("NUL=" + (s / "SETUP.EXE")), std::string::npos) << content;
}

}  // namespace
