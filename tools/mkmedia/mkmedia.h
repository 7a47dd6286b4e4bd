// mkmedia's model: the files of an installation set before they are laid out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "files/pckformat.h"

struct media_file {
    std::string medium;                // path below the source directory, '/' separated; may start "../" (CD-ROM)
    std::string origin;                // where it came from, for the listing
    std::vector<std::uint8_t> content; // the installed (expanded) bytes
    bool plain = false;                // stored as it is, not LZ-compressed
    bool everydisk = false;            // on every diskette (programs run from the medium late)
    bool cdonly = false;               // left out of a diskette set
    std::vector<std::uint8_t> stored;  // the bytes on the medium
};

struct media_set {
    bool cdrom = false;
    std::uint64_t disksize = 1457664;  // a 1.44 MB diskette
    std::string cdsource = "SETUP";    // the source directory's name on a CD-ROM
    int vendor = -1;                   // for FILESIZE.txt; -1: VENDOR of INSTALL.INI
    std::string language = "en";       // whose resource library goes on the medium
    std::vector<media_file> files;
    std::vector<pck_entry> pack;
    std::vector<std::string> notes;    // optional entries left out, and why
};

struct options {
    std::string manifest;
    std::string outdir;
    std::string win32dir;  // SETUP.EXE, VEQINS.DLL and companions; empty: none
    std::string listing;   // file that receives the listing; empty: none
    int cdrom = -1;        // -1: as the manifest says
    std::uint64_t disksize = 0;
    int vendor = -1;
    std::string language;  // overrides "set language"; empty: as the manifest says
};

// The resource library of a language below the win32 build directory, or ""
// for a language that has none.
std::string library_path(const std::string& win32dir, const std::string& language);

// Reads the manifest into the set; false with a message on stderr.
bool read_manifest(const options& opt, media_set* set);
// Lays the set out below opt.outdir; false with a message on stderr.
bool write_media(const options& opt, media_set* set);

// A file that begins with the compressed format's signature: the installer
// takes it for a compressed file (a damaged one when it is shorter than a
// header), so it is never stored plain.
bool looks_compressed(const std::vector<std::uint8_t>& content);
// Stores each file (stored, plain): LZ-compressed, or as it is when that is not
// larger and it does not begin like a compressed file. threads 0: one per core.
void store_files(const std::vector<media_file*>& files, unsigned threads);

// Helpers shared by both halves.
std::string upper(std::string s);
bool read_file(const std::string& path, std::vector<std::uint8_t>* out);
bool write_file(const std::string& path, const std::vector<std::uint8_t>& data);
