// POSIX double of the platform's directory search: a glob of the host tree,
// in name order (the paths read as doubles::host reads them).
#include <glob.h>
#include <sys/stat.h>

#include <cstring>

#include "files/filesystem.h"
#include "shell/text.h"
#include "tests/native/doubles/hostpath.h"

using doubles::host;

namespace {
struct posix_search {
    glob_t found;  // what the pattern matched, in order
    std::size_t next;
};
}  // namespace

// Windows' "*.*" takes every name, with a dot or without.
bool FS_findfirst(const char* pattern, ul_handle* search, fs_entry* entry)
{
    std::string p = host(pattern);
    if (p.size() >= 3 && p.compare(p.size() - 3, 3, "*.*") == 0) p.erase(p.size() - 2);
    auto* s = new posix_search{};
    if (glob(p.c_str(), 0, nullptr, &s->found) != 0) s->found.gl_pathc = 0;
    *search = s;
    return FS_findnext(search, entry);
}

bool FS_findnext(ul_handle* search, fs_entry* entry)
{
    auto* s = static_cast<posix_search*>(*search);
    struct stat st;
    while (s && s->next < s->found.gl_pathc) {
        const char* path = s->found.gl_pathv[s->next++];
        if (stat(path, &st) != 0) continue;
        UL_copytext(entry->name, std::strrchr(path, '/') + 1);
        entry->size = std::uint32_t(st.st_size);
        entry->directory = S_ISDIR(st.st_mode);
        return true;
    }
    FS_findclose(search);
    return false;
}

void FS_findclose(ul_handle* search)
{
    auto* s = static_cast<posix_search*>(*search);
    if (s) globfree(&s->found);
    delete s;
    *search = nullptr;
}
