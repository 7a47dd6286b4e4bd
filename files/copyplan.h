// The copy plan from the medium, the product's directory list and the total size
// (the disk-space check: files/diskspace.h).
// Implemented in files/.
#pragma once
#include <cstdint>

#include "shell/context.h"

status_t INS_expanddirectory(setup_context* ctx, const char* targetdir, const char* sourcedir);
status_t INS_expandall(setup_context* ctx);
status_t INS_getfilesize(setup_context* ctx);

// The subdirectories of the destination for a product, in creation order; ends with nullptr.
// The destination tree is made from it and the copy plan copies only into it.
const char* const* INS_directorylist(std::int16_t whichprogram);
