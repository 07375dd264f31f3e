// The designer's session: the program being designed with its document,
// the preferences and the simulated terminal, and the sequence of every
// command. The session decides; the windows only show what it asks for
// (DesignerUi) and hand the answers back.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "check/checker.h"
#include "comm/transfer_session.h"
#include "editor/editor_sheet.h"
#include "shell/preferences_dialog_state.h"
#include "shell/document.h"
#include "simulator/simulation_engine.h"
#include "texts/code_page.h"

namespace fw {

enum class Answer { Yes, No, Cancel };

// The three transfer commands.
enum class TransferCommand { DownloadProgram, DownloadLookup, ReceiveData };

// Where the terminal window goes: where the user last left it (300, 50 until
// then), its size in face pixels (the window scales it to its DPI), in front
// of every other window when the preferences say "always on top".
struct TerminalPlacement {
    int x = 300;
    int y = 50;
    int width = 210;
    int height = 464;
    bool topMost = false;
};

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
    // A warning box of a text that has no number (UTF-8: it may name a file).
    virtual void showText(unsigned captionId, const std::string& text) = 0;
    // An information box of two text numbers.
    virtual void showInformation(unsigned captionId, unsigned textId) = 0;
    // A question with Yes and No (UTF-8: it may name a file); true for Yes.
    virtual bool askYesNo(unsigned captionId, const std::string& question) = 0;
    // The editor sheet over `sheet`, with `caption`; true when the user
    // confirmed it with OK.
    virtual bool runEditor(EditorSheet& sheet, const std::string& caption) = 0;
    // The Preferences dialog bound to `state` (Detect Cradle included);
    // true for OK.
    virtual bool runPreferences(PreferencesDialogState& state) = 0;
    // The language has changed: the menus take their captions again.
    virtual void languageChanged() = 0;
    // The terminal window at `place` (after a dialog that may move it).
    virtual void placeWindow(const TerminalPlacement& place) = 0;
    // The recent files or the display have changed.
    virtual void recentFilesChanged() = 0;
    virtual void displayChanged() = 0;

    // ---- transfers ----
    // The serial ports the system lists now, in its order.
    virtual std::vector<SerialPortInfo> serialPorts() = 0;
    // The Open dialog for the lookup file to send, starting at `path` (the
    // one sent last, or empty); the chosen name comes back.
    virtual bool chooseLookupFile(std::string& path) = 0;
    // The Save dialog for the file a data receive creates, given the last
    // one (empty: none); the chosen name comes back.
    virtual bool chooseReceiveFile(std::string& path) = 0;
    // Carries out a transfer prepared in full, behind the progress dialog
    // (whose close box cancels it); returns once it is over and the port is
    // released. A transfer the user cancelled reports 0 unless it had
    // completed.
    virtual TransferOutcome runTransfer(const PreparedTransfer& transfer) = 0;
    // "Failed to download, would you like to retry?"
    virtual Answer askRetry() = 0;
    // After a receive with records: "Done : n records received.\nView the
    // received data?"; true for Yes.
    virtual bool askViewReceivedData(int records) = 0;
    // The received file shown to the user (in Notepad), not waited for.
    virtual void viewReceivedData(const std::string& path) = 0;

    // ---- collected data ----
    // The save dialog of a data text file (as a data receive asks for one),
    // starting at `path`; the chosen name comes back.
    virtual bool chooseDataFileName(std::string& path) = 0;

    // ---- check and report ----
    // The checker's findings in a list; returns the index of the finding
    // the user chose to mend, or -1 when the list was closed.
    virtual int showFindings(const std::vector<Finding>& findings) = 0;
    // The Save As dialog of a report page, starting at `path`; the chosen
    // name comes back.
    virtual bool chooseReportFile(std::string& path) = 0;
    // The page in the user's default browser, not waited for.
    virtual void openInBrowser(const std::string& path) = 0;

    // ---- names an older designer stored ----
    // Reads a name stored in the system's ANSI code page (see
    // utf8FromStoredName); nullptr reads it as Windows-1252.
    virtual SystemCodePageReader systemCodePage() const { return nullptr; }
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
    // The designer's start-up beside its program's folder: the settings
    // found and read there, the language files found and the chosen one
    // loaded, the default texts in that language, a new program; then the
    // program file named on the command line or the preloaded last file
    // (openAtStartUp) and the window at its place.
    void startUp(DesignerUi& ui, const std::filesystem::path& programFolder,
                 const std::string& commandLineFile);
    // Where the terminal window goes now.
    TerminalPlacement terminalPlacement() const;
    // The user has moved the terminal window to (x, y): kept in the
    // settings so that start-up, Open and Preferences put it back there.
    void windowMoved(int x, int y);

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
    // the unsaved-changes question. A file that cannot be opened is named
    // with the system's reason; the program stays as it was.
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
    // The editor sheet, opening at `start`.
    void edit(DesignerUi& ui, SheetStart start = {});
    // The window's close request: true when it may close.
    bool mayClose(DesignerUi& ui);
    // Windows asks whether the user's session may end (a restart, a log-off):
    // the unsaved program is kept as a recovery copy first, in case Windows
    // does not wait for the answer; then the question as at closing. True
    // when the session may end.
    bool mayEndSession(DesignerUi& ui);
    // Start-up: a recovery copy left by an unclean end is offered back; on
    // Yes it becomes the program, unsaved, under the name it had.
    void offerRecovery(DesignerUi& ui);
    // A program download whose program has errors asks first whether to
    // send it anyway.
    void transfer(DesignerUi& ui, TransferCommand command);
    // "Check program...": the findings in a list; the one the user chooses
    // opens the editor where it can be mended.
    void check(DesignerUi& ui);
    // "Report...": the report page written beside the program file (an
    // unsaved program: where the user chooses) and opened in the browser.
    // A page that cannot be written is reported with the file's name and
    // the system's reason. True when the page was written.
    bool report(DesignerUi& ui);
    // The Preferences command: the settings read again (another copy of the
    // designer may have written them), the dialog over the system's ports
    // ("Don't have any COM port device!" without one), and on OK the
    // choices stored and written, the language, the default texts and the
    // menus reloaded. True for OK. The window goes back to its place.
    bool editPreferences(DesignerUi& ui);
    // "Collected data...": Save As writes the saved records of the simulated
    // terminal as a data receive would write them; false when nothing was
    // written. Clear forgets the records and sets the counter back to 0.
    bool saveCollectedData(DesignerUi& ui);
    void clearCollectedData(DesignerUi& ui);

    // The simulation back on its start screen.
    void restartSimulation();

private:
    // Tells the user why a load failed; true when it did not.
    bool reportLoad(DesignerUi& ui, const std::string& path, const LoadResult& r);
    // The unsaved-changes question before a command that replaces the
    // program: true when the command may go on. Yes saves first; a save
    // that fails or is cancelled stops the command, so no work is lost.
    bool settleChanges(DesignerUi& ui);
    // A save that could not write its file: the user is told so.
    void saveFailed(DesignerUi& ui);
    bool choosePreferences(DesignerUi& ui);
    // No errors, or the user wants the program sent with them.
    bool downloadDespiteErrors(DesignerUi& ui);
    int downloadWithRetry(DesignerUi& ui, const LinkChoice& link, bool lookupFile);
    int downloadOnce(DesignerUi& ui, const LinkChoice& link, bool lookupFile);
    void receiveData(DesignerUi& ui, const LinkChoice& link);

    Document doc_;
    std::unique_ptr<SimulationEngine> engine_;
    std::string collectedDataFile_;   // where the records were last saved
    std::string lastLookupFile_;      // offered again by the next lookup download
    std::string lastReceiveFile_;
    // Keeps the recovery copy of the program while it has unsaved changes,
    // and removes it when it has none.
    void keepRecoveryCopy();     // its folder is where the next receive starts
};

}  // namespace fw
