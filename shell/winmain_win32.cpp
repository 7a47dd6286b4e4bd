#include <windows.h>

#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandline, int show)
{
    return INS_run(instance, commandline, show);
}
