// Knobs and records of the native doubles of the voice conversion's system
// services: a compressor "library" bound to the in-process coder, and a
// scripted external program on the virtual clock.
#pragma once
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace doubles {
// Library loading: a path loads when the file exists, unless load_error is set.
extern std::int32_t load_error;          // reported as the system's error code
extern std::set<std::string> missing_entries;
extern std::vector<std::string> loaded;  // paths loaded
extern int libraries_open;               // loaded and not yet freed
extern bool invert8;                     // the library variant with inverted 8-bit codes
extern std::uint16_t library_status;     // returned by the entry points instead of coding when not 0
struct sb_call {
    std::string entry;
    void* opaque;
    std::int16_t vendorindex;  // -1 for the plain entry points
    std::int32_t coding;
    std::int16_t startflag;
    std::uint16_t bytecount;
};
extern std::vector<sb_call> sb_calls;

// External programs: each start runs `task_action` with the command line, then
// the program "runs" task_runtime_ms of virtual time and exits with task_exitcode.
extern std::int32_t task_start_error;    // 0: the program starts
extern std::uint32_t task_runtime_ms;
extern std::uint32_t task_exitcode;
extern bool task_wait_fails;             // every wait fails at once (a millisecond passes)
extern std::function<void(const std::string&)> task_action;
extern std::vector<std::string> task_commands;
extern int tasks_terminated;
extern int tasks_open;

void reset_voice();
}  // namespace doubles
