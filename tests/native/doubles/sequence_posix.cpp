// Native doubles of the sequence's dialogs and progress window: scripted
// answers, every call recorded.
#include "install/dialogs.h"
#include "install/progress.h"
#include "install/unattended.h"
#include "shell/text.h"
#include "tests/native/doubles/sequence_doubles.h"

namespace sequencedoubles {
std::vector<std::string> calls;
status_t country_status = ST_OK;
std::vector<bool> proceed_cancels;
std::vector<int> askpath_back;
status_t askpath_status = ST_OK;
bool disk_cancel = false;
std::string destination;
bool question_yes = false;
namespace {
std::size_t proceeds = 0, askpaths = 0;
}
void reset()
{
    calls.clear();
    country_status = ST_OK;
    proceed_cancels.clear();
    askpath_back.clear();
    askpath_status = ST_OK;
    disk_cancel = false;
    destination.clear();
    proceeds = askpaths = 0;
    question_yes = false;
}
}  // namespace sequencedoubles

namespace d = sequencedoubles;

status_t INS_askcountry(setup_context*)
{
    d::calls.push_back("country");
    return d::country_status;
}

status_t INS_changediskette(setup_context*, std::int16_t disk, std::uint16_t* cancelled)
{
    d::calls.push_back("disk " + std::to_string(disk));
    *cancelled = d::disk_cancel ? 1 : 0;
    return ST_OK;
}

status_t INS_proceed(setup_context* ctx, std::uint16_t* cancelled)
{
    d::calls.push_back("proceed");
    std::size_t n = d::proceeds++;
    *cancelled = (n < d::proceed_cancels.size() && d::proceed_cancels[n]) ? 1 : 0;
    if (!*cancelled && !d::destination.empty()) {
        UL_copytext(ctx->pathname, d::destination.c_str());
        UL_copytext(ctx->programdir, (d::destination + "PROGRAM\\").c_str());
        UL_copytext(ctx->datadir, (d::destination + "DATA\\").c_str());
    }
    return ST_OK;
}

status_t INS_askpath(setup_context* ctx)
{
    d::calls.push_back("askpath");
    std::size_t n = d::askpaths++;
    ctx->INS_back = (n < d::askpath_back.size() && d::askpath_back[n]) ? 1 : 0;
    return d::askpath_status;
}

status_t INS_askquestion(setup_context*, ul_window, unsigned number, const char*, std::uint16_t* yes)
{
    d::calls.push_back("question " + std::to_string(number));
    *yes = d::question_yes ? 1 : 0;
    return ST_OK;
}

status_t INS_keyabortopen(setup_context*, const char* title, const char*, const char*)
{
    d::calls.push_back(std::string("open ") + title);
    return ST_OK;
}

status_t INS_keyabortclose(setup_context*)
{
    d::calls.push_back("close");
    return ST_OK;
}

status_t INS_failinstall(setup_context*, status_t status)
{
    d::calls.push_back("fail " + std::to_string(status));
    return ST_OK;
}
