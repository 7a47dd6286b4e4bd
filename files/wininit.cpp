#include "files/wininit.h"

#include <cstring>

#include "files/filesystem.h"
#include "files/replace.h"

bool UL_wininitschedule(const char* wininit, const char* file, char* listed, std::size_t size)
{
    if (size == 0) return false;
    listed[0] = '\0';
    if (!FS_shortname(file, listed, std::uint32_t(size))) {
        if (std::strlen(file) >= size) return false;
        std::strcpy(listed, file);
    }
    // Larger than any list of pending renames; a file that does not fit is
    // not someone's to cut.
    enum : std::uint32_t { LIMIT = 64 * 1024 };
    char* text = static_cast<char*>(FS_alloc(2 * LIMIT));
    if (!text) return false;
    char* out = text + LIMIT;
    std::uint32_t length = 0;
    bool ok = true;
    fs_kind kind = FS_kind(wininit);
    if (kind == FS_DIRECTORY) {
        ok = false;
    } else if (kind == FS_FILE) {
        // Read to its end: a size that cannot be read must not pass for an empty file.
        ul_file handle = 0;
        const bool opened = FS_open(wininit, FS_READ, &handle);
        ok = opened;
        while (ok) {
            std::int32_t got = FS_read(handle, text + length, LIMIT - length);
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            length += std::uint32_t(got);
            if (length >= LIMIT) ok = false;
        }
        if (opened) FS_close(handle);
    }
    ok = ok && UL_wininitdelete(text, length, listed, out, LIMIT);
    ok = ok && UL_rewritefile(wininit, out, std::uint32_t(std::strlen(out)));
    FS_free(text);
    return ok;
}
