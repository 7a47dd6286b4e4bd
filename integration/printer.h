// The fax printer: its driver files and the printer step that INSTALLPRINTER asks for.
#pragma once
#include <cstdint>

#include "shell/context.h"

status_t INS_CopyAddPrinterFiles(setup_context* ctx, std::int16_t fromwindows, const char* sourcedir,
                                 const char* programdir, const char* windowsdir);
// Runs "programdir\VEQADDPR.EXE" /p<selector> [/d] and waits for it to end,
// when this run copied it from the set (else 0 and nothing is run).
status_t INS_StartAddPrinter(setup_context* ctx, std::int16_t whichprogram, const char* programdir);
// The WIN.INI printer entries and VEQ.DRV in the system directory.
status_t INS_installprinterdrv(setup_context* ctx);
// One WIN.INI entry, announced to all top-level windows; 0 or 2214.
status_t INS_writeprofile(setup_context* ctx, const char* section, const char* key, const char* value);
// The printer instructions in Write, then the Add Printer wizard. Always 0.
status_t INS_showaddprinter(setup_context* ctx);

// The first of systemdir + name and windowsdir + name that exists, in out;
// false (traced at level 2, out empty) when neither does. The system's own
// programs are started by such a whole path, never by a bare name.
bool INS_windowsprogram(setup_context* ctx, char out[TEXTSIZE], const char* name);

// Which printer step an INSTALLPRINTER value asks for on this Windows.
enum printer_step { PRINTER_NONE, PRINTER_PROGRAM, PRINTER_WININI, PRINTER_WIZARD };
printer_step INS_printerstep(std::int16_t installprinter, std::int16_t winversion);
// Runs the chosen step; 0 or its failure.
status_t INS_installprinter(setup_context* ctx);

// Platform side (printer_win32.cpp; recorded by the native doubles).
// Starts a command line in a new console with the installer's start-up
// information; 0 or the system's error code.
std::uint32_t UL_startprogram(const char* commandline, ul_handle* process);
// True when the program has ended within the given time.
bool UL_waitprogram(ul_handle process, std::uint32_t milliseconds);
void UL_closeprogram(ul_handle process);
// WIN.INI through the system's profile service; false when refused.
bool UL_writewinini(const char* section, const char* key, const char* value);
// WM_WININICHANGE with the section name to all top-level windows.
void UL_broadcastwininichange(const char* section);
