// Knobs of the native doubles of the files/ platform services.
#pragma once
#include <string>

#include "files/diskspace.h"

namespace doubles {
extern bool diskfree_ok;          // whether the drive answers
extern disk_free diskfree;        // what it answers
extern std::string diskfree_root; // the root directory last asked for
extern long readchecked_budget;   // bytes the reads deliver before they fail; -1 = never
extern long write_budget;         // bytes the writes take before they fail; -1 = never
extern bool replace_in_one_step;  // the system replaces a file in one step (Windows NT); false: the 95 family
extern std::string file_in_use;   // a file that can be neither deleted, moved nor replaced

inline void reset_filesystem()
{
    readchecked_budget = -1;
    write_budget = -1;
    replace_in_one_step = false;
    file_in_use.clear();
}
}  // namespace doubles
