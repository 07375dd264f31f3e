// fwk400.exe: the designer.
#include <windows.h>

#include <memory>

#include "shell/command_line.h"
#include "shell/designer_session.h"
#include "shell/win/designer.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    // The program being designed, its preferences and the simulated terminal
    // for as long as the designer runs (on the heap: the program model is
    // large for a stack).
    auto session = std::make_unique<fw::DesignerSession>();
    // A program file on the command line (a double-clicked .FWX) opens at start-up.
    return fw::win::runDesigner(instance, showCommand, *session,
                                fw::programFileArgument(commandLine ? commandLine : ""));
}
