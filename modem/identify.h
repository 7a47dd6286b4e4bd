// Identification of the modem's maker, vendor code and voice capability:
// a fixed decision tree of AT commands, completed by the match sections of INSTALL.INI.
#pragma once
#include <cstdint>

#include "modem/vendors.h"
#include "shell/context.h"
#include "shell/settings.h"  // INS_readinstallkey, which the match sections are read with

enum {
    ATI_AREASIZE = 4096,
    ATI3_AREA = 0,  // the saved answers, in the order they are asked
    ATI4_AREA = 1,
    ATI7_AREA = 2,
    ATI_AREAS = 3,
    VENDORINI_MAX = 11,  // a match section's data-set extension, after trimming
};

// Which of INSTALL.INI's ATI patterns matched. 3, 4, 6 and 8 are also the digit
// that the chip-family data set's extension ends with.
enum ati_match_code : std::int16_t {
    ATIMATCH_NONE = 0,
    ATIMATCH_ATI3 = 3,
    ATIMATCH_ATI4 = 4,
    ATIMATCH_ATI4FAX = 5,  // the tree skips the voice command sets
    ATIMATCH_ATI3A = 6,
    ATIMATCH_ATI4A = 8,
};

status_t INS_identifymodem(setup_context* ctx, std::int16_t* modemclass);
status_t INS_checkvoicemodem(setup_context* ctx, std::uint16_t* voice);
status_t INS_checkmaker(setup_context* ctx, std::int16_t* code, char tag[TEXTSIZE]);
status_t INS_checkess(setup_context* ctx, std::uint16_t* found);
// kind 1 walks IS101MATCH1, 2 ...; kind 0 walks VENDORMATCH1, 2 ...
status_t INS_checkatimatch(setup_context* ctx, std::int16_t kind, std::int16_t* code, char tag[TEXTSIZE]);
status_t INS_checkati(setup_context* ctx, std::int16_t* code);
status_t INS_checkzyxel(setup_context* ctx, std::uint16_t* found);
status_t INS_checksierra(setup_context* ctx, std::uint16_t* found);
status_t INS_checkusrversion(setup_context* ctx, std::int16_t* usrversion);

// The ATI answer block of the running identification.
status_t INS_allocatiblock(setup_context* ctx);
void INS_freeatiblock(setup_context* ctx);
// Index of pattern in the saved answer `area`, or -1 (also for an empty pattern or answer).
std::int16_t INS_findinati(setup_context* ctx, int area, const char* pattern);
// Whether pattern occurs in the answer just received (CM_buffer).
bool INS_inanswer(setup_context* ctx, const char* pattern);
