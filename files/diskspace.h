// The drive's free space as the system reports it (GetDiskFreeSpace).
#pragma once
#include <cstdint>

#include "shell/context.h"

struct disk_free {
    std::uint32_t sectorspercluster;
    std::uint32_t bytespersector;
    std::uint32_t freeclusters;
    std::uint32_t totalclusters;
};

// root is a drive's root directory ("C:\"); false when the system cannot tell.
bool UL_getdiskfree(const char* root, disk_free* out);
// Free kilobytes by the installer's rule: bytes per cluster times free
// clusters / 1024, the factor being 1 for 1024 free clusters or fewer.
std::int64_t UL_freekilobytes(const disk_free& d);

// Whether the drive of path has requiredbytes free (a path without a drive
// letter passes); 13076 when it has not, traced with what the drive answered.
status_t UL_checkdiskspace(setup_context* ctx, const char* path, std::int32_t requiredbytes);
// The destination (pathname): a drive letter, and 7 MB free on it; reason 1, 3 or 4 says what failed.
status_t INS_checkdiskspace(setup_context* ctx, std::uint16_t* reason);
