// The session's questions and dialogs on Windows.
#include <windows.h>
#include <commdlg.h>

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

bool WinDesignerUi::chooseProgramFile(std::string& path) { return chooseOpenFile(owner_, kOpenProgram, path); }

bool WinDesignerUi::chooseSaveName(std::string& path) { return chooseSaveFile(owner_, path); }

void WinDesignerUi::showMessage(unsigned captionId, unsigned textId) {
    messageBoxById(captionId, textId, MB_OK | MB_ICONWARNING);
}

void WinDesignerUi::showText(unsigned captionId, const std::string& message) {
    MessageBoxA(owner_, message.c_str(), loadText(captionId).c_str(), MB_OK | MB_ICONWARNING);
}

void WinDesignerUi::showInformation(unsigned captionId, unsigned textId) {
    messageBoxById(captionId, textId, MB_OK | MB_ICONINFORMATION);
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

int WinDesignerUi::countSerialPorts() {
    WinSerialSystem system;
    return fw::countSerialPorts(system);
}

int WinDesignerUi::runDownload(int linkType, bool lookupFile) { return downloadOnce(owner_, linkType, lookupFile); }

int WinDesignerUi::runReceive(int linkType) { return receiveFromTerminal(owner_, linkType); }

bool WinDesignerUi::chooseDataFileName(std::string& path) {
    // The same kind of file as a data receive writes.
    char file[MAX_PATH] = {};
    if (path.size() < MAX_PATH) path.copy(file, path.size());
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = "Lookup data files {*.TXT}\0*.TXT\0All files (*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = "TXT";
    ofn.lpstrTitle = "Save As";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&ofn)) return false;
    path = file;
    return true;
}

Answer WinDesignerUi::askRetry() {
    return answerOf(messageBoxById(kTextErrorCaption, kTextRetryQuestion, MB_YESNO | MB_ICONWARNING));
}

}  // namespace fw::win
