// The designer's session: the program being designed with its document,
// the preferences and the simulated terminal, and the sequence of every
// command. The session decides; the windows only show what it asks for
// (DesignerUi) and hand the answers back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/editor_sheet.h"
#include "shell/document.h"
#include "simulator/simulation_engine.h"

namespace fw {

enum class Answer { Yes, No, Cancel };

// The three transfer commands.
enum class TransferCommand { DownloadProgram, DownloadLookup, ReceiveData };

// What the session asks of the windows. Each call shows something, waits
// for the user where there is something to answer, and returns the answer.
class DesignerUi {
public:
    virtual ~DesignerUi() = default;

    // "Save current program ?" with Yes, No and Cancel.
    virtual Answer askSaveChanges() = 0;
    // The Open dialog for a program file, starting at `path`; the chosen
    // name comes back in `path`.
    virtual bool chooseProgramFile(std::string& path) = 0;
    // The Save As dialog, starting at `path`; the name as chosen comes back.
    virtual bool chooseSaveName(std::string& path) = 0;
    // A warning box of two text numbers; nothing when either text is empty.
    virtual void showMessage(unsigned captionId, unsigned textId) = 0;
    // A warning box of a text that has no number.
    virtual void showText(unsigned captionId, const std::string& text) = 0;
    // An information box of two text numbers.
    virtual void showInformation(unsigned captionId, unsigned textId) = 0;
    // The editor sheet over `sheet`, with `caption`; true when the user
    // confirmed it with OK.
    virtual bool runEditor(EditorSheet& sheet, const std::string& caption) = 0;
    // The Preferences dialog; true for OK.
    virtual bool openPreferences() = 0;
    // The terminal window back at its place (after a dialog that may move it).
    virtual void placeWindow() = 0;
    // The recent files or the display have changed.
    virtual void recentFilesChanged() = 0;
    virtual void displayChanged() = 0;

    // ---- transfers ----
    // The names of the serial ports the system lists now, in its order.
    virtual std::vector<std::string> serialPortNames() = 0;
    // One attempt of a download with its own dialogs (the lookup file's
    // name, the progress); 0 cancelled, 1 done, else a failure's text.
    virtual int runDownload(int linkType, bool lookupFile) = 0;
    // A data receive with its own dialogs and closing boxes; as above.
    virtual int runReceive(int linkType) = 0;
    // "Failed to download, would you like to retry?"
    virtual Answer askRetry() = 0;

    // ---- collected data ----
    // The save dialog of a data text file (as a data receive asks for one),
    // starting at `path`; the chosen name comes back.
    virtual bool chooseDataFileName(std::string& path) = 0;
};

class DesignerSession {
public:
    // An empty session: a zero program and the default preferences, until
    // begin().
    explicit DesignerSession(SimulationEngine::Clock clock = {});
    // A new program over `defaults` (already loaded), with the preferences
    // read from `settings` (empty: none).
    DesignerSession(const DefaultTexts& defaults, Preferences prefs, SettingsFiles settings,
                    SimulationEngine::Clock clock = {});
    DesignerSession(const DesignerSession&) = delete;
    DesignerSession& operator=(const DesignerSession&) = delete;

    // Start-up: the default texts, the preferences and where they are kept;
    // a new program.
    void begin(const DefaultTexts& defaults, Preferences prefs, SettingsFiles settings);

    Document& document() { return doc_; }
    const Document& document() const { return doc_; }
    ProgramModel& model() { return doc_.model; }
    Preferences& preferences() { return doc_.prefs; }
    SimulationEngine& engine() { return *engine_; }

    // ---- commands ----
    void newProgram(DesignerUi& ui);
    void open(DesignerUi& ui);
    void openRecent(DesignerUi& ui, int k);
    // Loads `path` as a recent file does, without the editor and without
    // the unsaved-changes question.
    bool load(DesignerUi& ui, const std::string& path);
    // A program file handed to the designer from outside its menu (named on
    // the command line, as when a .FWX file is double-clicked): the
    // unsaved-changes question, then `path` loads as a recent file does,
    // without the editor, and the display starts again on the program.
    // False when the file was not loaded (the program is then the one the
    // question left).
    bool openFile(DesignerUi& ui, const std::string& path);
    // Start-up, after begin(): the file named on the command line when there
    // is one, else the last file when the preferences ask for it.
    void openAtStartUp(DesignerUi& ui, const std::string& commandLineFile);
    // Save and Save As; a file that cannot be written is reported with
    // "File open/create failed!" and leaves `modified` set.
    bool save(DesignerUi& ui);
    bool saveAs(DesignerUi& ui);
    void edit(DesignerUi& ui);
    // The window's close request: true when it may close.
    bool mayClose(DesignerUi& ui);
    void transfer(DesignerUi& ui, TransferCommand command);
    // "Collected data...": Save As writes the saved records of the simulated
    // terminal as a data receive would write them; false when nothing was
    // written. Clear forgets the records and sets the counter back to 0.
    bool saveCollectedData(DesignerUi& ui);
    void clearCollectedData(DesignerUi& ui);

    // The simulation back on its start screen.
    void restartSimulation();

private:
    // The unsaved-changes question before a command that replaces the
    // program: true when the command may go on. Yes saves first; a save
    // that fails or is cancelled stops the command, so no work is lost.
    bool settleChanges(DesignerUi& ui);
    // A save that could not write its file: the user is told so.
    void saveFailed(DesignerUi& ui);
    int downloadWithRetry(DesignerUi& ui, int linkType, bool lookupFile);

    Document doc_;
    std::unique_ptr<SimulationEngine> engine_;
    std::string collectedDataFile_;   // where the records were last saved
};

}  // namespace fw
