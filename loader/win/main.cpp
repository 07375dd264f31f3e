// fwx_load.exe: downloads an existing program file to the terminal without
// the designer. Without a file on the command line it asks for the file and
// then for the link, the port and the speed; with one it asks nothing.
//
// The user-interface thread shows the dialogs and message boxes; the
// transfer runs on a thread of its own, which blocks in the port while it
// waits for the terminal and hands everything the user sees to this thread.
#include <windows.h>

#include <commctrl.h>

#include <thread>
#include <vector>

#include "comm/win/serial_port_win.h"
#include "loader/command_line.h"
#include "loader/loader_program.h"
#include "loader/loader_session.h"
#include "loader_windows.h"
#include "ui/win/wide_text.h"

namespace {

using namespace fw::loader;

int runLoader(HINSTANCE instance, const std::string& commandLine) {
    HWND main = win::createMainWindow(instance);
    const CommandLine command = parseCommandLine(commandLine);

    std::string file = command.file;
    Choices choices = command.choices;
    if (!command.silent && !win::chooseProgramFile(main, file)) {
        DestroyWindow(main);
        return 1;
    }

    // The file is read once, here; every attempt sends the image built from it.
    std::vector<uint8_t> bytes;
    switch (readProgramFile(file, bytes)) {
    case ProgramFileStatus::ok:
        break;
    case ProgramFileStatus::cannotOpen:
        win::showMessage(main, Message::cantOpenFile);
        DestroyWindow(main);
        return 1;
    case ProgramFileStatus::formatMismatch:
        win::showMessage(main, Message::formatMismatch);
        DestroyWindow(main);
        return 1;
    }

    if (!command.silent && !win::runPropertiesDialog(instance, main, choices)) {
        DestroyWindow(main);
        return 1;
    }

    LoaderProgram program(std::move(bytes));
    program.prepare();
    bool downloaded = false;
    fw::ExchangeCancel cancel;
    std::thread transfer([&] {
        fw::WinSerialPort port;
        win::MarshalledUi ui(main, cancel);
        downloaded = runDownload(port, chosenPort(choices), choices, program.image(), ui,
                                 fw::systemLinkClock(), &cancel);
        PostMessageW(main, win::kTransferEnded, 0, 0);
    });

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (win::progressWindowMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    transfer.join();
    DestroyWindow(main);
    return downloaded ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    return runLoader(instance, commandLine ? fw::win::utf8FromWide(commandLine) : std::string());
}
