// The product's Program Manager group, made over DDE.
#pragma once
#include <cstdint>

#include "integration/shellentries.h"
#include "shell/context.h"

enum {
    DDE_COMMANDSIZE = 160,  // a whole command: 159 characters
    DDE_MAXITEMS = 10,
};

// Deletes and re-creates the product group and adds the items of ICONS.LST
// (ICONS.FAX for the fax product). A silent run writes the items into the
// group's folder itself and keeps an earlier group's other items.
status_t INS_addprogram(setup_context* ctx);
// programs + "\" + group; false (out empty) when the group is no plain folder
// name or the path does not fit.
bool INS_groupfolderpath(char out[SHELLPATHSIZE], const char* programs, const char* group);
// "*" stands for the destination's DATA\ directory, "#" for its PROGRAM\.
status_t INS_expanditempath(setup_context* ctx, char out[TEXTSIZE], const char* line);

// False for a text that a quoted field of a shell command cannot carry: a
// '"', a '[' or ']', a control character.
bool INS_progmanfield(const char* text);
// [verb("group")]; false (out empty) when the group cannot be carried.
bool INS_groupcommand(char out[DDE_COMMANDSIZE], const char* verb, const char* group);
// [AddItem("program argument","title","icon")], the blank only with an
// argument; false (out empty) when a field cannot be carried, the title is
// not a file name, or the command does not fit 159 characters.
bool INS_itemcommand(char out[DDE_COMMANDSIZE], const char* program, const char* argument, const char* title,
                     const char* icon);

// The DDE client (ddeclient_win32.cpp); one conversation at a time.
status_t DDE_initiate(setup_context* ctx, ul_module instance, ul_window parent, const char* service,
                      const char* subject);
status_t DDE_execute(setup_context* ctx, const char* command);
status_t DDE_waitack(setup_context* ctx);
status_t DDE_terminate(setup_context* ctx);
