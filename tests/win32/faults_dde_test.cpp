// The Program Manager conversation when a window of the machine has stopped
// answering (a hung shell or program): the initiate must not wait for it for
// ever; and when the server refuses a command or ends the conversation in the
// middle of one: the wait ends at once. Needs the display that
// scripts/with-wine.sh provides.
#include <windows.h>

#include <dde.h>

#include <cstring>

#include "integration/progman.h"
#include "tests/win32/integration_ddefixture.h"
#include "tests/support/logcheck.h"

namespace {

// A top-level window whose thread never looks at its messages again.
class hung_window {
public:
    hung_window()
    {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
        WaitForSingleObject(ready_, 10000);
    }
    ~hung_window()
    {
        SetEvent(release_);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    HWND window() const { return window_; }

private:
    static DWORD WINAPI run(void* param)
    {
        auto* self = static_cast<hung_window*>(param);
        self->window_ = CreateWindowA(PLAIN_WINDOW_CLASS, "hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        SetEvent(self->ready_);
        WaitForSingleObject(self->release_, INFINITE);  // no message is ever taken
        DestroyWindow(self->window_);
        return 0;
    }
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

// A DDE server of our own in this thread: it refuses the command "[nack]" and
// ends the conversation instead of answering any other.
class ending_server {
public:
    ending_server()
    {
        WNDCLASSA c = {};
        c.lpfnWndProc = proc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "VEQ-TESTSERVER";
        RegisterClassA(&c);
        window_ = CreateWindowA("VEQ-TESTSERVER", "server", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        executes = terminates = 0;
    }
    ~ending_server() { DestroyWindow(window_); }
    HWND window() const { return window_; }
    static int executes;
    static int terminates;  // the client's, answering ours

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
    {
        HWND client = reinterpret_cast<HWND>(wparam);
        switch (message) {
        case WM_DDE_INITIATE: {
            char service[64] = {};
            GlobalGetAtomNameA(LOWORD(lparam), service, sizeof service);
            if (std::strcmp(service, "VEQENDSERVICE") != 0) return 0;
            // The answer's atoms are the server's own; the client deletes them.
            ATOM app = GlobalAddAtomA("VEQENDSERVICE");
            ATOM topic = GlobalAddAtomA("VEQENDSERVICE");
            SendMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window), MAKELPARAM(app, topic));
            return 0;
        }
        case WM_DDE_EXECUTE: {
            ++executes;
            HGLOBAL commands = reinterpret_cast<HGLOBAL>(lparam);
            const char* text = static_cast<const char*>(GlobalLock(commands));
            bool refuse = text && std::strcmp(text, "[nack]") == 0;
            GlobalUnlock(commands);
            if (refuse) {
                PostMessageA(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window),
                             PackDDElParam(WM_DDE_ACK, 0, reinterpret_cast<UINT_PTR>(commands)));
            } else {
                GlobalFree(commands);  // never acknowledged: the client leaves it to us
                PostMessageA(client, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
            }
            return 0;
        }
        case WM_DDE_TERMINATE:
            ++terminates;
            return 0;
        default:
            return DefWindowProcA(window, message, wparam, lparam);
        }
    }
    HWND window_ = nullptr;
};
int ending_server::executes = 0;
int ending_server::terminates = 0;

// The machine the cases below disturb: a hung window, a server of our own.
class HungMachine : public DdeClientTest {};

}  // namespace

TEST_F(HungMachine, InitiateWithAHungWindowEndsAndStillFindsTheShell)
{
    hung_window hung;
    ASSERT_NE(hung.window(), nullptr);

    DWORD start = GetTickCount();
    status_t st = DDE_initiate(ctx, GetModuleHandleA(nullptr), parent, "VEQNOSUCHSERVICE", "VEQNOSUCHSERVICE");
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(st, ST_DDE_NO_SERVER) << log();
    EXPECT_LT(took, 30000u) << "the hung window held the initiate";
    EXPECT_TRUE(logcheck::contains(log(), "before loop"));

    start = GetTickCount();
    ctx->debuglevel = 2;
    st = DDE_initiate(ctx, GetModuleHandleA(nullptr), parent, "PROGMAN", "PROGMAN");
    took = GetTickCount() - start;
    EXPECT_EQ(st, ST_OK) << "the shell still answers beside the hung window\n" << log();
    EXPECT_LT(took, 30000u);
    // The shell ends the context's first conversation before any execute: its end is reported.
    PostMessageA(static_cast<HWND>(ctx->ddeclient), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(ctx->ddeserver), 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_TRUE(logcheck::contains(log(), "before loop\r\nconversation ended\r\n"));
    EXPECT_EQ(ctx->ddeclient, nullptr);
    DDE_terminate(ctx);
}

// The same machine, with a server of our own beside the shell.
class MisbehavingServer : public HungMachine {};

TEST_F(MisbehavingServer, RefusalAndTheServersEndOfTheConversationEndTheWaitAtOnce)
{
    ending_server server;
    ASSERT_NE(server.window(), nullptr);
    ctx->debuglevel = 2;
    ASSERT_EQ(DDE_initiate(ctx, GetModuleHandleA(nullptr), parent, "VEQENDSERVICE", "VEQENDSERVICE"), ST_OK) << log();

    ASSERT_EQ(DDE_execute(ctx, "[nack]"), ST_OK);
    DWORD start = GetTickCount();
    EXPECT_EQ(DDE_waitack(ctx), ST_OK) << "a refusal is no error\n" << log();
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_TRUE(logcheck::contains(log(), "exe buf = [nack]\r\nack lparam (HEX)="));

    ASSERT_EQ(DDE_execute(ctx, "[CreateGroup(VEQ End Test)]"), ST_OK);
    start = GetTickCount();
    EXPECT_EQ(DDE_waitack(ctx), ST_OK) << log();
    DWORD took = GetTickCount() - start;
    EXPECT_LT(took, 3000u) << "the server's terminate must end the wait, not its 10 s time-out";
    std::string l = log();
    EXPECT_FALSE(logcheck::contains(l, "timeout nackflag"));
    EXPECT_TRUE(logcheck::contains(l, "[CreateGroup(VEQ End Test)]\r\nconversation ended\r\nnackflag = 1\r\n"));

    // An execute after the end has nobody to answer it: refused at once too.
    ASSERT_EQ(DDE_execute(ctx, "[AddItem(C:\\X.EXE ,X,)]"), ST_OK);
    start = GetTickCount();
    EXPECT_EQ(DDE_waitack(ctx), ST_OK);
    EXPECT_LT(GetTickCount() - start, 3000u);
    DDE_terminate(ctx);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(ending_server::executes, 2) << "nothing is posted after the end";
    EXPECT_EQ(ending_server::terminates, 1) << "the client answers the server's terminate, once";
    EXPECT_FALSE(logcheck::contains(log(), "timeout nackflag"));
}
