#include "command.h"

#include <cstring>
#include <initializer_list>

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool same_head(const char* text, const char* head, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (text[i] == '\0' || upper(text[i]) != upper(head[i])) return false;
    return true;
}

// Copies [from, to) without its quotes; false when it does not fit.
bool copy_unquoted(char* out, std::size_t size, const char* from, const char* to)
{
    std::size_t k = 0;
    for (const char* p = from; p < to; ++p) {
        if (*p == '"') continue;
        if (k + 1 >= size) {
            out[0] = '\0';
            return false;
        }
        out[k++] = *p;
    }
    out[k] = '\0';
    return true;
}

// "/NAME=" or "-NAME=" at the start of a token of n characters.
bool is_option(const char* token, std::size_t n, const char* name)
{
    std::size_t k = std::strlen(name);
    return n > k + 1 && (token[0] == '/' || token[0] == '-') && same_head(token + 1, name, k);
}

bool is_switch(const char* token, std::size_t n, char letter)
{
    return n == 2 && (token[0] == '/' || token[0] == '-') && upper(token[1]) == letter;
}

}  // namespace

bool UC_parsecommand(const char* line, uninstall_command* out)
{
    std::memset(out, 0, sizeof *out);
    out->userdata = -1;
    if (!line) return true;
    while (*line == ' ' || *line == '\t') ++line;
    const char* start = line;
    if (*line == '"') {
        const char* close = std::strchr(line + 1, '"');
        line = close ? close + 1 : line + std::strlen(line);
    } else {
        while (*line && *line != ' ' && *line != '\t') ++line;
    }
    if (!copy_unquoted(out->program, sizeof out->program, start, line)) return false;

    while (*line) {
        while (*line == ' ' || *line == '\t') ++line;
        const char* end = line;
        bool quoted = false;
        while (*end && (quoted || (*end != ' ' && *end != '\t'))) {
            if (*end == '"') quoted = !quoted;
            ++end;
        }
        std::size_t n = std::size_t(end - line);
        // The shell's "start" quotes an argument that holds blanks whole:
        // "/LOG=C:\My Logs\x.log" is the option as much as /LOG="C:\My Logs\x.log".
        const char* token = line;
        if (n > 1 && token[0] == '"' && (token[1] == '/' || token[1] == '-')) ++token, --n;
        line = token;
        if (is_switch(line, n, 'Y')) {
            out->userdata = 1;
        } else if (is_switch(line, n, 'N')) {
            out->userdata = 0;
        } else if (is_option(line, n, "PATH=")) {
            if (!copy_unquoted(out->path, sizeof out->path, line + 6, end)) return false;
            // The installer writes a drive's root without its backslash ("C:"),
            // which alone would mean the drive's current directory.
            if (out->path[0] && out->path[1] == ':' && out->path[2] == '\0') {
                out->path[2] = '\\';
                out->path[3] = '\0';
            }
            out->haspath = out->path[0] != '\0';
        } else if (is_option(line, n, "LOG=")) {
            if (!copy_unquoted(out->log, sizeof out->log, line + 5, end)) return false;
        } else if (is_option(line, n, "RESULT=")) {
            if (!copy_unquoted(out->result, sizeof out->result, line + 8, end)) return false;
        }
        // An unclosed quote swallowed the rest: what it names is not known.
        if (quoted) return false;
        line = end;
    }
    return true;
}

bool UC_commandprogram(const char* command, const char* installdir, char* out, std::size_t size)
{
    if (size == 0) return false;
    out[0] = '\0';
    if (!command) return false;
    while (*command == ' ' || *command == '\t') ++command;
    const char* from = command;
    const char* to;
    if (*command == '"') {
        from = command + 1;
        to = std::strchr(from, '"');
        if (!to) return false;
    } else {
        std::size_t skip = installdir ? std::strlen(installdir) : 0;
        if (skip == 0 || !same_head(command, installdir, skip)) skip = 0;
        to = command + skip;
        while (*to && *to != ' ' && *to != '\t') ++to;
    }
    std::size_t n = std::size_t(to - from);
    if (n == 0 || n >= size) return false;
    std::memcpy(out, from, n);
    out[n] = '\0';
    return true;
}

bool UC_isdriveroot(const char* dir)
{
    if (!dir) return false;
    std::size_t n = std::strlen(dir);
    while (n > 0 && (dir[n - 1] == '\\' || dir[n - 1] == '/')) --n;
    if (n == 0) return true;
    if (n == 2 && dir[1] == ':') return true;
    if (n > 2 && dir[0] == '\\' && dir[1] == '\\') {
        int separators = 0;
        for (std::size_t i = 2; i < n; ++i)
            if (dir[i] == '\\' || dir[i] == '/') ++separators;
        return separators <= 1;
    }
    return false;
}

bool UC_isabsolute(const char* path)
{
    if (!path) return false;
    char c = upper(path[0]);
    if (c >= 'A' && c <= 'Z' && path[1] == ':' && path[2] == '\\') return true;
    return path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
}

bool UC_isuserdata(const char* relative)
{
    for (const char* top : {"RECEIVE", "SEND", "MBOX000"}) {
        std::size_t n = std::strlen(top);
        if (same_head(relative, top, n) && (relative[n] == '\0' || relative[n] == '\\')) return true;
    }
    return false;
}
