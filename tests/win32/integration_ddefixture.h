// A setup context whose DDE client can start a conversation, as the installer's
// start-up leaves it: the client's window class registered and a plain
// top-level window as the main window, the client's parent.
#pragma once
#include <windows.h>

#include "integration/ddeclient_win32.h"
#include "tests/win32/integration_fixture.h"

// The class of the stand-in main window; the tests' own plain windows use it too.
constexpr char PLAIN_WINDOW_CLASS[] = "VEQ-TESTPLAIN";

class DdeClientTest : public WineIntegrationTest {
protected:
    HWND parent = nullptr;

    void SetUp() override
    {
        WineIntegrationTest::SetUp();
        HINSTANCE instance = GetModuleHandleA(nullptr);
        register_class(DDE_clientproc, "VEQ-DDE");
        register_class(DefWindowProcA, PLAIN_WINDOW_CLASS);
        parent = CreateWindowA(PLAIN_WINDOW_CLASS, "main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance,
                               nullptr);
        ASSERT_NE(parent, nullptr);
        ctx->hinstance = instance;
        ctx->mainwindow = parent;
    }

    void TearDown() override
    {
        DestroyWindow(parent);
        WineIntegrationTest::TearDown();
    }

private:
    // A second registration in the same process fails harmlessly.
    static void register_class(WNDPROC proc, const char* name)
    {
        WNDCLASSA c = {};
        c.lpfnWndProc = proc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = name;
        RegisterClassA(&c);
    }
};
