// Laying an installation set out: INSTALL.INI's medium switch, FILESIZE.txt,
// txt.pck, LZ compression, the split onto diskettes with their check files,
// or one CD-ROM tree.
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "files/copyplan_rows.h"
#include "modem/vendors.h"
#include "tools/mkmedia/mkmedia.h"

namespace {

bool fail(const std::string& why)
{
    std::fprintf(stderr, "mkmedia: %s\n", why.c_str());
    return false;
}

std::string parent_of(const std::string& medium)
{
    std::size_t slash = medium.rfind('/');
    return slash == std::string::npos ? std::string() : medium.substr(0, slash);
}

std::string name_of(const std::string& medium)
{
    std::size_t slash = medium.rfind('/');
    return slash == std::string::npos ? medium : medium.substr(slash + 1);
}

std::vector<std::uint8_t> bytes(const std::string& text) { return std::vector<std::uint8_t>(text.begin(), text.end()); }

// An 8.3 name: 1 to 8 characters, optionally a dot and 1 to 3 more.
bool dos_name(const std::string& n)
{
    if (n.empty() || n.find_first_of(" \"*+,/:;<=>?[\\]|") != std::string::npos) return false;
    std::size_t dot = n.find('.');
    if (dot == std::string::npos) return n.size() <= 8;
    std::string ext = n.substr(dot + 1);
    return dot >= 1 && dot <= 8 && !ext.empty() && ext.size() <= 3 && ext.find('.') == std::string::npos;
}

// Files that the installer reads itself, runs, or that must stay readable as text.
bool always_plain(const std::string& medium)
{
    static const std::set<std::string> names = {"INSTALL.INI", "FAX.LST",    "ICONS.LST", "ICONS.FAX", "FILESIZE.TXT",
                                                "TXT.PCK",     "SETUP.EXE",  "VEQCLEAN.BAT", "LASTDISK.TXT",
                                                "COUNTRY/COUNTRY.LST", "VEQWAVE.EXE"};
    return names.count(upper(medium)) != 0;
}

// [GENERAL] of INSTALL.INI: reads a key, and sets one (kept CR LF).
struct ini_text {
    std::vector<std::string> lines;

    explicit ini_text(const std::vector<std::uint8_t>& content)
    {
        std::string text(content.begin(), content.end());
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            lines.push_back(l);
        }
    }
    static std::string key_of(const std::string& line)
    {
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) return "";
        std::string k = line.substr(0, eq);
        while (!k.empty() && k.back() == ' ') k.pop_back();
        return upper(k);
    }
    // Index range of the section's lines; begin = npos when it is missing.
    std::pair<std::size_t, std::size_t> general() const
    {
        std::size_t begin = std::string::npos;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            bool header = !lines[i].empty() && lines[i][0] == '[';
            if (header && begin != std::string::npos) return {begin, i};
            if (header && upper(lines[i]).rfind("[GENERAL]", 0) == 0) begin = i + 1;
        }
        return {begin, lines.size()};
    }
    bool get(const std::string& key, long* value) const
    {
        auto [b, e] = general();
        if (b == std::string::npos) return false;
        for (std::size_t i = b; i < e; ++i)
            if (key_of(lines[i]) == key) {
                *value = std::strtol(lines[i].c_str() + lines[i].find('=') + 1, nullptr, 10);
                return true;
            }
        return false;
    }
    void set(const std::string& key, const std::string& value)
    {
        auto [b, e] = general();
        if (b == std::string::npos) {
            lines.insert(lines.begin(), {"[GENERAL]", key + "=" + value});
            return;
        }
        for (std::size_t i = b; i < e; ++i)
            if (key_of(lines[i]) == key) {
                lines[i] = key + "=" + value;
                return;
            }
        lines.insert(lines.begin() + std::ptrdiff_t(b), key + "=" + value);
    }
    std::vector<std::uint8_t> content() const
    {
        std::string out;
        for (const auto& l : lines) out += l + "\r\n";
        return bytes(out);
    }
};

media_file* find(media_set* set, const std::string& medium)
{
    for (auto& f : set->files)
        if (upper(f.medium) == upper(medium)) return &f;
    return nullptr;
}

bool check_names(const media_set& set)
{
    std::set<std::string> seen;
    for (const auto& f : set.files) {
        if (!seen.insert(upper(f.medium)).second) return fail("listed twice: " + f.medium);
        std::istringstream parts(f.medium);
        bool first = true;
        for (std::string part; std::getline(parts, part, '/'); first = false) {
            if (part == ".." && first && set.cdrom) continue;
            if (part == "..") return fail(f.medium + ": a path beside the source directory needs a CD-ROM set");
            if (!dos_name(part)) return fail(f.medium + ": not an 8.3 name: " + part);
        }
        std::string n = upper(name_of(f.medium));
        bool checkfile = n.size() == 5 && n[0] >= '1' && n[0] <= '9' && n.substr(1) == ".TXT";
        if (f.medium.find('/') == std::string::npos &&
            (n == "FILESIZE.TXT" || n == "LASTDISK.TXT" || n == "TXT.PCK" || checkfile))
            return fail(f.medium + " is made by mkmedia and cannot be listed");
    }
    return true;
}

// FAX.LST: columns 1-5 digits or blanks on every line that is not empty.
bool check_faxlst(const media_file& f)
{
    std::string text(f.content.begin(), f.content.end());
    std::istringstream in(text);
    int number = 0;
    for (std::string l; std::getline(in, l);) {
        ++number;
        if (!l.empty() && l.back() == '\r') l.pop_back();
        if (l.empty()) continue;
        if (l.size() > 79) return fail("FAX.LST line " + std::to_string(number) + " is longer than 79 characters");
        for (std::size_t i = 0; i < 5; ++i)
            if (i >= l.size() || (l[i] != ' ' && (l[i] < '0' || l[i] > '9')))
                return fail("FAX.LST line " + std::to_string(number) + ": columns 1-5 must be digits or blanks");
    }
    return true;
}

// What the installation writes from this set: the copy plan for the vendor
// and medium, and txt.pck unless the fax product is installed.
std::uint64_t installed_total(const media_set& set, int vendor, long whichprogram)
{
    std::uint64_t total = 0;
    for (const copyplan_row& row : INS_copyplanrows(std::int16_t(vendor), set.cdrom)) {
        std::string dir = row.source;
        for (char& c : dir)
            if (c == '\\') c = '/';
        for (const auto& f : set.files)
            if (upper(parent_of(f.medium)) == upper(dir)) total += f.content.size();
    }
    if (whichprogram != 0)
        for (const auto& e : set.pack) total += e.data.size();
    return total;
}

// The destination directories that the installer makes for a product
// (WHICHPROGRAM 0 and 1, and every other value).
const char* const SMALL_TREE[] = {"TEMP", "RECEIVE", "SEND", "PROGRAM", "DATA", "SCRIPT1", "MBOX000",
                                  "MBOX000\\DSEND", "MBOX000\\DRECV", "MBOX000\\FOD"};
const char* const FULL_TREE[] = {"TEMP", "RECEIVE", "SEND", "PROGRAM", "DATA", "SDK", "SCRIPT1", "SCRIPT2", "SCRIPT3",
                                 "SCRIPT4", "SCRIPT5", "SCRIPT6", "SCRIPT7", "SCRIPT8", "SCRIPT9", "MBOX000",
                                 "MBOX000\\DSEND", "MBOX000\\DRECV", "MBOX000\\FOD"};

// A row whose target directory the product does not make is left out by the
// installer: its files would never be installed, so such a set is a mistake.
bool check_targets(const media_set& set, int vendor, long whichprogram)
{
    std::set<std::string> tree;
    if (whichprogram == 0 || whichprogram == 1) tree.insert(std::begin(SMALL_TREE), std::end(SMALL_TREE));
    else tree.insert(std::begin(FULL_TREE), std::end(FULL_TREE));
    for (const copyplan_row& row : INS_copyplanrows(std::int16_t(vendor), set.cdrom)) {
        if (row.target[0] == '\0' || tree.count(row.target)) continue;
        std::string dir = row.source;
        for (char& c : dir)
            if (c == '\\') c = '/';
        for (const auto& f : set.files)
            if (upper(parent_of(f.medium)) == upper(dir))
                return fail(f.medium + ": the plan copies " + row.source + " into " + row.target +
                            ", which WHICHPROGRAM " + std::to_string(whichprogram) + " does not create");
    }
    return true;
}

// Source directories that any row of the plan may copy: their files may go on any diskette.
bool plan_directory(const std::string& dir)
{
    static std::set<std::string> dirs;
    if (dirs.empty())
        for (int vendor = -1; vendor < 100; ++vendor)
            for (const copyplan_row& row : INS_copyplanrows(std::int16_t(vendor), false)) dirs.insert(upper(row.source));
    return dirs.count(upper(dir)) != 0;
}

struct disk {
    std::vector<const media_file*> files;
    std::uint64_t used = 0;
};

std::vector<std::uint8_t> checkfile(int n) { return bytes("Disk " + std::to_string(n) + "\r\n"); }
const std::vector<std::uint8_t> LASTDISK = bytes("Last disk of the set\r\n");

bool split_disks(const media_set& set, std::uint64_t capacity, std::vector<disk>* disks)
{
    std::uint64_t reserve = checkfile(9).size() + LASTDISK.size();
    for (const auto& f : set.files)
        if (f.everydisk) reserve += f.stored.size();
    if (capacity <= reserve) return fail("disk size too small for the check files and the files of every disk");
    std::uint64_t room = capacity - reserve;
    disks->assign(1, disk());
    std::vector<const media_file*> later;
    for (const auto& f : set.files) {
        if (f.everydisk) continue;
        if (plan_directory(parent_of(f.medium))) {
            later.push_back(&f);
            continue;
        }
        (*disks)[0].files.push_back(&f);
        (*disks)[0].used += f.stored.size();
    }
    if ((*disks)[0].used > room)
        return fail("the files that disk 1 must carry take " + std::to_string((*disks)[0].used) + " bytes, more than " +
                    std::to_string(room));
    for (const media_file* f : later) {
        if (f->stored.size() > room) return fail(f->medium + " does not fit on one disk");
        if (disks->back().used + f->stored.size() > room) disks->push_back(disk());
        disks->back().files.push_back(f);
        disks->back().used += f->stored.size();
    }
    if (disks->size() > 9) return fail("the set needs " + std::to_string(disks->size()) + " disks; at most 9 are read");
    for (auto& d : *disks)
        for (const auto& f : set.files)
            if (f.everydisk) {
                d.files.push_back(&f);
                d.used += f.stored.size();
            }
    return true;
}

bool make_dirs(const std::string& path)
{
    std::string partial;
    std::istringstream parts(path);
    for (std::string part; std::getline(parts, part, '/');) {
        partial += part + "/";
        if (part.empty() || part == "..") continue;
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return fail("cannot create " + partial);
    }
    return true;
}

bool place(const std::string& root, const std::string& medium, const std::vector<std::uint8_t>& data)
{
    std::string path = root + medium;
    if (!make_dirs(parent_of(path))) return false;
    if (!write_file(path, data)) return fail("cannot write " + path);
    return true;
}

bool empty_or_missing(const std::string& dir)
{
    DIR* d = opendir(dir.c_str());
    if (!d) return errno == ENOENT;
    bool empty = true;
    while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") empty = false;
    closedir(d);
    return empty;
}

}  // namespace

bool write_media(const options& opt, media_set* set)
{
    if (opt.cdrom >= 0) set->cdrom = opt.cdrom != 0;
    if (opt.disksize) set->disksize = opt.disksize;
    if (opt.vendor >= 0) set->vendor = opt.vendor;
    // One manifest serves both media: what only a CD-ROM carries is left out of diskettes.
    if (!set->cdrom) {
        for (const auto& f : set->files)
            if (f.cdonly) set->notes.push_back("left out of the diskettes: " + f.medium);
        set->files.erase(std::remove_if(set->files.begin(), set->files.end(), [](const media_file& f) { return f.cdonly; }),
                         set->files.end());
    }
    if (!check_names(*set)) return false;

    media_file* ini = find(set, "INSTALL.INI");
    if (!ini) return fail("the set has no INSTALL.INI");
    ini_text settings(ini->content);
    settings.set("CDROM", set->cdrom ? "1" : "0");
    ini->content = settings.content();
    long whichprogram = 2, inivendor = VENDOR_MODEMBLASTER;
    settings.get("WHICHPROGRAM", &whichprogram);
    settings.get("VENDOR", &inivendor);
    int vendor = set->vendor >= 0 ? set->vendor : int(inivendor);

    const media_file* faxlst = find(set, "FAX.LST");
    if (!faxlst) return fail("the set has no FAX.LST; the installer refuses such a source");
    if (!check_faxlst(*faxlst)) return false;

    if (!check_targets(*set, vendor, whichprogram)) return false;
    std::uint64_t total = installed_total(*set, vendor, whichprogram);
    if (total > 0x7FFFFFFF) return fail("the installation writes more than the 32-bit total can hold");
    media_file sizefile;
    sizefile.medium = "FILESIZE.txt";
    sizefile.origin = "(made)";
    sizefile.content = bytes(std::to_string(total) + "\r\n");
    set->files.push_back(sizefile);
    if (!set->pack.empty()) {
        media_file pck;
        pck.medium = "txt.pck";
        pck.origin = "(made)";
        std::string why;
        if (!pck_build(set->pack, &pck.content, &why)) return fail("txt.pck: " + why);
        set->files.push_back(std::move(pck));
    }

    std::vector<media_file*> compress;
    for (auto& f : set->files) {
        // A plain file that begins like a compressed one would be expanded by the installer.
        if (always_plain(f.medium) || (f.plain && !looks_compressed(f.content))) {
            f.plain = true;
            f.stored = f.content;
        } else {
            compress.push_back(&f);
        }
    }
    store_files(compress, 0);

    if (!empty_or_missing(opt.outdir)) return fail("the output directory " + opt.outdir + " is not empty");
    if (!make_dirs(opt.outdir)) return false;
    const std::string out = opt.outdir.back() == '/' ? opt.outdir : opt.outdir + "/";

    std::ostringstream listing;
    if (set->cdrom) {
        std::string root = out + set->cdsource + "/";
        for (const auto& f : set->files) {
            if (!place(root, f.medium, f.stored)) return false;
            listing << set->cdsource << "/" << f.medium << "\t" << (f.plain ? "plain" : "lz") << "\t" << f.content.size()
                    << "\t" << f.stored.size() << "\t" << f.origin << "\n";
        }
        std::printf("mkmedia: CD-ROM set in %s%s\n", out.c_str(), set->cdsource.c_str());
    } else {
        std::vector<disk> disks;
        if (!split_disks(*set, set->disksize, &disks)) return false;
        for (std::size_t i = 0; i < disks.size(); ++i) {
            int n = int(i) + 1;
            std::string name = "DISK" + std::to_string(n);
            std::string root = out + name + "/";
            if (!make_dirs(root)) return false;
            for (const media_file* f : disks[i].files) {
                if (!place(root, f->medium, f->stored)) return false;
                listing << name << "/" << f->medium << "\t" << (f->plain ? "plain" : "lz") << "\t" << f->content.size()
                        << "\t" << f->stored.size() << "\t" << f->origin << "\n";
            }
            if (n > 1 && !place(root, std::to_string(n) + ".txt", checkfile(n))) return false;
            if (i + 1 == disks.size() && !place(root, "lastdisk.txt", LASTDISK)) return false;
            std::printf("mkmedia: %s: %zu files, %llu of %llu bytes\n", name.c_str(), disks[i].files.size(),
                        static_cast<unsigned long long>(disks[i].used), static_cast<unsigned long long>(set->disksize));
        }
    }
    std::printf("mkmedia: vendor %d, WHICHPROGRAM %ld, FILESIZE.txt %llu bytes\n", vendor, whichprogram,
                static_cast<unsigned long long>(total));
    for (const auto& note : set->notes) std::printf("mkmedia: note: %s\n", note.c_str());
    if (!opt.listing.empty()) {
        std::string text = listing.str();
        if (!write_file(opt.listing, bytes(text))) return fail("cannot write " + opt.listing);
    }
    return true;
}
