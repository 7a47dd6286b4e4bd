// What Program Manager's answers mean to the execute the client waits for,
// and the wait itself. The client window (ddeclient_win32.cpp) only hands the
// server's messages to these operations.
#pragma once
#include <cstdint>

#include "shell/context.h"

enum : int {
    // nackflag: the state of the last execute
    DDE_ACKED = 0,
    DDE_REFUSED = 1,
    DDE_TIMERFIRED = 2,
    DDE_WAITING = 9,
    // pending: the command outstanding
    DDE_PENDING_NONE = 0,
    DDE_PENDING_EXECUTE = 105,
};
enum : std::uint32_t { DDE_ACKTIMEOUT = 10000 };  // also the acknowledgement timer's period

// The last execute's state is the context's ddenackflag and ddepending.

// An execute has gone to the server.
void DDE_executestarted(setup_context* ctx);
// The server's acknowledgement with its status word; true when the command's
// memory came back with it and is the client's to free.
bool DDE_executeanswered(setup_context* ctx, std::uint16_t status);
// The conversation is over (the server ended it, or it is gone): an execute it
// has not answered never will be, and counts as refused. True when one was cut off.
bool DDE_conversationended(setup_context* ctx);
void DDE_timerfired(setup_context* ctx);
// Whether the wait is over `elapsed` ms after it began; *status is then 0, or
// 13027 when the time ran out before any answer.
bool DDE_waitover(const setup_context* ctx, std::uint32_t elapsed, status_t* status);

// Stops the acknowledgement timer (ddeclient_win32.cpp).
void DDE_stoptimer(setup_context* ctx);
