#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "shell/captions.h"
#include "shell/document.h"
#include "shell/preferences_dialog_state.h"
#include "shell/settings_file.h"

namespace fw {
namespace {

namespace fs = std::filesystem;

SerialPortInfo port(const char* name, const char* valueName) {
    return {name, valueName, portKind(valueName)};
}

std::vector<SerialPortInfo> somePorts() {
    return {port("COM30", "\\Device\\Serial0"), port("COM3", "\\Device\\Serial1"),
            port("COM7", "\\Device\\BthModem0"), port("CNCA0", "\\Device\\com0com10"),
            port("COM9", "Modem")};
}

LanguageList languages(std::initializer_list<const char*> names) {
    LanguageList list;
    for (const char* name : names) list.files.push_back({name, fs::path(std::string(name) + ".lng")});
    list.count = names.size() == 0 ? -1 : static_cast<int>(names.size());
    return list;
}

TEST(PreferencesDialogState, PortListShowsKindsAndFindsTheConfiguredPortByNumber) {
    Preferences prefs;
    prefs.comPortNumber = 3;   // COM30 comes first but is not COM3
    prefs.comPortIndex = -1;
    PreferencesDialogState state(prefs, somePorts(), languages({}));
    ASSERT_TRUE(state.hasPorts());
    EXPECT_EQ(state.portEntries(),
              (std::vector<std::string>{"COM30 - Serial port", "COM3 - Serial port", "COM7 - Bluetooth port",
                                        "CNCA0 - Virtual port", "COM9"}));
    EXPECT_EQ(state.portSelection(), 1);
    Preferences stored = state.accepted();
    EXPECT_EQ(stored.comPortIndex, 1);
    EXPECT_EQ(stored.comPortNumber, 3);

    // A port number that no port has leaves the first port selected, and OK
    // stores that choice, with its number.
    prefs.comPortNumber = 12;
    PreferencesDialogState unknown(prefs, somePorts(), languages({}));
    EXPECT_EQ(unknown.portSelection(), 0);
    EXPECT_EQ(unknown.accepted().comPortIndex, 0);
    EXPECT_EQ(unknown.accepted().comPortNumber, 30);
    // A port whose name carries no number keeps the number as it was.
    unknown.selectPort(3);
    EXPECT_EQ(unknown.accepted().comPortIndex, 3);
    EXPECT_EQ(unknown.accepted().comPortNumber, 12);
}

TEST(PreferencesDialogState, StoredPortIndexWinsWhileItIsInsideTheList) {
    Preferences prefs;
    prefs.comPortNumber = 3;
    prefs.comPortIndex = 3;
    EXPECT_EQ(PreferencesDialogState(prefs, somePorts(), languages({})).portSelection(), 3);

    // The ports went away since: the first one is shown and stored.
    prefs.comPortIndex = 6;
    PreferencesDialogState gone(prefs, somePorts(), languages({}));
    EXPECT_EQ(gone.portSelection(), 0);
    EXPECT_EQ(gone.accepted().comPortIndex, 0);

    PreferencesDialogState none(prefs, {}, languages({}));
    EXPECT_FALSE(none.hasPorts());
    EXPECT_TRUE(none.portEntries().empty());
    // The dialog opens all the same; only what needs a port is off.
    EXPECT_FALSE(none.portListEnabled());
    EXPECT_FALSE(none.detectCradleEnabled());
    EXPECT_EQ(none.accepted().comPortIndex, prefs.comPortIndex);
}

TEST(PreferencesDialogState, DetectCradleFollowsBothLinkLists) {
    PreferencesDialogState state(Preferences{}, somePorts(), languages({}));
    for (int download = 0; download < 3; ++download) {
        for (int receive = 0; receive < 3; ++receive) {
            state.selectDownloadVia(download);
            state.selectReceiveVia(receive);
            EXPECT_EQ(state.detectCradleEnabled(), download == 0 || receive == 0) << download << receive;
        }
    }
    // No selection (-1) or one past the list changes nothing.
    state.selectDownloadVia(-1);
    state.selectReceiveVia(3);
    EXPECT_EQ(state.downloadVia(), 2);
    EXPECT_EQ(state.receiveVia(), 2);
    EXPECT_FALSE(state.detectCradleEnabled());
    EXPECT_EQ(linkEntries(), (std::vector<std::string>{"Cradle-IR", "IrDA", "Serial-SPP"}));
}

TEST(PreferencesDialogState, LanguageListNeedsALanguageFile) {
    Preferences prefs;
    prefs.language = "Deutsch";
    // No file at all (-1) and files without a name (0) alike.
    for (int count : {-1, 0}) {
        LanguageList list;
        list.count = count;
        PreferencesDialogState state(prefs, somePorts(), list);
        EXPECT_FALSE(state.languageListEnabled()) << count;
        EXPECT_EQ(state.languageEntries(), std::vector<std::string>{"Default <English>"});
        EXPECT_EQ(state.languageSelection(), 0);
        EXPECT_EQ(state.accepted().language, "0");
    }

    PreferencesDialogState state(prefs, somePorts(), languages({"Français", "Deutsch"}));
    EXPECT_TRUE(state.languageListEnabled());
    EXPECT_EQ(state.languageEntries(), (std::vector<std::string>{"Default <English>", "Français", "Deutsch"}));
    EXPECT_EQ(state.languageSelection(), 2);
    EXPECT_EQ(state.accepted().language, "Deutsch");
    state.selectLanguage(1);
    EXPECT_EQ(state.accepted().language, "Français");
    state.selectLanguage(3);
    EXPECT_EQ(state.accepted().language, "Français");
    state.selectLanguage(0);
    EXPECT_EQ(state.accepted().language, "0");

    prefs.language = "Deutsch (old)";
    EXPECT_EQ(PreferencesDialogState(prefs, somePorts(), languages({"Deutsch"})).languageSelection(), 0);
}

TEST(PreferencesDialogState, DuringACradleSearchThePortAndOkWaitAndCancelIsKept) {
    Preferences prefs;
    prefs.comPortIndex = 0;
    PreferencesDialogState state(prefs, somePorts(), languages({}));
    ASSERT_TRUE(state.detectCradleEnabled());
    EXPECT_TRUE(state.mayEnd(false));
    state.cradleSearchStarted();
    EXPECT_FALSE(state.detectCradleEnabled());
    EXPECT_FALSE(state.portListEnabled());
    EXPECT_FALSE(state.okEnabled());
    EXPECT_FALSE(state.mayEnd(false));
    // The search ends as usual: a box, and the dialog stays.
    CradleSearchReport plain = state.cradleSearchEnded(-1, "");
    EXPECT_FALSE(plain.closeDialog);
    EXPECT_TRUE(state.detectCradleEnabled());
    EXPECT_TRUE(state.okEnabled());

    // Cancel during the next one: no box, the dialog ends as cancelled.
    state.cradleSearchStarted();
    EXPECT_FALSE(state.mayEnd(true));
    EXPECT_FALSE(state.mayEnd(false));   // OK does not undo the Cancel
    EXPECT_TRUE(state.cradleSearchEnded(2, "COM7").closeDialog);
    EXPECT_TRUE(state.mayEnd(false));
    // The one after that is not ended by the old Cancel.
    state.cradleSearchStarted();
    EXPECT_FALSE(state.cradleSearchEnded(-1, "").closeDialog);
}

TEST(PreferencesDialogState, CradleSearchSelectsThePortItFound) {
    Preferences prefs;
    prefs.comPortIndex = 0;
    PreferencesDialogState state(prefs, somePorts(), languages({}));
    CradleSearchReport none = state.cradleSearchEnded(-1, "");
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.text, "Cradle is not available!!");
    EXPECT_EQ(state.portSelection(), 0);

    CradleSearchReport found = state.cradleSearchEnded(3, "CNCA0");
    EXPECT_TRUE(found.found);
    EXPECT_EQ(found.text, "Cradle is connected to CNCA0");
    EXPECT_EQ(state.portSelection(), 3);
    EXPECT_EQ(state.accepted().comPortIndex, 3);
}

TEST(PreferencesDialogState, OkStoresTheWorkingValuesAndKeepsTheRest) {
    Preferences prefs;
    prefs.lastFile = "C:\\a.FWX";
    prefs.recentFiles = {"C:\\a.FWX", "C:\\b.FWX"};
    prefs.comPortIndex = 1;
    PreferencesDialogState state(prefs, somePorts(), languages({}));
    EXPECT_EQ(baudRateEntries().size(), 5u);
    EXPECT_EQ(baudRateEntries()[4], "9600 bps");
    state.selectDownloadVia(1);
    state.selectReceiveVia(2);
    state.selectBaudRate(4);
    state.selectBaudRate(5);
    state.setAutoPreload(true);
    state.setAlwaysOnTop(true);
    state.selectPort(4);
    state.selectPort(5);

    Preferences stored = state.accepted();
    EXPECT_EQ(stored.downloadVia, 1);
    EXPECT_EQ(stored.receiveVia, 2);
    EXPECT_EQ(stored.baudRate, 4);
    EXPECT_TRUE(stored.autoPreload);
    EXPECT_TRUE(stored.alwaysOnTop);
    EXPECT_EQ(stored.comPortIndex, 4);
    EXPECT_EQ(stored.comPortNumber, 9);
    EXPECT_EQ(stored.lastFile, prefs.lastFile);
    EXPECT_EQ(stored.recentFiles, prefs.recentFiles);
}

TEST(TransferPortCheck, UnsetOrVanishedPortMustBeChosenFirst) {
    EXPECT_TRUE(transferNeedsPortChoice(-1, 3));
    EXPECT_TRUE(transferNeedsPortChoice(3, 3));
    EXPECT_TRUE(transferNeedsPortChoice(0, 0));
    EXPECT_FALSE(transferNeedsPortChoice(2, 3));
    EXPECT_FALSE(transferNeedsPortChoice(0, 1));

    EXPECT_EQ(transferLinkType(0), 0);
    EXPECT_EQ(transferLinkType(2), 2);
    EXPECT_EQ(transferLinkType(3), -1);
    EXPECT_EQ(transferLinkType(-1), -1);
}

TEST(TransferPortCheck, ThePortIsFoundByItsNumberWhenTheListChangedOrder) {
    EXPECT_EQ(comNumberOf("COM7"), 7);
    EXPECT_EQ(comNumberOf("com12"), 12);
    EXPECT_EQ(comNumberOf("CNCA0"), 0);
    EXPECT_EQ(comNumberOf("COM"), 0);
    EXPECT_EQ(comNumberOf("COM7x"), 0);

    Preferences prefs;
    prefs.comPortNumber = 7;
    prefs.comPortIndex = 2;
    const std::vector<std::string> before{"COM1", "COM3", "COM7"};
    EXPECT_EQ(resolvePort(prefs, before), 2);
    // A USB adapter plugged in first pushed COM7 along.
    EXPECT_EQ(resolvePort(prefs, {"COM1", "COM9", "COM3", "COM7"}), 3);
    // COM7 gone: the index as it is (the transfer then finds what is there,
    // or the user is asked).
    EXPECT_EQ(resolvePort(prefs, {"COM1", "COM3", "COM9"}), 2);
    EXPECT_EQ(resolvePort(prefs, {"COM1"}), 2);
    // A port without a number is known by its position only.
    EXPECT_EQ(resolvePort(prefs, {"COM1", "COM3", "CNCA0", "COM7"}), 2);
    // Unset: the number alone finds it.
    prefs.comPortIndex = -1;
    EXPECT_EQ(resolvePort(prefs, before), 2);
    // Number 1 is what every older settings file holds: it never moves the
    // port away from its stored position.
    prefs.comPortNumber = 1;
    prefs.comPortIndex = 1;
    EXPECT_EQ(resolvePort(prefs, {"COM9", "COM1"}), 1);
    EXPECT_EQ(resolvePort(prefs, {"COM1", "COM5"}), 1);
}

class ListedPorts : public SerialSystem {
public:
    explicit ListedPorts(std::vector<SerialPortInfo> ports) : ports_(std::move(ports)) {}
    int enumSerialPort(int index, SerialPortInfo& info) override {
        info = {};
        if (index < 0 || index >= static_cast<int>(ports_.size())) return kPortNone;
        info = ports_[static_cast<std::size_t>(index)];
        return info.kind;
    }
    std::unique_ptr<SerialPort> newPort() override { return nullptr; }

private:
    std::vector<SerialPortInfo> ports_;
};

TEST(TransferPortCheck, PortListEndsAtTheFirstMissingEntry) {
    // A value that does not fit is no entry: the ports after it are not
    // listed, as the cradle search does not reach them either.
    ListedPorts system({port("COM1", "\\Device\\Serial0"), port("COM2", "\\Device\\Serial1"),
                        SerialPortInfo{}, port("COM4", "\\Device\\Serial3")});
    std::vector<SerialPortInfo> listed = listSerialPorts(system);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].portName, "COM2");
    EXPECT_EQ(countSerialPorts(system), 2);
}

class LanguageCaptions : public ::testing::Test {
protected:
    void TearDown() override {
        languageTexts().clear();
        setLanguageActive(false);
    }
    void set(unsigned id, const std::string& text) { languageTexts().set(id, text.data(), text.size()); }
};

TEST_F(LanguageCaptions, LanguageTextsReplaceCaptionsOnlyWhileActiveAndNotEmpty) {
    set(kTextNewFile, "Neue Datei");
    set(1101, "&Neu\tStrg+N");
    set(1131, "Programm speichern ?");
    EXPECT_EQ(languageCaption(1101), "");
    EXPECT_EQ(editorCaption(""), "Formwright - [ New file ]");

    setLanguageActive(true);
    EXPECT_EQ(languageCaption(1101), "&Neu\tStrg+N");
    EXPECT_EQ(languageCaption(1102), "");
    EXPECT_EQ(captionText(kTextOkButton, "OK"), "OK");
    // Text 2 left empty keeps the program's name in front.
    EXPECT_EQ(editorCaption(""), "Formwright - [ Neue Datei ]");
    EXPECT_EQ(editorCaption("Unknow"), "Formwright - [ Neue Datei ]");
    set(kTextSheetPrefix, "Formmacher");
    EXPECT_EQ(editorCaption("C:\\x.FWX"), "Formmacher - [ C:\\x.FWX ]");
    // A text the string table has falls back to it, not to blank.
    set(1131, "");
    EXPECT_EQ(captionText(1131, "x"), "Save current program ?");
}

class DocumentSettings : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("fw_docsettings_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        doc = std::make_unique<Document>();
        loadDefaultTexts(doc->defaults);
        newDocument(*doc);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const char* name) const { return (dir / name).string(); }
    static std::string bytes(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    fs::path dir;
    std::unique_ptr<Document> doc;
};

TEST_F(DocumentSettings, SuccessfulSaveAndOpenRewriteTheSettingsFile) {
    doc->settings = settingsAt(path("FWK400.ini"));
    ASSERT_TRUE(saveDocument(*doc, path("a.FWX")));
    ASSERT_TRUE(saveDocument(*doc, path("b.FWX")));
    EXPECT_EQ(bytes(doc->settings.writeTo.string()), formatSettings(doc->prefs));

    ASSERT_TRUE(openDocument(*doc, path("a.FWX")).ok());
    Preferences read;
    ASSERT_TRUE(readSettings(doc->settings.writeTo, read));
    EXPECT_EQ(read.lastFile, path("a.FWX"));
    EXPECT_EQ(read.recentFiles, (std::vector<std::string>{path("a.FWX"), path("b.FWX")}));

    // Failures leave the file as it was.
    const std::string before = bytes(doc->settings.writeTo.string());
    EXPECT_FALSE(saveDocument(*doc, path("no such folder/c.FWX")));
    { std::ofstream(path("bad.FWX"), std::ios::binary) << "junk"; }
    EXPECT_FALSE(openDocument(*doc, path("bad.FWX")).ok());
    EXPECT_EQ(bytes(doc->settings.writeTo.string()), before);
}

TEST_F(DocumentSettings, NoSettingsFileNoWrite) {
    ASSERT_TRUE(saveDocument(*doc, path("a.FWX")));
    EXPECT_FALSE(fs::exists(path("FWK400.ini")));
    EXPECT_EQ(doc->prefs.recentFiles.size(), 1u);
}

}  // namespace
}  // namespace fw
