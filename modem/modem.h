// What the rest of the installer uses of the modem detection.
// Implemented in modem/ (serial port, AT command exchange, identification).
#pragma once
#include <cstdint>

#include "shell/context.h"

// Opens and at once closes the port (1-8); cannotopen = 1 when it cannot be opened. Always 0.
status_t CM_probeport(std::int16_t port, std::uint16_t* cannotopen);
// Opens the port, tries "AT" up to three times, closes it; noanswer = 1 when no OK came.
status_t checkatcommand(std::int16_t port, std::uint16_t* noanswer);
// Identifies the modem on `comport`: maker, vendor code, voice capability.
status_t INS_detectmodem(setup_context* ctx);
