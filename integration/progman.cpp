// The product's program group: the commands sent to Program Manager and the
// item list they are built from.
#include "integration/progman.h"

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

status_t add_items(setup_context* ctx, line_reader* reader)
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
        INS_itemcommand(command, item.program, item.argument, item.title, item.icon);
        UL_logstring(ctx, "item=", command);
        RETURN_IF_FAILED(send(ctx, command));
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

void INS_groupcommand(char out[DDE_COMMANDSIZE], const char* verb, const char* group)
{
    UL_copytext(out, DDE_COMMANDSIZE, "[");
    UL_appendtext(out, DDE_COMMANDSIZE, verb);
    UL_appendtext(out, DDE_COMMANDSIZE, "(");
    UL_appendtext(out, DDE_COMMANDSIZE, group);
    UL_appendtext(out, DDE_COMMANDSIZE, ")]");
}

void INS_itemcommand(char out[DDE_COMMANDSIZE], const char* program, const char* argument, const char* title,
                     const char* icon)
{
    // Overlong fields are cut; the closing ")]" always stays, so that the
    // shell gets a well-formed command.
    const char* parts[] = {"[AddItem(", program, " ", argument, ",", title, ",", icon};
    out[0] = '\0';
    for (const char* part : parts) UL_appendtext(out, DDE_COMMANDSIZE - 2, part);
    UL_appendtext(out, DDE_COMMANDSIZE, ")]");
}

namespace {

status_t fill_group(setup_context* ctx)
{
    char command[DDE_COMMANDSIZE];
    INS_groupcommand(command, "DeleteGroup", ctx->producttitle);
    RETURN_IF_FAILED(send(ctx, command));
    INS_groupcommand(command, "CreateGroup", ctx->producttitle);
    RETURN_IF_FAILED(send(ctx, command));

    char filename[TEXTSIZE];
    UL_makepath(filename, ctx->sourcedir, ctx->INS_whichprogram == 0 ? "ICONS.FAX" : "ICONS.LST");
    UL_logstring(ctx, "filename =", filename);
    line_reader reader;
    RETURN_IF_FAILED(UL_readlineopen(ctx, &reader, filename));
    status_t st = add_items(ctx, &reader);
    UL_readlineclose(ctx, &reader);
    return st;
}

}  // namespace

status_t INS_addprogram(setup_context* ctx)
{
    UL_logline(ctx, "enter addprogram");
    status_t initiated = DDE_initiate(ctx, ctx->hinstance, ctx->mainwindow, "PROGMAN", "PROGMAN");
    if (initiated != ST_OK) {
        UL_logerror(ctx, "INS_addprogram", initiated);
        return initiated;
    }
    // The list file and the conversation are closed on every way out.
    status_t st = fill_group(ctx);
    DDE_terminate(ctx);
    if (st != ST_OK) UL_logerror(ctx, "INS_addprogram", st);
    return st;
}
