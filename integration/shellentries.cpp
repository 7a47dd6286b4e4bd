// What the installation registers with the shell, and the record of it that
// the uninstaller reads back.
#include "integration/shellentries.h"

#include <cctype>
#include <cstring>

#include "files/expand.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "resources/ids.h"
#include "shell/messages.h"
#include "shell/text.h"

namespace {

const char UNINSTALL_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Texts of the resource library with the defaults that stand in for them.
struct library_text {
    unsigned number;
    const char* fallback;
};
const library_text VERB_TEXTS[] = {
    {IDS_VERB_OPEN, "Open"},
    {IDS_VERB_PRINT, "Print"},
    {IDS_VERB_FAX, "Fax"},
};

// The registered file types: extension and the text of its description.
const library_text FILE_TYPES[] = {
    {IDS_TYPE_FAX_IMAGE, "Fax Image"},         // 001
    {IDS_TYPE_LOGO, "Cover Sheet Logo"},  // lgo
};
const char* const TYPE_EXTENSIONS[] = {"001", "lgo"};

// The commands of the three verbs: viewer, viewer printing, product program.
enum verb_program { VIEWER, PRODUCT };
struct verb_command {
    verb_program program;
    const char* arguments;  // the document quoted: its name may hold blanks
};
const verb_command VERB_COMMANDS[] = {
    {VIEWER, "\"%1\""},
    {VIEWER, "\"%1\" /p"},
    {PRODUCT, "\"%1\""},
};

enum { TEXTBUFFER = 80 };

void load_text(setup_context* ctx, const library_text& text, char out[TEXTBUFFER])
{
    if (UL_xloadmessage(ctx, out, nullptr, text.number, TEXTBUFFER) != ST_OK || out[0] == '\0')
        UL_copytext(out, TEXTBUFFER, text.fallback);
}

void product_program(setup_context* ctx, char out[TEXTSIZE])
{
    UL_makepath(out, ctx->programdir, ctx->productname);
    UL_appendtext(out, TEXTSIZE, ".EXE");
}

status_t copy_to_windows(setup_context* ctx, const char* name)
{
    char from[TEXTSIZE], to[TEXTSIZE];
    UL_makepath(from, ctx->sourcedir, name);
    UL_makepath(to, ctx->windowsdir, name);
    UL_logstring(ctx, "from ", from);
    UL_logstring(ctx, "tofile ", to);
    return INS_expandfile(ctx, to, from);
}

// Registers one file type with its three verbs and records each verb.
status_t register_type(setup_context* ctx, ul_file record, std::size_t type, const char* description,
                       char verbs[][TEXTBUFFER])
{
    char viewer[TEXTSIZE], product[TEXTSIZE];
    UL_makepath(viewer, ctx->programdir, "DUVOVIR.EXE");
    product_program(ctx, product);

    const char* extension = TYPE_EXTENSIONS[type];
    for (std::size_t v = 0; v < sizeof VERB_COMMANDS / sizeof VERB_COMMANDS[0]; ++v) {
        char command[2 * TEXTSIZE];
        UL_commandline(command, sizeof command, VERB_COMMANDS[v].program == VIEWER ? viewer : product,
                       VERB_COMMANDS[v].arguments);
        INS_addfiletype(ctx, extension, verbs[v], command, description);

        char line[2 * TEXTBUFFER];
        UL_copytext(line, extension);
        UL_appendtext(line, ",");
        UL_appendtext(line, verbs[v]);
        RETURN_IF_FAILED(UL_writeline(ctx, record, line));
    }
    return ST_OK;
}

status_t write_entries(setup_context* ctx, ul_file record)
{
    RETURN_IF_FAILED(UL_writeline(ctx, record, ctx->producttitle));

    char program[TEXTSIZE];
    product_program(ctx, program);
    INS_makeshortcut(ctx, program, "desktop", ctx->producttitle);

    // The first type's description loads before the verbs, each later one just before its type.
    char description[TEXTBUFFER], verbs[3][TEXTBUFFER];
    load_text(ctx, FILE_TYPES[0], description);
    for (std::size_t v = 0; v < 3; ++v) load_text(ctx, VERB_TEXTS[v], verbs[v]);
    for (std::size_t type = 0; type < sizeof FILE_TYPES / sizeof FILE_TYPES[0]; ++type) {
        if (type > 0) load_text(ctx, FILE_TYPES[type], description);
        RETURN_IF_FAILED(register_type(ctx, record, type, description, verbs));
    }

    char sendto[SHELLPATHSIZE];
    if (UL_getsendtofolder(sendto, sizeof sendto) > 0) {
        INS_makeshortcut(ctx, program, sendto, ctx->producttitle);
    } else {
        if (UL_logdetail(ctx)) UL_logline(ctx, "no SendTo folder");
    }
    return ST_OK;
}

}  // namespace

status_t INS_adduninstall(setup_context* ctx)
{
    RETURN_IF_FAILED(copy_to_windows(ctx, "VEQUNINS.DLL"));
    RETURN_IF_FAILED(copy_to_windows(ctx, "ZVUNINST.EXE"));
    char program[TEXTSIZE], command[2 * TEXTSIZE + 16];
    UL_makepath(program, ctx->windowsdir, "ZVUNINST.EXE");
    if (!INS_uninstallcommand(command, sizeof command, program, ctx->pathname)) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "uninstall command too long: ", ctx->pathname);
        return ST_GENERAL;
    }
    RETURN_IF_FAILED(INS_adduninstallkey(ctx, ctx->producttitle, ctx->producttitle, command));
    INS_adduninstallinfo(ctx, ctx->producttitle, command);
    ctx->uninstallentry = 1;
    return ST_OK;
}

status_t INS_addshellentries(setup_context* ctx)
{
    char name[TEXTSIZE];
    UL_makepath(name, ctx->datadir, "UNINSTAL.DAT");
    ul_file record = 0;
    RETURN_IF_FAILED(UL_createfile(ctx, name, UL_EXCLUSIVE, &record));
    status_t st = write_entries(ctx, record);
    status_t closed = UL_closefile(ctx, record);
    if (st == ST_OK) st = closed;
    // What the installation made, beside the record of what it registered;
    // the uninstall entry's size is what the record names, once it is written.
    if (st == ST_OK && ctx->recordwrite) {
        st = ctx->recordwrite(ctx);
        if (st == ST_OK && ctx->uninstallentry && ctx->recordbytes > 0)
            INS_adduninstallsize(ctx, ctx->producttitle, ctx->recordbytes);
    }
    if (st != ST_OK) UL_logerror(ctx, "INS_addshellentries", st);
    return st;
}

status_t INS_addfiletype(setup_context*, const char* extension, const char* verb, const char* command,
                         const char* description)
{
    char key[SHELLPATHSIZE], type[SHELLPATHSIZE];
    UL_copytext(key, ".");
    UL_appendtext(key, extension);
    UL_copytext(type, extension);
    UL_appendtext(type, "file");
    INS_setregstring(UL_HKEY_CLASSES_ROOT, key, nullptr, type);
    INS_setregstring(UL_HKEY_CLASSES_ROOT, type, nullptr, description);
    UL_copytext(key, type);
    UL_appendtext(key, "\\shell\\");
    UL_appendtext(key, verb);
    UL_appendtext(key, "\\command");
    INS_setregstring(UL_HKEY_CLASSES_ROOT, key, nullptr, command);
    return ST_OK;
}

bool INS_uninstallcommand(char* out, std::size_t size, const char* uninstaller, const char* pathname)
{
    // Without its backslash: "C:\ZELTAPRO\" would end in \", which the
    // uninstaller's parser reads as a quote inside the path.
    char dir[TEXTSIZE], arguments[TEXTSIZE + 16];
    UL_copytext(dir, pathname);
    UL_stripslash(dir);
    UL_copytext(arguments, "/PATH=");
    if (dir[0] == '\0' || !UL_appendquoted(arguments, sizeof arguments, dir)) {
        if (size > 0) out[0] = '\0';
        return false;
    }
    return UL_commandline(out, size, uninstaller, arguments);
}

void INS_uninstallkeypath(char out[SHELLPATHSIZE], const char* keyname)
{
    UL_copytext(out, SHELLPATHSIZE, UNINSTALL_KEY);
    UL_appendtext(out, SHELLPATHSIZE, keyname);
}

status_t INS_adduninstallkey(setup_context*, const char* keyname, const char* displayname, const char* command)
{
    char key[SHELLPATHSIZE];
    INS_uninstallkeypath(key, keyname);
    INS_setregstring(UL_HKEY_LOCAL_MACHINE, key, "DisplayName", displayname);
    INS_setregstring(UL_HKEY_LOCAL_MACHINE, key, "UninstallString", command);
    return ST_OK;
}

void INS_adduninstallinfo(setup_context* ctx, const char* keyname, const char* command)
{
    char key[SHELLPATHSIZE], quiet[2 * TEXTSIZE + 24], program[TEXTSIZE];
    INS_uninstallkeypath(key, keyname);
    // A tool that removes software silently must never wait on a question.
    UL_copytext(quiet, sizeof quiet, command);
    if (std::strlen(command) + 4 < sizeof quiet) {
        UL_appendtext(quiet, sizeof quiet, " /N");
        INS_setregstring(UL_HKEY_LOCAL_MACHINE, key, "QuietUninstallString", quiet);
    }
    if (ctx->INS_version[0]) INS_setregstring(UL_HKEY_LOCAL_MACHINE, key, "DisplayVersion", ctx->INS_version);
    INS_setregstring(UL_HKEY_LOCAL_MACHINE, key, "InstallLocation", ctx->pathname);
    product_program(ctx, program);
    INS_setregstring(UL_HKEY_LOCAL_MACHINE, key, "DisplayIcon", program);
    INS_setregdword(UL_HKEY_LOCAL_MACHINE, key, "NoModify", 1);
    INS_setregdword(UL_HKEY_LOCAL_MACHINE, key, "NoRepair", 1);
}

void INS_adduninstallsize(setup_context*, const char* keyname, std::uint32_t bytes)
{
    char key[SHELLPATHSIZE];
    INS_uninstallkeypath(key, keyname);
    INS_setregdword(UL_HKEY_LOCAL_MACHINE, key, "EstimatedSize", std::uint32_t((std::uint64_t(bytes) + 1023) / 1024));
}

void INS_shortcutworkdir(char out[SHELLPATHSIZE], const char* target)
{
    UL_copytext(out, SHELLPATHSIZE, target);
    char* last = std::strrchr(out, '\\');
    if (!last) {
        out[0] = '\0';
        return;
    }
    // "C:\X.EXE" works in "C:\", not in the drive's current directory "C:".
    if (last == out + 2 && out[1] == ':') ++last;
    *last = '\0';
}

bool INS_linkfilepath(char out[SHELLPATHSIZE], const char* folder, const char* name, const char* extension)
{
    static_assert(int(LINKPATHMAX) < int(SHELLPATHSIZE), "the buffer holds the longest link path");
    out[0] = '\0';
    if (std::strlen(folder) + 1 + std::strlen(name) + std::strlen(extension) > LINKPATHMAX) return false;
    UL_copytext(out, SHELLPATHSIZE, folder);
    UL_appendtext(out, SHELLPATHSIZE, "\\");
    UL_appendtext(out, SHELLPATHSIZE, name);
    UL_appendtext(out, SHELLPATHSIZE, extension);
    return true;
}

bool INS_shortcutlinkpath(char out[SHELLPATHSIZE], const char* folder, const char* name)
{
    return INS_linkfilepath(out, folder, name, ".LNK");
}

bool INS_isdesktopfolder(const char* folder)
{
    const char desktop[] = "desktop";
    for (std::size_t i = 0; i < sizeof desktop; ++i) {
        if (std::tolower(static_cast<unsigned char>(folder[i])) != desktop[i]) return false;
    }
    return true;
}
