#include <windows.h>

#include "files/diskspace.h"

bool UL_getdiskfree(const char* root, disk_free* out)
{
    DWORD spc = 0, bps = 0, freec = 0, total = 0;
    if (!GetDiskFreeSpaceA(root, &spc, &bps, &freec, &total)) return false;
    out->sectorspercluster = spc;
    out->bytespersector = bps;
    out->freeclusters = freec;
    out->totalclusters = total;
    return true;
}
