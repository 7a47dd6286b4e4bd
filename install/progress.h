// The progress window with its stop button.
#pragma once
#include "shell/context.h"

// Refreshes the window (texts and bar when refresh is set), lets waiting
// messages through and reports whether the user asked to stop.
status_t INS_keyabortpoll(setup_context* ctx, std::uint16_t* stop, std::uint16_t refresh);
