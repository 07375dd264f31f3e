#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "comm/transfer.h"
#include "editor/form_page.h"
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
    int ports = 1;
    std::vector<std::string> portNames;   // when set, instead of COM1..COM<ports>
    bool preferencesOk = true;
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
    void showInformation(unsigned caption, unsigned text) override {
        shown.push_back({caption, std::to_string(text)});
    }
    bool runEditor(EditorSheet& sheet, const std::string&) override {
        ++editorRuns;
        if (editing) editing(sheet);
        return editorOk;
    }
    bool openPreferences() override {
        ++preferencesShown;
        return preferencesOk;
    }
    void placeWindow() override {}
    void recentFilesChanged() override {}
    void displayChanged() override {}
    std::vector<std::string> serialPortNames() override {
        if (!portNames.empty()) return portNames;
        std::vector<std::string> names;
        for (int i = 1; i <= ports; ++i) names.push_back("COM" + std::to_string(i));
        return names;
    }
    int runDownload(int, bool) override {
        ++downloads;
        int r = downloadResults.empty() ? kTransferDone : downloadResults.front();
        if (!downloadResults.empty()) downloadResults.pop_front();
        return r;
    }
    int runReceive(int) override { return receiveResult; }
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

    // A file that is not there: nothing to say, nothing changes.
    session->openAtStartUp(ui, path("missing.FWX"));
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_TRUE(doc().currentFile.empty());
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
    EXPECT_TRUE(doc().currentFile.empty());   // a later Save cannot overwrite it
    EXPECT_EQ(ui.editorRuns, 0);

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

}  // namespace
}  // namespace fw
