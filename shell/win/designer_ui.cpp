// The session's questions and dialogs on Windows.
#include <windows.h>

#include "comm/win/serial_port_win.h"
#include "resources/text_ids.h"
#include "shell/preferences_dialog_state.h"
#include "shell/win/designer.h"
#include "shell/win/transfer_dialog.h"
#include "texts/texts.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"

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
    utf8Box(owner_, message, utf8FromCodePage(loadText(captionId)), MB_OK | MB_ICONWARNING);
}

bool WinDesignerUi::askYesNo(unsigned captionId, const std::string& question) {
    return utf8Box(owner_, question, utf8FromCodePage(loadText(captionId)), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void WinDesignerUi::showInformation(unsigned captionId, unsigned textId) {
    messageBoxById(owner_, captionId, textId, MB_OK | MB_ICONINFORMATION);
}

bool WinDesignerUi::runEditor(EditorSheet& sheet, const std::string& caption) {
    return runEditorSheet(owner_, designer().instance, sheet, caption);
}

bool WinDesignerUi::runPreferences(PreferencesDialogState& state) {
    return runPreferencesDialog(owner_, designer().instance, state);
}

void WinDesignerUi::languageChanged() { buildPopupMenu(session_); }

void WinDesignerUi::placeWindow(const TerminalPlacement& place) { placeTerminalWindow(place); }

void WinDesignerUi::recentFilesChanged() { refreshRecentFiles(session_); }

void WinDesignerUi::displayChanged() {
    if (designer().client) InvalidateRect(designer().client, nullptr, FALSE);
}

std::vector<SerialPortInfo> WinDesignerUi::serialPorts() {
    WinSerialSystem system;
    return listSerialPorts(system);
}

bool WinDesignerUi::chooseLookupFile(std::string& path) { return chooseOpenFile(owner_, kTextFile, path); }

bool WinDesignerUi::chooseReceiveFile(std::string& path) { return win::chooseReceiveFile(owner_, path); }

TransferOutcome WinDesignerUi::runTransfer(const PreparedTransfer& transfer) {
    return runTransferWithProgress(owner_, designer().instance, transfer);
}

bool WinDesignerUi::askViewReceivedData(int records) { return win::askViewReceivedData(owner_, records); }

void WinDesignerUi::viewReceivedData(const std::string& path) { showInNotepad(path); }

bool WinDesignerUi::chooseDataFileName(std::string& path) {
    // The same kind of file as a data receive writes.
    return chooseSaveFile(owner_, kTextFile, path);
}

int WinDesignerUi::showFindings(const std::vector<Finding>& findings) {
    return runCheckDialog(owner_, designer().instance, findings);
}

bool WinDesignerUi::chooseReportFile(std::string& path) {
    // An unsaved program has no folder of its own: the user's Documents.
    return chooseSaveFile(owner_, kReportFile, path, documentsFolder());
}

void WinDesignerUi::openInBrowser(const std::string& path) { showInBrowser(owner_, path); }
SystemCodePageReader WinDesignerUi::systemCodePage() const { return &utf8FromSystemCodePage; }

Answer WinDesignerUi::askRetry() {
    return answerOf(messageBoxById(owner_, kTextErrorCaption, kTextRetryQuestion, MB_YESNO | MB_ICONWARNING));
}

}  // namespace fw::win
