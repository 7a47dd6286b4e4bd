// Native doubles of the system integration's platform side.
#include "tests/native/doubles/integration_doubles.h"

#include "install/completion.h"
#include "integration/ddewait.h"
#include "integration/printer.h"
#include "integration/progman.h"
#include "integration/servicecontrol.h"
#include "integration/shellentries.h"
#include "shell/platform.h"
#include "shell/text.h"

namespace integration_doubles {
scm_script scm;
std::vector<std::string> scmcalls;
std::vector<std::string> ddecommands;
std::uint16_t ddeinitiate = 0;
int ddeterminated = 0;
std::vector<ddeanswer> ddeanswers;
int ddetimerstops = 0;
std::map<std::string, std::map<std::string, std::string>> registry;
std::vector<shortcut> shortcuts;
std::string sendto;
std::string programs;
std::vector<std::string> folders;
std::vector<std::string> groupitems;
std::vector<std::string> started;
std::uint32_t startfailure = 0;
int waitsteps = 0;
int waits = 0;
std::vector<std::string> winini;
std::vector<std::string> broadcasts;
bool wininirefuses = false;
int doneresult = 0;
std::vector<std::string> run;
int closeposted = 0;
int progressclosed = 0;

void reset()
{
    scm = scm_script{};
    scmcalls.clear();
    ddecommands.clear();
    ddeinitiate = 0;
    ddeterminated = 0;
    ddeanswers.clear();
    ddetimerstops = 0;
    registry.clear();
    shortcuts.clear();
    sendto.clear();
    programs = "C:\\WINDOWS\\Start Menu\\Programs";
    folders.clear();
    groupitems.clear();
    started.clear();
    startfailure = 0;
    waitsteps = 0;
    waits = 0;
    winini.clear();
    broadcasts.clear();
    wininirefuses = false;
    doneresult = 0;
    run.clear();
    closeposted = 0;
    progressclosed = 0;
}
}  // namespace integration_doubles

namespace d = integration_doubles;

namespace {
int handle_token = 0;
ul_handle token() { return &handle_token; }
}  // namespace

std::uint32_t UL_scmopen(ul_handle* manager)
{
    d::scmcalls.push_back("open");
    *manager = d::scm.open ? nullptr : token();
    return d::scm.open;
}

std::uint32_t UL_scmopenservice(ul_handle, const char* name, ul_handle* service)
{
    d::scmcalls.push_back(std::string("openservice ") + name);
    *service = d::scm.openservice ? nullptr : token();
    return d::scm.openservice;
}

std::uint32_t UL_scmquerystate(ul_handle, std::uint32_t* state)
{
    d::scmcalls.push_back("query");
    *state = d::scm.state;
    return d::scm.query;
}

std::uint32_t UL_scmstop(ul_handle)
{
    d::scmcalls.push_back("stop");
    return d::scm.stop;
}

std::uint32_t UL_scmdelete(ul_handle)
{
    d::scmcalls.push_back("delete");
    return d::scm.remove;
}

void UL_scmclose(ul_handle) { d::scmcalls.push_back("close"); }

namespace {
bool talking = false;          // a conversation the server has not ended
std::size_t executes = 0;      // of this conversation
}  // namespace

status_t DDE_initiate(setup_context*, ul_module, ul_window, const char* service, const char* subject)
{
    d::ddecommands.push_back(std::string("initiate ") + service + " " + subject);
    talking = d::ddeinitiate == ST_OK;
    executes = 0;
    return d::ddeinitiate;
}

// The server's answer is in the queue before the wait starts, as a prompt shell's is.
status_t DDE_execute(setup_context* ctx, const char* command)
{
    d::ddecommands.push_back(command);
    DDE_executestarted(ctx);
    if (!talking) {
        DDE_conversationended(ctx);
        return ST_OK;
    }
    std::size_t n = executes++;
    switch (n < d::ddeanswers.size() ? d::ddeanswers[n] : d::ddeanswer::ack) {
    case d::ddeanswer::ack:
        DDE_executeanswered(ctx, 0x8000);
        break;
    case d::ddeanswer::nack:
        DDE_executeanswered(ctx, 0);
        break;
    case d::ddeanswer::terminate:
        talking = false;
        DDE_conversationended(ctx);
        break;
    case d::ddeanswer::silent:
        break;
    }
    return ST_OK;
}

void DDE_stoptimer(setup_context*) { ++d::ddetimerstops; }

status_t DDE_terminate(setup_context*)
{
    talking = false;
    ++d::ddeterminated;
    return ST_OK;
}

status_t INS_setregstring(ul_regroot root, const char* subkey, const char* valuename, const char* text)
{
    if (!subkey || !subkey[0]) return ST_OK;
    static const char* const ROOTS[] = {"HKCR", "HKCU", "HKLM"};
    d::registry[std::string(ROOTS[root]) + "\\" + subkey][valuename ? valuename : ""] = text;
    return ST_OK;
}

// A number is kept as "dword:<n>" beside the strings.
status_t INS_setregdword(ul_regroot root, const char* subkey, const char* valuename, std::uint32_t value)
{
    if (!subkey || !subkey[0]) return ST_OK;
    static const char* const ROOTS[] = {"HKCR", "HKCU", "HKLM"};
    d::registry[std::string(ROOTS[root]) + "\\" + subkey][valuename ? valuename : ""] = "dword:" + std::to_string(value);
    return ST_OK;
}

status_t INS_makeshortcut(setup_context*, const char* target, const char* folder, const char* name)
{
    d::shortcuts.push_back({target, folder, name});
    return ST_OK;
}

bool INS_programsfolder(char out[SHELLPATHSIZE])
{
    UL_copytext(out, SHELLPATHSIZE, d::programs.c_str());
    return !d::programs.empty();
}

bool INS_makefolder(const char* folder)
{
    d::folders.push_back(folder);
    return true;
}

void INS_makegroupitem(setup_context*, const char* folder, const char* program, const char* argument,
                       const char* title, const char* icon)
{
    d::groupitems.push_back(std::string(folder) + "|" + program + "|" + argument + "|" + title + "|" + icon);
}

std::uint32_t UL_getsendtofolder(char* out, std::uint32_t size)
{
    UL_copytext(out, size, d::sendto.c_str());
    return std::uint32_t(d::sendto.size());
}

std::uint32_t UL_startprogram(const char* commandline, ul_handle* process)
{
    d::started.push_back(commandline);
    *process = d::startfailure ? nullptr : token();
    return d::startfailure;
}

bool UL_waitprogram(ul_handle, std::uint32_t milliseconds)
{
    ++d::waits;
    if (d::waits > d::waitsteps) return true;
    UL_sleep(milliseconds);
    return false;
}

void UL_closeprogram(ul_handle) {}

bool UL_writewinini(const char* section, const char* key, const char* value)
{
    if (d::wininirefuses) return false;
    d::winini.push_back(std::string(section) + "|" + key + "|" + value);
    return true;
}

void UL_broadcastwininichange(const char* section) { d::broadcasts.push_back(section); }

status_t INS_rundonedialog(setup_context*, int* result)
{
    if (d::doneresult == -1) return ST_NO_TEMPLATE;
    *result = d::doneresult;
    return ST_OK;
}

void UL_runprogram(const char* commandline) { d::run.push_back(commandline); }

void UL_postclose(ul_window) { ++d::closeposted; }

void INS_closeprogresswindow(setup_context*) { ++d::progressclosed; }
