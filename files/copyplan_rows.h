// The rows of the copy plan as data, for the installer and the set builder.
#pragma once
#include <cstdint>
#include <vector>

enum copyplan_list { PLAN_CDROM = 1, PLAN_FIXED = 2, PLAN_VENDOR = 3 };

struct copyplan_row {
    const char* source;  // below sourcedir
    const char* target;  // below pathname; "" is pathname itself
    copyplan_list list;
};

// Every row that INS_expandall copies, in order.
std::vector<copyplan_row> INS_copyplanrows(std::int16_t vendor, bool cdrom);
