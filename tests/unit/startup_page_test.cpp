// The Startup page: delimiters, the screens and their texts per font, the
// composed lines, the port lines shared with the Settings page, and OK and
// Cancel of the whole sheet.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/form_page.h"
#include "editor/settings_page.h"
#include "editor/startup_page.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"
#include "model/program_file.h"
#include "resources/text_ids.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

// The bytes of a program file that holds `m`, for the page's import.
std::vector<uint8_t> programFileOf(const ProgramModel& m) {
    std::vector<uint8_t> file(kProgramFileBodyEnd);
    std::memcpy(file.data(), kProgramHeader, sizeof kProgramHeader);
    std::memcpy(file.data() + (kProgramFileBodyEnd - kModelBodySize), modelBody(m), kModelBodySize);
    return file;
}

class StartupPageTest : public test::NewProgramTest {
protected:
    EditorSheet& sheet() {
        if (!sheet_) sheet_ = std::make_unique<EditorSheet>(*model, *texts);
        return *sheet_;
    }

    StartupPage& page() {
        StartupPage& p = sheet().page<StartupPage>();
        p.setWarningBox([this](unsigned id, bool) {
            warnings.push_back(id);
            return true;
        });
        return p;
    }

    std::string modelLine(int table, int line) const {
        return std::string(fieldText(messageLine(*model, table, line), kMessageTables[table].width));
    }

    std::unique_ptr<EditorSheet> sheet_;
    std::vector<unsigned> warnings;
};

TEST_F(StartupPageTest, ASecondDelimiterWithoutAFirstLoadsAsNilAndIsStoredAsNone) {
    model->settings.delimiter1 = 0;
    model->settings.delimiter2 = 44;
    StartupPage& p = page();
    EXPECT_EQ(p.delimiterCountState().selection, 0);
    EXPECT_FALSE(p.asciiState(0).enabled);
    sheet().commit();
    EXPECT_EQ(model->settings.delimiter1, 0);
    EXPECT_EQ(model->settings.delimiter2, 0);
}

TEST_F(StartupPageTest, TwoDelimitersWithAnEmptyFirstStoreTheSecondAsTheFirst) {
    StartupPage& p = page();
    p.chooseDelimiterCount(2);
    p.typeText(0, "");
    p.typeAscii(1, "59");
    sheet().commit();
    EXPECT_EQ(model->settings.delimiter1, ';');
    EXPECT_EQ(model->settings.delimiter2, 0);
}

TEST_F(StartupPageTest, AsciiAndTextBoxesCorrectAndFollowEachOther) {
    StartupPage& p = page();
    ControlReply r = p.typeAscii(0, "13");
    EXPECT_EQ(warnings, std::vector<unsigned>{kTextInvalidValue});
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "44");
    EXPECT_EQ(p.delimiter(0), 44);

    r = p.typeAscii(0, "300");
    EXPECT_EQ(r.text, "255");
    EXPECT_EQ(p.delimiter(0), 255);

    r = p.typeAscii(0, "044");
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "44");
    EXPECT_EQ(r.refresh, Refresh::Everything);
    EXPECT_EQ(p.textState(0).text, ",");

    r = p.typeText(0, "");
    EXPECT_EQ(p.delimiter(0), 0);
    EXPECT_EQ(p.asciiState(0).text, "0");

    r = p.typeText(0, "ab");
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "a");
    EXPECT_EQ(p.asciiState(0).text, "97");
}

TEST_F(StartupPageTest, TheLargeFontReplacesTheWideScreensOnly) {
    setFieldText(model->msgMainMenu.line[0], "1.Gather    ");
    StartupPage& p = page();
    p.chooseScreen(kMsgUtilities);
    EXPECT_EQ(p.rowBoxState(0).text, "1.Settings      ");
    EXPECT_EQ(p.rowBoxState(0).limit, 16);

    p.switchLargeFont();
    EXPECT_EQ(p.rowBoxState(0).text, "1.Settings  ");
    EXPECT_EQ(p.rowLabelState(7).text, "8.Load File ");
    EXPECT_EQ(p.rowBoxState(0).limit, 12);
    EXPECT_EQ(screenList(true)[kMsgUtilities], "Utilities (8x12)");
    p.chooseScreen(kMsgMainMenu);
    EXPECT_EQ(p.rowBoxState(0).text, "1.Gather    ");

    // What the page shows is what OK stores.
    sheet().commit();
    EXPECT_EQ(model->settings.largeFont, 1);
    EXPECT_EQ(modelLine(kMsgUtilities, 0), "1.Settings  ");
    EXPECT_EQ(modelLine(kMsgMainMenu, 0), "1.Gather    ");
    EXPECT_EQ(std::string(fieldText(model->settings.extraUtilityLines[1])), "7.Buzzer    ");
}

TEST_F(StartupPageTest, UploadPortShowsFiveLinesWithTheLargeFontAndTheBluetoothChoice) {
    model->settings.largeFont = 1;
    model->settings.uploadPort = kUploadBluetooth;
    StartupPage& p = page();
    p.chooseScreen(kMsgUploadPort);
    for (int r = 0; r < 5; ++r) EXPECT_TRUE(p.rowBoxState(r).enabled) << r;
    EXPECT_FALSE(p.rowBoxState(5).enabled);
    EXPECT_EQ(p.rowBoxState(5).text, "            ");
    EXPECT_EQ(p.rowBoxState(3).text, "3. BT SPP   ");
    EXPECT_EQ(p.rowLabelState(3).text, "3. BT SPP   ");
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 3), "3. BT SPP   ");
}

TEST_F(StartupPageTest, TheSettingsScreenCarriesTheBuzzerLine) {
    StartupPage& p = page();
    p.chooseScreen(kMsgSettings);
    EXPECT_EQ(p.rowLabelState(6).text, "7.Buzzer        ");
    EXPECT_EQ(p.rowBoxState(0).text, "1.Upload Port   ");
    EXPECT_EQ(p.rowBoxState(7).text, "8.View Settings ");
    ControlReply r = p.typeRow(6, "7.Beeper and more");
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "7.Beeper and mor");
    sheet().commit();
    EXPECT_EQ(std::string(fieldText(model->settings.extraUtilityLines[1])), "7.Beeper and mor");
    EXPECT_EQ(modelLine(kMsgSettings, 0), "   [SETTINGS]   ");
}

TEST_F(StartupPageTest, TheCalculatorEntryFollowsTheLookupFiles) {
    StartupPage& p = page();
    p.chooseScreen(kMsgMiscContinuous);
    EXPECT_EQ(p.rowBoxState(kCalculatorRow).text, "8.Calculator    ");
    // A lookup file defined on the Lookup page reaches the model at its
    // commit, before this page's.
    model->lookups[1].memberLength = 20;
    model->lookups[1].fieldCount = 2;
    p.chooseScreen(kMsgMiscContinuous);
    EXPECT_EQ(p.rowBoxState(kCalculatorRow).text, "9.Calculator    ");
    EXPECT_EQ(p.rowLabelState(kCalculatorRow).text, "9.Calculator    ");
    model->lookups[1].fieldCount = 0;
    model->lookups[2].memberLength = 5;
    model->lookups[2].fieldCount = 1;
    p.chooseScreen(kMsgMainMenu);
    sheet().commit();
    EXPECT_EQ(std::string(fieldText(model->settings.extraUtilityLines[0])), "9.Calculator    ");
    EXPECT_STREQ(texts->extraUtilityLarge[0], "9.Calculator");
}

TEST_F(StartupPageTest, ResetAndImportAreStored) {
    setFieldText(model->msgConfirm.line[0], "Sure?       ");
    model->settings.startFrom = 1;
    {
        StartupPage& p = page();
        p.reset();
        EXPECT_EQ(p.delimiterCount(), 1);
        sheet().commit();
    }
    EXPECT_EQ(modelLine(kMsgConfirm, 0), "Are you sure");
    EXPECT_EQ(model->settings.startFrom, 0);

    // Another program's texts, in the large font.
    ProgramModel other = *model;
    other.settings.largeFont = 1;
    setFieldText(other.msgUtilities.line[1], "2.Look      ");
    const std::vector<uint8_t> file = programFileOf(other);

    sheet_.reset();
    StartupPage& p = page();
    std::vector<uint8_t> wrong = file;
    wrong[0] = 'X';
    EXPECT_EQ(p.importFromBytes(wrong.data(), wrong.size()).status, LoadStatus::FormatMismatch);
    EXPECT_FALSE(p.largeFont());
    EXPECT_TRUE(p.importFromBytes(file.data(), file.size()).ok());
    EXPECT_TRUE(p.largeFont());
    sheet().commit();
    EXPECT_EQ(model->settings.largeFont, 1);
    EXPECT_EQ(modelLine(kMsgUtilities, 1), "2.Look      ");
}

// A file that cannot be imported changes nothing the page holds: not the
// texts typed before it, not what OK would store, not the font.
TEST_F(StartupPageTest, AFailedImportLeavesTheWorkingTextsAsTheyWere) {
    StartupPage& p = page();
    p.chooseScreen(kMsgConfirm);
    p.typeRow(0, "Really?");
    p.chooseScreen(kMsgUtilities);
    p.typeRow(2, "3.Mine");
    std::vector<std::string> before;
    std::vector<bool> storedBefore;
    for (int s = 0; s < kStartupScreenCount; ++s)
        for (int r = 0; r < kStartupScreenLines; ++r) {
            before.emplace_back(p.text(s, r));
            storedBefore.push_back(p.willStore(s, r));
        }

    ProgramModel other = *model;
    other.settings.largeFont = 1;
    setFieldText(other.msgConfirm.line[0], "Other");
    const std::vector<uint8_t> file = programFileOf(other);
    std::vector<uint8_t> wrongHeader = file;
    std::memcpy(wrongHeader.data(), "K2x-4.00", 8);
    const std::vector<uint8_t> shortFile(file.begin(), file.end() - 1);   // settings cut short
    for (const std::vector<uint8_t>* bad : std::vector<const std::vector<uint8_t>*>{&wrongHeader, &shortFile}) {
        EXPECT_EQ(p.importFromBytes(bad->data(), bad->size()).status, LoadStatus::FormatMismatch);
        std::size_t i = 0;
        for (int s = 0; s < kStartupScreenCount; ++s)
            for (int r = 0; r < kStartupScreenLines; ++r, ++i) {
                EXPECT_EQ(p.text(s, r), before[i]) << s << "/" << r;
                EXPECT_EQ(p.willStore(s, r), storedBefore[i]) << s << "/" << r;
            }
        EXPECT_FALSE(p.largeFont());
        EXPECT_EQ(p.selectedScreen(), kMsgUtilities);
        EXPECT_EQ(p.rowBoxState(2).text, "3.Mine");
    }
    EXPECT_EQ(p.importFrom("/nonexistent/folder/other.FWX").status, LoadStatus::CannotOpen);
    EXPECT_EQ(p.text(kMsgConfirm, 0), std::string("Really?"));
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgConfirm, 0), "Really?");
    EXPECT_EQ(model->settings.largeFont, 0);
}

// Choosing one delimiter drops a second one that the model holds.
TEST_F(StartupPageTest, OneDelimiterClearsAStoredSecond) {
    model->settings.delimiter1 = ',';
    model->settings.delimiter2 = ';';
    StartupPage& p = page();
    EXPECT_EQ(p.delimiterCountState().selection, 2);
    EXPECT_EQ(p.delimiter(1), ';');
    p.chooseDelimiterCount(1);
    EXPECT_FALSE(p.asciiState(1).enabled);
    sheet().commit();
    EXPECT_EQ(model->settings.delimiter1, ',');
    EXPECT_EQ(model->settings.delimiter2, 0);
}

// Reset gives the default texts of the font in use; the font itself stays.
TEST_F(StartupPageTest, ResetKeepsTheLargeFont) {
    model->settings.largeFont = 1;
    setFieldText(model->msgUtilities.line[0], "1.Mine      ");
    StartupPage& p = page();
    p.reset();
    EXPECT_TRUE(p.largeFont());
    EXPECT_TRUE(p.largeFontState().checked);
    p.chooseScreen(kMsgUtilities);
    EXPECT_EQ(p.rowBoxState(0).text, "1.Settings  ");
    EXPECT_EQ(p.rowBoxState(0).limit, 12);
    sheet().commit();
    EXPECT_EQ(model->settings.largeFont, 1);
    EXPECT_EQ(modelLine(kMsgUtilities, 0), "1.Settings  ");
}

// The 16-byte screens hold 12 characters whatever the font: typed, imported
// and stored texts are cut there.
TEST_F(StartupPageTest, NarrowScreensCutAtTwelveCharacters) {
    ASSERT_FALSE(kStartupScreens[kMsgMainMenu].wide);
    StartupPage& p = page();
    ASSERT_FALSE(p.largeFont());
    p.chooseScreen(kMsgMainMenu);
    EXPECT_EQ(p.rowBoxState(0).limit, 12);
    const ControlReply r = p.typeRow(0, "ABCDEFGHIJKLMNO");
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "ABCDEFGHIJKL");
    EXPECT_EQ(p.text(kMsgMainMenu, 0), std::string("ABCDEFGHIJKL"));

    // A file whose narrow line holds 15 characters (its other lines replace
    // the typed one).
    ProgramModel other = *model;
    std::memcpy(other.msgConfirm.line[1], "123456789012345", 16);
    const std::vector<uint8_t> file = programFileOf(other);
    ASSERT_TRUE(p.importFromBytes(file.data(), file.size()).ok());
    EXPECT_EQ(p.text(kMsgConfirm, 1), std::string("123456789012"));
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgConfirm, 1), "123456789012");
}

TEST_F(StartupPageTest, PortChangesReachTheStartupTextsWhicheverPageCameFirst) {
    // Startup first: the Settings page writes into its working texts.
    page();
    SettingsPage& s = sheet().page<SettingsPage>();
    s.chooseUploadPort(kUploadBluetooth);
    EXPECT_STREQ(sheet().page<StartupPage>().text(kMsgUploadPort, 4), "3. Bluetooth SPP");
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 4), "3. Bluetooth SPP");

    // Settings first: the Startup page made later shows the refilled line.
    sheet_.reset();
    model->settings.uploadPort = kUploadCradleIr;
    clearField(model->msgUploadPort.line[5]);
    sheet().page<SettingsPage>().chooseUploadPort(kUploadAcoustic);
    StartupPage& p = page();
    EXPECT_STREQ(p.text(kMsgUploadPort, 4), "3. Modem        ");
    EXPECT_STREQ(p.text(kMsgUploadPort, 5), "4. Acoustic Co. ");
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 5), "4. Acoustic Co. ");
}

TEST_F(StartupPageTest, EveryPageChangedThenCancelLeavesModelAndDefaultsAsTheyWere) {
    model->settings.uploadPort = kUploadBluetooth;
    clearField(model->msgUploadPort.line[5]);
    model->settings.extraUtilityLines[3][0] = 0;
    model->modified = false;
    const ProgramModel modelBefore = *model;
    const DefaultTexts textsBefore = *texts;
    {
        EditorSheet& sh = sheet();
        sh.page<FormPage>().form().font = 1;
        SettingsPage& s = sh.page<SettingsPage>();
        s.chooseUploadPort(kUploadAcoustic);
        s.chooseDownloadPort(kDownloadBluetooth);
        s.reset();
        StartupPage& p = page();
        p.switchLargeFont();
        p.chooseScreen(kMsgMiscContinuous);
        p.typeRow(0, "changed");
        p.typeAscii(0, "59");
        p.reset();
        s.chooseUploadPort(kUploadBluetooth);
        sheet_.reset();   // Cancel
    }
    EXPECT_EQ(std::memcmp(modelBody(modelBefore), modelBody(*model), kModelBodySize), 0);
    EXPECT_FALSE(model->modified);
    EXPECT_EQ(std::memcmp(&textsBefore, texts.get(), sizeof textsBefore), 0);
}

}  // namespace
}  // namespace fw
