// The Form page ("FORMDLG") of the editor sheet.
#include <windows.h>
#include <commctrl.h>

#include "editor/editor_sheet.h"
#include "editor/form_lists.h"
#include "editor/form_texts.h"
#include "shell/captions.h"
#include "editor/win/dialog_support.h"
#include "editor/win/form_dialog_ids.h"
#include "editor/win/form_dialogs.h"
#include "shell/language.h"
#include "shell/win/designer.h"

namespace fw::win {

namespace {

struct FormPageWindow {
    FormPage* page = nullptr;   // the sheet session's Form page
    // Set while the page fills its boxes: those changes are not typing.
    bool loading = false;
};

FormPageWindow& window() {
    static FormPageWindow w;
    return w;
}

// The row a control of the eight rows belongs to, or -1.
int rowOf(int id, int base) { return id >= base && id < base + kLinesPerForm ? id - base : -1; }

void showLinkList(HWND dlg, const FormPage& page, int line) {
    fillList(dlg, IDC_FORM_LINK + line, page.linkEntries(line));
    selectEntry(dlg, IDC_FORM_LINK + line, page.linkSelection(line));
}

void showLinkHeading(HWND dlg, const FormPage& page) {
    const bool lookup = page.linkHeading() == LinkHeading::Lookup;
    setItemText(dlg, IDC_FORM_HEAD_LINK, lookup ? captionText(formtext::kLinkLookup, "Lookup")
                                               : captionText(formtext::kLinkVariables, "Variables"));
}

void showLengths(HWND dlg, const FormPage& page, int line) {
    FormPageWindow& w = window();
    w.loading = true;
    setItemText(dlg, IDC_FORM_MIN + line, std::to_string(page.form().minLength[line]));
    setItemText(dlg, IDC_FORM_MAX + line, std::to_string(page.form().maxLength[line]));
    w.loading = false;
}

// The font rule and the field-type table: which controls of each row work.
void applyRowStates(HWND dlg, const FormPage& page) {
    for (int i = 0; i < kLinesPerForm; ++i) {
        const RowState s = page.rowState(i);
        limitText(dlg, IDC_FORM_PROMPT + i, page.promptWidth());
        enableItem(dlg, IDC_FORM_ROW_LABEL + i, s.dataType);
        enableItem(dlg, IDC_FORM_TYPE + i, s.dataType);
        enableItem(dlg, IDC_FORM_PROMPT + i, s.prompt);
        enableItem(dlg, IDC_FORM_SOURCE + i, s.inputSource);
        enableItem(dlg, IDC_FORM_MIN + i, s.lengths);
        enableItem(dlg, IDC_FORM_MAX + i, s.lengths);
        enableItem(dlg, IDC_FORM_LINK + i, s.link);
        enableItem(dlg, IDC_FORM_MORE + i, s.more);
    }
}

void showForm(HWND dlg, const FormPage& page) {
    FormPageWindow& w = window();
    const FormDef& f = page.form();
    selectEntry(dlg, IDC_FORM_NAME, page.currentForm());
    selectEntry(dlg, IDC_FORM_FONT, f.font);
    selectEntry(dlg, IDC_FORM_ESC, f.escTarget);
    selectEntry(dlg, IDC_FORM_NEXT, f.nextTarget);
    selectEntry(dlg, IDC_FORM_LOOKUP, f.lookupFile);
    selectEntry(dlg, IDC_FORM_RECORD, f.recordAction);
    for (int i = 0; i < kLinesPerForm; ++i) {
        limitText(dlg, IDC_FORM_MIN + i, kLengthBoxChars);
        limitText(dlg, IDC_FORM_MAX + i, kLengthBoxChars);
        w.loading = true;
        setItemText(dlg, IDC_FORM_PROMPT + i, page.promptText(i));
        w.loading = false;
        selectEntry(dlg, IDC_FORM_TYPE + i, f.dataType[i]);
        selectEntry(dlg, IDC_FORM_SOURCE + i, f.inputSource[i]);
        showLengths(dlg, page, i);
        showLinkList(dlg, page, i);
    }
    showLinkHeading(dlg, page);
    applyRowStates(dlg, page);
}

void initPage(HWND dlg, EditorSheet& sheet) {
    FormPageWindow& w = window();
    w.page = &sheet.page<FormPage>();
    using namespace formtext;
    applyLanguage(dlg, 0,
                  {{IDC_FORM_NAME_LABEL, kName}, {IDC_FORM_FONT_LABEL, kFont}, {IDC_FORM_ESC_LABEL, kEsc},
                   {IDC_FORM_NEXT_LABEL, kNext}, {IDC_FORM_LOOKUP_LABEL, kLookup}, {IDC_FORM_RECORD_LABEL, kRecord},
                   {IDC_FORM_STAMP, kTimeStamp}, {IDC_FORM_BRANCH, kBranch}, {IDC_FORM_HEAD_LINE, kLine},
                   {IDC_FORM_HEAD_TYPE, kDataType}, {IDC_FORM_HEAD_PROMPT, kPrompt},
                   {IDC_FORM_HEAD_SOURCE, kInputSource}, {IDC_FORM_HEAD_MIN, kMinLength},
                   {IDC_FORM_HEAD_MAX, kMaxLength}, {IDC_FORM_HEAD_MORE, kProperties}});
    if (languageActive()) {
        const std::string more = captionText(kMore, "more...");
        for (int i = 0; i < kLinesPerForm; ++i) SetDlgItemTextA(dlg, IDC_FORM_MORE + i, more.c_str());
    }
    fillList(dlg, IDC_FORM_NAME, formNameList());
    fillList(dlg, IDC_FORM_FONT, fontList());
    fillList(dlg, IDC_FORM_ESC, targetList());
    fillList(dlg, IDC_FORM_NEXT, targetList());
    fillList(dlg, IDC_FORM_LOOKUP, lookupFileList());
    fillList(dlg, IDC_FORM_RECORD, recordActionList());
    for (int i = 0; i < kLinesPerForm; ++i) {
        fillList(dlg, IDC_FORM_TYPE + i, dataTypeList());
        fillList(dlg, IDC_FORM_SOURCE + i, inputSourceList());
    }
    showForm(dlg, *w.page);
}

void listChosen(HWND dlg, FormPage& page, int id, int sel) {
    if (sel < 0) return;
    int line;
    switch (id) {
        case IDC_FORM_NAME:
            if (page.chooseForm(sel)) showForm(dlg, page);
            return;
        case IDC_FORM_FONT:
            page.setFont(sel);
            applyRowStates(dlg, page);
            return;
        case IDC_FORM_ESC: page.setEscTarget(sel); return;
        case IDC_FORM_NEXT: page.setNextTarget(sel); return;
        case IDC_FORM_RECORD: page.setRecordAction(sel); return;
        case IDC_FORM_LOOKUP:
            if (page.setLookupFile(sel)) {
                for (int i = 0; i < kLinesPerForm; ++i) showLinkList(dlg, page, i);
                showLinkHeading(dlg, page);
                applyRowStates(dlg, page);
            }
            return;
        default: break;
    }
    if ((line = rowOf(id, IDC_FORM_TYPE)) >= 0) {
        page.setDataType(line, sel);
        showLinkList(dlg, page, line);
        showLengths(dlg, page, line);
        applyRowStates(dlg, page);
    } else if ((line = rowOf(id, IDC_FORM_SOURCE)) >= 0) {
        page.setInputSource(line, sel);
    } else if ((line = rowOf(id, IDC_FORM_LINK)) >= 0) {
        page.setLink(line, sel);
    }
}

void boxChanged(HWND dlg, FormPage& page, int id) {
    if (window().loading) return;
    int line;
    if ((line = rowOf(id, IDC_FORM_PROMPT)) >= 0) {
        const TextEntry e = page.typePrompt(line, itemText(dlg, id));
        if (e.putBack) putBack(dlg, id, e.text);
    } else if ((line = rowOf(id, IDC_FORM_MIN)) >= 0) {
        const NumberEntry e = page.typeMinLength(line, itemText(dlg, id));
        if (e.putBack) putBack(dlg, id, e.text);
    } else if ((line = rowOf(id, IDC_FORM_MAX)) >= 0) {
        const NumberEntry e = page.typeMaxLength(line, itemText(dlg, id));
        if (e.putBack) putBack(dlg, id, e.text);
    }
}

void buttonClicked(HWND dlg, FormPage& page, int id) {
    // The dialogs are modal over the sheet, the page's parent.
    HWND sheet = GetParent(dlg);
    int line;
    if (id == IDC_FORM_STAMP) {
        showStampDialog(sheet, page);
    } else if (id == IDC_FORM_BRANCH) {
        showBranchDialog(sheet, page);
    } else if ((line = rowOf(id, IDC_FORM_MORE)) >= 0) {
        showLineProperties(sheet, page, line);
    }
}

}  // namespace

FormPage* activeFormPage() { return window().page; }

INT_PTR CALLBACK formPageProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    FormPageWindow& w = window();
    switch (msg) {
        case WM_INITDIALOG: {
            auto* sheet = reinterpret_cast<EditorSheet*>(reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
            if (sheet) initPage(dlg, *sheet);
            return TRUE;
        }
        case WM_COMMAND: {
            if (!w.page) return FALSE;
            const int id = LOWORD(wParam);
            switch (HIWORD(wParam)) {
                case CBN_SELCHANGE: listChosen(dlg, *w.page, id, selectedEntry(dlg, id)); break;
                case EN_CHANGE: boxChanged(dlg, *w.page, id); break;
                case BN_CLICKED: buttonClicked(dlg, *w.page, id); break;
                default: return FALSE;
            }
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* n = reinterpret_cast<const NMHDR*>(lParam);
            // The sheet session commits at OK; the editor's caller restarts
            // the simulation afterwards.
            if (n->code == PSN_RESET) {
                w.page = nullptr;
                return TRUE;
            }
            return FALSE;
        }
        case WM_DESTROY:
            w.page = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace fw::win
