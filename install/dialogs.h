// The dialogs of the installation sequence and the readers of the list files
// behind them.
#pragma once
#include <cstdint>

#include "shell/context.h"

enum {
    MODEMLIST_MAX = 100,
    COUNTRY_MAX = 20,
    COUNTRYEXT_SIZE = 10,  // 9 characters
};

// Country (template 988); 0 without a country list.
status_t INS_askcountry(setup_context* ctx);
// Diskette (template 900); cancelled = 0 only when the disk was confirmed.
status_t INS_changediskette(setup_context* ctx, std::int16_t disk, std::uint16_t* cancelled);
// Destination (template 992); cancelled = 1 when the user cancelled.
status_t INS_proceed(setup_context* ctx, std::uint16_t* cancelled);
// User details, modem and port (template 997), then the identification.
status_t INS_askpath(setup_context* ctx);
// The modem identification behind the progress window.
status_t INS_searchmodem(setup_context* ctx);

// What the two dialogs decide (destination.cpp).
// The typed destination (pathname): its length and characters, the question
// when it is there already, the room, the directory made; accepted when the
// dialog may end. A refusal records the destination with its status.
status_t INS_checkdestination(setup_context* ctx, ul_window owner, bool* accepted);
// The user dialog's OK with the modem list's selection (-1: none): the second
// entry skips the identification, the first probes the chosen port.
status_t INS_checkmodemchoice(setup_context* ctx, long selection);
enum user_dialog_end { USER_DIALOG_OK, USER_DIALOG_CANCELLED, USER_DIALOG_BACK, USER_DIALOG_NOT_SHOWN };
// After the user dialog: back to the destination, cancelled, or the
// identification (the fallback vendor when it is skipped) and the answers' trace.
status_t INS_userdialogdone(setup_context* ctx, user_dialog_end end);

// Portable part.
status_t INS_readcountrylist(setup_context* ctx, const char* filename, char (*extensions)[COUNTRYEXT_SIZE],
                             char (*names)[TEXTSIZE], std::int16_t* count);
status_t INS_getselection(setup_context* ctx, std::int16_t maximum, const char* listpath, char (*texts)[TEXTSIZE],
                          std::int16_t* numbers, std::int16_t* count);
status_t INS_readuserini(setup_context* ctx);
// Whether every file path of the tree (deepest: MBOX000\DRECV\ and an 8.3
// name) fits the installer's 79-character paths under this destination.
bool INS_destinationfits(const char* path);
status_t INS_makepath(setup_context* ctx, const char* path, std::uint16_t* result);
status_t INS_deletedir(setup_context* ctx, const char* path, std::uint16_t* result);
// The check file of a diskette: sourcedir + disk number + ".txt".
void INS_diskcheckfile(const setup_context* ctx, std::int16_t disk, char out[TEXTSIZE]);
// The prompt of the diskette dialog: message 481 + disk + message 482 + drive letter; false when a text is missing.
bool INS_diskprompt(setup_context* ctx, std::int16_t disk, char* out, std::size_t size);
