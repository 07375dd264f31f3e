#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <system_error>

#include "comm/program_image.h"
#include "comm/transfer.h"
#include "editor/form_page.h"
#include "editor/menu_page.h"
#include "model/fixed_text.h"
#include "resources/text_ids.h"
#include "shell/designer_session.h"
#include "shell/settings_file.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

// A user who answers from a script and notes what was shown.
class ScriptedUi : public DesignerUi {
public:
    std::deque<Answer> saveAnswers;
    std::deque<std::string> openNames;     // empty string: the dialog is cancelled
    std::deque<std::string> saveNames;
    std::deque<int> downloadResults;
    std::deque<Answer> retryAnswers;
    int receiveResult = kTransferDone;
    int receivedRecords = 0;
    std::deque<bool> accepted;
    std::string lookupFile;                 // empty: the dialog is cancelled
    std::string receiveFile = "received.txt";
    bool viewAnswer = false;
    std::deque<bool> yesNo;                 // answers to Yes/No questions; none left: No

    struct Transfer {
        TransferKind kind;
        LinkChoice link;
        bool writeBack;
        std::string path;
        std::size_t imageSize;
        std::size_t lookupLines;
    };
    std::vector<Transfer> transfers;
    std::vector<ProgramModel> normalisedPrograms;
    std::vector<std::string> lookupDialogStart;
    std::vector<int> viewQuestions;
    std::vector<std::string> viewed;
    int ports = 1;
    std::vector<std::string> portNames;   // when set, instead of COM1..COM<ports>
    bool preferencesOk = true;
    std::function<void(PreferencesDialogState&)> choosing;   // what the user does in the dialog
    int languageChanges = 0;
    std::vector<TerminalPlacement> placements;
    // What the editor does while it is open, and whether it ends with OK.
    std::function<void(EditorSheet&)> editing;
    bool editorOk = false;

    int questions = 0;
    int editorRuns = 0;
    int downloads = 0;
    int preferencesShown = 0;
    std::vector<std::pair<unsigned, std::string>> shown;   // caption, text or number

    Answer askSaveChanges() override {
        ++questions;
        Answer a = saveAnswers.empty() ? Answer::Cancel : saveAnswers.front();
        if (!saveAnswers.empty()) saveAnswers.pop_front();
        return a;
    }
    bool chooseProgramFile(std::string& path) override { return take(openNames, path); }
    bool chooseSaveName(std::string& path) override { return take(saveNames, path); }
    void showMessage(unsigned caption, unsigned text) override { shown.push_back({caption, std::to_string(text)}); }
    void showText(unsigned caption, const std::string& text) override { shown.push_back({caption, text}); }
    bool askYesNo(unsigned caption, const std::string& question) override {
        // The question before a program with errors is sent: the cases send
        // it unless told otherwise.
        if (caption == kTextDownloadCaption) {
            downloadQuestions.push_back(question);
            return downloadAnyway;
        }
        shown.push_back({caption, question});
        const bool yes = !yesNo.empty() && yesNo.front();
        if (!yesNo.empty()) yesNo.pop_front();
        return yes;
    }
    void showInformation(unsigned caption, unsigned text) override {
        shown.push_back({caption, std::to_string(text)});
    }
    bool runEditor(EditorSheet& sheet, const std::string&) override {
        ++editorRuns;
        editorStarts.push_back(sheet.startPage());
        if (editing) editing(sheet);
        return editorOk;
    }
    bool runPreferences(PreferencesDialogState& state) override {
        ++preferencesShown;
        if (choosing) choosing(state);
        return preferencesOk;
    }
    void languageChanged() override { ++languageChanges; }
    void placeWindow(const TerminalPlacement& place) override { placements.push_back(place); }
    void recentFilesChanged() override {}
    void displayChanged() override {}
    std::vector<SerialPortInfo> serialPorts() override {
        std::vector<std::string> names = portNames;
        if (names.empty()) {
            for (int i = 1; i <= ports; ++i) names.push_back("COM" + std::to_string(i));
        }
        std::vector<SerialPortInfo> list;
        for (const std::string& name : names) list.push_back(SerialPortInfo{name, "\\Device\\Serial", kPortSerial});
        return list;
    }
    bool chooseLookupFile(std::string& path) override {
        lookupDialogStart.push_back(path);
        if (lookupFile.empty()) return false;
        path = lookupFile;
        return true;
    }
    bool chooseReceiveFile(std::string& path) override {
        path = receiveFile;
        return !path.empty();
    }
    // A download gives the next scripted result, and has the terminal
    // accept its opening when the next scripted acceptance says so (by
    // default when it succeeds).
    TransferOutcome runTransfer(const PreparedTransfer& t) override {
        transfers.push_back({t.kind, t.link, t.writeBack, t.path, t.image.size(), t.lookup.count()});
        if (t.program) normalisedPrograms.push_back(*t.program);
        TransferOutcome o;
        if (t.kind == TransferKind::receive) {
            o.result = receiveResult;
            o.records = receivedRecords;
            return o;
        }
        ++downloads;
        o.result = downloadResults.empty() ? kTransferDone : downloadResults.front();
        if (!downloadResults.empty()) downloadResults.pop_front();
        o.openingAccepted = accepted.empty() ? o.result == kTransferDone : accepted.front();
        if (!accepted.empty()) accepted.pop_front();
        return o;
    }
    bool askViewReceivedData(int records) override {
        viewQuestions.push_back(records);
        return viewAnswer;
    }
    void viewReceivedData(const std::string& path) override { viewed.push_back(path); }
    Answer askRetry() override {
        Answer a = retryAnswers.empty() ? Answer::No : retryAnswers.front();
        if (!retryAnswers.empty()) retryAnswers.pop_front();
        return a;
    }
    bool chooseDataFileName(std::string& path) override {
        dataDialogStart.push_back(path);
        return take(dataNames, path);
    }
    std::deque<std::string> dataNames;
    std::vector<std::string> dataDialogStart;

    int showFindings(const std::vector<Finding>& findings) override {
        listed.push_back(findings);
        return chosenFinding;
    }
    bool chooseReportFile(std::string& path) override { return take(reportNames, path); }
    void openInBrowser(const std::string& path) override { browsed.push_back(path); }
    bool downloadAnyway = true;
    std::vector<std::string> downloadQuestions;
    std::vector<SheetPageId> editorStarts;
    std::vector<std::vector<Finding>> listed;
    int chosenFinding = -1;
    std::deque<std::string> reportNames;
    std::vector<std::string> browsed;

private:
    static bool take(std::deque<std::string>& names, std::string& path) {
        if (names.empty()) return false;
        path = names.front();
        names.pop_front();
        return !path.empty();
    }
};

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fw_session_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        texts = std::make_unique<DefaultTexts>();
        loadDefaultTexts(*texts);
        Preferences prefs;
        prefs.comPortIndex = 0;
        session = std::make_unique<DesignerSession>(*texts, prefs, settingsAt(dir / "FWK400.ini"));
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }
    ProgramModel& model() { return session->model(); }
    Document& doc() { return session->document(); }

    // A saved program whose first form has a text line, and a change after it.
    std::string savedAndChanged(const char* name) {
        const std::string file = path(name);
        model().forms[0].dataType[0] = kTypeText;
        EXPECT_TRUE(saveDocument(doc(), file));
        model().forms[0].dataType[1] = kTypeInteger;
        model().modified = true;
        return file;
    }

    fs::path dir;
    std::unique_ptr<DefaultTexts> texts;
    std::unique_ptr<DesignerSession> session;
    ScriptedUi ui;
};

TEST_F(Session, NewAsksFirstAndEachAnswerDoesWhatItSays) {
    const std::string file = savedAndChanged("a.FWX");

    ui.saveAnswers = {Answer::Cancel};
    session->newProgram(ui);
    EXPECT_EQ(model().forms[0].dataType[1], kTypeInteger);   // nothing happened
    EXPECT_EQ(ui.editorRuns, 0);

    ui.saveAnswers = {Answer::Yes};   // saved under its own name, then New
    session->newProgram(ui);
    EXPECT_EQ(ui.editorRuns, 1);
    EXPECT_TRUE(doc().currentFile.empty());
    EXPECT_EQ(model().forms[0].dataType[1], kTypeNil);
    ASSERT_TRUE(session->load(ui, file));
    EXPECT_EQ(model().forms[0].dataType[1], kTypeInteger);

    model().modified = true;
    ui.saveAnswers = {Answer::No};
    session->newProgram(ui);
    EXPECT_EQ(ui.editorRuns, 2);
    EXPECT_EQ(model().forms[0].dataType[0], kTypeNil);
}

TEST_F(Session, YesWithAFailedOrCancelledSaveKeepsTheWork) {
    model().forms[3].dataType[0] = kTypeReal;
    model().modified = true;
    // Never saved: Yes goes through Save As, which the user cancels.
    ui.saveAnswers = {Answer::Yes, Answer::Yes};
    ui.saveNames = {""};
    EXPECT_FALSE(session->mayClose(ui));
    session->newProgram(ui);   // the Save As dialog: none scripted, cancelled
    EXPECT_EQ(model().forms[3].dataType[0], kTypeReal);
    EXPECT_TRUE(model().modified);
    EXPECT_EQ(ui.editorRuns, 0);

    EXPECT_TRUE(ui.shown.empty());   // a cancel is no failure

    // A file that cannot be written: the user hears so, and the program
    // stays open with its work.
    ui.saveAnswers = {Answer::Yes};
    ui.saveNames = {path("no such folder/x")};
    EXPECT_FALSE(session->mayClose(ui));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0], (std::pair<unsigned, std::string>{kTextErrorCaption,
                                                             std::to_string(static_cast<unsigned>(kFileCreateFailed))}));
    EXPECT_EQ(model().forms[3].dataType[0], kTypeReal);
    EXPECT_TRUE(model().modified);

    ui.saveAnswers = {Answer::No};
    EXPECT_TRUE(session->mayClose(ui));
    model().modified = false;
    EXPECT_TRUE(session->mayClose(ui));
    EXPECT_EQ(ui.questions, 4);   // nothing modified: no question
}

TEST_F(Session, RecentFileAsksBeforeReplacingUnsavedChanges) {
    const std::string other = path("other.FWX");
    ASSERT_TRUE(saveDocument(doc(), other));
    model().forms[5].dataType[2] = kTypeLetter;
    model().modified = true;
    ASSERT_EQ(doc().prefs.recentFiles.front(), other);

    ui.saveAnswers = {Answer::Cancel};
    session->openRecent(ui, 0);
    EXPECT_EQ(ui.questions, 1);
    EXPECT_EQ(model().forms[5].dataType[2], kTypeLetter);
    EXPECT_EQ(ui.editorRuns, 0);

    ui.saveAnswers = {Answer::No};
    session->openRecent(ui, 0);
    EXPECT_EQ(model().forms[5].dataType[2], kTypeNil);
    EXPECT_EQ(ui.editorRuns, 1);
    EXPECT_EQ(doc().currentFile, other);
}

TEST_F(Session, StartUpOpensTheCommandLineFileInsteadOfTheLastOne) {
    const std::string last = path("last.FWX");
    ASSERT_TRUE(saveDocument(doc(), last));
    const std::string named = path("named file.FWX");
    model().forms[2].dataType[0] = kTypeText;
    ASSERT_TRUE(saveDocument(doc(), named));
    doc().prefs.autoPreload = true;
    doc().prefs.lastFile = last;

    session->begin(*texts, doc().prefs, settingsAt(dir / "FWK400.ini"));
    session->openAtStartUp(ui, named);
    EXPECT_EQ(doc().currentFile, named);
    EXPECT_EQ(model().forms[2].dataType[0], kTypeText);
    EXPECT_EQ(doc().prefs.recentFiles.front(), named);
    EXPECT_EQ(ui.editorRuns, 0);   // the program runs on the display, no sheet

    // Without a name the preferences decide, as they always did.
    session->begin(*texts, doc().prefs, settingsAt(dir / "FWK400.ini"));
    session->openAtStartUp(ui, "");
    EXPECT_EQ(doc().currentFile, named);   // the last file is now the named one
    doc().prefs.autoPreload = false;
    session->begin(*texts, doc().prefs, settingsAt(dir / "FWK400.ini"));
    session->openAtStartUp(ui, "");
    EXPECT_TRUE(doc().currentFile.empty());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Session, ARejectedCommandLineFileLeavesANewProgramNotTheLastOne) {
    const std::string last = path("last.FWX");
    model().forms[0].dataType[0] = kTypeText;
    ASSERT_TRUE(saveDocument(doc(), last));
    const std::string bad = path("bad.FWX");
    { std::ofstream(bad, std::ios::binary) << std::string(18942, 'x'); }
    doc().prefs.autoPreload = true;
    doc().prefs.lastFile = last;

    session->begin(*texts, doc().prefs, settingsAt(dir / "FWK400.ini"));
    session->openAtStartUp(ui, bad);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].second, "Format mismatch !!!");
    EXPECT_TRUE(doc().currentFile.empty());
    EXPECT_EQ(model().forms[0].dataType[0], kTypeNil);
    EXPECT_EQ(doc().prefs.recentFiles.front(), last);

    // A file that is not there is named with the system's reason; nothing changes.
    session->openAtStartUp(ui, path("missing.FWX"));
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].first, kTextErrorCaption);
    EXPECT_EQ(ui.shown[1].second, "Cannot open the file " + path("missing.FWX") + ":\n" +
                                      std::generic_category().message(ENOENT) + ".");
    EXPECT_TRUE(doc().currentFile.empty());
}

TEST_F(Session, AFailedOpenLeavesTheProgramAndAGoneRecentFileIsOfferedForRemoval) {
    const std::string kept = path("kept.FWX");
    const std::string gone = path("gone.FWX");
    ASSERT_TRUE(saveDocument(doc(), gone));
    model().forms[1].dataType[0] = kTypeText;
    ASSERT_TRUE(saveDocument(doc(), kept));
    model().forms[1].dataType[1] = kTypeLetter;
    model().modified = true;
    fs::remove(gone);
    ASSERT_EQ(doc().prefs.recentFiles[1], gone);

    // Open of a file that went away: the program being edited stays whole.
    ui.saveAnswers = {Answer::No};
    ui.openNames = {gone};
    session->open(ui);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].second.find(gone), std::string::npos);
    EXPECT_EQ(doc().currentFile, kept);
    EXPECT_EQ(model().forms[1].dataType[1], kTypeLetter);

    // Its recent-file entry: asked about, kept on No, taken off on Yes; no editor.
    ui.saveAnswers = {Answer::No, Answer::No};
    ui.yesNo = {false, true};
    session->openRecent(ui, 1);
    EXPECT_EQ(doc().prefs.recentFiles.size(), 2u);
    session->openRecent(ui, 1);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_NE(ui.shown[2].second.find("Remove it from the list of recent files?"), std::string::npos);
    EXPECT_EQ(doc().prefs.recentFiles, std::vector<std::string>{kept});
    EXPECT_EQ(ui.editorRuns, 0);
    EXPECT_EQ(doc().currentFile, kept);
    // The list on disk too: the next start does not offer it again.
    Preferences reread;
    ASSERT_TRUE(readSettings(dir / "FWK400.ini", reread));
    EXPECT_EQ(reread.recentFiles, std::vector<std::string>{kept});
}

TEST_F(Session, AnUnsavedProgramSurvivesAnUncleanEndAndGoesWhenSaved) {
    const fs::path copy = dir / "FWK400 recovery.FWX";
    const std::string file = savedAndChanged("work.FWX");
    // Each editor OK with unsaved changes keeps a copy; Cancel adds nothing.
    ui.editorOk = false;
    session->edit(ui);
    EXPECT_FALSE(fs::exists(copy));
    ui.editorOk = true;
    ui.editing = [](EditorSheet& sheet) { sheet.page<FormPage>().setDataType(0, kTypeLetter); };
    session->edit(ui);
    ASSERT_TRUE(fs::exists(copy));

    // The designer dies here. The next one offers the copy before anything else.
    ScriptedUi next;
    next.yesNo = {true};
    auto again = std::make_unique<DesignerSession>(*texts, Preferences{}, settingsAt(dir / "FWK400.ini"));
    again->offerRecovery(next);
    ASSERT_EQ(next.shown.size(), 1u);
    EXPECT_NE(next.shown[0].second.find(file), std::string::npos);
    EXPECT_EQ(again->model().forms[0].dataType[0], kTypeLetter);
    EXPECT_EQ(again->model().forms[0].dataType[1], kTypeInteger);
    EXPECT_TRUE(again->model().modified);
    EXPECT_EQ(again->document().currentFile, file);

    // Saved: nothing left to offer.
    again->save(next);
    EXPECT_FALSE(fs::exists(copy));
    ScriptedUi third;
    again->offerRecovery(third);
    EXPECT_TRUE(third.shown.empty());
}

TEST_F(Session, EndingTheWindowsSessionKeepsACopyUntilTheChangesAreSettled) {
    const fs::path copy = dir / "FWK400 recovery.FWX";
    savedAndChanged("work.FWX");
    // Cancel: the session goes on, and the copy stays in case Windows ends it anyway.
    ui.saveAnswers = {Answer::Cancel};
    EXPECT_FALSE(session->mayEndSession(ui));
    EXPECT_TRUE(fs::exists(copy));
    // No: the changes are given up, and so is the copy.
    ui.saveAnswers = {Answer::No};
    EXPECT_TRUE(session->mayEndSession(ui));
    EXPECT_FALSE(fs::exists(copy));

    // A copy declined at the next start is gone for good.
    model().modified = true;
    ui.saveAnswers = {Answer::Cancel};
    EXPECT_FALSE(session->mayEndSession(ui));
    ScriptedUi next;
    next.yesNo = {false};
    auto again = std::make_unique<DesignerSession>(*texts, Preferences{}, settingsAt(dir / "FWK400.ini"));
    again->offerRecovery(next);
    EXPECT_FALSE(again->model().modified);
    EXPECT_FALSE(fs::exists(copy));
}

TEST_F(Session, AFileOpenedFromOutsideAsksBeforeReplacingUnsavedChanges) {
    const std::string other = path("other.FWX");
    ASSERT_TRUE(saveDocument(doc(), other));
    model().forms[4].dataType[1] = kTypeLetter;
    model().modified = true;

    ui.saveAnswers = {Answer::Cancel};
    EXPECT_FALSE(session->openFile(ui, other));
    EXPECT_EQ(model().forms[4].dataType[1], kTypeLetter);
    EXPECT_TRUE(model().modified);

    ui.saveAnswers = {Answer::No};
    EXPECT_TRUE(session->openFile(ui, other));
    EXPECT_EQ(ui.questions, 2);
    EXPECT_EQ(model().forms[4].dataType[1], kTypeNil);
    EXPECT_FALSE(model().modified);
    EXPECT_EQ(ui.editorRuns, 0);
}

TEST_F(Session, OpenLoadsTheChosenFileAndRejectsAnotherKind) {
    const std::string good = savedAndChanged("good.FWX");
    const std::string bad = path("bad.FWX");
    { std::ofstream(bad, std::ios::binary) << std::string(18942, 'x'); }

    ui.saveAnswers = {Answer::No};
    ui.openNames = {bad};
    session->open(ui);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0], (std::pair<unsigned, std::string>{kTextErrorCaption, "Format mismatch !!!"}));
    // The program being edited stays, changes and name alike: a later Save
    // writes its own file, never the rejected one.
    EXPECT_EQ(doc().currentFile, good);
    EXPECT_EQ(model().forms[0].dataType[1], kTypeInteger);
    EXPECT_TRUE(model().modified);
    EXPECT_EQ(ui.editorRuns, 0);

    ui.saveAnswers = {Answer::No};
    ui.openNames = {good};
    session->open(ui);
    EXPECT_EQ(doc().currentFile, good);
    EXPECT_EQ(model().forms[0].dataType[0], kTypeText);
    EXPECT_EQ(ui.editorRuns, 1);
}

TEST_F(Session, OpenKeepsThePreferencesWhenTheSettingsFileCannotBeRead) {
    doc().prefs.comPortIndex = 3;
    doc().prefs.language = "Deutsch";
    ui.openNames = {""};
    session->open(ui);   // no settings file at all
    EXPECT_EQ(doc().prefs.comPortIndex, 3);
    EXPECT_EQ(doc().prefs.language, "Deutsch");
}

TEST_F(Session, SaveOfANeverSavedProgramIsSaveAsAndACancelKeepsEverything) {
    model().forms[1].dataType[0] = kTypeInteger;
    model().modified = true;
    ui.saveNames = {""};
    EXPECT_FALSE(session->save(ui));
    EXPECT_TRUE(doc().currentFile.empty());
    EXPECT_TRUE(model().modified);

    ui.saveNames = {path("named")};
    EXPECT_TRUE(session->save(ui));
    EXPECT_EQ(doc().currentFile, path("named.FWX"));
    EXPECT_FALSE(model().modified);
    EXPECT_EQ(fs::file_size(path("named.FWX")), 18942u);
}

TEST_F(Session, NoCommandResetsTheSimulatedRecordCounter) {
    model().forms[0].dataType[0] = kTypeText;
    session->restartSimulation();
    SimulationEngine& e = session->engine();
    e.pressKey(1);   // Collect
    ASSERT_EQ(e.mode(), EngineMode::Form);
    e.pressKey(1);
    e.pressKey(19);   // ENTER on the last line completes the record
    ASSERT_EQ(e.recordCount(), 1);

    const std::string file = path("p.FWX");
    ASSERT_TRUE(saveDocument(doc(), file));
    ui.saveAnswers = {Answer::No, Answer::No};
    session->newProgram(ui);
    ui.openNames = {file};
    session->open(ui);
    session->openRecent(ui, 0);
    EXPECT_EQ(e.recordCount(), 1);
}

TEST_F(Session, EditCommitsOnlyOnOk) {
    ui.editing = [](EditorSheet& sheet) { sheet.page<FormPage>().setDataType(0, kTypeInteger); };
    const ProgramModel before = model();
    ui.editorOk = false;
    session->edit(ui);
    EXPECT_EQ(std::memcmp(&before, &model(), sizeof before), 0);

    ui.editorOk = true;
    session->edit(ui);
    EXPECT_EQ(model().forms[0].dataType[0], kTypeInteger);
    EXPECT_TRUE(model().modified);
}

TEST_F(Session, DownloadRetriesWhileTheUserSaysYes) {
    ui.downloadResults = {kTimeOut, kMemoryFull, kTransferDone};
    ui.retryAnswers = {Answer::Yes, Answer::Yes};
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.downloads, 3);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].second, std::to_string(kTimeOut));
    EXPECT_EQ(ui.shown[2], (std::pair<unsigned, std::string>{kTextDownloadCaption,
                                                             std::to_string(kTextDownloadedCompletely)}));

    ui.shown.clear();
    ui.downloadResults = {kTimeOut};
    ui.retryAnswers = {Answer::No};
    ui.lookupFile = path("codes.txt");
    std::ofstream(ui.lookupFile) << "A1\r\nB2\r\n";
    session->transfer(ui, TransferCommand::DownloadLookup);
    EXPECT_EQ(ui.downloads, 4);
    EXPECT_EQ(ui.shown.size(), 1u);

    // A cancel ends quietly; a receive's failure is shown without a retry.
    ui.shown.clear();
    ui.downloadResults = {kTransferCancelled};
    session->transfer(ui, TransferCommand::DownloadProgram);
    ui.receiveResult = kTimeOut;
    session->transfer(ui, TransferCommand::ReceiveData);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].second, std::to_string(kTimeOut));
}

TEST_F(Session, TransfersChooseAMissingPortFirstAndIgnoreAnUnknownLink) {
    doc().prefs.comPortIndex = 2;
    ui.ports = 2;
    ui.preferencesOk = false;
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.preferencesShown, 1);
    EXPECT_EQ(ui.downloads, 0);

    doc().prefs.comPortIndex = 1;
    doc().prefs.downloadVia = 3;
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.downloads, 0);
    EXPECT_TRUE(ui.shown.empty());

    // The port moved in the list: the transfer opens it where it is now.
    doc().prefs.downloadVia = 0;
    doc().prefs.comPortNumber = 7;
    doc().prefs.comPortIndex = 0;
    ui.portNames = {"COM2", "COM7"};
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.downloads, 1);
    EXPECT_EQ(doc().prefs.comPortIndex, 1);
}

TEST_F(Session, EachTransferIsPreparedInFullFromThePreferences) {
    doc().prefs.downloadVia = kLinkIrda;
    doc().prefs.receiveVia = kLinkOther;
    doc().prefs.baudRate = 3;
    ui.portNames = {"COM2", "COM5"};
    doc().prefs.comPortIndex = 1;
    doc().prefs.comPortNumber = 5;
    session->transfer(ui, TransferCommand::DownloadProgram);
    ui.lookupFile = path("codes.txt");
    std::ofstream(ui.lookupFile) << "A1\r\nB2\r\nC3";
    session->transfer(ui, TransferCommand::DownloadLookup);
    session->transfer(ui, TransferCommand::DownloadLookup);
    session->transfer(ui, TransferCommand::ReceiveData);

    ASSERT_EQ(ui.transfers.size(), 4u);
    const auto& program = ui.transfers[0];
    EXPECT_EQ(program.kind, TransferKind::program);
    EXPECT_EQ(program.link.linkType, kLinkIrda);
    EXPECT_EQ(program.link.portIndex, 1);
    EXPECT_EQ(program.link.speedChoice, 3);
    EXPECT_TRUE(program.writeBack);
    EXPECT_EQ(program.imageSize, kProgramImageSize);

    const auto& lookup = ui.transfers[1];
    EXPECT_EQ(lookup.kind, TransferKind::lookup);
    EXPECT_EQ(lookup.link.linkType, kLinkIrda);
    EXPECT_EQ(lookup.path, ui.lookupFile);
    EXPECT_EQ(lookup.lookupLines, 3u);   // read before the port opens
    EXPECT_FALSE(lookup.writeBack);
    // The next lookup download offers the file sent last.
    ASSERT_EQ(ui.lookupDialogStart.size(), 2u);
    EXPECT_EQ(ui.lookupDialogStart[0], "");
    EXPECT_EQ(ui.lookupDialogStart[1], ui.lookupFile);

    const auto& receive = ui.transfers[3];
    EXPECT_EQ(receive.kind, TransferKind::receive);
    EXPECT_EQ(receive.link.linkType, kLinkOther);
    EXPECT_EQ(receive.link.portIndex, 1);
    EXPECT_EQ(receive.path, "received.txt");
}

TEST_F(Session, ALookupFileThatCannotBeReadFailsBeforeAnyPortOpens) {
    ui.lookupFile = path("missing.txt");
    ui.retryAnswers = {Answer::No};
    session->transfer(ui, TransferCommand::DownloadLookup);
    EXPECT_TRUE(ui.transfers.empty());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].second, std::to_string(kCannotOpenFile));
}

TEST_F(Session, TheModelKeepsTheDownloadNormalisationOnceTheTerminalAcceptedTheOpening) {
    // Normalising recomputes this menu's item count.
    model().menus[3].itemName[2][0] = 'A';
    model().menus[3].itemCount = 0;
    model().modified = true;
    const ProgramModel before = model();
    auto normalised = std::make_unique<ProgramModel>(before);
    normaliseForDownload(*normalised);
    ASSERT_NE(normalised->menus[3].itemCount, 0);

    // Failures before the terminal accepted the opening: untouched.
    ui.downloadResults = {kTimeOut, kFailedToOpenComPort, kTransferCancelled};
    ui.accepted = {false, false, false};
    ui.retryAnswers = {Answer::Yes, Answer::No};
    session->transfer(ui, TransferCommand::DownloadProgram);
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.downloads, 3);
    EXPECT_EQ(0, std::memcmp(modelBody(model()), modelBody(before), kModelBodySize));
    // What was sent was the normalised program all the same.
    ASSERT_EQ(ui.normalisedPrograms.size(), 3u);
    EXPECT_EQ(ui.normalisedPrograms[0].menus[3].itemCount, normalised->menus[3].itemCount);

    // Accepted, then failed (or cancelled): the terminal took the normalised
    // program, and so does the model; its unsaved changes stay marked.
    for (int result : {kErrorOnDownloading, kTransferCancelled, kTransferDone}) {
        model() = before;
        ui.downloadResults = {result};
        ui.accepted = {true};
        session->transfer(ui, TransferCommand::DownloadProgram);
        EXPECT_EQ(model().menus[3].itemCount, normalised->menus[3].itemCount) << result;
        EXPECT_TRUE(model().modified) << result;
    }
    model().modified = false;
    model().menus[3].itemCount = 0;
    ui.downloadResults = {kTransferDone};
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(model().menus[3].itemCount, normalised->menus[3].itemCount);
    EXPECT_FALSE(model().modified);
}

TEST_F(Session, AReceiveEndsWithTheCountAndTheOfferToViewOrWithNoData) {
    ui.receivedRecords = 3;
    ui.viewAnswer = true;
    session->transfer(ui, TransferCommand::ReceiveData);
    EXPECT_EQ(ui.viewQuestions, std::vector<int>{3});
    EXPECT_EQ(ui.viewed, std::vector<std::string>{"received.txt"});

    ui.viewAnswer = false;
    session->transfer(ui, TransferCommand::ReceiveData);
    EXPECT_EQ(ui.viewed.size(), 1u);

    ui.receivedRecords = 0;
    session->transfer(ui, TransferCommand::ReceiveData);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0], (std::pair<unsigned, std::string>{kTextUploadCaption,
                                                             std::to_string(kTextNoDataReceived)}));

    // No file chosen: no transfer at all.
    ui.receiveFile.clear();
    session->transfer(ui, TransferCommand::ReceiveData);
    EXPECT_EQ(ui.transfers.size(), 3u);
}

TEST_F(Session, PreferencesOkStoresAndWritesTheChoicesAndCancelKeepsThem) {
    ui.ports = 3;
    ui.choosing = [](PreferencesDialogState& state) {
        state.selectPort(2);
        state.selectBaudRate(4);
        state.setAlwaysOnTop(true);
    };
    EXPECT_TRUE(session->editPreferences(ui));
    EXPECT_EQ(doc().prefs.comPortIndex, 2);
    EXPECT_EQ(doc().prefs.comPortNumber, 3);
    EXPECT_EQ(doc().prefs.baudRate, 4);
    EXPECT_EQ(ui.languageChanges, 1);
    // Written at once, and the window goes in front of the others.
    Preferences written;
    ASSERT_TRUE(readSettings(dir / "FWK400.ini", written));
    EXPECT_EQ(formatSettings(written), formatSettings(doc().prefs));
    ASSERT_FALSE(ui.placements.empty());
    EXPECT_TRUE(ui.placements.back().topMost);
    EXPECT_EQ(ui.placements.back().x, 300);
    EXPECT_EQ(ui.placements.back().height, 464);

    // Cancel: what the user chose goes nowhere; the window is placed anyway.
    ui.preferencesOk = false;
    ui.choosing = [](PreferencesDialogState& state) { state.selectBaudRate(0); };
    const std::size_t placed = ui.placements.size();
    EXPECT_FALSE(session->editPreferences(ui));
    EXPECT_EQ(doc().prefs.baudRate, 4);
    EXPECT_EQ(ui.languageChanges, 1);
    EXPECT_EQ(ui.placements.size(), placed + 1);

    // No port at all: the dialog all the same, and the language can be chosen.
    ui.ports = 0;
    ui.shown.clear();
    ui.preferencesOk = true;
    ui.choosing = [](PreferencesDialogState& state) { state.selectBaudRate(1); };
    EXPECT_TRUE(session->editPreferences(ui));
    EXPECT_EQ(ui.preferencesShown, 3);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(doc().prefs.baudRate, 1);
    // A transfer has nothing to offer then: the box, no dialog.
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.preferencesShown, 3);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].second, std::to_string(kNoComPortDevice));
}

TEST_F(Session, PreferencesTakeWhatAnotherCopyOfTheDesignerWroteFirst) {
    Preferences other = doc().prefs;
    other.downloadVia = kLinkOther;
    other.recentFiles = {path("elsewhere.FWX")};
    ASSERT_TRUE(writeSettings(dir / "FWK400.ini", other));
    ui.preferencesOk = false;
    session->editPreferences(ui);
    EXPECT_EQ(doc().prefs.downloadVia, kLinkOther);
    EXPECT_EQ(doc().prefs.recentFiles, other.recentFiles);
}

TEST_F(Session, StartUpReadsTheSettingsBesideTheProgramAndPreloadsTheLastFile) {
    const std::string file = savedAndChanged("last.FWX");
    Preferences prefs;
    prefs.autoPreload = true;
    prefs.alwaysOnTop = true;
    prefs.lastFile = file;
    prefs.baudRate = 2;
    ASSERT_TRUE(writeSettings(dir / "FWK400.ini", prefs));

    DesignerSession fresh;
    fresh.startUp(ui, dir, "");
    EXPECT_EQ(fresh.document().currentFile, file);
    EXPECT_EQ(fresh.model().forms[0].dataType[0], kTypeText);
    EXPECT_EQ(fresh.preferences().baudRate, 2);
    ASSERT_EQ(ui.placements.size(), 1u);
    EXPECT_TRUE(ui.placements[0].topMost);

    // Without the preload the designer starts with a new program.
    prefs.autoPreload = false;
    prefs.alwaysOnTop = false;
    ASSERT_TRUE(writeSettings(dir / "FWK400.ini", prefs));
    DesignerSession plain;
    plain.startUp(ui, dir, "");
    EXPECT_TRUE(plain.document().currentFile.empty());
    EXPECT_FALSE(ui.placements.back().topMost);
}

TEST_F(Session, TheTerminalWindowComesBackWhereTheUserLeftItAfterOpenPreferencesAndARestart) {
    session->windowMoved(-700, 120);
    // Open and Preferences read the settings file again: the place is in it.
    ui.preferencesOk = false;
    session->editPreferences(ui);
    ASSERT_FALSE(ui.placements.empty());
    EXPECT_EQ(ui.placements.back().x, -700);
    EXPECT_EQ(ui.placements.back().y, 120);
    EXPECT_EQ(ui.placements.back().width, 210);   // face pixels; the window scales them

    DesignerSession restarted;
    restarted.startUp(ui, dir, "");
    EXPECT_EQ(ui.placements.back().x, -700);
    EXPECT_EQ(ui.placements.back().y, 120);
}

TEST_F(Session, CollectedDataSavesTheUploadBytesAndClearResetsTheCounter) {
    FormDef& f = model().forms[0];
    f.dataType[0] = kTypeInteger;
    f.maxLength[0] = 80;
    f.recordAction = 0;   // save
    f.nextTarget = kTargetMain;
    SimulationEngine& e = session->engine();
    e.pressKey(1);
    e.pressKey(4);
    e.pressKey(2);
    e.pressKey(19);
    e.pressKey(1);
    e.pressKey(7);
    e.pressKey(19);
    ASSERT_EQ(e.recordCount(), 2);

    // Cancelling the dialog writes nothing; a file that cannot be created
    // is reported as a data receive reports it.
    EXPECT_FALSE(session->saveCollectedData(ui));
    ui.dataNames = {(dir / "missing" / "DATA.TXT").string()};
    EXPECT_FALSE(session->saveCollectedData(ui));
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].second, std::to_string(kFileCreateFailed));

    const std::string file = path("DATA.TXT");
    ui.dataNames = {file};
    EXPECT_TRUE(session->saveCollectedData(ui));
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "42\r\n7\r\n");
    // The next Save As starts at the file saved last.
    ui.dataNames = {""};
    session->saveCollectedData(ui);
    EXPECT_EQ(ui.dataDialogStart.back(), file);

    session->clearCollectedData(ui);
    EXPECT_EQ(e.recordCount(), 0);
    EXPECT_TRUE(e.records().empty());
    // Nothing saved: no dialog at all.
    const std::size_t dialogs = ui.dataDialogStart.size();
    EXPECT_FALSE(session->saveCollectedData(ui));
    EXPECT_EQ(ui.dataDialogStart.size(), dialogs);
}

// The program's errors are counted before it is sent: No sends nothing, a
// sound program goes without a question.
TEST_F(Session, DownloadOfAProgramWithErrorsAsksFirst) {
    // Asked once there is a port to send to, not before the user chose one.
    doc().prefs.comPortIndex = 3;
    ui.preferencesOk = false;
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.preferencesShown, 1);
    EXPECT_TRUE(ui.downloadQuestions.empty());
    doc().prefs.comPortIndex = 0;

    ui.downloadAnyway = false;
    session->transfer(ui, TransferCommand::DownloadProgram);   // a new program cannot start
    ASSERT_EQ(ui.downloadQuestions.size(), 1u);
    EXPECT_EQ(ui.downloadQuestions[0], "The program has 1 error. Download anyway?");
    EXPECT_EQ(ui.downloads, 0);
    EXPECT_TRUE(ui.shown.empty());

    ui.downloadAnyway = true;
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.downloads, 1);

    // Lookup files and receives are no program: no question.
    ui.lookupFile = path("codes.txt");
    std::ofstream(ui.lookupFile) << "A1\r\n";
    session->transfer(ui, TransferCommand::DownloadLookup);
    EXPECT_EQ(ui.downloadQuestions.size(), 2u);

    model().settings.startFrom = 0;
    model().forms[0].dataType[0] = kTypeText;
    model().forms[0].maxLength[0] = 8;
    ASSERT_EQ(errorCount(checkProgram(model())), 0);
    session->transfer(ui, TransferCommand::DownloadProgram);
    EXPECT_EQ(ui.downloadQuestions.size(), 2u);
    EXPECT_EQ(ui.downloads, 3);
}

TEST_F(Session, CheckListOpensTheEditorAtTheChosenFinding) {
    model().settings.startFrom = 1;
    setFieldText(model().menus[0].itemName[0], "Count");
    model().menus[0].itemNext[0] = targetForm(3);   // form 3 has no input lines
    session->check(ui);   // closed: nothing opens
    ASSERT_EQ(ui.listed.size(), 1u);
    EXPECT_EQ(ui.editorRuns, 0);
    const auto& findings = ui.listed[0];
    ASSERT_FALSE(findings.empty());
    EXPECT_EQ(findings[0].place(), "menus[0].items[0]");

    ui.chosenFinding = 0;
    int menuShown = -1;
    ui.editing = [&](EditorSheet& sheet) { menuShown = sheet.page<MenuPage>().currentMenu(); };
    session->check(ui);
    ASSERT_EQ(ui.editorStarts.size(), 1u);
    EXPECT_EQ(ui.editorStarts[0], SheetPageId::Menu);
    EXPECT_EQ(menuShown, 0);

    ui.chosenFinding = 99;   // no such finding
    session->check(ui);
    EXPECT_EQ(ui.editorRuns, 1);
}

TEST_F(Session, ReportIsWrittenBesideTheProgramAndOpened) {
    // Unsaved: the user names the page; cancelled, nothing is written.
    EXPECT_FALSE(session->report(ui));
    const std::string chosen = path("new program.html");
    ui.reportNames = {chosen};
    ASSERT_TRUE(session->report(ui));
    EXPECT_TRUE(fs::exists(chosen));
    ASSERT_EQ(ui.browsed.size(), 1u);
    EXPECT_EQ(ui.browsed[0], chosen);

    const std::string file = savedAndChanged("SHOP.FWX");
    ASSERT_TRUE(session->report(ui));
    const std::string page = path("SHOP.html");
    {
        std::ifstream in(page, std::ios::binary);
        const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(html.find("SHOP.FWX"), std::string::npos);
    }
    EXPECT_EQ(ui.browsed.back(), page);

    // A page that cannot be written is named with the system's reason, and
    // no browser opens.
    fs::remove(page);
    fs::create_directory(page);   // a folder where the page would go
    EXPECT_FALSE(session->report(ui));
    EXPECT_EQ(ui.browsed.size(), 2u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].first, static_cast<unsigned>(kTextErrorCaption));
    EXPECT_EQ(ui.shown[0].second.rfind("Cannot write the file " + page + ":\n", 0), 0u) << ui.shown[0].second;
    EXPECT_GT(ui.shown[0].second.size(), ("Cannot write the file " + page + ":\n.").size());
}

}  // namespace
}  // namespace fw
