// The drive's free space as the system reports it (GetDiskFreeSpace).
#pragma once
#include <cstdint>

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
