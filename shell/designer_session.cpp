#include "shell/designer_session.h"

#include "comm/transfer.h"
#include "model/file_replace.h"
#include "model/program_defaults.h"
#include "resources/text_ids.h"
#include "shell/captions.h"
#include "shell/preferences_dialog_state.h"
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

void DesignerSession::restartSimulation() { engine_->pressKey(kKeyShowStart); }

bool DesignerSession::settleChanges(DesignerUi& ui) {
    if (!doc_.model.modified) return true;
    switch (ui.askSaveChanges()) {
        case Answer::Cancel: return false;
        case Answer::No: return true;
        case Answer::Yes: break;
    }
    // The user asked to keep the work: when it could not be kept, nothing
    // that would replace or close it may go on.
    return save(ui);
}

void DesignerSession::newProgram(DesignerUi& ui) {
    if (!settleChanges(ui)) return;
    newDocument(doc_);
    edit(ui);
}

void DesignerSession::open(DesignerUi& ui) {
    if (!settleChanges(ui)) return;
    const std::string previous = doc_.currentFile;
    newDocument(doc_);
    // The settings file may have been changed by another copy of the
    // designer; a file that cannot be read keeps the preferences we have.
    rereadSettings(doc_.settings, doc_.prefs);
    ui.recentFilesChanged();
    ui.placeWindow();
    // The dialog starts at the file the settings would preload, else at the
    // one just closed. Neither becomes the current file unless it loads, so
    // a later Save cannot write the new program over it.
    std::string path = startupFile(doc_.prefs);
    if (path.empty()) path = previous;
    if (ui.chooseProgramFile(path) && load(ui, path)) {
        edit(ui);
        return;
    }
    restartSimulation();
    ui.displayChanged();
}

void DesignerSession::openRecent(DesignerUi& ui, int k) {
    if (k < 0 || k >= static_cast<int>(doc_.prefs.recentFiles.size())) return;
    if (!settleChanges(ui)) return;
    // The entry's own copy: a successful load reorders the list.
    const std::string path = doc_.prefs.recentFiles[static_cast<std::size_t>(k)];
    load(ui, path);
    edit(ui);
}

bool DesignerSession::load(DesignerUi& ui, const std::string& path) {
    const LoadResult r = openDocument(doc_, path);
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
    ui.recentFilesChanged();
    return true;
}

void DesignerSession::saveFailed(DesignerUi& ui) {
    // A save that fails silently looks like one that worked: the user would
    // close the program and lose the work.
    ui.showMessage(kTextErrorCaption, static_cast<unsigned>(kFileCreateFailed));
}

void DesignerSession::edit(DesignerUi& ui) {
    {
        EditorSheet sheet(doc_.model, doc_.defaults);
        if (ui.runEditor(sheet, editorCaption(doc_.currentFile))) sheet.commit();
    }
    // The designed program runs on the display at once.
    restartSimulation();
    ui.displayChanged();
}

bool DesignerSession::mayClose(DesignerUi& ui) { return settleChanges(ui); }

void DesignerSession::transfer(DesignerUi& ui, TransferCommand command) {
    // The configured port, found by its name first; it must be in the
    // system's list, or the user chooses one in the Preferences dialog first.
    const std::vector<std::string> ports = ui.serialPortNames();
    doc_.prefs.comPortIndex = resolvePort(doc_.prefs, ports);
    if (transferNeedsPortChoice(doc_.prefs.comPortIndex, static_cast<int>(ports.size()))) {
        const bool chosen = ui.openPreferences();
        ui.placeWindow();
        if (!chosen) return;
    }
    const bool receive = command == TransferCommand::ReceiveData;
    const int link = transferLinkType(receive ? doc_.prefs.receiveVia : doc_.prefs.downloadVia);
    if (link < 0) return;
    if (receive) {
        const int result = ui.runReceive(link);
        if (result != kTransferCancelled && result != kTransferDone)
            ui.showMessage(kTextErrorCaption, static_cast<unsigned>(result));
        return;
    }
    if (downloadWithRetry(ui, link, command == TransferCommand::DownloadLookup) == kTransferDone)
        ui.showInformation(kTextDownloadCaption, kTextDownloadedCompletely);
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

int DesignerSession::downloadWithRetry(DesignerUi& ui, int linkType, bool lookupFile) {
    for (;;) {
        const int result = ui.runDownload(linkType, lookupFile);
        if (result == kTransferCancelled || result == kTransferDone) return result;
        ui.showMessage(kTextErrorCaption, static_cast<unsigned>(result));
        if (ui.askRetry() != Answer::Yes) return result;
    }
}

}  // namespace fw
