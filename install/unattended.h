// Unattended runs (/ANSWERS=) and recording (/RECORD=). The answer file is an
// INI file with one section per dialog template or question; the real dialog
// procedures run and are fed the answers through the messages a person's
// input produces. See docs/answers.md.
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/context.h"

bool INS_isunattended(const setup_context* ctx);
bool INS_isrecording(const setup_context* ctx);
// What an unattended run shows (SILENT_...); SILENT_NONE for every other run.
unsigned INS_silentmode(const setup_context* ctx);
// Keeps a window of a silent run off the screen for its whole life: its
// procedures run as always, but every request to show it is dropped.
void INS_keephidden(setup_context* ctx, ul_window window);

// Dialog procedures call this at the end of WM_INITDIALOG: in an unattended
// run the template's section is fed to the dialog once its modal loop runs.
void INS_answerdialog(setup_context* ctx, ul_window dialog, unsigned templ);
// Dialog procedures call this for a button that may end the dialog: in a
// recording run the dialog's values and the button go into the template's section.
void INS_recorddialog(setup_context* ctx, ul_window dialog, unsigned templ, int button);
// A yes/no question box with message `number`, No as default; answered from
// the file's section [number] (Answer=Yes|No) in an unattended run.
status_t INS_askquestion(setup_context* ctx, ul_window owner, unsigned number, const char* caption,
                         std::uint16_t* yes);

// The result file (/RESULT=): remembers the text the run ends with (the
// failure notice's, the closing dialog's) for the status it belongs to.
void INS_noteresult(setup_context* ctx, status_t status, const char* text);
// The status's message and, when it is the status's, the whole recorded detail
// (the failure notice cuts the two to its line; a script wants the whole file name).
void INS_resultstatustext(setup_context* ctx, status_t status, char* out, std::size_t size);
// Writes the file's one [Result] section: Status, Text, Product, Destination,
// Vendor, Port, Log. Text is the noted one when it belongs to the status, else
// the status's message with its detail. Nothing without /RESULT=.
void INS_writeresult(setup_context* ctx, status_t status);

// Portable part.
// Reads key of section [templ]; false when the file has no such answer.
bool INS_answertext(setup_context* ctx, unsigned section, const char* key, char* out, std::size_t size);
bool INS_answertextin(setup_context* ctx, const char* section, const char* key, char* out, std::size_t size);
// The section that answers the nth showing (from 1) of a template: [templ.n]
// when the file has one with a Button, else [templ]. Lets a file script Back.
void INS_answersection(setup_context* ctx, unsigned templ, int appearance, char out[16]);
void INS_recordtext(setup_context* ctx, unsigned section, const char* key, const char* value);
// Remembers the first reason an unattended run ends, and traces it.
void INS_unattendedfail(setup_context* ctx, status_t status, const char* why);
// An error box in an unattended run: traced and ending the run; true when handled (not to be shown).
bool INS_unattendedbox(setup_context* ctx, status_t status, const char* body);
// A message box in an unattended run: traced only; true when handled (not to be shown).
bool INS_unattendedmessage(setup_context* ctx, const char* text);
// The status an unattended run ends with: the recorded reason in place of the cancel it caused.
status_t INS_unattendedoutcome(const setup_context* ctx, status_t status);
// The result that ends a dialog of the template as its Cancel would; -1 when it has none.
int INS_cancelresult(unsigned templ);
// Whether the button is the Cancel of the dialog, the answer that ends a run.
bool INS_iscancelbutton(unsigned templ, int button);
// The button pressed when a section names none (dialogs that need no decision), 0 when one is required.
int INS_defaultbutton(unsigned templ);
// The answer of a question, from the file (unattended) ; false when the run is not unattended.
bool INS_answerquestion(setup_context* ctx, unsigned number, std::uint16_t* yes);
// The stop button at a chosen stage ([994] StopAfter=, Count=): every debug log
// line passes here; the press is due once the Count-th line starting with the
// text has been written.
void INS_unattendedlogline(setup_context* ctx, const char* line);
// True exactly once: when the press is due and the progress window is there to take it.
bool INS_unattendedstopdue(setup_context* ctx, bool windowopen);
