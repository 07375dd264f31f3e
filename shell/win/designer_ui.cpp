// The session's questions and dialogs on Windows.
#include <windows.h>

#include "comm/win/serial_port_win.h"
#include "resources/text_ids.h"
#include "shell/preferences_dialog_state.h"
#include "shell/win/designer.h"
#include "texts/texts.h"

namespace fw::win {

namespace {

Answer answerOf(int box) {
    switch (box) {
        case IDYES: return Answer::Yes;
        case IDNO: return Answer::No;
        default: return Answer::Cancel;
    }
}

}  // namespace

Answer WinDesignerUi::askSaveChanges() { return answerOf(win::askSaveChanges(owner_)); }

bool WinDesignerUi::chooseProgramFile(std::string& path) { return chooseOpenFile(owner_, kProgramFile, path); }

bool WinDesignerUi::chooseSaveName(std::string& path) {
    path.clear();   // Save As starts without a name
    return chooseSaveFile(owner_, kProgramFile, path);
}

void WinDesignerUi::showMessage(unsigned captionId, unsigned textId) {
    messageBoxById(owner_, captionId, textId, MB_OK | MB_ICONWARNING);
}

void WinDesignerUi::showText(unsigned captionId, const std::string& message) {
    MessageBoxA(owner_, message.c_str(), loadText(captionId).c_str(), MB_OK | MB_ICONWARNING);
}

void WinDesignerUi::showInformation(unsigned captionId, unsigned textId) {
    messageBoxById(owner_, captionId, textId, MB_OK | MB_ICONINFORMATION);
}

bool WinDesignerUi::runEditor(EditorSheet& sheet, const std::string& caption) {
    return runEditorSheet(owner_, designer().instance, sheet, caption);
}

bool WinDesignerUi::openPreferences() { return win::openPreferences(owner_); }

void WinDesignerUi::placeWindow() { placeTerminalWindow(); }

void WinDesignerUi::recentFilesChanged() { refreshRecentFiles(); }

void WinDesignerUi::displayChanged() {
    if (designer().client) InvalidateRect(designer().client, nullptr, FALSE);
}

std::vector<std::string> WinDesignerUi::serialPortNames() {
    WinSerialSystem system;
    std::vector<std::string> names;
    for (const SerialPortInfo& port : listSerialPorts(system)) names.push_back(port.portName);
    return names;
}

int WinDesignerUi::runDownload(int linkType, bool lookupFile) { return downloadOnce(owner_, linkType, lookupFile); }

int WinDesignerUi::runReceive(int linkType) { return receiveFromTerminal(owner_, linkType); }

bool WinDesignerUi::chooseDataFileName(std::string& path) {
    // The same kind of file as a data receive writes.
    return chooseSaveFile(owner_, kTextFile, path);
}

Answer WinDesignerUi::askRetry() {
    return answerOf(messageBoxById(owner_, kTextErrorCaption, kTextRetryQuestion, MB_YESNO | MB_ICONWARNING));
}

}  // namespace fw::win
