// The main window's teardown: exactly once, and never under a running sequence.
#include <gtest/gtest.h>

#include "shell/context.h"
#include "shell/mainwindow_win32.h"
#include "shell/startup.h"
#include "shell/text.h"
#include "tests/win32/support/winpaths.h"

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA c = {};
            c.lpfnWndProc = TST_wndprocmain;
            c.hInstance = GetModuleHandleA(nullptr);
            c.lpszClassName = "maintest";
            ASSERT_NE(RegisterClassA(&c), 0);
            registered = true;
        }
        ASSERT_EQ(INS_createcontext(&ctx), ST_OK);
        UL_copytext(ctx->windowsdir, dir.path().c_str());
        INS_context = ctx;
        window = CreateWindowExA(0, "maintest", "Install", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (INS_context) INS_destroycontext(INS_context);
        INS_context = nullptr;
    }
    // The exit code of the quit message waiting in the queue, or -1 when none.
    static int quitcode()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT) return int(msg.wParam);
        return -1;
    }

    winpaths::tempdir dir;
    setup_context* ctx = nullptr;
    HWND window = nullptr;
};

TEST_F(MainWindow, DestroyingTheWindowTearsDownOnceAndPostsQuit)
{
    std::string copy = dir.write("VEQINS.DLL", "library copy");
    DestroyWindow(window);
    EXPECT_EQ(INS_context, nullptr) << "the context is released and forgotten";
    EXPECT_EQ(quitcode(), 0);
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES) << "the library copy is deleted";
}

TEST_F(MainWindow, DestroyedWhileTheSequenceRunsKeepsTheContext)
{
    ctx->running = 1;
    DestroyWindow(window);
    ASSERT_EQ(INS_context, ctx) << "the sequence still owns the context";
    EXPECT_EQ(ctx->closepending, 1);
    EXPECT_EQ(quitcode(), -1) << "no quit before the sequence has returned";
}

TEST_F(MainWindow, IdleAndUnknownCommandsChangeNothing)
{
    EXPECT_EQ(SendMessageA(window, WM_ENTERIDLE, MSGF_DIALOGBOX, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, 127, 0), 0);
    EXPECT_EQ(INS_context, ctx);
    DestroyWindow(window);
}

}  // namespace
