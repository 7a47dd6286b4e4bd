// What the native doubles of the sequence's dialogs and progress window do and record.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "shell/status.h"

namespace sequencedoubles {
// Calls in order: "country", "proceed", "askpath", "disk N", "open <title>", "close", "fail N".
extern std::vector<std::string> calls;
// Scripted answers.
extern status_t country_status;
extern std::vector<bool> proceed_cancels;  // per showing; missing entries accept
extern std::vector<int> askpath_back;      // per showing: 1 = the user pressed Back
extern status_t askpath_status;
extern bool disk_cancel;
extern std::string destination;            // pathname set when the destination is accepted
extern bool question_yes;                  // the answer of every yes/no question ("question N")
void reset();
}  // namespace sequencedoubles
