// The Program Manager conversation when a window of the machine has stopped
// answering (a hung shell or program): the initiate must not wait for it for
// ever. Needs the display that scripts/with-wine.sh provides.
#include <windows.h>

#include "integration/ddeclient.h"
#include "integration/progman.h"
#include "tests/win32/integration_fixture.h"

namespace {

// A top-level window whose thread never looks at its messages again.
class hung_window {
public:
    hung_window()
    {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
        WaitForSingleObject(ready_, 10000);
    }
    ~hung_window()
    {
        SetEvent(release_);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        CloseHandle(ready_);
        CloseHandle(release_);
    }
    HWND window() const { return window_; }

private:
    static DWORD WINAPI run(void* param)
    {
        auto* self = static_cast<hung_window*>(param);
        self->window_ = CreateWindowA("VEQ-TESTHUNG", "hung", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        SetEvent(self->ready_);
        WaitForSingleObject(self->release_, INFINITE);  // no message is ever taken
        DestroyWindow(self->window_);
        return 0;
    }
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

class HungMachine : public WineIntegrationTest {
protected:
    HWND parent = nullptr;

    void SetUp() override
    {
        WineIntegrationTest::SetUp();
        WNDCLASSA dde = {};
        dde.lpfnWndProc = DDE_clientproc;
        dde.hInstance = GetModuleHandleA(nullptr);
        dde.lpszClassName = "VEQ-DDE";
        RegisterClassA(&dde);
        WNDCLASSA plain = {};
        plain.lpfnWndProc = DefWindowProcA;
        plain.hInstance = GetModuleHandleA(nullptr);
        plain.lpszClassName = "VEQ-TESTHUNG";
        RegisterClassA(&plain);
        parent = CreateWindowA("VEQ-TESTHUNG", "main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(parent);
        WineIntegrationTest::TearDown();
    }
};

}  // namespace

TEST_F(HungMachine, InitiateWithAHungWindowEndsAndStillFindsTheShell)
{
    hung_window hung;
    ASSERT_NE(hung.window(), nullptr);

    DWORD start = GetTickCount();
    status_t st = DDE_initiate(ctx, GetModuleHandleA(nullptr), parent, "VEQNOSUCHSERVICE", "VEQNOSUCHSERVICE");
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(st, ST_DDE_NO_SERVER) << log();
    EXPECT_LT(took, 30000u) << "the hung window held the initiate";
    EXPECT_NE(log().find("before loop"), std::string::npos) << log();

    start = GetTickCount();
    st = DDE_initiate(ctx, GetModuleHandleA(nullptr), parent, "PROGMAN", "PROGMAN");
    took = GetTickCount() - start;
    EXPECT_EQ(st, ST_OK) << "the shell still answers beside the hung window\n" << log();
    EXPECT_LT(took, 30000u);
    DDE_terminate(ctx);
}
