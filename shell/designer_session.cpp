#include "shell/designer_session.h"

#include <cerrno>
#include <memory>

#include "check/report.h"
#include "comm/transfer.h"
#include "model/file_replace.h"
#include "model/program_defaults.h"
#include "model/settings_place.h"
#include "resources/text_ids.h"
#include "shell/captions.h"
#include "shell/language.h"
#include "shell/preferences_dialog_state.h"
#include "shell/recovery.h"
#include "shell/settings_file.h"
#include "simulator/collected_data_view.h"

namespace fw {

DesignerSession::DesignerSession(SimulationEngine::Clock clock)
    : engine_(std::make_unique<SimulationEngine>(doc_.model, doc_.defaults, std::move(clock))) {}

DesignerSession::DesignerSession(const DefaultTexts& defaults, Preferences prefs, SettingsFiles settings,
                                 SimulationEngine::Clock clock)
    : DesignerSession(std::move(clock)) {
    begin(defaults, std::move(prefs), std::move(settings));
}

void DesignerSession::begin(const DefaultTexts& defaults, Preferences prefs, SettingsFiles settings) {
    doc_.defaults = defaults;
    doc_.prefs = std::move(prefs);
    doc_.settings = std::move(settings);
    newDocument(doc_);
    restartSimulation();
}

void DesignerSession::startUp(DesignerUi& ui, const std::filesystem::path& programFolder,
                              const std::string& commandLineFile) {
    SettingsFiles settings = locateSettings(programFolder, kSettingsFileName);
    Preferences prefs;
    readSettings(settings.readFrom, prefs, ui.systemCodePage());
    findLanguages(programFolder);
    loadLanguage(prefs.language);
    auto defaults = std::make_unique<DefaultTexts>();
    loadDefaultTexts(*defaults);
    begin(*defaults, std::move(prefs), std::move(settings));
    // What an unclean end left first; then the file named on the command
    // line, else the last file when the preferences ask for it, loads as a
    // recent file does: it becomes the current file only when it loads.
    offerRecovery(ui);
    openAtStartUp(ui, commandLineFile);
    ui.placeWindow(terminalPlacement());
}

TerminalPlacement DesignerSession::terminalPlacement() const {
    TerminalPlacement place;
    place.topMost = doc_.prefs.alwaysOnTop;
    if (doc_.prefs.hasWindowPosition) {
        place.x = doc_.prefs.windowX;
        place.y = doc_.prefs.windowY;
    }
    return place;
}

void DesignerSession::windowMoved(int x, int y) {
    Preferences& p = doc_.prefs;
    if (p.hasWindowPosition && p.windowX == x && p.windowY == y) return;
    p.hasWindowPosition = true;
    p.windowX = x;
    p.windowY = y;
    // Kept at once: Open and Preferences read the settings file again.
    storeSettings(doc_.settings, p);
}

void DesignerSession::restartSimulation() { engine_->pressKey(kKeyShowStart); }

bool DesignerSession::settleChanges(DesignerUi& ui) {
    if (doc_.model.modified) {
        switch (ui.askSaveChanges()) {
            case Answer::Cancel: return false;
            case Answer::No: break;
            case Answer::Yes:
                // The user asked to keep the work: when it could not be kept,
                // nothing that would replace or close it may go on.
                if (!save(ui)) return false;
                break;
        }
    }
    // Saved or given up: nothing is left to recover.
    removeRecovery(recoveryFilesFor(doc_.settings));
    return true;
}

void DesignerSession::keepRecoveryCopy() {
    const RecoveryFiles files = recoveryFilesFor(doc_.settings);
    if (doc_.model.modified)
        writeRecovery(files, doc_.model, doc_.currentFile);
    else
        removeRecovery(files);
}

bool DesignerSession::mayEndSession(DesignerUi& ui) {
    keepRecoveryCopy();
    return settleChanges(ui);
}

void DesignerSession::offerRecovery(DesignerUi& ui) {
    const RecoveryFiles files = recoveryFilesFor(doc_.settings);
    if (!recoveryExists(files)) return;
    std::string name;
    auto restored = std::make_unique<ProgramModel>(doc_.model);
    if (!readRecovery(files, *restored, doc_.defaults, name)) {
        removeRecovery(files);
        return;
    }
    if (!ui.askYesNo(kTextWarningCaption, restoreRecoveryQuestion(name))) {
        removeRecovery(files);
        return;
    }
    doc_.model = *restored;
    doc_.model.modified = true;   // still unsaved; the copy stays until it is saved
    doc_.currentFile = name;
    restartSimulation();
    ui.displayChanged();
}

void DesignerSession::newProgram(DesignerUi& ui) {
    if (!settleChanges(ui)) return;
    newDocument(doc_);
    edit(ui);
}

void DesignerSession::open(DesignerUi& ui) {
    if (!settleChanges(ui)) return;
    const std::string previous = doc_.currentFile;
    // The settings file may have been changed by another copy of the
    // designer; a file that cannot be read keeps the preferences we have.
    rereadSettings(doc_.settings, doc_.prefs, ui.systemCodePage());
    ui.recentFilesChanged();
    ui.placeWindow(terminalPlacement());
    // The dialog starts at the file the settings would preload, else at the
    // one just closed. Neither becomes the current file unless it loads, so
    // a later Save cannot write the new program over it.
    std::string path = startupFile(doc_.prefs);
    if (path.empty()) path = previous;
    if (!ui.chooseProgramFile(path)) {
        newDocument(doc_);
    } else if (load(ui, path)) {
        edit(ui);
        return;
    }
    // A file that cannot be loaded leaves the program as it was: the
    // load works on a copy, and the program is not cleared before it.
    restartSimulation();
    ui.displayChanged();
}

void DesignerSession::openRecent(DesignerUi& ui, int k) {
    if (k < 0 || k >= static_cast<int>(doc_.prefs.recentFiles.size())) return;
    if (!settleChanges(ui)) return;
    // The entry's own copy: a successful load reorders the list.
    const std::string path = doc_.prefs.recentFiles[static_cast<std::size_t>(k)];
    const LoadResult r = openDocument(doc_, path);
    if (r.status == LoadStatus::CannotOpen && fileIsGone(r.error)) {
        // An entry that can never open again is offered for removal.
        if (ui.askYesNo(kTextErrorCaption, goneRecentFileQuestion(path, r.error)) && forgetRecentFile(doc_, path))
            ui.recentFilesChanged();
        return;
    }
    if (!reportLoad(ui, path, r)) return;
    edit(ui);
}

bool DesignerSession::load(DesignerUi& ui, const std::string& path) {
    return reportLoad(ui, path, openDocument(doc_, path));
}

bool DesignerSession::reportLoad(DesignerUi& ui, const std::string& path, const LoadResult& r) {
    if (r.status == LoadStatus::CannotOpen) ui.showText(kTextErrorCaption, cannotOpenMessage(path, r.error));
    if (r.status == LoadStatus::FormatMismatch) ui.showText(kTextErrorCaption, kFormatMismatchMessage);
    if (r.ok() && !r.imported()) ui.recentFilesChanged();
    return r.ok();
}

bool DesignerSession::openFile(DesignerUi& ui, const std::string& path) {
    if (!settleChanges(ui)) return false;
    const bool loaded = load(ui, path);
    restartSimulation();
    ui.displayChanged();
    return loaded;
}

void DesignerSession::openAtStartUp(DesignerUi& ui, const std::string& commandLineFile) {
    // The file the user double-clicked is the one wanted, not the last one:
    // when it cannot be loaded the designer starts with a new program rather
    // than with another file the user might take for it.
    const std::string path = commandLineFile.empty() ? startupFile(doc_.prefs) : commandLineFile;
    if (!path.empty()) openFile(ui, path);
}

bool DesignerSession::save(DesignerUi& ui) {
    if (doc_.currentFile.empty()) return saveAs(ui);
    if (!saveDocument(doc_, doc_.currentFile)) {
        saveFailed(ui);
        return false;
    }
    removeRecovery(recoveryFilesFor(doc_.settings));
    ui.recentFilesChanged();
    return true;
}

bool DesignerSession::saveAs(DesignerUi& ui) {
    std::string path = doc_.currentFile;
    if (!ui.chooseSaveName(path)) return false;
    if (!saveDocument(doc_, withProgramExtension(path))) {
        saveFailed(ui);
        return false;
    }
    removeRecovery(recoveryFilesFor(doc_.settings));
    ui.recentFilesChanged();
    return true;
}

void DesignerSession::saveFailed(DesignerUi& ui) {
    // A save that fails silently looks like one that worked: the user would
    // close the program and lose the work.
    ui.showMessage(kTextErrorCaption, static_cast<unsigned>(kFileCreateFailed));
}

void DesignerSession::edit(DesignerUi& ui, SheetStart start) {
    {
        EditorSheet sheet(doc_.model, doc_.defaults);
        sheet.openAt(start);
        if (ui.runEditor(sheet, editorCaption(doc_.currentFile))) {
            sheet.commit();
            keepRecoveryCopy();
        }
    }
    // The designed program runs on the display at once.
    restartSimulation();
    ui.displayChanged();
}

bool DesignerSession::mayClose(DesignerUi& ui) { return settleChanges(ui); }

void DesignerSession::transfer(DesignerUi& ui, TransferCommand command) {
    // The configured port, found by its name first; it must be in the
    // system's list, or the user chooses one in the Preferences dialog first.
    std::vector<std::string> ports;
    for (const SerialPortInfo& port : ui.serialPorts()) ports.push_back(port.portName);
    if (ports.empty()) {
        // Nothing the Preferences could offer either.
        ui.showMessage(kTextErrorCaption, static_cast<unsigned>(kNoComPortDevice));
        return;
    }
    doc_.prefs.comPortIndex = resolvePort(doc_.prefs, ports);
    if (transferNeedsPortChoice(doc_.prefs.comPortIndex, static_cast<int>(ports.size()))) {
        if (!editPreferences(ui)) return;
    }
    const bool receive = command == TransferCommand::ReceiveData;
    const int linkType = transferLinkType(receive ? doc_.prefs.receiveVia : doc_.prefs.downloadVia);
    if (linkType < 0) return;
    // Asked once the port and the link are settled, just before anything
    // is sent: the answer is about this download.
    if (command == TransferCommand::DownloadProgram && !downloadDespiteErrors(ui)) return;
    const LinkChoice link{linkType, doc_.prefs.comPortIndex, doc_.prefs.baudRate};
    if (receive) {
        receiveData(ui, link);
        return;
    }
    if (downloadWithRetry(ui, link, command == TransferCommand::DownloadLookup) == kTransferDone)
        ui.showInformation(kTextDownloadCaption, kTextDownloadedCompletely);
}

bool DesignerSession::downloadDespiteErrors(DesignerUi& ui) {
    const int errors = errorCount(checkProgram(doc_.model));
    return errors == 0 || ui.askYesNo(kTextDownloadCaption, downloadAnywayQuestion(errors));
}

void DesignerSession::check(DesignerUi& ui) {
    const std::vector<Finding> findings = checkProgram(doc_.model);
    const int chosen = ui.showFindings(findings);
    if (chosen < 0 || chosen >= static_cast<int>(findings.size())) return;
    edit(ui, editorStartFor(findings[static_cast<std::size_t>(chosen)]));
}

bool DesignerSession::report(DesignerUi& ui) {
    const bool named = !doc_.currentFile.empty() && doc_.currentFile != kUnknownFile;
    std::string path;
    if (named) {
        path = reportPathFor(doc_.currentFile);
    } else if (!ui.chooseReportFile(path)) {
        return false;
    }
    // The program as the user sees it now, saved or not.
    const std::string page = buildReport(doc_.model, doc_.defaults, named ? fileNameOf(doc_.currentFile) : "New file");
    errno = 0;
    if (!writeFileReplacing(path, page.data(), page.size())) {
        ui.showText(kTextErrorCaption, cannotWriteMessage(path, errno != 0 ? errno : EIO));
        return false;
    }
    ui.openInBrowser(path);
    return true;
}

int DesignerSession::downloadOnce(DesignerUi& ui, const LinkChoice& link, bool lookupFile) {
    if (!lookupFile) {
        // Each attempt sends the program as it is now, normalised for the download.
        const PreparedTransfer download = prepareProgramDownload(doc_.model, link, true);
        const TransferOutcome outcome = ui.runTransfer(download);
        applyDownloadNormalisation(doc_.model, download, outcome);
        return outcome.result;
    }
    std::string path = lastLookupFile_;
    if (!ui.chooseLookupFile(path)) return kTransferCancelled;
    lastLookupFile_ = path;
    PreparedTransfer download;
    const int read = prepareLookupDownload(path, link, download);
    if (read != kTransferDone) return read;
    return ui.runTransfer(download).result;
}

void DesignerSession::receiveData(DesignerUi& ui, const LinkChoice& link) {
    // The dialog starts in the folder of the last received file.
    std::string path = lastReceiveFile_;
    if (!ui.chooseReceiveFile(path)) return;
    lastReceiveFile_ = path;
    const TransferOutcome outcome = ui.runTransfer(prepareDataReceive(path, link));
    if (outcome.result == kTransferCancelled) return;
    if (outcome.result != kTransferDone) {
        ui.showMessage(kTextErrorCaption, static_cast<unsigned>(outcome.result));
        return;
    }
    if (outcome.records > 0) {
        if (ui.askViewReceivedData(outcome.records)) ui.viewReceivedData(path);
    } else {
        // The transfer has already deleted the empty file.
        ui.showInformation(kTextUploadCaption, kTextNoDataReceived);
    }
}

bool DesignerSession::editPreferences(DesignerUi& ui) {
    const bool chosen = choosePreferences(ui);
    ui.placeWindow(terminalPlacement());
    return chosen;
}

bool DesignerSession::choosePreferences(DesignerUi& ui) {
    // A file that cannot be read again keeps what we have.
    rereadSettings(doc_.settings, doc_.prefs, ui.systemCodePage());
    ui.recentFilesChanged();
    // Without a serial port the dialog still opens: the language and
    // "always on top" are set there too; its port list is off.
    PreferencesDialogState state(doc_.prefs, ui.serialPorts(), languageList());
    if (!ui.runPreferences(state)) return false;
    doc_.prefs = state.accepted();
    storeSettings(doc_.settings, doc_.prefs);
    loadLanguage(doc_.prefs.language);
    loadDefaultTexts(doc_.defaults);
    ui.languageChanged();
    // The terminal's own screens in the new language.
    restartSimulation();
    ui.displayChanged();
    return true;
}

bool DesignerSession::saveCollectedData(DesignerUi& ui) {
    // The bytes are taken before the dialog: what the user saw when asking
    // is what is written, whatever the display does meanwhile.
    const std::string bytes = uploadBytes(engine_->records());
    if (bytes.empty()) return false;
    std::string path = collectedDataFile_;
    if (!ui.chooseDataFileName(path)) return false;
    if (!writeFileReplacing(path, bytes.data(), bytes.size())) {
        ui.showMessage(kTextErrorCaption, static_cast<unsigned>(kFileCreateFailed));
        return false;
    }
    collectedDataFile_ = path;
    return true;
}

void DesignerSession::clearCollectedData(DesignerUi& ui) {
    engine_->clearRecords();
    ui.displayChanged();
}

int DesignerSession::downloadWithRetry(DesignerUi& ui, const LinkChoice& link, bool lookupFile) {
    for (;;) {
        const int result = downloadOnce(ui, link, lookupFile);
        if (result == kTransferCancelled || result == kTransferDone) return result;
        ui.showMessage(kTextErrorCaption, static_cast<unsigned>(result));
        if (ui.askRetry() != Answer::Yes) return result;
    }
}

}  // namespace fw
