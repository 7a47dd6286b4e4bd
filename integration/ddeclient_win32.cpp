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

HWND window_of(ul_window w) { return static_cast<HWND>(w); }

// The context whose conversation a client window carries, handed to it at creation.
setup_context* context_of(HWND window)
{
    return reinterpret_cast<setup_context*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool timed_out(DWORD start) { return GetTickCount() - start > ACK_TIMEOUT_MS; }

// Nobody will answer the execute outstanding: the wait for it ends now.
void conversation_over(setup_context* ctx)
{
    if (DDE_conversationended(ctx) && UL_logdetail(ctx)) UL_logline(ctx, "conversation ended");
}

void on_initiate_ack(setup_context* ctx, HWND sender, LPARAM lparam)
{
    ctx->ddepending = DDE_PENDING_NONE;
    ctx->ddeserver = sender;  // a later answer replaces an earlier one
    // The atoms of the answer are the server's; the client releases them.
    if (LOWORD(lparam)) GlobalDeleteAtom(LOWORD(lparam));
    if (HIWORD(lparam)) GlobalDeleteAtom(HIWORD(lparam));
}

void on_execute_ack(setup_context* ctx, LPARAM lparam)
{
    UL_loglonghex(ctx, "ack lparam (HEX)=", std::uint32_t(lparam));
    UINT_PTR status = 0, commands = 0;
    UnpackDDElParam(WM_DDE_ACK, lparam, &status, &commands);
    FreeDDElParam(WM_DDE_ACK, lparam);
    if (DDE_executeanswered(ctx, std::uint16_t(status)) && commands)
        GlobalFree(reinterpret_cast<HGLOBAL>(commands));
}

LRESULT on_terminate(setup_context* ctx, HWND window)
{
    // The answer to an earlier conversation's terminate can arrive while the
    // next one runs: only the current client window speaks for the server.
    if (window == ctx->ddeclient) {
        if (ctx->ddeserver)
            PostMessageA(window_of(ctx->ddeserver), WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window), 0);
        ctx->ddeserver = nullptr;
        ctx->ddeclient = nullptr;
        // The command's memory stays: the server may still hold it.
        conversation_over(ctx);
    }
    DestroyWindow(window);
    return 0;
}

}  // namespace

LRESULT CALLBACK DDE_clientproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcA(window, message, wparam, lparam);
    }
    setup_context* ctx = context_of(window);
    if (!ctx) return DefWindowProcA(window, message, wparam, lparam);
    switch (message) {
    case WM_TIMER:
        DDE_timerfired(ctx);
        return 0;
    case WM_DDE_ACK:
        KillTimer(window, ACK_TIMER);
        if (ctx->ddeinitiating) {
            on_initiate_ack(ctx, reinterpret_cast<HWND>(wparam), lparam);
        } else {
            on_execute_ack(ctx, lparam);
        }
        return 0;
    case WM_DDE_TERMINATE:
        return on_terminate(ctx, window);
    case WM_DDE_DATA:
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

status_t DDE_initiate(setup_context* ctx, ul_module instance, ul_window parent, const char* service,
                      const char* subject)
{
    if (!ctx->ddestarted) {
        // Until the first execute the state reads as one waited for: a server
        // that ends the first conversation before any execute is reported.
        ctx->ddenackflag = DDE_WAITING;
        ctx->ddepending = DDE_PENDING_NONE;
        ctx->ddestarted = 1;
    }
    ctx->ddeserver = nullptr;
    HWND client = CreateWindowA("VEQ-DDE", "ClientDDE", WS_CHILD, 0, 0, 0, 0, window_of(parent), nullptr,
                                static_cast<HINSTANCE>(instance), ctx);
    ctx->ddeclient = client;
    if (!client) {
        UL_logerror(ctx, "DDE_initiate", ST_DDE_NO_WINDOW);
        return ST_DDE_NO_WINDOW;
    }
    ATOM app = GlobalAddAtomA(service);
    ATOM topic = GlobalAddAtomA(subject);
    ctx->ddeinitiating = 1;
    // A hung top-level window (a shell that stopped answering) would hold a plain
    // send for ever: each window gets a limited time, a hung one is skipped, and
    // a shell that did not answer is then a missing server (13024).
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(client), MAKELONG(app, topic),
                        SMTO_ABORTIFHUNG, INITIATE_WINDOW_MS, &ignored);
    UL_logline(ctx, "before loop");
    DWORD start = GetTickCount();
    MSG msg;
    while (!ctx->ddeserver && !timed_out(start)) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            Sleep(1);
        }
    }
    ctx->ddeinitiating = 0;
    GlobalDeleteAtom(app);
    GlobalDeleteAtom(topic);
    if (ctx->ddeserver) return ST_OK;
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

    DDE_executestarted(ctx);
    // A server that ended the conversation (or whose window is gone) answers
    // nothing: the execute counts as refused at once instead of waiting out
    // the time-out. Without a client window there is no timer either.
    HWND client = window_of(ctx->ddeclient);
    if (!client || !ctx->ddeserver ||
        !PostMessageA(window_of(ctx->ddeserver), WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(client),
                      reinterpret_cast<LPARAM>(memory))) {
        GlobalFree(memory);
        conversation_over(ctx);
        return ST_OK;
    }
    SetTimer(client, ACK_TIMER, ACK_TIMEOUT_MS, nullptr);
    return ST_OK;
}

void DDE_stoptimer(setup_context* ctx)
{
    if (ctx->ddeclient) KillTimer(window_of(ctx->ddeclient), ACK_TIMER);
}

status_t DDE_terminate(setup_context* ctx)
{
    HWND server = window_of(ctx->ddeserver);
    if (server && IsWindow(server))
        PostMessageA(server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(ctx->ddeclient), 0);
    ctx->ddeserver = nullptr;
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
