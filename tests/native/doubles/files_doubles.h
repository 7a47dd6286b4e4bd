// Knobs of the native doubles of the files/ platform services.
#pragma once
#include <string>

#include "files/diskspace.h"

namespace doubles {
extern bool diskfree_ok;          // whether the drive answers
extern disk_free diskfree;        // what it answers
extern std::string diskfree_root; // the root directory last asked for
extern long readchecked_budget;   // bytes the reads deliver before they fail; -1 = never
}  // namespace doubles
