// Native doubles of the shell's system services: an INI reader, a string
// table the tests fill, recorded message boxes and a virtual clock.
#include <fstream>
#include <string>

#include "files/log.h"
#include "install/install.h"
#include "install/progress.h"
#include "shell/platform.h"
#include "shell/text.h"
#include "tests/native/doubles/shell_doubles.h"
#include "tests/native/doubles/hostpath.h"
#include "tests/support/initext.h"

using doubles::host;

using initext::trimmed;
using initext::upper;

namespace doubles {
std::map<unsigned, std::string> strings;
std::vector<std::pair<std::string, std::string>> boxes;
std::uint32_t clock_ms = 0;
std::string modulepath = "C:\\SETUP\\SETUP.EXE";
std::vector<painted_line> painted;
int clientheight = 480;
}  // namespace doubles

std::uint32_t UL_getprofilestring(const char* section, const char* key, const char* defaulttext,
                                  char* out, std::uint32_t size, const char* file)
{
    std::ifstream in(host(file));
    std::string line, current;
    while (std::getline(in, line)) {
        std::string t = trimmed(line);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            current = upper(t.substr(1, t.size() - 2));
            continue;
        }
        std::size_t eq = t.find('=');
        if (current != upper(section) || eq == std::string::npos) continue;
        if (upper(trimmed(t.substr(0, eq))) != upper(key)) continue;
        UL_copytext(out, size, trimmed(t.substr(eq + 1)).c_str());
        return std::uint32_t(std::string(out).size());
    }
    UL_copytext(out, size, defaulttext);
    return std::uint32_t(std::string(out).size());
}

int UL_loadstring(ul_module library, unsigned number, char* out, int size)
{
    out[0] = '\0';
    auto it = doubles::strings.find(number);
    if (!library || it == doubles::strings.end() || size <= 0) return 0;
    UL_copytext(out, std::size_t(size), it->second.c_str());
    return int(std::string(out).size());
}

ul_handle UL_loadicon(ul_module, const char* name) { return const_cast<char*>(name); }

void UL_messagebox(const char* caption, const char* text, ul_boxkind) { doubles::boxes.emplace_back(caption, text); }

status_t UL_pumpmessage(setup_context*) { return ST_OK; }

std::uint32_t UL_gettickcount() { return doubles::clock_ms; }

void UL_sleep(std::uint32_t milliseconds) { doubles::clock_ms += milliseconds; }

void UL_getmodulepath(ul_module, char* out, std::uint32_t size) { UL_copytext(out, size, doubles::modulepath.c_str()); }

void UL_paintlogline(setup_context* ctx, const char* text)
{
    log_paint_step step = UL_nextlogline(ctx->logline_y, 0, doubles::clientheight);
    ctx->logline_y = step.y;
    doubles::painted.push_back({step.y, step.scroll, text});
}

namespace doubles {
std::string windowsdir = "/tmp/windows";
std::int16_t winversion = 1;
std::vector<std::string> deletedatrestart;
int checkabort_calls = 0;
int stop_at_call = 0;
}  // namespace doubles

bool UL_writeprofilestring(const char* section, const char* key, const char* value, const char* file)
{
    std::vector<std::string> lines;
    {
        std::ifstream in(host(file));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
    }
    std::string wanted = upper(section);
    std::string entry = std::string(key) + "=" + value;
    bool insection = false, done = false;
    std::size_t sectionend = std::string::npos;
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        std::string t = trimmed(lines[i]);
        if (t.size() >= 2 && t.front() == '[') {
            if (insection) break;
            insection = upper(t.substr(1, t.size() - 2)) == wanted;
            if (insection) sectionend = i + 1;
            continue;
        }
        if (!insection) continue;
        sectionend = i + 1;
        std::size_t eq = t.find('=');
        if (eq != std::string::npos && upper(trimmed(t.substr(0, eq))) == upper(key)) {
            lines[i] = entry;
            done = true;
        }
    }
    if (!done) {
        if (sectionend == std::string::npos) {
            lines.push_back("[" + std::string(section) + "]");
            lines.push_back(entry);
        } else {
            lines.insert(lines.begin() + std::ptrdiff_t(sectionend), entry);
        }
    }
    std::ofstream out(host(file), std::ios::trunc);
    for (const auto& l : lines) out << l << "\r\n";
    out.flush();
    return bool(out);
}

std::uint32_t UL_getwindowsdir(char* out, std::uint32_t size)
{
    UL_copytext(out, size, doubles::windowsdir.c_str());
    return std::uint32_t(std::string(out).size());
}

std::uint32_t UL_getsystemdir(char* out, std::uint32_t size)
{
    std::string dir = doubles::windowsdir + "/system";
    UL_copytext(out, size, dir.c_str());
    return std::uint32_t(std::string(out).size());
}

void UL_deleteatrestart(const char* name) { doubles::deletedatrestart.push_back(name); }

status_t INS_getwinversion(setup_context* ctx, std::int16_t* code)
{
    *code = doubles::winversion;
    UL_logshort(ctx, "PlatformID=", doubles::winversion == 2 ? 2 : 1);
    return ST_OK;
}

status_t INS_keyabortpoll(setup_context*, std::uint16_t* stop, std::uint16_t)
{
    ++doubles::checkabort_calls;
    *stop = (doubles::stop_at_call != 0 && doubles::checkabort_calls >= doubles::stop_at_call) ? 1 : 0;
    return ST_OK;
}
