// The free room of a drive, from what the drive answers.
#include "files/diskspace.h"

std::int64_t UL_freekilobytes(const disk_free& d)
{
    std::int64_t factor = d.freeclusters > 1024 ? d.freeclusters / 1024 : 1;
    return std::int64_t(d.bytespersector) * d.sectorspercluster * factor;
}
