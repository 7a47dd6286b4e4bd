// The installation driver's own record: what only the driver and its dialogs
// keep during a run. The context holds it by pointer so that the layers below
// the driver need not know it; INS_attachdriver makes it.
#pragma once
#include <cstdint>

#include "install/progress.h"
#include "shell/context.h"

// How often a dialog template has been shown in this run (unattended answers).
struct showing_count {
    unsigned templ;
    int count;
};
enum { SHOWING_TEMPLATES = 16 };

struct install_state {
    char resulttext[256];        // the text the run ended with: the failure notice's or the closing dialog's
    std::uint16_t resulttextstatus; // the status that resulttext belongs to
    std::uint16_t stoprequested; // the user pressed the progress window's stop button
    std::uint16_t unattendedstatus; // what ended an unattended run (error box, failed check, missing answer)
    std::int16_t disknumber;     // the diskette asked for
    std::int16_t countrycount;   // entries of the country list
    std::int16_t countryselection;
    // [994] StopAfter= of an unattended run: the stop button is pressed at the first
    // poll after the Count-th debug log line that starts with this text.
    char stopafter[TEXTSIZE];
    std::int16_t stopcount;      // lines still to be seen before the press
    std::uint16_t stopstate;     // STOP_UNREAD, STOP_ARMED, STOP_DUE or STOP_NONE
    std::uint16_t restored;      // the rollback undid this run's changes
    std::uint16_t journaled;     // this run began a journal (its own, or one it took over)
    struct journal_state* journal; // the run's journal (install/journal.cpp); null when none is open
    void* recordblock;           // entries of the installation record (install/record.cpp); null when none runs
    progress_state progress;     // what the progress window shows; one window at a time
    showing_count showings[SHOWING_TEMPLATES];
};

// Hands the lower layers what they report up to (the debug log's listener, the
// cancel check, the note of files copied from the set, the record's writer, the
// unattended answers to boxes) and makes the driver's record, released with the
// context. Start-up calls it as soon as the context exists; 13002 without memory.
status_t INS_attachdriver(setup_context* ctx);
