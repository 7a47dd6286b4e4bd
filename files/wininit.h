// The Windows 95 family deletes at its next start what WININIT.INI lists in
// [Rename] as "NUL=<path>", one line a file, in the short (8.3) name: its
// restart reads no other. Any other key names the file's new name, so a second
// file under "NUL1" would only be moved there; and the profile service cannot
// write the same key twice, so the line goes into the file's text here. The
// text is made here (header-only, host-tested); UL_wininitschedule
// (wininit.cpp) puts it in place through the file seam, for the installer's
// clean-up and for the uninstaller alike.
#pragma once
#include <cstddef>

namespace wininit_detail {

inline char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Whether [from, to) is the section header "[Rename]" (any case, blanks around).
inline bool is_rename_header(const char* from, const char* to)
{
    while (from < to && (*from == ' ' || *from == '\t')) ++from;
    while (to > from && (to[-1] == ' ' || to[-1] == '\t')) --to;
    const char* want = "[RENAME]";
    std::size_t n = 0;
    while (want[n]) ++n;
    if (std::size_t(to - from) != n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (upper(from[i]) != want[i]) return false;
    return true;
}

// Whether [from, to) is "NUL=" followed by exactly file (any case).
inline bool is_same_entry(const char* from, const char* to, const char* file)
{
    const char* head = "NUL=";
    for (; *head; ++head, ++from)
        if (from >= to || upper(*from) != *head) return false;
    for (; *file; ++file, ++from)
        if (from >= to || upper(*from) != upper(*file)) return false;
    return from == to;
}

}  // namespace wininit_detail

// Makes in out (size bytes, terminated) the text of WININIT.INI (text, length
// bytes; none yet: length 0) with "NUL=<file>" in its [Rename] section: after
// the section's last line that is not blank, or in a new section at the end.
// A file already listed there is not listed twice. False, and out empty, when the file is
// empty or holds a line end or a NUL (it would make lines of its own), or the
// result does not fit.
inline bool UL_wininitdelete(const char* text, std::size_t length, const char* file, char* out, std::size_t size)
{
    using namespace wininit_detail;
    if (size == 0) return false;
    out[0] = '\0';
    std::size_t filelength = 0;
    if (!file) return false;
    while (file[filelength]) {
        if (file[filelength] == '\r' || file[filelength] == '\n') return false;
        ++filelength;
    }
    if (filelength == 0) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (text[i] == '\0') return false;

    // Where the line goes: after the section's last line that is not blank, or at the end.
    std::size_t at = length;
    bool header = false;
    for (std::size_t i = 0; i < length;) {
        std::size_t end = i;
        while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
        std::size_t next = end;
        if (next < length && text[next] == '\r') ++next;
        if (next < length && text[next] == '\n') ++next;
        if (header) {
            if (i < end && text[i] == '[') break;  // the next section: not listed yet
            if (is_same_entry(text + i, text + end, file)) {
                if (length + 1 > size) return false;
                for (std::size_t k = 0; k < length; ++k) out[k] = text[k];
                out[length] = '\0';
                return true;
            }
            bool blank = true;
            for (std::size_t k = i; k < end; ++k)
                if (text[k] != ' ' && text[k] != '\t') blank = false;
            // In the order scheduled: after the lines there before.
            if (!blank) at = next;
        } else if (is_rename_header(text + i, text + end)) {
            header = true;
            at = next;
            // A header on the file's last line without its line end.
            if (next == end) at = length;
        }
        i = next;
    }

    const char* lead = "";
    if (!header) lead = length > 0 && text[length - 1] != '\n' ? "\r\n[Rename]\r\n" : "[Rename]\r\n";
    else if (at == length && length > 0 && text[length - 1] != '\n') lead = "\r\n";
    std::size_t leadlength = 0;
    while (lead[leadlength]) ++leadlength;
    std::size_t total = length + leadlength + 4 + filelength + 2;
    if (total + 1 > size) return false;
    std::size_t k = 0;
    for (std::size_t i = 0; i < at; ++i) out[k++] = text[i];
    for (std::size_t i = 0; i < leadlength; ++i) out[k++] = lead[i];
    for (const char* s = "NUL="; *s; ++s) out[k++] = *s;
    for (std::size_t i = 0; i < filelength; ++i) out[k++] = file[i];
    out[k++] = '\r';
    out[k++] = '\n';
    for (std::size_t i = at; i < length; ++i) out[k++] = text[i];
    out[k] = '\0';
    return true;
}

// Lists file for deletion at the next start in the WININIT.INI named (the
// Windows directory's), in its short name when the system gives one (else as
// given), which goes into listed (size bytes) for the caller's trace. The file
// is rewritten safely (UL_rewritefile): whatever fails, the lines of every
// other program stay. False when the file is not listed.
bool UL_wininitschedule(const char* wininit, const char* file, char* listed, std::size_t size);
