// fwk400.exe: the designer.
#include <windows.h>

#include "shell/win/designer.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return fw::win::runDesigner(instance, showCommand);
}
