// The Settings page and its three dialogs: port choices and the screen lines
// they rewrite, the box rules, Reset, and what the sheet's OK stores.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "editor/acoustic_dialog.h"
#include "editor/character_grid.h"
#include "editor/function_key_dialog.h"
#include "editor/security_dialog.h"
#include "editor/settings_page.h"
#include "editor/startup_page.h"
#include "model/default_texts.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "model/program_defaults.h"
#include "resources/text_ids.h"
#include "tests/support/new_program_test.h"

namespace fw {
namespace {

class SettingsPageTest : public test::NewProgramTest {
protected:
    EditorSheet& sheet() {
        if (!sheet_) sheet_ = std::make_unique<EditorSheet>(*model, *texts);
        return *sheet_;
    }

    SettingsPage& page() {
        SettingsPage& p = sheet().page<SettingsPage>();
        p.setWarningBox([this](unsigned id, bool okCancel) {
            warnings.push_back(id);
            EXPECT_EQ(okCancel, id == textid::kAcousticCouplerK420 || id == textid::kBluetoothK460);
            return answer;
        });
        return p;
    }

    std::string modelLine(int table, int line) const {
        return std::string(fieldText(messageLine(*model, table, line), kMessageTables[table].width));
    }

    std::unique_ptr<EditorSheet> sheet_;
    std::vector<unsigned> warnings;
    bool answer = true;
};

TEST_F(SettingsPageTest, BluetoothRefusedInTheWarningChangesNothing) {
    const DefaultTexts before = *texts;
    answer = false;
    SettingsPage& p = page();
    p.chooseUploadPort(kUploadBluetooth);
    p.chooseDownloadPort(kDownloadBluetooth);
    EXPECT_EQ(warnings, (std::vector<unsigned>{textid::kBluetoothK460, textid::kBluetoothK460}));
    EXPECT_EQ(p.uploadPortState().selection, kUploadCradleIr);
    EXPECT_EQ(p.downloadPortState().selection, kDownloadCradleIr);
    EXPECT_EQ(sheet().bluetoothFlags(), 0);
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 4), "3. Modem        ");
    EXPECT_EQ(std::memcmp(&before, texts.get(), sizeof before), 0);
}

TEST_F(SettingsPageTest, BluetoothWithTheLargeFontWritesBothDefaultsAndTheTwelveCharacterLine) {
    model->settings.largeFont = 1;
    SettingsPage& p = page();
    p.chooseUploadPort(kUploadBluetooth);
    p.chooseDownloadPort(kDownloadBluetooth);
    // Only the sheet's working defaults have changed so far.
    EXPECT_STREQ(sheet().defaults().lines[kMsgUploadPort][4], "3. Bluetooth SPP");
    EXPECT_STREQ(sheet().defaults().largeLines[kMsgUploadPort][3], "3. BT SPP   ");
    EXPECT_STREQ(sheet().defaults().largeLines[kMsgDownloadPort][3], "3. BT SPP   ");
    EXPECT_STREQ(texts->lines[kMsgUploadPort][4], "3. Modem        ");
    EXPECT_EQ(model->settings.bluetoothFlags, 0);

    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 3), "3. BT SPP   ");
    EXPECT_EQ(modelLine(kMsgDownloadPort, 3), "3. BT SPP   ");
    EXPECT_EQ(model->settings.uploadPort, kUploadBluetooth);
    EXPECT_EQ(model->settings.bluetoothFlags, kBluetoothUpload | kBluetoothDownload);
    EXPECT_STREQ(texts->lines[kMsgUploadPort][4], "3. Bluetooth SPP");
    EXPECT_STREQ(texts->lines[kMsgDownloadPort][5], "3. Bluetooth SPP");
}

TEST_F(SettingsPageTest, AcousticCouplerRefillsOnlyABlankFourthLine) {
    clearField(model->msgUploadPort.line[5]);
    page().chooseUploadPort(kUploadAcoustic);
    EXPECT_EQ(warnings, std::vector<unsigned>{textid::kAcousticCouplerK420});
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 5), "4. Acoustic Co. ");

    // A line with a text of the user's own stays.
    sheet_.reset();
    model->settings.uploadPort = kUploadCradleIr;
    setFieldText(model->msgUploadPort.line[5], "4. Phone line  ");
    page().chooseUploadPort(kUploadAcoustic);
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 5), "4. Phone line  ");
}

TEST_F(SettingsPageTest, LeavingBluetoothForTheAcousticCouplerGivesTheModemLineBack) {
    model->settings.uploadPort = kUploadBluetooth;
    setFieldText(model->msgUploadPort.line[4], "3. Bluetooth SPP");
    SettingsPage& p = page();
    EXPECT_EQ(sheet().bluetoothFlags(), kBluetoothUpload);
    p.chooseUploadPort(kUploadAcoustic);
    EXPECT_EQ(sheet().bluetoothFlags(), 0);
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 4), "3. Modem        ");
    EXPECT_EQ(model->settings.bluetoothFlags, 0);
}

// Off Bluetooth SPP to any other port, on either list: the flag goes and the
// Modem line comes back, as Reset does.
TEST_F(SettingsPageTest, LeavingBluetoothForAnyOtherPortGivesTheModemLineBack) {
    for (int choice : {kUploadCradleIr, kUploadIrDA, kUploadModem}) {
        sheet_.reset();
        model->settings.uploadPort = kUploadBluetooth;
        model->settings.downloadPort = kDownloadBluetooth;
        model->settings.bluetoothFlags = kBluetoothUpload | kBluetoothDownload;
        setFieldText(model->msgUploadPort.line[4], "3. Bluetooth SPP");
        setFieldText(model->msgDownloadPort.line[5], "3. Bluetooth SPP");
        // The download list's first three entries are the upload list's.
        const int download = choice;
        SettingsPage& p = page();
        p.chooseUploadPort(choice);
        EXPECT_EQ(sheet().bluetoothFlags(), kBluetoothDownload) << choice;
        p.chooseDownloadPort(download);
        EXPECT_EQ(sheet().bluetoothFlags(), 0) << choice;
        sheet().commit();
        EXPECT_EQ(model->settings.uploadPort, choice);
        EXPECT_EQ(model->settings.downloadPort, download);
        EXPECT_EQ(model->settings.bluetoothFlags, 0) << choice;
        EXPECT_EQ(modelLine(kMsgUploadPort, 4), "3. Modem        ") << choice;
        EXPECT_EQ(modelLine(kMsgDownloadPort, 5), "3. Modem        ") << choice;
    }
    EXPECT_TRUE(warnings.empty());
}

// Picks `code` in a single-character box through its grid, as a click does.
void pickCode(GridBox& box, int code) {
    CharacterGrid grid = box.openGrid();
    const CellRect r = CharacterGrid::cellRect(code / 16 + 1, code % 16 + 1, grid.columns(), 90, 170);
    EXPECT_EQ(grid.click((r.left + r.right) / 2, (r.top + r.bottom) / 2, 90, 170), GridClick::Selected);
    box.closeGrid(grid, true);
}

// Every byte the page and its dialogs own, set through their controls to a
// value New does not have, reaches the model at the sheet's OK: a field the
// page forgets to copy, or copies from the wrong place, shows here.
TEST_F(SettingsPageTest, EveryFieldThePageOwnsReachesTheModelAtOk) {
    const TerminalSettings before = model->settings;
    SettingsPage& p = page();
    p.chooseUploadPort(kUploadModem);
    p.chooseDownloadPort(kDownloadModem);
    p.typeUploadPhone("5551234");
    p.typeDownloadPhone("0800-99");
    p.chooseList(SettingsPage::ModemSpeed, 3);
    p.chooseList(SettingsPage::BaudRate, 4);
    p.chooseList(SettingsPage::Backlight, 1);
    p.typeIdle("7");
    p.chooseList(SettingsPage::DataDeletion, 1);
    p.chooseList(SettingsPage::EntryOption, 2);
    p.typeDuration("42");
    p.chooseList(SettingsPage::KeyClick, 5);
    p.chooseList(SettingsPage::GoodReadBeep, 3);
    p.chooseList(SettingsPage::WarningBeep, 0);

    SecurityDialog security(p.settings());
    security.typePassword("Pw12");
    security.tick(2, true);
    security.tick(9, true);
    security.tick(13, true);
    p.takeFromDialog(security.ok());

    FunctionKeyDialog keys(p.settings());
    keys.toggle(true);
    keys.chooseKey(3, 11);
    p.takeFromDialog(keys.ok());

    AcousticDialog ac(p.settings());
    ac.chooseList(AcousticDialog::DataBits, 0);
    ac.chooseList(AcousticDialog::StopBits, 1);
    ac.chooseList(AcousticDialog::Parity, 2);
    ac.chooseList(AcousticDialog::Volume, 2);
    ac.typeTone("4");
    ac.toggleControlChars(true);
    ac.toggleBlockMode(true);
    ac.toggleBlockCheck(true);
    ac.chooseList(AcousticDialog::BlockSize, 2);
    ac.chooseList(AcousticDialog::BlockDelay, 1);
    const std::pair<int, int> codes[] = {{AcousticDialog::StartOfText, 0x01},
                                         {AcousticDialog::EndOfText, 0x04},
                                         {AcousticDialog::PadChar, 0x2A},
                                         {AcousticDialog::EndOfBlock, 0x1E}};
    for (const auto& [box, code] : codes) {
        pickCode(ac.charBox(box), code);
        ac.charChosen(box);
    }
    p.takeFromDialog(ac.ok());
    EXPECT_TRUE(warnings.empty());

    sheet().commit();
    const TerminalSettings& s = model->settings;
    const AcousticCoupler& a = s.acousticCoupler;
    struct Byte {
        const char* name;
        uint8_t now, expected, newValue;
    };
    const Byte bytes[] = {
        {"uploadPort", s.uploadPort, kUploadModem, before.uploadPort},
        {"downloadPort", s.downloadPort, kDownloadModem, before.downloadPort},
        {"modemSpeed", s.modemSpeed, 3, before.modemSpeed},
        {"baudRate", s.baudRate, 4, before.baudRate},
        {"backlight", s.backlight, 1, before.backlight},
        {"backlightIdle", s.backlightIdle, 7, before.backlightIdle},
        {"dataDeletion", s.dataDeletion, 1, before.dataDeletion},
        {"entryOption", s.entryOption, 2, before.entryOption},
        {"promptDuration", s.promptDuration, 42, before.promptDuration},
        {"keyClick", s.keyClick, 5, before.keyClick},
        {"goodReadBeep", s.goodReadBeep, 3, before.goodReadBeep},
        {"warningBeep", s.warningBeep, 0, before.warningBeep},
        {"securityItems[2]", s.securityItems[2], 1, before.securityItems[2]},
        {"securityItems[9]", s.securityItems[9], 1, before.securityItems[9]},
        {"securityBeeps[1]", s.securityBeeps[1], 1, before.securityBeeps[1]},
        {"functionKeysOn", s.functionKeysOn, 1, before.functionKeysOn},
        {"functionKeyMap[3]", s.functionKeyMap[3], 11, before.functionKeyMap[3]},
        {"acVolume", s.acVolume, 2, before.acVolume},
        {"acDataBits", a.acDataBits, 0, before.acousticCoupler.acDataBits},
        {"acStopBits", a.acStopBits, 1, before.acousticCoupler.acStopBits},
        {"acParity", a.acParity, 2, before.acousticCoupler.acParity},
        {"acToneLength", a.acToneLength, 4, before.acousticCoupler.acToneLength},
        {"acSendControlChars", a.acSendControlChars, 1, before.acousticCoupler.acSendControlChars},
        {"acBlockMode", a.acBlockMode, 1, before.acousticCoupler.acBlockMode},
        {"acSendBlockCheck", a.acSendBlockCheck, 1, before.acousticCoupler.acSendBlockCheck},
        {"acBlockSize", a.acBlockSize, 2, before.acousticCoupler.acBlockSize},
        {"acBlockDelay", a.acBlockDelay, 1, before.acousticCoupler.acBlockDelay},
        {"acStartOfText", a.acStartOfText, 0x01, before.acousticCoupler.acStartOfText},
        {"acEndOfText", a.acEndOfText, 0x04, before.acousticCoupler.acEndOfText},
        {"acPadChar", a.acPadChar, 0x2A, before.acousticCoupler.acPadChar},
        {"acEndOfBlock", a.acEndOfBlock, 0x1E, before.acousticCoupler.acEndOfBlock},
    };
    for (const Byte& b : bytes) {
        EXPECT_NE(b.expected, b.newValue) << b.name << ": the test must pick a value New does not have";
        EXPECT_EQ(b.now, b.expected) << b.name;
    }
    EXPECT_EQ(fieldText(s.uploadPhone), "5551234");
    EXPECT_EQ(fieldText(s.downloadPhone), "0800-99");
    EXPECT_EQ(fieldText(s.password), "Pw12");
    EXPECT_TRUE(model->modified);
}

TEST_F(SettingsPageTest, ModemChoicesEnableSpeedPhoneAndBaudRate) {
    SettingsPage& p = page();
    EXPECT_FALSE(p.modemSpeedState().enabled);
    EXPECT_FALSE(p.uploadPhoneState().enabled);
    EXPECT_FALSE(p.downloadPhoneState().enabled);
    EXPECT_TRUE(p.baudRateState().enabled);

    p.chooseUploadPort(kUploadModem);
    EXPECT_TRUE(p.modemSpeedState().enabled);
    EXPECT_TRUE(p.uploadPhoneState().enabled);
    EXPECT_TRUE(p.baudRateState().enabled);

    p.chooseDownloadPort(kDownloadModem);
    EXPECT_TRUE(p.downloadPhoneState().enabled);
    EXPECT_FALSE(p.baudRateState().enabled);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(SettingsPageTest, EntryOptionsAndTheDurationBox) {
    SettingsPage& p = page();
    p.chooseList(SettingsPage::EntryOption, 0);   // "No prompt"
    EXPECT_FALSE(p.stayState().enabled);
    EXPECT_FALSE(p.pressAnyKeyState().enabled);
    EXPECT_FALSE(p.durationState().enabled);
    p.chooseList(SettingsPage::EntryOption, 1);
    EXPECT_TRUE(p.stayState().enabled && p.stayState().checked);
    EXPECT_TRUE(p.durationState().enabled);

    ControlReply r = p.typeDuration("05");
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "5");
    EXPECT_EQ(p.settings().promptDuration, 5);
    EXPECT_EQ(p.typeDuration("").text, "1");

    // "Press any key" stores 0 and keeps the box's number for "Stay".
    p.typeDuration("42");
    p.choosePressAnyKey();
    EXPECT_EQ(p.settings().promptDuration, 0);
    EXPECT_FALSE(p.durationState().enabled);
    p.typeDuration("17");
    EXPECT_EQ(p.settings().promptDuration, 0);
    p.chooseStay();
    EXPECT_EQ(p.settings().promptDuration, 17);

    r = p.typeIdle("0");
    EXPECT_TRUE(r.putBack);
    EXPECT_EQ(r.text, "1");
    EXPECT_EQ(p.settings().backlightIdle, 1);
}

TEST_F(SettingsPageTest, PressAnyKeyLoadsWithSixInTheBox) {
    model->settings.promptDuration = 0;
    SettingsPage& p = page();
    EXPECT_TRUE(p.pressAnyKeyState().checked);
    EXPECT_EQ(p.durationState().text, "6");
    EXPECT_FALSE(p.durationState().enabled);
}

TEST_F(SettingsPageTest, ResetReachesExactlyItsFields) {
    TerminalSettings& s = model->settings;
    s.uploadPort = kUploadModem;
    s.baudRate = s.modemSpeed = s.backlight = s.dataDeletion = 1;
    s.backlightIdle = 9;
    s.entryOption = 0;
    s.promptDuration = 50;
    s.keyClick = s.goodReadBeep = s.warningBeep = 3;
    setFieldText(s.uploadPhone, "123");
    setFieldText(s.password, "secret");
    s.securityItems[3] = s.securityBeeps[1] = s.functionKeyMap[6] = s.reserved65[0] = s.reserved143[6] = 1;
    s.functionKeysOn = 1;
    s.acousticCoupler.acParity = 2;
    s.acVolume = 3;
    s.codeIdOn = 1;
    const TerminalSettings before = s;

    SettingsPage& p = page();
    EXPECT_EQ(p.reset().refresh, Refresh::Everything);
    const TerminalSettings& w = p.settings();
    EXPECT_EQ(w.uploadPort + w.baudRate + w.modemSpeed + w.backlight + w.dataDeletion, 0);
    EXPECT_EQ(w.backlightIdle, 2);
    EXPECT_EQ(w.entryOption, 1);
    EXPECT_EQ(w.promptDuration, 6);
    EXPECT_EQ(w.keyClick, 2);
    EXPECT_EQ(w.goodReadBeep, 1);
    EXPECT_EQ(w.warningBeep, 2);
    EXPECT_EQ(fieldText(w.uploadPhone), "");
    EXPECT_EQ(fieldText(w.password), "");
    EXPECT_EQ(w.securityItems[3] + w.securityBeeps[1] + w.functionKeyMap[6] + w.reserved65[0] + w.reserved143[6], 0);
    // What Reset leaves alone.
    EXPECT_EQ(w.functionKeysOn, 1);
    EXPECT_EQ(std::memcmp(&w.acousticCoupler, &before.acousticCoupler, sizeof w.acousticCoupler), 0);
    EXPECT_EQ(w.acVolume, 3);
    EXPECT_EQ(w.codeIdOn, 1);
    EXPECT_EQ(std::memcmp(w.extraUtilityLines, before.extraUtilityLines, sizeof w.extraUtilityLines), 0);
}

TEST_F(SettingsPageTest, ResetFromBluetoothGivesTheModemLinesBack) {
    model->settings.uploadPort = kUploadBluetooth;
    model->settings.downloadPort = kDownloadBluetooth;
    SettingsPage& p = page();
    p.reset();
    EXPECT_EQ(sheet().bluetoothFlags(), 0);
    sheet().commit();
    EXPECT_EQ(model->settings.bluetoothFlags, 0);
    EXPECT_EQ(modelLine(kMsgUploadPort, 4), "3. Modem        ");
    EXPECT_EQ(modelLine(kMsgDownloadPort, 5), "3. Modem        ");
}

// The Menu page's commit and the Code ID dialog's OK write the same record
// while the Settings page has its working copy: OK keeps every change.
TEST_F(SettingsPageTest, OkKeepsWhatOtherPagesAndDialogsWroteToTheRecord) {
    SettingsPage& p = page();
    p.chooseList(SettingsPage::Backlight, 1);
    model->settings.codeIdOn = 1;
    model->settings.codeId[8][0] = ']';
    model->settings.codeId[8][1] = 'C';
    model->settings.separateDataFiles = 1;
    model->settings.startFrom = 1;
    sheet().commit();
    EXPECT_EQ(model->settings.backlight, 1);
    EXPECT_EQ(model->settings.codeIdOn, 1);
    EXPECT_EQ(model->settings.codeId[8][0], ']');
    EXPECT_EQ(model->settings.codeId[8][1], 'C');
    EXPECT_EQ(model->settings.separateDataFiles, 1);
    EXPECT_EQ(model->settings.startFrom, 1);
    EXPECT_TRUE(model->modified);
}

// ---- the dialogs ----

TEST_F(SettingsPageTest, SecurityRefusesPasswordsAndProtectsTheSettingsMenuWhole) {
    setFieldText(model->settings.password, "abc1");
    SecurityDialog d(page().settings());
    d.setWarningBox([this](unsigned id, bool) {
        warnings.push_back(id);
        return true;
    });
    for (const char* bad : {"abc 1", "abc1!", "a.b"}) {
        ControlReply r = d.typePassword(bad);
        EXPECT_TRUE(r.putBack) << bad;
        EXPECT_EQ(r.text, "abc1") << bad;
    }
    EXPECT_FALSE(d.typePassword("Ab12").putBack);
    ControlReply r = d.typePassword("Ab12345678X");
    EXPECT_EQ(r.text, "Ab12");
    EXPECT_EQ(warnings, (std::vector<unsigned>{textid::kInvalidCharacter, textid::kInvalidCharacter,
                                               textid::kInvalidCharacter, textid::kPasswordTooLong}));

    d.tick(7, true);
    d.tick(0, true);
    EXPECT_FALSE(d.itemState(kFirstSettingsItem).enabled);
    EXPECT_FALSE(d.itemState(14).enabled);
    EXPECT_TRUE(d.itemState(5).enabled);
    EXPECT_TRUE(d.itemState(7).checked);   // the tick stays under the lock
    d.tick(13, true);

    const TerminalSettings s = d.ok();
    EXPECT_EQ(fieldText(s.password), "Ab12");
    EXPECT_EQ(s.securityItems[0], 1);
    EXPECT_EQ(s.securityItems[7], 1);
    EXPECT_EQ(s.securityBeeps[1], 1);
    EXPECT_EQ(s.securityBeeps[0], 0);
}

TEST_F(SettingsPageTest, DialogOkReachesTheModelOnlyThroughThePage) {
    SettingsPage& p = page();
    FunctionKeyDialog f(p.settings());
    EXPECT_FALSE(f.keyState(0).enabled);
    f.toggle(true);
    EXPECT_TRUE(f.keyState(0).enabled);
    f.chooseKey(6, 19);
    EXPECT_EQ(functionActionList().at(19), "Calculator");
    p.takeFromDialog(f.ok());
    EXPECT_EQ(model->settings.functionKeyMap[6], 0);
    sheet().commit();
    EXPECT_EQ(model->settings.functionKeysOn, 1);
    EXPECT_EQ(model->settings.functionKeyMap[6], 19);
}

TEST_F(SettingsPageTest, AcousticBlockTransmissionLocksTheControlCharacters) {
    AcousticCoupler& ac = model->settings.acousticCoupler;
    ac.acToneLength = 0;
    AcousticDialog d(page().settings());
    EXPECT_EQ(d.toneState().text, "1");
    EXPECT_FALSE(d.controlCharsState().checked);
    EXPECT_FALSE(d.charBoxState(AcousticDialog::StartOfText).enabled);
    EXPECT_FALSE(d.listState(AcousticDialog::BlockSize).enabled);

    d.toggleBlockMode(true);
    EXPECT_TRUE(d.controlCharsState().checked);
    EXPECT_FALSE(d.controlCharsState().enabled);
    EXPECT_TRUE(d.charBoxState(AcousticDialog::EndOfText).enabled);
    EXPECT_TRUE(d.charBoxState(AcousticDialog::PadChar).enabled);
    d.toggleControlChars(false);   // locked
    EXPECT_TRUE(d.controlCharsState().checked);

    EXPECT_TRUE(d.typeTone("7").putBack);
    EXPECT_EQ(d.typeTone("").text, "1");
    EXPECT_FALSE(d.typeTone("4").putBack);
    EXPECT_EQ(d.ok().acousticCoupler.acToneLength, 4);

    // The grid's OK stores the code at once.
    GridBox& box = d.charBox(AcousticDialog::EndOfBlock);
    CharacterGrid grid = box.openGrid();
    EXPECT_EQ(grid.chosenCode(), 23);
    // 9 x 17 cells of 10 pixels: code 0x1E is column 2, row 15.
    EXPECT_EQ(grid.click(25, 155, 90, 170), GridClick::Selected);
    box.closeGrid(grid, true);
    d.charChosen(AcousticDialog::EndOfBlock);
    EXPECT_EQ(d.charBoxState(AcousticDialog::EndOfBlock).text, "RS");
    EXPECT_EQ(d.ok().acousticCoupler.acEndOfBlock, 0x1E);
}

TEST_F(SettingsPageTest, AcousticShowsAndStoresTheControlCharactersOfABlockTransmission) {
    AcousticCoupler& ac = model->settings.acousticCoupler;
    ac.acBlockMode = 1;
    ac.acSendControlChars = 0;
    ac.acToneLength = 9;
    AcousticDialog d(page().settings());
    EXPECT_TRUE(d.controlCharsState().checked);
    EXPECT_TRUE(d.charBoxState(AcousticDialog::StartOfText).enabled);
    EXPECT_EQ(d.toneState().text, "5");
    EXPECT_EQ(d.ok().acousticCoupler.acSendControlChars, 0);   // shown, not stored
}

TEST_F(SettingsPageTest, AcousticOkWithoutAnEditStoresTheCouplerAsItWas) {
    AcousticCoupler& ac = model->settings.acousticCoupler;
    ac.acBlockMode = 1;
    ac.acSendControlChars = 0;
    const TerminalSettings before = model->settings;
    AcousticDialog d(page().settings());
    const TerminalSettings after = d.ok();
    EXPECT_EQ(std::memcmp(&after, &before, sizeof after), 0);

    // Block transmission turned off and on again is an edit of the tick.
    d.toggleBlockMode(false);
    EXPECT_FALSE(d.controlCharsState().checked);
    d.toggleBlockMode(true);
    EXPECT_EQ(d.ok().acousticCoupler.acSendControlChars, 1);
}

TEST_F(SettingsPageTest, LeavingBluetoothKeepsAThirdLineTheUserWrote) {
    model->settings.uploadPort = kUploadBluetooth;
    model->settings.downloadPort = kDownloadBluetooth;
    setFieldText(model->msgUploadPort.line[4], "3. Radio link  ");
    setFieldText(model->msgDownloadPort.line[5], "3. Bluetooth SPP");
    SettingsPage& p = page();
    p.chooseUploadPort(kUploadAcoustic);
    p.reset();
    EXPECT_EQ(sheet().bluetoothFlags(), 0);
    sheet().commit();
    EXPECT_EQ(modelLine(kMsgUploadPort, 4), "3. Radio link  ");
    EXPECT_EQ(modelLine(kMsgDownloadPort, 5), "3. Modem        ");   // still the Bluetooth default
    EXPECT_STREQ(texts->lines[kMsgUploadPort][4], "3. Modem        ");

    // The same when the Startup page holds the working texts, with the
    // large font.
    sheet_.reset();
    model->settings.largeFont = 1;
    model->settings.uploadPort = kUploadBluetooth;
    ScreenTexts& screens = sheet().screenTexts();
    EXPECT_STREQ(screens.line(kMsgUploadPort, 3), "3. BT SPP   ");
    screens.set(kMsgUploadPort, 3, "3. Radio    ");
    page().reset();
    EXPECT_STREQ(screens.line(kMsgUploadPort, 3), "3. Radio    ");
}

}  // namespace
}  // namespace fw
