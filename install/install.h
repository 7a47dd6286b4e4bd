// The installation sequence and the small steps only it uses.
#pragma once
#include "shell/context.h"

status_t INS_install(setup_context* ctx);
// 13000 when the user has asked to stop, else 0; keeps the windows alive.
status_t INS_checkabort(setup_context* ctx);

// The destination tree of the product; 2231 when a directory cannot be made.
status_t INS_makedirs(setup_context* ctx);
// Always 0; result 0 = created or already there, 1 = empty path, 2 = creation failed.
status_t INS_createdir(setup_context* ctx, const char* path, std::uint16_t* result);
// The country file of the chosen country into the data directory, when there is one.
status_t INS_copycountry(setup_context* ctx);
// The fax configuration template into the Windows directory.
status_t INS_copyfaxini(setup_context* ctx);

// The copy plan disk by disk: copy runs for every inserted disk, ask requests
// the next one (cancelled = 1 when the user refused).
typedef status_t (*ins_copydisk)(setup_context* ctx);
typedef status_t (*ins_askdisk)(setup_context* ctx, std::int16_t disk, std::uint16_t* cancelled);
status_t INS_diskloop(setup_context* ctx, ins_copydisk copy, ins_askdisk ask);
