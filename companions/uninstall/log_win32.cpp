// The removal's log, in the style of the installer's debug log: one
// "label=value" line each, CR LF. Written only when /LOG= names a file, so a
// plain removal leaves nothing behind.
#include <cstring>

#include "removal_win32.h"

namespace uninst {

namespace {

HANDLE logfile = INVALID_HANDLE_VALUE;
int removed = 0, kept = 0;

void write(const char* s)
{
    DWORD written = 0;
    WriteFile(logfile, s, DWORD(std::strlen(s)), &written, nullptr);
}

}  // namespace

void log_open(const char* file)
{
    removed = kept = 0;
    if (!file || !file[0]) return;
    // Appended to: ZVUNINST.EXE starts the file and adds its last lines.
    logfile = CreateFileA(file, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logfile != INVALID_HANDLE_VALUE) SetFilePointer(logfile, 0, nullptr, FILE_END);
}

void log_close()
{
    if (logfile != INVALID_HANDLE_VALUE) CloseHandle(logfile);
    logfile = INVALID_HANDLE_VALUE;
}

void log_line(const char* label, const char* value)
{
    if (logfile == INVALID_HANDLE_VALUE) return;
    write(label);
    write(value);
    write("\r\n");
}

void log_removed(const char* what, const char* object)
{
    ++removed;
    text label = make("removed ", what, "=");
    log_line(label.s, object);
}

void log_kept(const char* what, const char* object, ur_reason why)
{
    ++kept;
    if (logfile == INVALID_HANDLE_VALUE) return;
    write("kept ");
    write(what);
    write("=");
    write(object);
    write(" (");
    write(UR_reasontext(why));
    write(")\r\n");
}

int removed_count() { return removed; }
int kept_count() { return kept; }

}  // namespace uninst
