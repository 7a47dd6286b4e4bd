// What the start-up decides, apart from the windows: the directories, where
// the debug log goes, the destination offered first, and whether the medium is
// a set.
#include <cstring>

#include "files/fileutil.h"
#include "files/log.h"
#include "shell/startup.h"
#include "shell/text.h"

namespace {
const char SOFTWARE_VERSION[] = "2.2i - 990605";
}

status_t INS_takemodulepath(setup_context* ctx, const char* modulepath)
{
    char path[TEXTSIZE];
    UL_copytext(path, modulepath);
    if (path[0] == '\0' || path[1] != ':') return ST_NO_DRIVE_LETTER;
    if (char* slash = std::strrchr(path, '\\')) slash[1] = '\0';
    UL_trim(ctx->moduledir, path);
    if (ctx->sourcedir[0] == '\0') UL_copytext(ctx->sourcedir, ctx->moduledir);
    return ST_OK;
}

void INS_takesystemdir(char field[TEXTSIZE], const char* reported)
{
    char dir[TEXTSIZE];
    UL_copytext(dir, reported);
    UL_trim(field, dir);
    UL_addslash(field);
}

status_t INS_createlog(setup_context* ctx)
{
    if (!ctx->logname[0]) {
        char path[TEXTSIZE];
        UL_copytext(path, ctx->windowsdir);
        UL_addslash(path);
        UL_appendtext(path, ctx->programname);
        UL_appendtext(path, ".deb");
        UL_copytext(ctx->logname, path);
    }
    return UL_createfile(ctx, ctx->logname, UL_SHARED, &ctx->logfile);
}

void INS_setdefaultdestination(setup_context* ctx)
{
    if (ctx->destinationarg[0]) {
        UL_copytext(ctx->pathname, ctx->destinationarg);
        return;
    }
    char path[TEXTSIZE];
    UL_copyleft(path, sizeof path, ctx->windowsdir, 3);
    UL_appendtext(path, ctx->productdir);
    UL_addslash(path);
    UL_copytext(ctx->pathname, path);
}

status_t INS_checkfilelist(setup_context* ctx)
{
    UL_logstring(ctx, "Software version=", SOFTWARE_VERSION);
    char path[TEXTSIZE];
    UL_makepath(path, ctx->sourcedir, "FAX.LST");
    UL_logstring(ctx, "checking ", path);
    std::uint16_t exists = 0;
    UL_fileexists(path, &exists);
    return exists ? ST_OK : ST_NO_FILE_LIST;
}
