// Any bytes given as txt.pck must unpack without a crash and only into the
// output directory; and any list of entries the set builder packs must unpack
// to exactly those files with exactly their bytes.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "files/archive.h"
#include "files/pckformat.h"
#include "shell/context.h"
#include "tests/fuzz/fuzzkit.h"

namespace {

std::string scratch()
{
    static const std::string dir = [] {
        std::string d = fuzzkit::scratch() + "pck";
        mkdir(d.c_str(), 0755);
        mkdir((d + "/out").c_str(), 0755);
        return d;
    }();
    return dir;
}

void empty_directory(const std::string& dir)
{
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) unlink((dir + "/" + e->d_name).c_str());
        closedir(d);
    }
}

std::map<std::string, std::vector<std::uint8_t>> unpacked(const std::string& dir)
{
    std::map<std::string, std::vector<std::uint8_t>> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n == "." || n == "..") continue;
            fuzzkit::read_file(dir + "/" + n, &files[n]);
        }
        closedir(d);
    }
    return files;
}

// Entries made from the bytes: a name of up to eight letters and digits from
// one byte each, then a length byte and that many bytes of contents.
std::vector<pck_entry> entries_of(const std::uint8_t* data, std::size_t size)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::vector<pck_entry> entries;
    std::size_t at = 0;
    while (at + 2 <= size && entries.size() < 20) {
        pck_entry e;
        std::size_t namelength = data[at++] % 8 + 1;
        for (std::size_t i = 0; i < namelength && at < size; ++i) e.name += letters[data[at++] % 36];
        e.name += ".TXT";
        if (at >= size) break;
        std::size_t length = std::size_t(data[at++]) * 8 + 1;
        for (std::size_t i = 0; i < length; ++i) e.data.push_back(data[(at + i) % size]);
        at += length / 8;
        bool repeated = false;
        for (const pck_entry& other : entries) repeated = repeated || other.name == e.name;
        // Device names (CON.TXT, LPT1.TXT ...) are refused by the builder and the installer alike.
        if (!repeated && pck_refusal(e).empty()) entries.push_back(e);
    }
    return entries;
}

void round_trip(const std::uint8_t* data, std::size_t size)
{
    const std::string dir = scratch();
    const std::vector<pck_entry> entries = entries_of(data, size);
    std::vector<std::uint8_t> archive;
    std::string why;
    fuzzkit::require(pck_build(entries, &archive, &why), "plain 8.3 entries are packed");
    if (!fuzzkit::write_file(dir + "/txt.pck", archive.data(), archive.size())) return;
    setup_context* ctx = nullptr;
    if (INS_createcontext(&ctx) != ST_OK) return;
    fuzzkit::require(INS_unpackfile(ctx, (dir + "/txt.pck").c_str(), (dir + "/out").c_str()) == ST_OK,
                     "a packed archive unpacks");
    std::int32_t total = 0;
    for (const pck_entry& e : entries) total += std::int32_t(e.data.size());
    fuzzkit::require(ctx->INS_currentfilesize == total, "the progress counts every unpacked byte");
    INS_destroycontext(ctx);
    const auto files = unpacked(dir + "/out");
    fuzzkit::require(files.size() == entries.size(), "one file for each entry");
    for (const pck_entry& e : entries) {
        auto it = files.find(e.name);
        fuzzkit::require(it != files.end() && it->second == e.data, "each file holds its entry's bytes");
    }
    empty_directory(dir + "/out");
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

    round_trip(data, size);
    return 0;
}
