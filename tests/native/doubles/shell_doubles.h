// What the native doubles of the system services record and serve.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace doubles {
// The resource library's string table (served when a library handle is set).
extern std::map<unsigned, std::string> strings;
// Message boxes shown: caption, text.
extern std::vector<std::pair<std::string, std::string>> boxes;
// Virtual clock behind UL_gettickcount; UL_sleep advances it.
extern std::uint32_t clock_ms;
extern std::string modulepath;
// Lines painted into the log window of a client area clientheight pixels high.
struct painted_line {
    int y;
    bool scrolled;
    std::string text;
};
extern std::vector<painted_line> painted;
extern int clientheight;
}  // namespace doubles

namespace doubles {
extern std::string windowsdir;  // as UL_getwindowsdir returns it
extern std::int16_t winversion; // what INS_getwinversion reports
extern std::vector<std::string> deletedatrestart;
extern int checkabort_calls;    // INS_keyabortpoll calls so far
extern int stop_at_call;        // the poll that reports a stop request; 0 = never
}  // namespace doubles
