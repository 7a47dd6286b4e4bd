// Any bytes given as txt.pck must unpack without a crash and only into the
// output directory.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/archive.h"
#include "shell/context.h"

namespace {

std::string scratch()
{
    static std::string dir;
    if (dir.empty()) {
        char templ[] = "/tmp/pckfuzzXXXXXX";
        dir = mkdtemp(templ);
        mkdir((dir + "/out").c_str(), 0755);
    }
    return dir;
}

void empty_directory(const std::string& dir)
{
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) unlink((dir + "/" + e->d_name).c_str());
        closedir(d);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string dir = scratch();
    const std::string archive = dir + "/txt.pck";
    if (FILE* f = std::fopen(archive.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    setup_context* ctx = nullptr;
    if (INS_createcontext(&ctx) != ST_OK) return 0;
    INS_unpackfile(ctx, archive.c_str(), (dir + "/out").c_str());
    // Nothing may appear beside the archive but the output directory.
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != ".." && n != "out" && n != "txt.pck") __builtin_trap();
        }
        closedir(d);
    }
    INS_destroycontext(ctx);
    empty_directory(dir + "/out");
    return 0;
}
