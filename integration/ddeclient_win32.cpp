// The DDE client of Program Manager: one conversation at a time, driven from
// the installer's thread by pumping messages while it waits. What each answer
// means, and the wait for it, are in ddewait.cpp.
#include "integration/ddeclient_win32.h"

#include <dde.h>

#include <cstring>

#include "files/log.h"
#include "integration/ddewait.h"
#include "integration/progman.h"
#include "shell/platform.h"

namespace {

const UINT INITIATE_WINDOW_MS = 3000;  // per top-level window answering the initiate

enum : UINT_PTR { ACK_TIMER = 1016 };
enum : DWORD { ACK_TIMEOUT_MS = DDE_ACKTIMEOUT };

// The conversation's windows; process-wide like the window class.
struct dde_state {
    setup_context* ctx;
    HWND client;
    HWND server;
    bool initiating;
};
dde_state dde;

bool timed_out(DWORD start) { return GetTickCount() - start > ACK_TIMEOUT_MS; }

// Nobody will answer the execute outstanding: the wait for it ends now.
void conversation_over()
{
    if (DDE_conversationended(&DDE_lastexecute) && dde.ctx && UL_logdetail(dde.ctx))
        UL_logline(dde.ctx, "conversation ended");
}

void on_initiate_ack(HWND sender, LPARAM lparam)
{
    DDE_lastexecute.pending = DDE_PENDING_NONE;
    dde.server = sender;  // a later answer replaces an earlier one
    // The atoms of the answer are the server's; the client releases them.
    if (LOWORD(lparam)) GlobalDeleteAtom(LOWORD(lparam));
    if (HIWORD(lparam)) GlobalDeleteAtom(HIWORD(lparam));
}

void on_execute_ack(LPARAM lparam)
{
    if (dde.ctx) UL_loglonghex(dde.ctx, "ack lparam (HEX)=", std::uint32_t(lparam));
    UINT_PTR status = 0, commands = 0;
    UnpackDDElParam(WM_DDE_ACK, lparam, &status, &commands);
    FreeDDElParam(WM_DDE_ACK, lparam);
    if (DDE_executeanswered(&DDE_lastexecute, std::uint16_t(status)) && commands)
        GlobalFree(reinterpret_cast<HGLOBAL>(commands));
}

LRESULT on_terminate(HWND window)
{
    // The answer to an earlier conversation's terminate can arrive while the
    // next one runs: only the current client window speaks for the server.
    if (window == dde.client) {
        if (dde.server) PostMessageA(dde.server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
        dde.server = nullptr;
        dde.client = nullptr;
        // The command's memory stays: the server may still hold it.
        conversation_over();
    }
    DestroyWindow(window);
    return 0;
}

}  // namespace

LRESULT CALLBACK DDE_clientproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_TIMER:
        DDE_timerfired(&DDE_lastexecute);
        return 0;
    case WM_DDE_ACK:
        KillTimer(window, ACK_TIMER);
        if (dde.initiating) {
            on_initiate_ack(reinterpret_cast<HWND>(wparam), lparam);
        } else {
            on_execute_ack(lparam);
        }
        return 0;
    case WM_DDE_TERMINATE:
        return on_terminate(window);
    case WM_DDE_DATA:
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

status_t DDE_initiate(setup_context* ctx, ul_module instance, ul_window parent, const char* service,
                      const char* subject)
{
    dde.ctx = ctx;
    dde.server = nullptr;
    dde.client = CreateWindowA("VEQ-DDE", "ClientDDE", WS_CHILD, 0, 0, 0, 0, static_cast<HWND>(parent), nullptr,
                               static_cast<HINSTANCE>(instance), nullptr);
    if (!dde.client) {
        UL_logerror(ctx, "DDE_initiate", ST_DDE_NO_WINDOW);
        return ST_DDE_NO_WINDOW;
    }
    ATOM app = GlobalAddAtomA(service);
    ATOM topic = GlobalAddAtomA(subject);
    dde.initiating = true;
    // A hung top-level window (a shell that stopped answering) would hold a plain
    // send for ever: each window gets a limited time, a hung one is skipped, and
    // a shell that did not answer is then a missing server (13024).
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(dde.client), MAKELONG(app, topic),
                        SMTO_ABORTIFHUNG, INITIATE_WINDOW_MS, &ignored);
    UL_logline(ctx, "before loop");
    DWORD start = GetTickCount();
    MSG msg;
    while (!dde.server && !timed_out(start)) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            Sleep(1);
        }
    }
    dde.initiating = false;
    GlobalDeleteAtom(app);
    GlobalDeleteAtom(topic);
    if (dde.server) return ST_OK;
    UL_logerror(ctx, "DDE_initiate", ST_DDE_NO_SERVER);
    return ST_DDE_NO_SERVER;
}

status_t DDE_execute(setup_context* ctx, const char* command)
{
    UL_logstring(ctx, "exe buf = ", command);
    std::size_t size = std::strlen(command) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE, size);
    if (!memory) return ST_DDE_NO_MEMORY;
    void* text = GlobalLock(memory);
    if (!text) {
        GlobalFree(memory);
        return ST_DDE_NO_LOCK;
    }
    std::memcpy(text, command, size);
    GlobalUnlock(memory);

    DDE_executestarted(&DDE_lastexecute);
    // A server that ended the conversation (or whose window is gone) answers
    // nothing: the execute counts as refused at once instead of waiting out
    // the time-out. Without a client window there is no timer either.
    if (!dde.client || !dde.server ||
        !PostMessageA(dde.server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(dde.client),
                      reinterpret_cast<LPARAM>(memory))) {
        GlobalFree(memory);
        conversation_over();
        return ST_OK;
    }
    SetTimer(dde.client, ACK_TIMER, ACK_TIMEOUT_MS, nullptr);
    return ST_OK;
}

void DDE_stoptimer()
{
    if (dde.client) KillTimer(dde.client, ACK_TIMER);
}

status_t DDE_terminate(setup_context* ctx)
{
    if (dde.server && IsWindow(dde.server))
        PostMessageA(dde.server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(dde.client), 0);
    dde.server = nullptr;
    UL_logline(ctx, "before loop");
    DWORD start = GetTickCount();
    MSG msg;
    while (!timed_out(start) && PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) {
        DispatchMessageA(&msg);
        if (msg.message == WM_DDE_TERMINATE) break;
    }
    UL_logline(ctx, "after loop");
    return ST_OK;
}
