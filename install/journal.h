// The installation's journal: one line in the Windows directory before each
// change the run makes, so that a run that stops (a crash, a cancel, a
// failure) strands nothing. The next run into the same destination takes the
// stopped run's changes over as its own; one into another destination undoes
// them first; SETUP.EXE /UNDO undoes them; /ROLLBACK undoes a failed or
// cancelled run before it ends. The format is the uninstaller's
// (companions/uninstall/record.h), which reads and plans every undo.
#pragma once
#include "shell/context.h"

// Opens the journal for the destination (a directory with its backslash),
// before the first change is made there. A journal of this product for this
// destination (a stopped run's, or this run's own from its dialogs) is taken
// over into the record, one for another destination undone first. 0, or the journal's failure:
// a run that cannot keep its journal does not begin.
status_t INS_journalbegin(setup_context* ctx, const char* destination);
// Before a file is created, replaced or deleted (its whole path): one line,
// and a file that was there before is first copied aside. Outside the
// destination only files of the suite's own names in the Windows and system
// directories are journaled; anything else is none of the journal's business.
void INS_journalfile(setup_context* ctx, const char* path);
// Before a directory is made.
void INS_journaldir(setup_context* ctx, const char* path);
// To the disk, before each step of the sequence.
void INS_journalflush(setup_context* ctx);
// The completion: the copies set aside go into the installation record, so
// that the uninstaller puts them back, and the journal is removed.
status_t INS_journalcommit(setup_context* ctx);
// Closes the journal and leaves it for the next run, an undo or the rollback.
void INS_journalclose(setup_context* ctx);
// The journal's whole path for this product: the Windows directory and a name of the suite's own.
void INS_journalpath(const setup_context* ctx, char out[TEXTSIZE]);

// Platform: reverses every change the product's journal names (through the
// uninstaller's reader, planner and removal) and removes the journal and the
// copies it put back. *undone is false when there was no journal of ours.
status_t INS_undojournal(setup_context* ctx, bool* undone);
