// The closing dialog from the real resource library, answered the way an
// unattended run answers it: through the buttons a person would press.
#include <windows.h>

#include "files/copyplan.h"
#include "install/completion.h"
#include "tests/win32/integration_fixture.h"
#include "tests/win32/support/winpaths.h"

namespace {

class DoneDialog : public WineIntegrationTest {
protected:
    void SetUp() override
    {
        WineIntegrationTest::SetUp();
        ctx->resourcelib = LoadLibraryA(winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL")).c_str());
        ASSERT_NE(ctx->resourcelib, nullptr);
        UL_copytext(ctx->INS_version, "2.2i");
        UL_copytext(ctx->windowtitle, "VEQ Test Product Installation");
        UL_copytext(ctx->answerfile, (root + "answers.ini").c_str());
        INS_context = ctx;
    }
    void TearDown() override
    {
        FreeLibrary(static_cast<HMODULE>(ctx->resourcelib));
        INS_context = nullptr;
        WineIntegrationTest::TearDown();
    }
    int press(const char* button)
    {
        WritePrivateProfileStringA("991", "Button", button, ctx->answerfile);
        int result = -5;
        EXPECT_EQ(INS_rundonedialog(ctx, &result), ST_OK) << log();
        return result;
    }
};

TEST_F(DoneDialog, EachButtonEndsTheDialogWithItsResult)
{
    EXPECT_EQ(press("112"), 112) << "start the program";
    EXPECT_EQ(press("122"), 122) << "open its help";
    EXPECT_EQ(press("111"), 0) << "finish";
    EXPECT_EQ(press("2"), 0) << "close";
}

TEST_F(DoneDialog, LibraryWithoutTheTemplateIs13071)
{
    FreeLibrary(static_cast<HMODULE>(ctx->resourcelib));
    ctx->resourcelib = GetModuleHandleA(nullptr);  // this program has no template 991
    int result = 0;
    EXPECT_EQ(INS_rundonedialog(ctx, &result), ST_NO_TEMPLATE);
    ctx->resourcelib = LoadLibraryA(winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL")).c_str());
}

std::string companion(const std::string& relative)
{
    std::string dll = winpaths::from_unix(winpaths::env("TEST_RESOURCE_DLL"));
    std::string build = dll.substr(0, dll.rfind('\\'));
    return build.substr(0, build.rfind('\\') + 1) + relative;
}

TEST_F(DoneDialog, SetupToolIsStartedBeforeTheDialogAndRemovedAfterIt)
{
    CreateDirectoryA((root + "PROGRAM").c_str(), nullptr);
    UL_copytext(ctx->programdir, (root + "PROGRAM\\").c_str());
    // The printer installer companion stands in for the tool: it records its start.
    std::string tool = root + "PROGRAM\\ZARARAV.EXE";
    ASSERT_TRUE(CopyFileA(companion("companions\\veqaddpr\\VEQADDPR.EXE").c_str(), tool.c_str(), FALSE));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string record = std::string(windows) + "\\VEQADDPR.LOG";
    DeleteFileA(record.c_str());

    // Put there by someone else, not by this run's copy: neither run nor removed.
    WritePrivateProfileStringA("991", "Button", "111", ctx->answerfile);
    ASSERT_EQ(INS_showdone(ctx), ST_OK) << log();
    EXPECT_EQ(read(record), "") << "a planted tool ran";
    EXPECT_TRUE(exists(tool)) << "a planted tool was removed";

    // Copied from the set by this run's copy of a directory.
    CreateDirectoryA((root + "SET").c_str(), nullptr);
    ASSERT_TRUE(MoveFileA(tool.c_str(), (root + "SET\\ZARARAV.EXE").c_str()));
    UL_copytext(ctx->sourcedir, (root + "SET\\").c_str());
    ASSERT_EQ(INS_expanddirectory(ctx, ctx->programdir, ctx->sourcedir), ST_OK) << log();
    ASSERT_EQ(ctx->copiedsetuptool, 1);
    ASSERT_EQ(INS_showdone(ctx), ST_OK) << log();
    // The unattended dialog stays up long enough for the tool to have ended.
    EXPECT_NE(read(record).find("ZARARAV.EXE"), std::string::npos) << "the tool was started";
    EXPECT_FALSE(exists(tool)) << "and removed after the dialog";
    DeleteFileA(record.c_str());
}

TEST_F(DoneDialog, StartButtonShowsTheInstalledProgramsWindow)
{
    CreateDirectoryA((root + "PROGRAM").c_str(), nullptr);
    CreateDirectoryA((root + "DATA").c_str(), nullptr);
    UL_copytext(ctx->programdir, (root + "PROGRAM\\").c_str());
    UL_copytext(ctx->productname, "ZELTAFAX");
    ctx->copiedprogram = 1;  // as when the copy brought it
    ASSERT_TRUE(CopyFileA(companion("companions\\standin\\ZELTAFAX.EXE").c_str(),
                          (root + "PROGRAM\\ZELTAFAX.EXE").c_str(), FALSE));
    write(root + "DATA\\ZELTAFAX.ini", "[GENERAL]\r\nUSERNAME=Ann Smith\r\n");

    WritePrivateProfileStringA("991", "Button", "112", ctx->answerfile);
    ASSERT_EQ(INS_showdone(ctx), ST_OK) << log();
    HWND window = nullptr;
    // The window exists a moment before it is shown: wait for both.
    for (int i = 0; i < 100 && !(window && IsWindowVisible(window)); ++i) {
        Sleep(100);
        window = FindWindowA("VEQ-STANDIN", "ZELTAFAX");
    }
    ASSERT_NE(window, nullptr) << "the program's window titled with its name";
    EXPECT_TRUE(IsWindowVisible(window));
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0) << "it closes like any window";
    CloseHandle(process);
}

}  // namespace
