// Native doubles of the files/ platform services: a drive whose free space
// the tests set.
#include "tests/native/doubles/files_doubles.h"

namespace doubles {
bool diskfree_ok = true;
disk_free diskfree = {64, 512, 4096, 65535};
std::string diskfree_root;
}  // namespace doubles

bool UL_getdiskfree(const char* root, disk_free* out)
{
    doubles::diskfree_root = root;
    if (!doubles::diskfree_ok) return false;
    *out = doubles::diskfree;
    return true;
}
