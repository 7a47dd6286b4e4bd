// The subdirectories an installation may make below its directory, parents
// before their children: the copy plan makes them from this list, and the
// uninstaller removes them from it (children first) for an installation made
// before the record. Header-only, since the uninstaller is built apart.
#pragma once

inline constexpr const char* UL_INSTALLTREE[] = {
    "TEMP", "RECEIVE", "SEND", "PROGRAM", "DATA", "SDK",
    "SCRIPT1", "SCRIPT2", "SCRIPT3", "SCRIPT4", "SCRIPT5", "SCRIPT6", "SCRIPT7", "SCRIPT8", "SCRIPT9",
    "MBOX000", "MBOX000\\DSEND", "MBOX000\\DRECV", "MBOX000\\FOD", nullptr,
};
