// The Menu page ("MENUDLG") of the editor sheet and its file-name dialog
// ("FILENAMEDLG"): tables that bind the controls to MenuPage and
// FileNameDialog.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "editor/editor_sheet.h"
#include "editor/form_lists.h"
#include "editor/menu_page.h"
#include "resources/text_ids.h"
#include "ui/win/bound_dialog.h"
#include "ui/win/dialog_support.h"
#include "editor/win/menu_dialog_ids.h"
#include "editor/win/menu_dialogs.h"
#include "editor/win/sheet_context.h"

namespace fw::win {

namespace {

using MenuControl = Control<MenuPage>;
using NameControl = Control<FileNameDialog>;

std::vector<MenuControl> menuControls() {
    std::vector<MenuControl> t = {
        {IDC_MENU_NAME, ControlKind::List, 0, [](const MenuPage& p, int) { return p.nameState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.chooseMenu(in.selection); },
         [](const MenuPage&, int) {
             ListEntries names;
             for (int n = 1; n <= kMenuCount; ++n) names.push_back("menu  " + std::to_string(n));
             return names;
         }},
        {IDC_MENU_FONT, ControlKind::List, 0, [](const MenuPage& p, int) { return p.fontState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.chooseFont(in.selection); },
         [](const MenuPage&, int) { return ListEntries(fontList()); }},
        {IDC_MENU_ESC, ControlKind::List, 0, [](const MenuPage& p, int) { return p.escState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.chooseEsc(in.selection); },
         [](const MenuPage&, int) { return ListEntries(targetList()); }},
        {IDC_MENU_CAPTION_ON, ControlKind::Check, 0, [](const MenuPage& p, int) { return p.captionCheckState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.checkCaption(in.checked); }},
        {IDC_MENU_CAPTION, ControlKind::Box, 0, [](const MenuPage& p, int) { return p.captionBoxState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.typeCaption(in.text); }},
        {IDC_MENU_SAVE_CAPTION, ControlKind::Check, 0, [](const MenuPage& p, int) { return p.saveCaptionState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.checkSaveCaption(in.checked); }},
        {IDC_MENU_SAVE_ITEM, ControlKind::Check, 0, [](const MenuPage& p, int) { return p.saveSelectedItemState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.checkSaveSelectedItem(in.checked); }},
        {IDC_MENU_PASS_DOWN, ControlKind::Check, 0, [](const MenuPage& p, int) { return p.passDownState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.checkPassDown(in.checked); }},
        {IDC_MENU_SEPARATE, ControlKind::Check, 0, [](const MenuPage& p, int) { return p.separateDataFilesState(); },
         [](MenuPage& p, int, const ControlInput& in) { return p.checkSeparateDataFiles(in.checked); }},
        // Its click opens a dialog: handled by the page procedure.
        {IDC_MENU_EDIT_FILE_NAME, ControlKind::Button, 0,
         [](const MenuPage& p, int) { return p.editFileNameState(); }},
        {IDC_MENU_RESET, ControlKind::Button, 0, nullptr,
         [](MenuPage& p, int, const ControlInput&) { return p.reset(); }},
    };
    addRows(t,
            MenuControl{IDC_MENU_ITEM_NAME, ControlKind::Box, 0,
                        [](const MenuPage& p, int k) { return p.itemNameState(k); },
                        [](MenuPage& p, int k, const ControlInput& in) { return p.typeItemName(k, in.text); }},
            kItemsPerMenu);
    addRows(t,
            MenuControl{IDC_MENU_ITEM_NEXT, ControlKind::List, 0,
                        [](const MenuPage& p, int k) { return p.itemNextState(k); },
                        [](MenuPage& p, int k, const ControlInput& in) { return p.chooseItemNext(k, in.selection); },
                        [](const MenuPage&, int) { return ListEntries(targetList()); }},
            kItemsPerMenu);
    return t;
}

std::vector<NameControl> nameControls() {
    std::vector<NameControl> t = {
        {IDC_FILENAME_RESET, ControlKind::Button, 0, nullptr,
         [](FileNameDialog& d, int, const ControlInput&) { return d.reset(); }},
    };
    addRows(t,
            NameControl{IDC_FILENAME_ON, ControlKind::Check, 0,
                        [](const FileNameDialog& d, int n) { return d.checkState(n); },
                        [](FileNameDialog& d, int n, const ControlInput& in) { return d.check(n, in.checked); }},
            kFormCount);
    addRows(t,
            NameControl{IDC_FILENAME_BOX, ControlKind::Box, 0,
                        [](const FileNameDialog& d, int n) { return d.nameState(n); },
                        [](FileNameDialog& d, int n, const ControlInput& in) { return d.typeName(n, in.text); }},
            kFormCount);
    return t;
}

void applyMenuLanguage(HWND dlg, PageWindow<MenuPage>&) {
    using namespace menutext;
    applyLanguage(dlg, 0,
                  {{IDC_MENU_NAME_LABEL, kName},       {IDC_MENU_FONT_LABEL, kFont},
                   {IDC_MENU_ESC_LABEL, kEsc},         {IDC_MENU_CAPTION_ON, kMenuCaption},
                   {IDC_MENU_DATA_GROUP, kData},       {IDC_MENU_SAVE_CAPTION, kSaveCaption},
                   {IDC_MENU_SAVE_ITEM, kSaveSelectedItem}, {IDC_MENU_PASS_DOWN, kPassDown},
                   {IDC_MENU_SEPARATE, kSeparateFiles}, {IDC_MENU_EDIT_FILE_NAME, kEditFileName},
                   {IDC_MENU_RESET, kReset},           {IDC_MENU_HEAD_NO, kItemNo},
                   {IDC_MENU_HEAD_NO + 1, kItemNo},    {IDC_MENU_HEAD_NAME, kItemName},
                   {IDC_MENU_HEAD_NAME + 1, kItemName}, {IDC_MENU_HEAD_NEXT, kNext},
                   {IDC_MENU_HEAD_NEXT + 1, kNext}});
}

void initFileNames(HWND dlg, FileNameDialog&) {
    applyLanguage(dlg, menutext::kFileNameTitle, {{IDC_FILENAME_RESET, menutext::kFileNameReset}});
}

// "Edit file name for each Form" opens modal over the sheet, the page's
// parent; it writes the Form page's working copy at its own OK.
bool openFileNames(HWND dlg, PageWindow<MenuPage>& w, int id) {
    if (id != IDC_MENU_EDIT_FILE_NAME) return false;
    showFileNameDialog(GetParent(dlg), w.context.instance, w.context.sheet.workingForms());
    return true;
}

const PageProcedure<MenuPage> kMenuPage{menuControls, applyMenuLanguage, openFileNames, nullptr};

}  // namespace

INT_PTR showFileNameDialog(HWND owner, HINSTANCE instance, std::span<FormDef, kFormCount> forms) {
    FileNameDialog dialog(forms);
    const INT_PTR answer = runBoundDialog(owner, instance, "FILENAMEDLG", dialog, nameControls(), initFileNames);
    if (answer == IDOK) dialog.ok(forms);
    return answer;
}

INT_PTR CALLBACK menuPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    return sheetPageProc(dlg, msg, wParam, lParam, kMenuPage);
}

}  // namespace fw::win
