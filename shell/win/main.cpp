// fwk400.exe: the designer.
#include <windows.h>

#include "shell/command_line.h"
#include "shell/win/designer.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    // A program file on the command line (a double-clicked .FWX) opens at start-up.
    return fw::win::runDesigner(instance, showCommand, fw::programFileArgument(commandLine ? commandLine : ""));
}
