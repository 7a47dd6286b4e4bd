#include "files/replace.h"

#include <cstring>

#include "files/filesystem.h"

namespace {

enum { PATHSIZE = 260 };

// name with the extension of its last component replaced (or, without one,
// followed) by extension; false when it does not fit.
bool sibling(char out[PATHSIZE], const char* name, const char* extension)
{
    const char* slash = std::strrchr(name, '\\');
    const char* dot = std::strrchr(name, '.');
    std::size_t keep = dot && (!slash || dot > slash) ? std::size_t(dot - name) : std::strlen(name);
    if (keep + std::strlen(extension) >= PATHSIZE) return false;
    std::memcpy(out, name, keep);
    std::strcpy(out + keep, extension);
    return true;
}

}  // namespace

bool UL_replacefile(const char* from, const char* to)
{
    switch (FS_replace(from, to)) {
    case FS_REPLACED: return true;
    case FS_NOT_REPLACED: return false;
    case FS_NO_ONE_STEP: break;
    }
    fs_kind there = FS_kind(to);
    if (there == FS_MISSING) return FS_move(from, to);
    if (there == FS_DIRECTORY) return false;
    char aside[PATHSIZE];
    if (!sibling(aside, to, ".OLD") || !FS_move(to, aside)) return false;
    if (!FS_move(from, to)) {
        FS_move(aside, to);
        return false;
    }
    // A read-only file moves but does not go: it is kept, as the one-step
    // replace keeps it.
    if (!FS_delete(aside)) {
        FS_move(to, from);
        FS_move(aside, to);
        return false;
    }
    return true;
}

bool UL_rewritefile(const char* name, const char* text, std::uint32_t length)
{
    char fresh[PATHSIZE];
    if (!sibling(fresh, name, ".NEW")) return false;
    // A link under the new name is not written through; a file left there is ours.
    if (FS_islink(fresh)) return false;
    ul_file file = 0;
    if (!FS_open(fresh, FS_CREATE_ALONE, &file)) return false;
    bool written = FS_write(file, text, length) == std::int32_t(length);
    FS_close(file);
    if (written && UL_replacefile(fresh, name)) return true;
    FS_delete(fresh);
    return false;
}
