// The main window procedure (for start-up and the tests under Wine).
#pragma once
#include <windows.h>

LRESULT CALLBACK TST_wndprocmain(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
