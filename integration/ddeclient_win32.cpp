#include "integration/ddeclient.h"

// The conversation with Program Manager is handled by the DDE operations;
// until they take messages over, the client window behaves as a plain window.
LRESULT CALLBACK DDE_clientproc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    return DefWindowProcA(window, message, wparam, lparam);
}
