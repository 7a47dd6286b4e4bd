// The scripted serial port of the native tests: modems played by the same
// engine as modemsim, on the virtual clock of the shell doubles.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tools/modemsim/modemprofile.h"

namespace doubles {
// Ports whose device exists (opening any other fails with 900).
extern std::set<int> serialports;
// 1: the driver refuses to report the line settings, 2: to accept them.
extern int serialsettingsfail;
// The modem on each port; a port without one is silent.
extern std::map<int, modemsim::engine> modems;
// Bytes the driver holds for the next read (tests may add to it).
extern std::string serialqueue;
// At most this many bytes per read; 0 = whatever the driver holds.
extern std::uint32_t serialreadlimit;
// Virtual milliseconds a read lets pass when nothing is held and the modem has
// nothing on its way (then only the host's next write can change that); 0 = none.
// Saves the fuzz targets a poll per millisecond of every silent wait.
extern std::uint32_t serialidlestep;
// A port that takes no output: each write waits out the write time-out on the
// virtual clock, reaches no modem and fails, as the Windows port layer reports it.
extern bool serialnooutput;
extern int serialwritecalls;  // writes asked for, taken or not
// Every byte written, with the virtual time it was written at.
extern std::vector<std::pair<std::uint32_t, unsigned char>> serialwritten;
extern std::vector<std::string> serialopened;  // device names, in order
extern int serialdtrdrops;
extern int serialreads;

// Back to eight existing ports, no modem, nothing recorded.
void serialreset();
// Puts a modem that plays the profile file on `port`; false (with the reason) when it does not parse.
bool serialattach(int port, const std::string& profilefile, std::string& error);
void serialattach(int port, const modemsim::profile& profile);
}  // namespace doubles
