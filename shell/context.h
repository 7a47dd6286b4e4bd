// The setup context: the one record of installer state, created zero-filled
// at start-up and handed to every operation as its first argument.
#pragma once
#include <cstdint>

#include "shell/status.h"

typedef void* ul_window;    // HWND
typedef void* ul_module;    // HINSTANCE / HMODULE
typedef void* ul_handle;    // any other system handle (icon, accelerators ...)
typedef std::intptr_t ul_file;  // open file; 0 = none

enum {
    TEXTSIZE = 80,  // 79 characters and the NUL
};

// Where the dialog sequence stands (INS_back): at its first showing, going
// forward, or back from the user dialog to the destination.
enum { BACK_NONE = 0, BACK_TO_DESTINATION = 1, BACK_FIRST_SHOWING = 2 };

// What a run shows: everything, only the progress window (/SILENT), nothing (/VERYSILENT).
enum { SILENT_NONE = 0, SILENT_PROGRESS = 1, SILENT_NOTHING = 2 };

struct setup_context {
    // Run time: debug log and message loader.
    char programname[TEXTSIZE];
    std::int16_t debuglevel;
    std::uint16_t logtofile;
    ul_file logfile;
    ul_window logwindow;
    std::int16_t logline_y;
    std::uint16_t logfailing;  // set while a failed log write is being reported
    ul_module resourcelib;
    std::uint16_t lasterror;
    char lasterrortext[TEXTSIZE];

    // Process and windows.
    ul_module hinstance;
    ul_window mainwindow;
    ul_handle accelerators;
    ul_handle producticon;
    char windowtitle[96];
    char helpfile[TEXTSIZE];
    std::int32_t helpcontext;
    std::uint16_t running;      // the installation sequence is on the stack
    std::uint16_t closepending; // the main window was destroyed while it ran

    // Directories, each ending with a backslash.
    char moduledir[TEXTSIZE];
    char sourcedir[TEXTSIZE];
    char windowsdir[TEXTSIZE];
    char systemdir[TEXTSIZE];
    char pathname[TEXTSIZE];
    char programdir[TEXTSIZE];
    char datadir[TEXTSIZE];

    // Product identity.
    char producttitle[TEXTSIZE];
    char productname[20];
    char productdir[20];
    char productline1[TEXTSIZE];
    char productline2[TEXTSIZE];

    // Settings from INSTALL.INI.
    std::int16_t INS_whichprogram;
    char INS_version[32];
    std::int16_t INS_vendor;
    std::int16_t INS_vendorversion;
    char INS_vendorini[TEXTSIZE];
    std::int16_t INS_convertvox;
    std::int16_t INS_cdrom;
    char INS_ati3[TEXTSIZE];
    char INS_ati4[TEXTSIZE];
    char INS_ati4fax[TEXTSIZE];
    char INS_ati3a[TEXTSIZE];
    char INS_ati4a[TEXTSIZE];
    char INS_ati6[TEXTSIZE];
    std::int16_t INS_diskspace;
    std::int16_t INS_iniusevoxrock;
    std::int16_t INS_iniuse8000waveatt;
    std::int16_t INS_installprinter;
    std::int16_t INS_noclean;
    std::uint32_t tempcopy;

    // Choices and run state.
    std::int16_t comport;
    std::int16_t detectmodem;
    char username[TEXTSIZE];
    char companyname[TEXTSIZE];
    char address1[TEXTSIZE];
    char address2[TEXTSIZE];
    char datanumber[TEXTSIZE];
    char terminalid[TEXTSIZE];
    char phonenumber[TEXTSIZE];
    std::int16_t INS_back;
    char countryext[TEXTSIZE];
    std::int16_t winversion;
    std::int16_t INS_modem;
    std::int16_t modemsearch;
    std::int16_t progressnote;
    std::int32_t INS_currentfilesize;
    std::int32_t totalfilesize;

    // Boxes that an unattended run takes in place of a person; handed down at
    // start-up, null when nothing does. True: taken, not to be shown.
    bool (*answerbox)(setup_context* ctx, status_t status, const char* body);     // error box
    bool (*answermessage)(setup_context* ctx, const char* text);                   // message box

    // Options of the run, from the command line.
    char answerfile[TEXTSIZE];     // /ANSWERS=: run unattended from this file
    char recordfile[TEXTSIZE];     // /RECORD=: write the answers given into this file
    std::uint16_t silent;          // /SILENT: SILENT_PROGRESS, /VERYSILENT: SILENT_NOTHING
    char logname[TEXTSIZE];        // /LOG=, else (once it is made) SETUP.deb's path: where the debug log is
    char resultfile[TEXTSIZE];     // /RESULT=: the [Result] file written at the very end
    char destinationarg[TEXTSIZE]; // /DIR=: the destination, in place of the default and of [992] 102=
    std::uint16_t undo;            // /UNDO: reverse what a stopped installation's journal names, and end
    std::uint16_t rollback;        // /ROLLBACK (or [Options] Rollback=1): a failed or cancelled run undoes itself

    // How the run ends: the process's exit code and the status the result file reports.
    int exitcode;
    status_t finalstatus;

    // The installation driver's own record (install/state.h), made and released
    // by the driver; the layers below never look into it.
    struct install_state* install;
    void (*releasedriver)(setup_context* ctx);

    // Fields that each subsystem keeps for its own operations.
#include "modem/context_fields.inc"
#include "files/context_fields.inc"
#include "voice/context_fields.inc"
#include "integration/context_fields.inc"
};

// Reference for dialog and window procedures, which get no argument of ours.
extern setup_context* INS_context;

// Allocates a zero-filled context with its initial values; 13002 without memory.
status_t INS_createcontext(setup_context** out);
// Closes the log file and releases the record; nothing for an absent context.
void INS_destroycontext(setup_context* ctx);
// Remembers the text (usually a file name) that belongs to a failure status.
void INS_recorderror(setup_context* ctx, status_t status, const char* text);
// Adds bytes processed to INS_currentfilesize, which the progress bar reads;
// the counter wraps in 32 bits, never overflows.
void INS_addfilesize(setup_context* ctx, std::uint32_t bytes);
// The message text of a status, with the recorded detail appended when it belongs to it.
status_t INS_statustext(setup_context* ctx, status_t status, char out[TEXTSIZE]);
