// mkmedia: builds an installation set of the suite from a manifest.
//   mkmedia MANIFEST OUTDIR [--cdrom | --diskettes] [--disksize BYTES]
//           [--vendor CODE] [--win32 BUILDDIR] [--listing FILE] [--language en|de]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tools/mkmedia/mkmedia.h"

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

bool read_file(const std::string& path, std::vector<std::uint8_t>* out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& data)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out);
}

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: mkmedia MANIFEST OUTDIR [--cdrom | --diskettes] [--disksize BYTES]\n"
                 "               [--vendor CODE] [--win32 BUILDDIR] [--listing FILE] [--language en|de]\n");
    return 2;
}

bool number(const char* text, std::uint64_t* out)
{
    if (!*text || std::strspn(text, "0123456789") != std::strlen(text) || std::strlen(text) > 12) return false;
    *out = std::strtoull(text, nullptr, 10);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    options opt;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        bool has_value = i + 1 < argc;
        std::uint64_t n = 0;
        if (a == "--cdrom") opt.cdrom = 1;
        else if (a == "--diskettes") opt.cdrom = 0;
        else if (a == "--disksize" && has_value && number(argv[i + 1], &n) && n > 0) opt.disksize = n, ++i;
        else if (a == "--vendor" && has_value && number(argv[i + 1], &n) && n < 32768) opt.vendor = int(n), ++i;
        else if (a == "--win32" && has_value) opt.win32dir = argv[++i];
        else if (a == "--listing" && has_value) opt.listing = argv[++i];
        else if (a == "--language" && has_value) opt.language = argv[++i];
        else if (a.rfind("--", 0) == 0) return usage();
        else positional.push_back(a);
    }
    if (positional.size() != 2) return usage();
    opt.manifest = positional[0];
    opt.outdir = positional[1];
    media_set set;
    if (!read_manifest(opt, &set)) return 1;
    if (!write_media(opt, &set)) return 1;
    return 0;
}
