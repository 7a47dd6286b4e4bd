// The service control manager as the service removal sees it. Each call
// returns 0 or the system error number of the failing call; defined in
// servicecontrol_win32.cpp and by a scripted double in the native tests.
#pragma once
#include <cstdint>

#include "shell/context.h"

std::uint32_t UL_scmopen(ul_handle* manager);
std::uint32_t UL_scmopenservice(ul_handle manager, const char* name, ul_handle* service);
// The service's current state (1 = stopped).
std::uint32_t UL_scmquerystate(ul_handle service, std::uint32_t* state);
std::uint32_t UL_scmstop(ul_handle service);
std::uint32_t UL_scmdelete(ul_handle service);
void UL_scmclose(ul_handle handle);

constexpr std::uint32_t UL_SERVICE_STOPPED = 1;
