// The Program Manager DDE client window.
#pragma once
#include <windows.h>

LRESULT CALLBACK DDE_clientproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
