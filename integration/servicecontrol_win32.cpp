// The service control manager calls of the service removal.
#include <windows.h>

#include "integration/servicecontrol.h"

namespace {
SC_HANDLE sc(ul_handle h) { return static_cast<SC_HANDLE>(h); }
std::uint32_t error_of(BOOL ok) { return ok ? 0 : GetLastError(); }
}  // namespace

std::uint32_t UL_scmopen(ul_handle* manager)
{
    *manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    return *manager ? 0 : GetLastError();
}

std::uint32_t UL_scmopenservice(ul_handle manager, const char* name, ul_handle* service)
{
    *service = OpenServiceA(sc(manager), name, SERVICE_ALL_ACCESS);
    return *service ? 0 : GetLastError();
}

std::uint32_t UL_scmquerystate(ul_handle service, std::uint32_t* state)
{
    SERVICE_STATUS status = {};
    BOOL ok = QueryServiceStatus(sc(service), &status);
    *state = status.dwCurrentState;
    return error_of(ok);
}

std::uint32_t UL_scmstop(ul_handle service)
{
    SERVICE_STATUS status = {};
    return error_of(ControlService(sc(service), SERVICE_CONTROL_STOP, &status));
}

std::uint32_t UL_scmdelete(ul_handle service) { return error_of(DeleteService(sc(service))); }

void UL_scmclose(ul_handle handle) { CloseServiceHandle(sc(handle)); }
