// The Settings and Startup pages and the three settings dialogs in the real
// editor sheet under Windows (Wine): driven with messages, confirmed, and the
// result checked in the model and in the download image built from it.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>

#include "comm/program_image.h"
#include "editor/win/settings_dialog_ids.h"
#include "model/fixed_text.h"
#include "model/message_tables.h"
#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "sheet_window_test.h"
#include "window_test_support.h"

namespace fw::win {
namespace {

using namespace fw::wintest;

constexpr int kSettingsTab = 4;
constexpr int kStartupTab = 5;

HWND showTab(HWND sheet, int tab) {
    PropSheet_SetCurSel(sheet, nullptr, tab);
    pumpMessages();
    return PropSheet_GetCurrentPageHwnd(sheet);
}

class SettingsPagesWindow : public SheetWindowTest {
protected:
    void edit(std::function<void(HWND sheet)> drive) {
        editOnTab(0, [drive](HWND sheet, HWND) { drive(sheet); });
    }
};

TEST_F(SettingsPagesWindow, BothPagesAndTheDialogsReachTheModelAtOk) {
    edit([&](HWND sheet) {
        HWND page = showTab(sheet, kSettingsTab);
        EXPECT_FALSE(enabled(page, IDC_SET_UPLOAD_PHONE));
        choose(page, IDC_SET_UPLOAD, 2);   // Modem
        EXPECT_TRUE(enabled(page, IDC_SET_UPLOAD_PHONE));
        EXPECT_TRUE(enabled(page, IDC_SET_MODEM));
        type(page, IDC_SET_UPLOAD_PHONE, "5551234");
        type(page, IDC_SET_IDLE, "0");
        EXPECT_EQ(textOf(page, IDC_SET_IDLE), "1");
        onDialog("Warning", [](HWND box) { clickButton(box, IDOK); });
        choose(page, IDC_SET_DOWNLOAD, 3);   // Bluetooth SPP, confirmed
        choose(page, IDC_SET_ENTRY, 0);
        EXPECT_FALSE(enabled(page, IDC_SET_STAY));

        onDialog("Security Settings", [](HWND d) {
            type(d, IDC_SEC_PASSWORD, "abc1");
            press(d, IDC_SEC_ITEM + 0);
            EXPECT_FALSE(enabled(d, IDC_SEC_ITEM + 6));
            picture(d, "security_dialog.bmp");
            clickButton(d, IDOK);
        });
        press(page, IDC_SET_SECURITY);
        onDialog("Acoustic Coupler Settings", [](HWND d) {
            press(d, IDC_AC_BLOCK);
            EXPECT_TRUE(checked(d, IDC_AC_CONTROL));
            EXPECT_FALSE(enabled(d, IDC_AC_CONTROL));
            EXPECT_EQ(textOf(d, IDC_AC_STX), "STX");
            EXPECT_EQ(textOf(d, IDC_AC_TONE), "1");
            picture(d, "acoustic_dialog.bmp");
            clickButton(d, IDOK);
        });
        press(page, IDC_SET_ACOUSTIC);
        onDialog("Function Key Mapping", [](HWND d) {
            EXPECT_FALSE(enabled(d, IDC_FK_KEY + 0));
            press(d, IDC_FK_ENABLE);
            choose(d, IDC_FK_KEY + 0, 19);
            picture(d, "function_key_dialog.bmp");
            clickButton(d, IDOK);
        });
        press(page, IDC_SET_FUNCTION);
        picture(sheet, "settings_page.bmp");

        HWND startup = showTab(sheet, kStartupTab);
        choose(startup, IDC_ST_SCREEN, kMsgDownloadPort);
        EXPECT_EQ(textOf(startup, IDC_ST_ROW + 5), "3. Bluetooth SPP");
        type(startup, IDC_ST_ASCII + 0, "59");
        EXPECT_EQ(textOf(startup, IDC_ST_TEXT + 0), ";");
        picture(sheet, "startup_page_small_font.bmp");
        press(startup, IDC_ST_LARGE);
        EXPECT_EQ(textOf(startup, IDC_ST_ROW + 3), "3. BT SPP   ");
        EXPECT_FALSE(enabled(startup, IDC_ST_ROW + 4));
        picture(sheet, "startup_page_large_font.bmp");
        showTab(sheet, kSettingsTab);
        picture(sheet, "settings_page_after.bmp");
        clickButton(sheet, IDOK);
    });
    const TerminalSettings& s = model().settings;
    EXPECT_TRUE(model().modified);
    EXPECT_EQ(s.uploadPort, 2);
    EXPECT_EQ(fieldText(s.uploadPhone), "5551234");
    EXPECT_EQ(s.downloadPort, 3);
    EXPECT_EQ(s.bluetoothFlags, 2);
    EXPECT_EQ(s.backlightIdle, 1);
    EXPECT_EQ(s.entryOption, 0);
    EXPECT_EQ(fieldText(s.password), "abc1");
    EXPECT_EQ(s.securityItems[0], 1);
    EXPECT_EQ(s.acousticCoupler.acBlockMode, 1);
    EXPECT_EQ(s.acousticCoupler.acSendControlChars, 1);
    EXPECT_EQ(s.functionKeysOn, 1);
    EXPECT_EQ(s.functionKeyMap[0], 19);
    EXPECT_EQ(s.delimiter1, ';');
    EXPECT_EQ(s.largeFont, 1);
    EXPECT_EQ(fieldText(model().msgDownloadPort.line[3]), "3. BT SPP   ");

    // The image that a download would send carries the settings.
    auto image = std::make_unique<ProgramImage>();
    buildProgramImage(model(), *image);
    const uint8_t* settings = image->bytes + kImageSettingsStart;
    EXPECT_EQ(settings[offsetof(TerminalSettings, uploadPort)], 3);     // counted from 1
    EXPECT_EQ(settings[offsetof(TerminalSettings, downloadPort)], 4);
    EXPECT_EQ(settings[offsetof(TerminalSettings, bluetoothFlags)], 2);
    EXPECT_EQ(settings[offsetof(TerminalSettings, delimiter1)], ';');
    EXPECT_EQ(std::memcmp(settings + offsetof(TerminalSettings, password), "abc1", 5), 0);
    EXPECT_EQ(settings[offsetof(TerminalSettings, functionKeyMap)], 19);
}

TEST_F(SettingsPagesWindow, CancelLeavesModelAndDefaultTextsAlone) {
    model().modified = false;
    const ProgramModel before = model();
    const DefaultTexts textsBefore = session.document().defaults;
    edit([&](HWND sheet) {
        HWND page = showTab(sheet, kSettingsTab);
        onDialog("Warning", [](HWND box) { clickButton(box, IDOK); });
        choose(page, IDC_SET_UPLOAD, 4);
        HWND startup = showTab(sheet, kStartupTab);
        choose(startup, IDC_ST_SCREEN, kMsgUploadPort);
        EXPECT_EQ(textOf(startup, IDC_ST_ROW + 4), "3. Bluetooth SPP");
        clickButton(sheet, IDCANCEL);
    });
    EXPECT_EQ(std::memcmp(modelBody(before), modelBody(model()), kModelBodySize), 0);
    EXPECT_FALSE(model().modified);
    EXPECT_EQ(std::memcmp(&textsBefore, &session.document().defaults, sizeof textsBefore), 0);
}

}  // namespace
}  // namespace fw::win
