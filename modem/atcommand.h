// The AT command engine: flush, send a command paced byte by byte, then poll
// the port every millisecond and search everything received since the send.
#pragma once
#include <cstdint>

#include "shell/context.h"

enum {
    CM_ANSWERSIZE = 20,   // one entry of an answer table: at most 19 characters
    CM_COMMANDSIZE = 80,  // a command of at most 78 characters, its CR and the NUL
};

typedef char cm_answer[CM_ANSWERSIZE];

status_t CM_send(setup_context* ctx, const char* command);
// Index of the first occurrence of pattern in the count bytes of buffer, or -1.
status_t CM_find(setup_context* ctx, const unsigned char* buffer, const char* pattern, std::int16_t count,
                 std::int16_t* index);
status_t CM_waitfor(setup_context* ctx, const char* expected, std::int16_t seconds, std::uint16_t* found);
status_t CM_waitforany(setup_context* ctx, const cm_answer* table, std::int16_t count, std::int16_t seconds,
                       std::int16_t* index);
status_t CM_sendcheck(setup_context* ctx, const char* command, std::uint16_t* ok);
status_t CM_sendexpect(setup_context* ctx, const char* command, std::int16_t seconds);
// The 5-second form, which traces the command once it was accepted.
status_t CM_sendexpect(setup_context* ctx, const char* command);
status_t CM_tracebuffer(setup_context* ctx);
status_t CM_sleep(setup_context* ctx, std::uint32_t milliseconds);

// The received text from `offset` for a trace line: up to its first NUL, at most
// 79 characters, never beyond the buffer (which holds no NUL when full).
void CM_buffertext(const setup_context* ctx, char out[80], std::int16_t offset);
