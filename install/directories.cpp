// The destination directory tree and the directory operations of the dialogs.
#include <cstring>

#include "files/copyplan.h"
#include "files/filesystem.h"
#include "files/fileutil.h"
#include "files/log.h"
#include "install/dialogs.h"
#include "install/install.h"
#include "install/journal.h"
#include "install/record.h"
#include "shell/text.h"

namespace {

enum : std::uint16_t { DIR_MADE = 0, DIR_EMPTY = 1, DIR_FAILED = 2 };

// Trimmed path without trailing blanks and backslashes; false when it does not fit.
bool clean_path(const char* path, char out[TEXTSIZE])
{
    if (UL_trim(out, path) != ST_OK) {
        out[0] = '\0';
        return false;
    }
    UL_stripslash(out);
    return true;
}

}  // namespace

status_t INS_createdir(setup_context* ctx, const char* path, std::uint16_t* result)
{
    *result = DIR_MADE;
    char dir[TEXTSIZE];
    if (UL_trim(dir, path) != ST_OK) {
        // Longer than a path of the installer can be: never created.
        UL_logstring(ctx, "cannot create dir", "");
        *result = DIR_FAILED;
    } else if (dir[0] == '\0') {
        *result = DIR_EMPTY;
    } else {
        clean_path(dir, dir);
        UL_logstring(ctx, "try to create dir = ", dir);
        std::uint16_t isdir = 0;
        UL_isdirectory(ctx, dir, &isdir);
        if (isdir) {
            UL_logline(ctx, "dir already exists");
        } else if (dir[0] == '\0') {
            UL_logline(ctx, "cannot create dir");
            *result = DIR_FAILED;
        } else {
            INS_journaldir(ctx, dir);
            if (UL_createdir(dir) != 0) {
                UL_logline(ctx, "cannot create dir");
                *result = DIR_FAILED;
            } else {
                INS_recorddir(ctx, dir);  // only what this run made goes whole at the removal
            }
        }
    }
    UL_logshort(ctx, "result = ", std::int16_t(*result));
    return ST_OK;
}

status_t INS_makedirs(setup_context* ctx)
{
    for (const char* const* name = INS_directorylist(ctx->INS_whichprogram); *name && **name; ++name) {
        char path[TEXTSIZE];
        UL_makepath(path, ctx->pathname, *name);
        std::uint16_t result = 0;
        INS_createdir(ctx, path, &result);
        if (result != DIR_MADE) {
            INS_recorderror(ctx, ST_DIR_NOT_CREATED, path);
            return ST_DIR_NOT_CREATED;
        }
    }
    return ST_OK;
}

bool INS_destinationfits(const char* path)
{
    const std::size_t deepest = std::strlen("MBOX000\\DRECV\\") + std::strlen("12345678.123");
    char dir[TEXTSIZE];
    if (!clean_path(path, dir)) return false;
    return std::strlen(dir) + 1 + deepest <= TEXTSIZE - 1;
}

status_t INS_makepath(setup_context* ctx, const char* path, std::uint16_t* result)
{
    *result = DIR_MADE;
    char dir[TEXTSIZE];
    if (!clean_path(path, dir)) {
        *result = DIR_FAILED;
        return ST_OK;
    }
    char trimmed[TEXTSIZE];
    UL_trim(trimmed, path);
    if (trimmed[0] == '\0') {
        *result = DIR_EMPTY;
        return ST_OK;
    }
    std::size_t len = std::strlen(dir);
    if (len == 0 || dir[len - 1] == ':') return ST_OK;  // a drive root is there already
    // The journal begins before the destination is made, so that an undo takes
    // it too (one that cannot begin stops the installation at its first step).
    // Asked quietly: the dialog's level-0 log stays as it was.
    if (FS_kind(dir) != FS_DIRECTORY) INS_journalbegin(ctx, dir);
    const char* first = std::strchr(dir, '\\');
    const char* second = first ? std::strchr(first + 1, '\\') : nullptr;
    if (second) {
        char parent[TEXTSIZE];
        UL_copyleft(parent, sizeof parent, dir, std::size_t(second - dir));
        INS_createdir(ctx, parent, result);
        if (*result != DIR_MADE) return ST_OK;
    }
    return INS_createdir(ctx, dir, result);
}

status_t INS_deletedir(setup_context* ctx, const char* path, std::uint16_t* result)
{
    *result = 0;
    char dir[TEXTSIZE];
    if (!clean_path(path, dir)) return ST_OK;
    char trimmed[TEXTSIZE];
    UL_trim(trimmed, path);
    if (trimmed[0] == '\0') {
        *result = 1;
        return ST_OK;
    }
    UL_logstring(ctx, "try to delete dir = ", dir);
    // A directory that is not empty simply stays.
    if (dir[0] != '\0') UL_removedir(dir);
    UL_logshort(ctx, "result = ", std::int16_t(*result));
    return ST_OK;
}
