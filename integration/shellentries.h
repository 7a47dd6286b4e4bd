// Registration with the Windows shell: the uninstall entry, the file types,
// the desktop and Send To shortcuts, and the uninstaller's record.
#pragma once
#include <cstddef>
#include <cstdint>

#include "shell/context.h"

enum ul_regroot { UL_HKEY_CLASSES_ROOT, UL_HKEY_CURRENT_USER, UL_HKEY_LOCAL_MACHINE };

enum { SHELLPATHSIZE = 261 };  // folders and link paths: 260 characters

// Copies the uninstaller and its library into the Windows directory and
// writes the uninstall entry; 0 or the copy's failure.
status_t INS_adduninstall(setup_context* ctx);
// Shortcuts, file types and UNINSTAL.DAT; 0 or the record file's failure.
status_t INS_addshellentries(setup_context* ctx);
// "." + ext -> ext + "file" -> description, and the verb's command.
status_t INS_addfiletype(setup_context* ctx, const char* extension, const char* verb, const char* command,
                         const char* description);
status_t INS_adduninstallkey(setup_context* ctx, const char* keyname, const char* displayname,
                             const char* command);

// What software inventories and distribution tools read beside the two
// values above: the command that removes without a question (keeping the
// user's faxes), the version, the folder, the icon, and that there is no
// modify or repair. The uninstaller removes them with the key.
void INS_adduninstallinfo(setup_context* ctx, const char* keyname, const char* command);
// The installation's size in kilobytes (rounded up), for the same readers.
void INS_adduninstallsize(setup_context* ctx, const char* keyname, std::uint32_t bytes);

// The uninstall command names the installation it removes:
// "C:\WINDOWS\ZVUNINST.EXE" /PATH="C:\ZELTAPRO"; false and an empty out when it
// does not fit (a cut command could name another program or folder).
bool INS_uninstallcommand(char* out, std::size_t size, const char* uninstaller, const char* pathname);
// The uninstall key of a product under HKEY_LOCAL_MACHINE.
void INS_uninstallkeypath(char out[SHELLPATHSIZE], const char* keyname);
// The shortcut's working directory: the target without its last component;
// a file in a drive's root keeps the root's backslash.
void INS_shortcutworkdir(char out[SHELLPATHSIZE], const char* target);
// folder + "\" + name + extension, for shortcuts and group items alike; false
// and an empty out when longer than the 259 characters a link is saved under
// (the shell's 260 with the terminator): a cut path would be another file,
// without the link's extension.
enum { LINKPATHMAX = 259 };
bool INS_linkfilepath(char out[SHELLPATHSIZE], const char* folder, const char* name, const char* extension);
// folder + "\" + name + ".LNK", as INS_linkfilepath.
bool INS_shortcutlinkpath(char out[SHELLPATHSIZE], const char* folder, const char* name);
// "desktop" in any letter case names the user's desktop folder.
bool INS_isdesktopfolder(const char* folder);

// Platform side (shellentries_win32.cpp; recorded by the native doubles).
// Sets a string value; a null value name sets the key's default value.
// Registry failures are ignored; no key path: nothing is done.
status_t INS_setregstring(ul_regroot root, const char* subkey, const char* valuename, const char* text);
// Sets a number (REG_DWORD) value, likewise.
status_t INS_setregdword(ul_regroot root, const char* subkey, const char* valuename, std::uint32_t value);
// Creates folder\name.LNK pointing at target; failures are only traced.
status_t INS_makeshortcut(setup_context* ctx, const char* target, const char* folder, const char* name);
// The user's Send To folder; 0 characters when the shell does not know it.
std::uint32_t UL_getsendtofolder(char* out, std::uint32_t size);
// The Start Menu's Programs folder; false when the shell does not know it.
bool INS_programsfolder(char out[SHELLPATHSIZE]);
// Creates the folder unless it is there; false when it cannot be, or is a link.
bool INS_makefolder(const char* folder);
// folder\title.lnk starting "program argument" with the icon, as the shell's
// AddItem makes it; failures are traced at debug level 2.
void INS_makegroupitem(setup_context* ctx, const char* folder, const char* program, const char* argument,
                       const char* title, const char* icon);
