// The printer steps against Wine's WIN.INI and a real printer installer program.
#include <windows.h>

#include <cstdio>

#include <vector>

#include "integration/printer.h"
#include "tests/win32/integration_fixture.h"
#include "tests/win32/support/winpaths.h"
#include "tests/support/logcheck.h"

namespace {

std::vector<std::string> announced;

// Wine 8 delivers the broadcast's section text damaged to every window (ANSI
// or Unicode), so only the announcements themselves are counted here.
LRESULT CALLBACK listener(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_WININICHANGE) announced.push_back(lparam ? "section" : "");
    return DefWindowProcA(window, message, wparam, lparam);
}

std::string companion(const std::string& relative)
{
    std::string dll = winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL"));
    std::string build = dll.substr(0, dll.rfind('\\'));  // ...\resources
    build = build.substr(0, build.rfind('\\') + 1);
    return build + relative;
}

class PrinterTest : public WineIntegrationTest {
protected:
    void TearDown() override
    {
        WriteProfileStringA("ports", "FAX:", nullptr);
        WriteProfileStringA("PrinterPorts", "VEQ-Printer", nullptr);
        WriteProfileStringA("devices", "VEQ-printer", nullptr);
        WineIntegrationTest::TearDown();
    }
    static std::string winini(const char* section, const char* key)
    {
        char value[128] = {};
        GetProfileStringA(section, key, "<missing>", value, sizeof value);
        return value;
    }
};

TEST_F(PrinterTest, WinIniSetupWritesTheEntriesAnnouncesThemAndCopiesTheDriver)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = listener;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VEQ-LISTENER";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("VEQ-LISTENER", "", WS_OVERLAPPED, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    announced.clear();
    UL_copytext(ctx->sourcedir, root.c_str());
    CreateDirectoryA((root + "system").c_str(), nullptr);
    UL_copytext(ctx->systemdir, (root + "system\\").c_str());
    write(root + "VEQ.DRV", "a printer driver of at least sixteen bytes");

    ASSERT_EQ(INS_installprinterdrv(ctx), ST_OK) << log();
    EXPECT_EQ(winini("ports", "FAX:"), "");
    EXPECT_EQ(winini("PrinterPorts", "VEQ-Printer"), "VEQ,FAX:,15,45");
    EXPECT_EQ(winini("devices", "VEQ-printer"), "VEQ,FAX:");
    EXPECT_EQ(winini("devices", "VEQ-PRINTER"), "VEQ,FAX:") << "keys compare without case";
    EXPECT_EQ(announced, (std::vector<std::string>{"section", "section", "section"})) << "one announcement per entry";
    EXPECT_EQ(read(root + "system\\VEQ.DRV"), "a printer driver of at least sixteen bytes");
    DestroyWindow(window);
}

TEST_F(PrinterTest, PrinterInstallerIsRunWithItsOptionsAndWaitedFor)
{
    // A destination with a blank, and programs planted where an unquoted
    // command line would find them first: copies of the installer, which
    // would record the unquoted line.
    std::string program = companion("companions\\veqaddpr\\VEQADDPR.EXE");
    CreateDirectoryA((root + "My Fax").c_str(), nullptr);
    CreateDirectoryA((root + "My Fax\\PROGRAM").c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(program.c_str(), (root + "My Fax\\PROGRAM\\VEQADDPR.EXE").c_str(), FALSE)) << program;
    ASSERT_TRUE(CopyFileA(program.c_str(), (root + "My.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(program.c_str(), (root + "My").c_str(), FALSE));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string record = std::string(windows) + "\\VEQADDPR.LOG";
    DeleteFileA(record.c_str());

    ctx->debuglevel = 2;
    ASSERT_EQ(INS_StartAddPrinter(ctx, 1, (root + "My Fax\\PROGRAM\\").c_str()), ST_OK) << log();
    EXPECT_EQ(read(record), "") << "not copied from the set in this run, yet started";
    ctx->copiedaddprinter = 1;
    ASSERT_EQ(INS_StartAddPrinter(ctx, 1, (root + "My Fax\\PROGRAM\\").c_str()), ST_OK) << log();
    // Waited for: the program has written its record when the step returns.
    EXPECT_EQ(read(record), "\"" + root + "My Fax\\PROGRAM\\VEQADDPR.EXE\" /p1 /d\r\n")
        << "only our installer ran, with the quoted line";
    DeleteFileA(record.c_str());
}

// Where this Windows keeps the programs that the printer step and the closing
// dialog start by their whole paths.
TEST_F(PrinterTest, SystemProgramsAreFoundInTheSystemOrWindowsDirectory)
{
    char windows[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    GetSystemDirectoryA(system, sizeof system);
    UL_copytext(ctx->windowsdir, (std::string(windows) + "\\").c_str());
    UL_copytext(ctx->systemdir, (std::string(system) + "\\").c_str());
    for (const char* name : {"write.exe", "rundll32.exe", "winhelp.exe"}) {
        char path[TEXTSIZE];
        // A 64-bit Wine has no 16-bit WinHelp: then the program is not found, and says so.
        const bool present = exists(std::string(system) + "\\" + name) || exists(std::string(windows) + "\\" + name);
        ASSERT_EQ(INS_windowsprogram(ctx, path, name), present) << name << ": found where it is not, or not where it is";
        if (!present) {
            EXPECT_STREQ(path, "") << name;
            continue;
        }
        std::printf("%s: %s\n", name, path);
        EXPECT_TRUE(exists(path)) << path;
    }
}

TEST_F(PrinterTest, MissingPrinterInstallerIs13002WithTheSystemError)
{
    ctx->copiedaddprinter = 1;
    EXPECT_EQ(INS_StartAddPrinter(ctx, 0, (root + "nowhere\\").c_str()), ST_GENERAL);
    EXPECT_TRUE(logcheck::contains(log(), "Cannot start VEQADDPR rc=%d"));
}

}  // namespace
