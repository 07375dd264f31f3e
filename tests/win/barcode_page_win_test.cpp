// The Barcode page, a sample of its symbology dialogs and the Code ID
// dialog in the real editor sheet under Windows (Wine): each control
// reaches its field, the dialogs open from their buttons and write the model
// at their own OK.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "editor/barcode_dialogs.h"
#include "editor/character_grid.h"
#include "editor/win/barcode_dialog_ids.h"
#include "editor/win/form_dialog_ids.h"
#include "model/barcode_fields.h"
#include "resources/resource_ids.h"
#include "shell/win/designer.h"
#include "sheet_window_test.h"
#include "window_test_support.h"

namespace fw::win {
namespace {

using namespace fw::wintest;
using F = BarcodeFieldId;

constexpr int kBarcodeTab = 3;
constexpr int kMoreIndustrial25 = 3, kMoreMsi = 7, kMoreTelepen = 12;

class BarcodePageWindow : public SheetWindowTest {
protected:
    BarcodeSettings& barcode() { return session.document().model.barcode; }
    unsigned field(F f) { return readBarcodeField(barcode(), f); }
    void edit(std::function<void(HWND sheet, HWND page)> drive) { editOnTab(kBarcodeTab, std::move(drive)); }
};

TEST_F(BarcodePageWindow, PageControlsReachTheirFieldsAtOk) {
    writeBarcodeField(barcode(), F::readTimeout, 0);
    edit([&](HWND sheet, HWND page) {
        EXPECT_EQ(selection(page, IDC_BARCODE_SCAN), 6);   // "Laser" of a new program
        EXPECT_EQ(textOf(page, IDC_BARCODE_TIMEOUT), "0");
        EXPECT_TRUE(checked(page, IDC_BARCODE_CHECK + 0));   // Code 39
        EXPECT_TRUE(checked(page, IDC_BARCODE_CHECK + 24));  // EAN128 from 00
        picture(sheet, "barcode_page.bmp");
        choose(page, IDC_BARCODE_SCAN, 1);
        choose(page, IDC_BARCODE_REDUNDANCY, 2);
        type(page, IDC_BARCODE_TIMEOUT, "300");
        EXPECT_EQ(textOf(page, IDC_BARCODE_TIMEOUT), "255");
        press(page, IDC_BARCODE_CHECK + 0);
        press(page, IDC_BARCODE_CHECK + 7);    // MSI on
        press(page, IDC_BARCODE_CHECK + 24);   // EAN128 off
        clickButton(sheet, IDOK);
    });
    EXPECT_EQ(field(F::scanMode), 1u);
    EXPECT_EQ(field(F::readRedundancy), 2u);
    EXPECT_EQ(field(F::readTimeout), 255u);
    EXPECT_EQ(field(F::code39On), 0u);
    EXPECT_EQ(field(F::msiOn), 1u);
    EXPECT_EQ(field(F::ean128Off), 1u);
    EXPECT_EQ(field(F::ean128On), 0u);
}

TEST_F(BarcodePageWindow, DialogsWriteAtTheirOwnOkWhateverTheSheetDoes) {
    edit([&](HWND sheet, HWND page) {
        press(page, IDC_BARCODE_CHECK + 3);   // a page tick, lost with the sheet's Cancel
        onDialog("Industrial 25 Parameters", [](HWND dlg) {
            EXPECT_TRUE(checked(dlg, IDC_SYM_RADIO + 0));   // start/stop "Industrial 25"
            EXPECT_TRUE(checked(dlg, IDC_SYM_RANGE));
            EXPECT_EQ(textOf(dlg, IDC_SYM_LENGTH_LABEL + 0), "Max Length :");
            EXPECT_EQ(textOf(dlg, IDC_SYM_LENGTH_BOX + 0), "127");
            picture(dlg, "barcode_industrial25.bmp");
            press(dlg, IDC_SYM_RADIO + 2);
            press(dlg, IDC_SYM_CHECK + 0);   // "Verify Checksum"
            type(dlg, IDC_SYM_LENGTH_BOX + 0, "5");
            type(dlg, IDC_SYM_LENGTH_BOX + 1, "009");
            EXPECT_EQ(textOf(dlg, IDC_SYM_LENGTH_BOX + 1), "9");
            clickButton(dlg, IDOK);
        });
        press(page, IDC_BARCODE_MORE + kMoreIndustrial25);

        onDialog("MSI Parameters", [](HWND dlg) {
            press(dlg, IDC_SYM_FIXED);
            EXPECT_EQ(textOf(dlg, IDC_SYM_LENGTH_LABEL + 1), "Fixed Length 2:");
            type(dlg, IDC_SYM_LENGTH_BOX + 0, "x");
            EXPECT_EQ(textOf(dlg, IDC_SYM_LENGTH_BOX + 0), "1");
            press(dlg, IDC_SYM_RADIO + 12);   // "Last 2 digits not transmitted"
            picture(dlg, "barcode_msi.bmp");
            clickButton(dlg, IDOK);
        });
        press(page, IDC_BARCODE_MORE + kMoreMsi);

        onDialog("Telepen Parameters", [](HWND dlg) {
            press(dlg, IDC_SYM_RADIO + 0);
            clickButton(dlg, IDCANCEL);   // writes nothing
        });
        press(page, IDC_BARCODE_MORE + kMoreTelepen);
        clickButton(sheet, IDCANCEL);
    });
    EXPECT_TRUE(session.document().model.modified);
    EXPECT_EQ(field(F::industrial25On), 1u);
    EXPECT_EQ(field(F::industrial25StartStop), 2u);
    EXPECT_EQ(field(F::industrial25VerifyChecksum), 1u);
    EXPECT_EQ(field(F::industrial25LengthFirst), 9u);
    EXPECT_EQ(field(F::industrial25LengthSecond), 5u);
    EXPECT_EQ(field(F::msiLengthRangeMode), 0u);
    EXPECT_EQ(field(F::msiLengthFirst), 1u);
    EXPECT_EQ(field(F::msiCheckSend), 2u);
    EXPECT_EQ(field(F::telepenNumeric), 0u);
}

TEST_F(BarcodePageWindow, CodeIdDialogStoresItsPairs) {
    edit([&](HWND sheet, HWND page) {
        onDialog("Code ID", [](HWND dlg) {
            EXPECT_FALSE(enabled(dlg, IDC_CODEID_BOX + 0));
            press(dlg, IDC_CODEID_ENABLE);
            EXPECT_TRUE(enabled(dlg, IDC_CODEID_SET + 3));
            press(dlg, IDC_CODEID_SET + 3);
            EXPECT_EQ(textOf(dlg, IDC_CODEID_BOX + 10), " F F");
            onDialog("The Grid Control", [](HWND grid) {
                SendMessageA(grid, WM_COMMAND, IDC_GRID_CLEAR, 0);
                clickCode(grid, 'Z');
                clickButton(grid, IDOK);
            });
            clickBox(dlg, IDC_CODEID_BOX + 14);
            EXPECT_EQ(textOf(dlg, IDC_CODEID_BOX + 14), " Z");
            picture(dlg, "barcode_code_id.bmp");
            clickButton(dlg, IDOK);
        });
        press(page, IDC_BARCODE_CODE_ID);
        clickButton(sheet, IDOK);
    });
    const TerminalSettings& s = session.document().model.settings;
    EXPECT_TRUE(session.document().model.modified);
    EXPECT_EQ(s.codeIdOn, 1);
    EXPECT_EQ(s.codeId[10][0], 'F');
    EXPECT_EQ(s.codeId[10][1], 'F');
    EXPECT_EQ(s.codeId[14][0], 'Z');
    EXPECT_EQ(s.codeId[14][1], 0);
    EXPECT_EQ(s.codeId[0][0], 'M');
}

// Every "more..." button opens its own template; Cancel writes nothing.
TEST_F(BarcodePageWindow, EveryMoreButtonOpensItsDialog) {
    const BarcodeSettings before = barcode();
    edit([&](HWND sheet, HWND page) {
        for (int d = 0; d < kSymbologyDialogCount; ++d) {
            const SymbologyDialogLayout& layout = kSymbologyDialogs[d];
            const std::string file = std::string("barcode_") + layout.templateName + ".bmp";
            onDialog(layout.title, [file](HWND dlg) {
                picture(dlg, file.c_str());
                clickButton(dlg, IDCANCEL);
            });
            // Captioned alike, named apart for a screen reader.
            HWND more = GetDlgItem(page, IDC_BARCODE_MORE + d);
            EXPECT_EQ(windowText(more), "more...");
            EXPECT_EQ(accessibleName(more), layout.title);
            press(page, IDC_BARCODE_MORE + d);
            EXPECT_EQ(pendingDialogActions(), 0) << layout.title;
        }
        clickButton(sheet, IDCANCEL);
    });
    EXPECT_EQ(0, std::memcmp(before.bytes, barcode().bytes, sizeof before.bytes));
    EXPECT_FALSE(session.document().model.modified);
}

}  // namespace
}  // namespace fw::win
