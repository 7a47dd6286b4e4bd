// What the native doubles of the system integration's platform side record
// and serve: a scripted service control manager, a Program Manager that
// acknowledges, a registry map, shortcuts, started programs and WIN.INI.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace integration_doubles {

// Service control manager: error numbers each call returns (0 = succeeds).
struct scm_script {
    std::uint32_t open = 0;
    std::uint32_t openservice = 0;
    std::uint32_t query = 0;
    std::uint32_t state = 1;  // stopped
    std::uint32_t stop = 0;
    std::uint32_t remove = 0;
};
extern scm_script scm;
extern std::vector<std::string> scmcalls;  // "open", "openservice <name>", "query", "stop", "delete", "close"

// Program Manager: commands executed, in order; initiate's status.
extern std::vector<std::string> ddecommands;
extern std::uint16_t ddeinitiate;
extern int ddeterminated;
// What Program Manager does with each execute, in order (past the end: acknowledges).
enum class ddeanswer { ack, nack, silent, terminate };
extern std::vector<ddeanswer> ddeanswers;
extern int ddetimerstops;

// Registry values: "ROOT\key" -> value name ("" = default) -> text.
extern std::map<std::string, std::map<std::string, std::string>> registry;
struct shortcut {
    std::string target, folder, name;
};
extern std::vector<shortcut> shortcuts;
extern std::string sendto;  // empty: the shell knows no Send To folder
// A silent run's group: the Programs folder (empty: unknown), the folders made
// and the items written there ("folder|program|argument|title|icon").
extern std::string programs;
extern std::vector<std::string> folders;
extern std::vector<std::string> groupitems;

// Programs started: command lines; how many 100 ms waits before they end.
extern std::vector<std::string> started;
extern std::uint32_t startfailure;  // error code UL_startprogram reports (0 = starts)
extern int waitsteps;
extern int waits;
// WIN.INI entries written ("section|key|value") and broadcasts.
extern std::vector<std::string> winini;
extern std::vector<std::string> broadcasts;
extern bool wininirefuses;

// The closing dialog: result it returns (or -1: cannot be shown) and the
// programs it started without waiting.
extern int doneresult;
extern std::vector<std::string> run;
extern int closeposted;
extern int progressclosed;

void reset();

}  // namespace integration_doubles
