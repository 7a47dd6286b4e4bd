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
