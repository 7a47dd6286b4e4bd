// The product's program group: the commands sent to Program Manager and the
// item list they are built from.
#include "integration/progman.h"

#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "shell/text.h"

namespace {

// Location prefixes of the item list's program, argument and icon lines.
struct item_prefix {
    char mark;
    const char* directory;
};
const item_prefix ITEM_PREFIXES[] = {
    {'*', "DATA\\"},
    {'#', "PROGRAM\\"},
};

enum { LINESIZE = 81 };  // 80 characters per list line

struct program_item {
    char program[TEXTSIZE];
    char argument[TEXTSIZE];
    char title[TEXTSIZE];
    char icon[TEXTSIZE];
};

bool ends_list(std::uint16_t endflag) { return endflag == UL_LINE_LAST || endflag == UL_LINE_PAGE; }

status_t send(setup_context* ctx, const char* command)
{
    RETURN_IF_FAILED(DDE_execute(ctx, command));
    return DDE_waitack(ctx);
}

// Reads one item of four lines into item, which still holds the previous
// item's program and title. more = 0 when the list ended before the item.
status_t read_item(setup_context* ctx, line_reader* reader, program_item* item, bool* more)
{
    char line[LINESIZE];
    std::uint16_t endflag = 0, length = 0;
    *more = false;

    RETURN_IF_FAILED(UL_readline(ctx, reader, line, sizeof line, &endflag, &length));
    if (length > 0) INS_expanditempath(ctx, item->program, line);
    if (ends_list(endflag)) return ST_OK;

    RETURN_IF_FAILED(UL_readline(ctx, reader, line, sizeof line, &endflag, &length));
    if (length > 0) {
        INS_expanditempath(ctx, item->argument, line);
    } else {
        item->argument[0] = '\0';
    }
    if (ends_list(endflag)) return ST_OK;

    // An item whose last lines end the file is still added; the next
    // item's first read ends the list.
    RETURN_IF_FAILED(UL_readline(ctx, reader, line, sizeof line, &endflag, &length));
    if (length > 0) UL_copyleft(item->title, sizeof item->title, line, TEXTSIZE - 1);

    RETURN_IF_FAILED(UL_readline(ctx, reader, line, sizeof line, &endflag, &length));
    if (length > 0) {
        INS_expanditempath(ctx, item->icon, line);
    } else {
        item->icon[0] = '\0';
    }
    *more = true;
    return ST_OK;
}

// Where the group goes: to Program Manager over DDE, or, in a silent run,
// into the group's folder, as the shell itself makes it; the shell opens the
// group's folder window on every CreateGroup, and a silent run shows nothing.
struct group_target {
    char folder[SHELLPATHSIZE];  // empty: Program Manager
};

status_t add_item(setup_context* ctx, const group_target& target, const program_item& item, const char* command)
{
    if (target.folder[0] == '\0') return send(ctx, command);
    INS_makegroupitem(ctx, target.folder, item.program, item.argument, item.title, item.icon);
    return ST_OK;
}

status_t add_items(setup_context* ctx, const group_target& target, line_reader* reader)
{
    program_item item = {};
    for (int n = 1; n <= DDE_MAXITEMS; ++n) {
        bool more = false;
        RETURN_IF_FAILED(read_item(ctx, reader, &item, &more));
        if (!more) break;
        // The very first item has no predecessor to borrow a program from.
        if (item.program[0] == '\0') {
            if (UL_logdetail(ctx)) UL_logline(ctx, "item without program skipped");
            continue;
        }
        char command[DDE_COMMANDSIZE];
        if (!INS_itemcommand(command, item.program, item.argument, item.title, item.icon)) {
            if (UL_logdetail(ctx)) UL_logstring(ctx, "item refused: ", item.title);
            continue;
        }
        UL_logstring(ctx, "item=", command);
        RETURN_IF_FAILED(add_item(ctx, target, item, command));
    }
    return ST_OK;
}

}  // namespace

status_t INS_expanditempath(setup_context* ctx, char out[TEXTSIZE], const char* line)
{
    for (const item_prefix& prefix : ITEM_PREFIXES) {
        if (line[0] != prefix.mark) continue;
        UL_makepath(out, ctx->pathname, prefix.directory);
        UL_appendtext(out, TEXTSIZE, line + 1);
        return ST_OK;
    }
    UL_copytext(out, TEXTSIZE, line);
    return ST_OK;
}

bool INS_progmanfield(const char* text)
{
    // Inside quotes the shell ends a field at the next '"'; '[' and ']' open
    // and close commands for some shells even there; control characters have
    // no place in a path or a title.
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c)
        if (*c == '"' || *c == '[' || *c == ']' || *c < 0x20 || *c == 0x7F) return false;
    return true;
}

namespace {

// Appends "field" (with its quotes); false when it cannot be carried or does
// not fit a command.
bool append_field(char out[DDE_COMMANDSIZE], const char* first, const char* second = "")
{
    if (!INS_progmanfield(first) || !INS_progmanfield(second)) return false;
    std::size_t used = std::strlen(out);
    if (used + std::strlen(first) + std::strlen(second) + 2 > DDE_COMMANDSIZE - 1) return false;
    UL_appendtext(out, DDE_COMMANDSIZE, "\"");
    UL_appendtext(out, DDE_COMMANDSIZE, first);
    UL_appendtext(out, DDE_COMMANDSIZE, second);
    UL_appendtext(out, DDE_COMMANDSIZE, "\"");
    return true;
}

bool append_text(char out[DDE_COMMANDSIZE], const char* text)
{
    if (std::strlen(out) + std::strlen(text) > DDE_COMMANDSIZE - 1) return false;
    UL_appendtext(out, DDE_COMMANDSIZE, text);
    return true;
}

}  // namespace

// Every field is quoted, so that blanks, commas and parentheses of a
// destination such as C:\Fax (new)\ stay inside it; nothing is cut, since a
// cut path names another program.
bool INS_groupcommand(char out[DDE_COMMANDSIZE], const char* verb, const char* group)
{
    out[0] = '\0';
    if (append_text(out, "[") && append_text(out, verb) && append_text(out, "(") && append_field(out, group) &&
        append_text(out, ")]"))
        return true;
    out[0] = '\0';
    return false;
}

bool INS_itemcommand(char out[DDE_COMMANDSIZE], const char* program, const char* argument, const char* title,
                     const char* icon)
{
    // The program and its argument make one command line, the shell's first field.
    char line[2 * TEXTSIZE];
    UL_copytext(line, sizeof line, program);
    if (argument[0] != '\0') {
        UL_appendtext(line, sizeof line, " ");
        UL_appendtext(line, sizeof line, argument);
    }
    out[0] = '\0';
    // The title becomes the name of the item's file in the group's folder.
    const bool titleok = !std::strpbrk(title, "\\/:*?<>|");
    if (titleok && append_text(out, "[AddItem(") && append_field(out, line) && append_text(out, ",") &&
        append_field(out, title) && append_text(out, ",") && append_field(out, icon) && append_text(out, ")]"))
        return true;
    out[0] = '\0';
    return false;
}

namespace {

status_t fill_group(setup_context* ctx, group_target* target)
{
    char command[DDE_COMMANDSIZE];
    if (!INS_groupcommand(command, "DeleteGroup", ctx->producttitle)) {
        if (UL_logdetail(ctx)) UL_logstring(ctx, "group refused: ", ctx->producttitle);
        return ST_OK;
    }
    if (ctx->groupmaking) ctx->groupmaking(ctx, ctx->producttitle);
    if (ctx->silent != SILENT_NONE) {
        // The items of an earlier group stay; those of the same title are replaced.
        char programs[SHELLPATHSIZE];
        if (!INS_programsfolder(programs) || !INS_groupfolderpath(target->folder, programs, ctx->producttitle) ||
            !INS_makefolder(target->folder)) {
            if (UL_logdetail(ctx)) UL_logstring(ctx, "no group folder: ", ctx->producttitle);
            return ST_OK;
        }
        if (UL_logdetail(ctx)) UL_logstring(ctx, "group folder=", target->folder);
    } else {
        RETURN_IF_FAILED(send(ctx, command));
        INS_groupcommand(command, "CreateGroup", ctx->producttitle);
        RETURN_IF_FAILED(send(ctx, command));
    }

    char filename[TEXTSIZE];
    UL_makepath(filename, ctx->sourcedir, ctx->INS_whichprogram == 0 ? "ICONS.FAX" : "ICONS.LST");
    UL_logstring(ctx, "filename =", filename);
    line_reader reader;
    RETURN_IF_FAILED(UL_readlineopen(ctx, &reader, filename));
    status_t st = add_items(ctx, *target, &reader);
    UL_readlineclose(ctx, &reader);
    return st;
}

}  // namespace

bool INS_groupfolderpath(char out[SHELLPATHSIZE], const char* programs, const char* group)
{
    out[0] = '\0';
    // The group becomes one folder below Programs: a plain name, nothing that
    // climbs out of it or names a device's path.
    if (group[0] == '\0' || group[0] == '.' || group[0] == ' ' || std::strpbrk(group, "\\/:*?\"<>|")) return false;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(group); *c; ++c)
        if (*c < 0x20) return false;
    const std::size_t length = std::strlen(programs);
    const bool slash = length > 0 && programs[length - 1] == '\\';
    if (length == 0 || length + !slash + std::strlen(group) > SHELLPATHSIZE - 1) return false;
    UL_copytext(out, SHELLPATHSIZE, programs);
    if (!slash) UL_appendtext(out, SHELLPATHSIZE, "\\");
    UL_appendtext(out, SHELLPATHSIZE, group);
    return true;
}

status_t INS_addprogram(setup_context* ctx)
{
    UL_logline(ctx, "enter addprogram");
    group_target target = {};
    status_t st = ST_OK;
    if (ctx->silent != SILENT_NONE) {
        st = fill_group(ctx, &target);
    } else {
        st = DDE_initiate(ctx, ctx->hinstance, ctx->mainwindow, "PROGMAN", "PROGMAN");
        if (st == ST_OK) {
            // The list file and the conversation are closed on every way out.
            st = fill_group(ctx, &target);
            DDE_terminate(ctx);
        }
    }
    if (st != ST_OK) UL_logerror(ctx, "INS_addprogram", st);
    return st;
}
