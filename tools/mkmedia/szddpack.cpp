// szddpack: mkmedia's file storage without a set, for measuring it.
//   szddpack [-j THREADS] OUTDIR FILE...
// Stores each FILE as mkmedia would (LZ-compressed, or as it is when that does
// not pay) into OUTDIR under its own name, and prints per file: lz or plain,
// expanded size, stored size, name. Exit code 1 when a file cannot be read or
// written, 2 for a bad command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

#include "tools/mkmedia/mkmedia.h"

namespace {

bool slurp(const std::string& path, std::vector<std::uint8_t>* out)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    out->clear();
    std::uint8_t block[1 << 16];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, f)) > 0;) out->insert(out->end(), block, block + got);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool spill(const std::string& path, const std::vector<std::uint8_t>& data)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

int usage()
{
    std::fprintf(stderr, "usage: szddpack [-j THREADS] OUTDIR FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    int i = 1;
    unsigned threads = 0;
    if (i + 1 < argc && std::strcmp(argv[i], "-j") == 0) {
        char* end = nullptr;
        long n = std::strtol(argv[i + 1], &end, 10);
        if (*end || n < 1 || n > 256) return usage();
        threads = unsigned(n);
        i += 2;
    }
    if (argc - i < 1) return usage();
    std::string outdir = argv[i++];
    std::vector<media_file> files(std::size_t(argc - i));
    std::set<std::string> names;
    for (std::size_t k = 0; k < files.size(); ++k) {
        std::string path = argv[i + int(k)];
        std::size_t slash = path.rfind('/');
        files[k].medium = slash == std::string::npos ? path : path.substr(slash + 1);
        files[k].origin = path;
        if (files[k].medium.empty() || !names.insert(files[k].medium).second) {
            std::fprintf(stderr, "szddpack: %s: no name, or the same name twice\n", path.c_str());
            return 2;
        }
        if (!slurp(path, &files[k].content)) {
            std::fprintf(stderr, "szddpack: cannot read %s\n", path.c_str());
            return 1;
        }
    }
    std::vector<media_file*> all;
    for (auto& f : files) all.push_back(&f);
    store_files(all, threads);
    for (const auto& f : files) {
        if (!spill(outdir + "/" + f.medium, f.stored)) {
            std::fprintf(stderr, "szddpack: cannot write %s/%s\n", outdir.c_str(), f.medium.c_str());
            return 1;
        }
        std::printf("%s\t%zu\t%zu\t%s\n", f.plain ? "plain" : "lz", f.content.size(), f.stored.size(), f.medium.c_str());
    }
    return 0;
}
