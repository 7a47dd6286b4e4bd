// Reading the manifest: one directive a line, see README.md.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/mkmedia/mkmedia.h"

namespace {

std::string directory_of(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string medium_path(std::string p)
{
    std::replace(p.begin(), p.end(), '\\', '/');
    while (!p.empty() && p.back() == '/') p.pop_back();
    return p;
}

bool is_directory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> files_in(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            struct stat st;
            if (stat((dir + "/" + e->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(e->d_name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The first file of that name (without regard to case) below dir.
std::string find_below(const std::string& dir, const std::string& name, int depth = 0)
{
    if (depth > 6) return "";
    DIR* d = opendir(dir.c_str());
    if (!d) return "";
    std::string found;
    std::vector<std::string> subdirs;
    while (dirent* e = readdir(d)) {
        std::string entry = e->d_name;
        if (entry == "." || entry == ".." || entry == "CMakeFiles" || entry == "googletest") continue;
        std::string full = dir + "/" + entry;
        if (is_directory(full)) subdirs.push_back(full);
        else if (found.empty() && upper(entry) == upper(name)) found = full;
    }
    closedir(d);
    std::sort(subdirs.begin(), subdirs.end());
    for (const auto& sub : subdirs) {
        if (!found.empty()) break;
        found = find_below(sub, name, depth + 1);
    }
    return found;
}

struct line_context {
    const std::string& manifest;
    int number;
    bool fail(const std::string& why) const
    {
        std::fprintf(stderr, "mkmedia: %s:%d: %s\n", manifest.c_str(), number, why.c_str());
        return false;
    }
};

struct flags {
    bool plain = false;
    bool optional = false;
    bool everydisk = false;
    bool cdonly = false;
};

bool add_file(media_set* set, const std::string& medium, const std::string& source, flags fl, const line_context& at)
{
    bool optional = fl.optional;
    media_file f;
    f.everydisk = fl.everydisk;
    f.cdonly = fl.cdonly;
    bool plain = fl.plain;
    f.medium = medium_path(medium);
    f.origin = source;
    f.plain = plain;
    if (!read_file(source, &f.content)) {
        if (optional) {
            set->notes.push_back("skipped " + f.medium + ": " + source + " is absent");
            return true;
        }
        return at.fail("cannot read " + source);
    }
    set->files.push_back(std::move(f));
    return true;
}

bool add_pack(media_set* set, const std::string& name, const std::string& source, const line_context& at)
{
    pck_entry e;
    e.name = name;
    if (!read_file(source, &e.data)) return at.fail("cannot read " + source);
    std::string refusal = pck_refusal(e);
    if (!refusal.empty()) return at.fail("txt.pck cannot carry it: " + refusal);
    set->pack.push_back(std::move(e));
    return true;
}

// The resource library is taken for the set's language, which a later "set
// language" or the command line may still change: its place in the set is
// kept and filled once the whole manifest is read.
const char LIBRARY[] = "VEQINS.DLL";

struct pending_library {
    std::size_t index = 0;
    bool optional = false;
    int line = 0;
};

bool known_language(const std::string& language)
{
    return language == "en" || language == "de";
}

bool fill_library(const options& opt, media_set* set, const pending_library& lib)
{
    line_context at{opt.manifest, lib.line};
    media_file& f = set->files[lib.index];
    std::string path = library_path(opt.win32dir, set->language);
    f.origin = path;
    if (read_file(path, &f.content)) return true;
    // A set in another language without its library would install in English.
    if (lib.optional && set->language == "en") {
        set->notes.push_back("skipped " + f.medium + ": " + path + " is absent");
        set->files.erase(set->files.begin() + std::ptrdiff_t(lib.index));
        return true;
    }
    return at.fail("the " + set->language + " resource library is not built: " + path);
}

bool parse_number(const std::string& text, std::uint64_t* out)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    *out = std::stoull(text);
    return true;
}

}  // namespace

bool read_manifest(const options& opt, media_set* set)
{
    std::ifstream in(opt.manifest);
    if (!in) {
        std::fprintf(stderr, "mkmedia: cannot read the manifest %s\n", opt.manifest.c_str());
        return false;
    }
    const std::string base = directory_of(opt.manifest) + "/";
    auto source_path = [&](const std::string& p) { return p.empty() || p[0] == '/' ? p : base + p; };
    std::string line;
    std::vector<pending_library> libraries;
    for (int number = 1; std::getline(in, line); ++number) {
        line_context at{opt.manifest, number};
        if (std::size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty()) continue;
        flags fl;
        std::vector<std::string> args;
        for (std::size_t i = 1; i < w.size(); ++i) {
            if (w[i] == "plain") fl.plain = true;
            else if (w[i] == "optional") fl.optional = true;
            else if (w[i] == "everydisk") fl.everydisk = true;
            else if (w[i] == "cdonly") fl.cdonly = true;
            else args.push_back(w[i]);
        }
        const bool optional = fl.optional;
        const std::string& verb = w[0];
        if (verb == "set" && args.size() == 2) {
            std::uint64_t n = 0;
            if (args[0] == "medium" && (args[1] == "cdrom" || args[1] == "diskettes")) set->cdrom = args[1] == "cdrom";
            else if (args[0] == "disksize" && parse_number(args[1], &n) && n > 0) set->disksize = n;
            else if (args[0] == "cdsource" && args[1].find_first_of("/\\.") == std::string::npos) set->cdsource = args[1];
            else if (args[0] == "vendor" && parse_number(args[1], &n) && n < 32768) set->vendor = int(n);
            else if (args[0] == "language" && known_language(args[1])) set->language = args[1];
            else if (args[0] == "language") return at.fail("no resource library for the language " + args[1] + " (en, de)");
            else return at.fail("unknown or bad setting: " + args[0] + " " + args[1]);
        } else if (verb == "file" && args.size() == 2) {
            if (!add_file(set, args[0], source_path(args[1]), fl, at)) return false;
        } else if (verb == "dir" && args.size() == 2) {
            std::string dir = source_path(args[1]);
            if (!is_directory(dir)) {
                if (optional) {
                    set->notes.push_back("skipped " + args[0] + ": no directory " + dir);
                    continue;
                }
                return at.fail("no directory " + dir);
            }
            for (const auto& name : files_in(dir))
                if (!add_file(set, medium_path(args[0]) + "/" + name, dir + "/" + name, fl, at)) return false;
        } else if (verb == "pack" && args.size() == 2) {
            if (!add_pack(set, args[0], source_path(args[1]), at)) return false;
        } else if (verb == "packdir" && args.size() == 1) {
            std::string dir = source_path(args[0]);
            if (!is_directory(dir)) return at.fail("no directory " + dir);
            for (const auto& name : files_in(dir))
                if (!add_pack(set, name, dir + "/" + name, at)) return false;
        } else if (verb == "build" && args.size() == 2) {
            if (opt.win32dir.empty()) {
                set->notes.push_back("skipped " + medium_path(args[0]) + ": no win32 build directory given");
                continue;
            }
            if (upper(args[1]) == LIBRARY) {
                media_file f;
                f.medium = medium_path(args[0]);
                f.plain = fl.plain;
                f.everydisk = fl.everydisk;
                f.cdonly = fl.cdonly;
                libraries.push_back({set->files.size(), optional, number});
                set->files.push_back(std::move(f));
                continue;
            }
            std::string found = find_below(opt.win32dir, args[1]);
            if (found.empty()) {
                if (optional) {
                    set->notes.push_back("skipped " + medium_path(args[0]) + ": " + args[1] + " not built");
                    continue;
                }
                return at.fail(args[1] + " not found below " + opt.win32dir);
            }
            if (!add_file(set, args[0], found, fl, at)) return false;
        } else {
            return at.fail("cannot read the directive: " + line);
        }
    }
    if (!opt.language.empty()) {
        if (!known_language(opt.language)) {
            std::fprintf(stderr, "mkmedia: no resource library for the language %s (en, de)\n", opt.language.c_str());
            return false;
        }
        set->language = opt.language;
    }
    // Filled from the last, so that a skipped one does not move the others.
    for (auto lib = libraries.rbegin(); lib != libraries.rend(); ++lib)
        if (!fill_library(opt, set, *lib)) return false;
    return true;
}

std::string library_path(const std::string& win32dir, const std::string& language)
{
    if (language == "en") return win32dir + "/resources/" + LIBRARY;
    if (known_language(language)) return win32dir + "/resources/" + language + "/" + LIBRARY;
    return "";
}
