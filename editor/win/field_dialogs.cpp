// The field Properties, lookup-field Properties, date and time stamp and
// branch dialogs of the Form page.
#include <string>

#include "editor/field_properties.h"
#include "editor/form_lists.h"
#include "editor/form_texts.h"
#include "shell/captions.h"
#include "editor/stamp_branch.h"
#include "editor/win/dialog_support.h"
#include "editor/win/form_dialog_ids.h"
#include "editor/win/form_dialogs.h"
#include "editor/win/grid_dialogs.h"

namespace fw::win {

namespace {

template <class View>
struct Binding {
    int id;
    ControlKind kind;
    ControlState View::*state;
};

template <class View, std::size_t N>
void applyView(HWND dlg, const View& view, const Binding<View> (&bindings)[N], bool withText) {
    for (const Binding<View>& b : bindings) applyState(dlg, b.id, b.kind, view.*(b.state), withText);
}

bool isChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

template <class Entry>
void putBackIfChanged(HWND dlg, int id, const Entry& e) {
    if (e.putBack) putBack(dlg, id, e.text);
}

// What a line dialog needs besides its core object.
template <class Properties>
struct LineDialog {
    Properties* props;
    int formNumber;
    int lineNumber;
    bool loading = false;
};

void showNumbers(HWND dlg, int formNumber, int lineNumber) {
    SetDlgItemInt(dlg, IDC_PROP_FORM_NO, static_cast<UINT>(formNumber), FALSE);
    SetDlgItemInt(dlg, IDC_PROP_LINE_NO, static_cast<UINT>(lineNumber), FALSE);
}

// ---- field Properties ----

using FieldView = FieldProperties::View;
const Binding<FieldView> kFieldBindings[] = {
    {IDC_PROP_FIXED, ControlKind::Check, &FieldView::fixedLength},
    {IDC_PROP_FIXED_BOX, ControlKind::Box, &FieldView::fixedLengthBox},
    {IDC_PROP_ALIGNMENT, ControlKind::List, &FieldView::alignment},
    {IDC_PROP_INITIAL, ControlKind::Check, &FieldView::initialValue},
    {IDC_PROP_INITIAL_BOX, ControlKind::Box, &FieldView::initialValueBox},
    {IDC_PROP_PREFIX, ControlKind::Check, &FieldView::prefix},
    {IDC_PROP_PREFIX_BOX, ControlKind::Grid, &FieldView::prefixBox},
    {IDC_PROP_SUFFIX, ControlKind::Check, &FieldView::suffix},
    {IDC_PROP_SUFFIX_BOX, ControlKind::Grid, &FieldView::suffixBox},
    {IDC_PROP_MARK, ControlKind::Check, &FieldView::inputMark},
    {IDC_PROP_MARK_BOX, ControlKind::Box, &FieldView::inputMarkBox},
    {IDC_PROP_DECIMALS_LABEL, ControlKind::Label, &FieldView::decimals},
    {IDC_PROP_DECIMALS, ControlKind::List, &FieldView::decimals},
    {IDC_PROP_PARTIAL, ControlKind::Check, &FieldView::partial},
    {IDC_PROP_START_LABEL, ControlKind::Label, &FieldView::partialStart},
    {IDC_PROP_START, ControlKind::Box, &FieldView::partialStart},
    {IDC_PROP_PARTIAL_MAX_LABEL, ControlKind::Label, &FieldView::partialMaxLength},
    {IDC_PROP_PARTIAL_MAX, ControlKind::Box, &FieldView::partialMaxLength},
    {IDC_PROP_LEAD, ControlKind::Check, &FieldView::leadCode},
    {IDC_PROP_LEAD_BOX, ControlKind::Box, &FieldView::leadCodeBox},
    {IDC_PROP_CHECK_DIGIT, ControlKind::Check, &FieldView::checkDigit},
    {IDC_PROP_METHOD, ControlKind::List, &FieldView::checkDigitMethod},
    {IDC_PROP_AUTO_ENTER, ControlKind::List, &FieldView::autoEnter},
};

void fieldCommand(HWND dlg, LineDialog<FieldProperties>& d, int id, int code) {
    FieldProperties& p = *d.props;
    if (code == BN_CLICKED) {
        const bool on = isChecked(dlg, id);
        switch (id) {
            case IDC_PROP_FIXED: p.checkFixedLength(on); break;
            case IDC_PROP_INITIAL: p.checkInitialValue(on); break;
            case IDC_PROP_PREFIX: p.checkPrefix(on); break;
            case IDC_PROP_SUFFIX: p.checkSuffix(on); break;
            case IDC_PROP_MARK: p.checkInputMark(on); break;
            case IDC_PROP_PARTIAL: p.checkPartial(on); break;
            case IDC_PROP_LEAD: p.checkLeadCode(on); break;
            case IDC_PROP_CHECK_DIGIT: p.checkCheckDigit(on); break;
            default: return;
        }
    } else if (code == EN_CHANGE) {
        if (d.loading) return;
        const std::string text = itemText(dlg, id);
        switch (id) {
            case IDC_PROP_FIXED_BOX: putBackIfChanged(dlg, id, p.typeFixedLength(text)); break;
            case IDC_PROP_INITIAL_BOX: putBackIfChanged(dlg, id, p.typeInitialValue(text)); break;
            case IDC_PROP_MARK_BOX: putBackIfChanged(dlg, id, p.typeInputMark(text)); break;
            case IDC_PROP_START: putBackIfChanged(dlg, id, p.typePartialStart(text)); break;
            case IDC_PROP_PARTIAL_MAX: putBackIfChanged(dlg, id, p.typePartialMaxLength(text)); break;
            case IDC_PROP_LEAD_BOX: putBackIfChanged(dlg, id, p.typeLeadCode(text)); break;
            default: return;
        }
        return;   // typing changes no other control
    } else if (code == CBN_SELCHANGE) {
        const int sel = selectedEntry(dlg, id);
        if (sel < 0) return;
        switch (id) {
            case IDC_PROP_ALIGNMENT: p.chooseAlignment(sel); break;
            case IDC_PROP_DECIMALS: p.chooseDecimals(sel); break;
            case IDC_PROP_METHOD: p.chooseCheckDigitMethod(sel); break;
            case IDC_PROP_AUTO_ENTER: p.chooseAutoEnter(sel); break;
            default: return;
        }
    } else {
        return;
    }
    applyView(dlg, p.view(), kFieldBindings, false);
}

INT_PTR CALLBACK fieldPropertiesProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<LineDialog<FieldProperties>*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            d = reinterpret_cast<LineDialog<FieldProperties>*>(lParam);
            SetWindowLongPtrA(dlg, DWLP_USER, lParam);
            using namespace formtext;
            applyLanguage(dlg, kFieldTitle,
                          {{IDC_PROP_FORM_LABEL, kFieldFormNo}, {IDC_PROP_LINE_LABEL, kFieldLineNo},
                           {IDC_PROP_FIELD_GROUP, kFieldData}, {IDC_PROP_FIXED, kFieldFixedLength},
                           {IDC_PROP_INITIAL, kFieldInitialValue}, {IDC_PROP_PREFIX, kFieldPrefix},
                           {IDC_PROP_SUFFIX, kFieldSuffix}, {IDC_PROP_MARK, kFieldInputMark},
                           {IDC_PROP_DECIMALS_LABEL, kFieldDecimals}, {IDC_PROP_BARCODE_GROUP, kFieldBarcodeInput},
                           {IDC_PROP_PARTIAL, kFieldPartial}, {IDC_PROP_START_LABEL, kFieldStart},
                           {IDC_PROP_PARTIAL_MAX_LABEL, kFieldMaxLength}, {IDC_PROP_LEAD, kFieldLeadCode},
                           {IDC_PROP_CHECK_DIGIT, kFieldCheckDigit}, {IDC_PROP_AUTO_ENTER_LABEL, kFieldAutoEnter}});
            showNumbers(dlg, d->formNumber, d->lineNumber);
            fillList(dlg, IDC_PROP_ALIGNMENT, alignmentList());
            fillList(dlg, IDC_PROP_DECIMALS, decimalPlacesList());
            fillList(dlg, IDC_PROP_METHOD, checkDigitMethodList());
            fillList(dlg, IDC_PROP_AUTO_ENTER, autoEnterList());
            attachGridBox(GetDlgItem(dlg, IDC_PROP_PREFIX_BOX), &d->props->prefixBox());
            attachGridBox(GetDlgItem(dlg, IDC_PROP_SUFFIX_BOX), &d->props->suffixBox());
            d->loading = true;
            applyView(dlg, d->props->view(), kFieldBindings, true);
            d->loading = false;
            centreOnOwner(dlg);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            return gridBoxColours(wParam, lParam);
        case WM_COMMAND:
            if (!d) return FALSE;
            if (LOWORD(wParam) == IDOK) {
                d->props->ok();
                EndDialog(dlg, IDOK);
            } else if (LOWORD(wParam) == IDCANCEL) {
                d->props->cancel();
                EndDialog(dlg, IDCANCEL);
            } else {
                fieldCommand(dlg, *d, LOWORD(wParam), HIWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

// ---- lookup-field Properties ----

using LookupView = LookupFieldProperties::View;
const Binding<LookupView> kLookupBindings[] = {
    {IDC_PROP_SAVE_FIELD, ControlKind::Check, &LookupView::saveFieldData},
    {IDC_PROP_FIXED, ControlKind::Check, &LookupView::fixedLength},
    {IDC_PROP_FIXED_BOX, ControlKind::Box, &LookupView::fixedLengthBox},
    {IDC_PROP_ALIGNMENT, ControlKind::List, &LookupView::alignment},
    {IDC_PROP_PREFIX, ControlKind::Check, &LookupView::prefix},
    {IDC_PROP_PREFIX_BOX, ControlKind::Grid, &LookupView::prefixBox},
    {IDC_PROP_SUFFIX, ControlKind::Check, &LookupView::suffix},
    {IDC_PROP_SUFFIX_BOX, ControlKind::Grid, &LookupView::suffixBox},
};

void lookupCommand(HWND dlg, LineDialog<LookupFieldProperties>& d, int id, int code) {
    LookupFieldProperties& p = *d.props;
    if (code == BN_CLICKED) {
        const bool on = isChecked(dlg, id);
        switch (id) {
            case IDC_PROP_SAVE_FIELD: p.checkSaveFieldData(on); break;
            case IDC_PROP_FIXED: p.checkFixedLength(on); break;
            case IDC_PROP_PREFIX: p.checkPrefix(on); break;
            case IDC_PROP_SUFFIX: p.checkSuffix(on); break;
            default: return;
        }
    } else if (code == EN_CHANGE && id == IDC_PROP_FIXED_BOX) {
        if (!d.loading) putBackIfChanged(dlg, id, p.typeFixedLength(itemText(dlg, id)));
        return;
    } else if (code == CBN_SELCHANGE && id == IDC_PROP_ALIGNMENT) {
        const int sel = selectedEntry(dlg, id);
        if (sel >= 0) p.chooseAlignment(sel);
    } else {
        return;
    }
    applyView(dlg, p.view(), kLookupBindings, false);
}

INT_PTR CALLBACK lookupPropertiesProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* d = reinterpret_cast<LineDialog<LookupFieldProperties>*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            d = reinterpret_cast<LineDialog<LookupFieldProperties>*>(lParam);
            SetWindowLongPtrA(dlg, DWLP_USER, lParam);
            using namespace formtext;
            applyLanguage(dlg, kLookupTitle,
                          {{IDC_PROP_FORM_LABEL, kLookupFormNo}, {IDC_PROP_LINE_LABEL, kLookupLineNo},
                           {IDC_PROP_FIELD_GROUP, kLookupFieldData}, {IDC_PROP_SAVE_FIELD, kLookupSaveFieldData},
                           {IDC_PROP_FIXED, kLookupFixedLength}, {IDC_PROP_PREFIX, kLookupPrefix},
                           {IDC_PROP_SUFFIX, kLookupSuffix}});
            showNumbers(dlg, d->formNumber, d->lineNumber);
            fillList(dlg, IDC_PROP_ALIGNMENT, alignmentList());
            attachGridBox(GetDlgItem(dlg, IDC_PROP_PREFIX_BOX), &d->props->prefixBox());
            attachGridBox(GetDlgItem(dlg, IDC_PROP_SUFFIX_BOX), &d->props->suffixBox());
            d->loading = true;
            applyView(dlg, d->props->view(), kLookupBindings, true);
            d->loading = false;
            centreOnOwner(dlg);
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            return gridBoxColours(wParam, lParam);
        case WM_COMMAND:
            if (!d) return FALSE;
            if (LOWORD(wParam) == IDOK) {
                d->props->ok();
                EndDialog(dlg, IDOK);
            } else if (LOWORD(wParam) == IDCANCEL) {
                d->props->cancel();
                EndDialog(dlg, IDCANCEL);
            } else {
                lookupCommand(dlg, *d, LOWORD(wParam), HIWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

// ---- date and time stamp ----

struct StampBinding {
    int id;
    StampCheck box;
};
const StampBinding kStampChecks[] = {
    {IDC_STAMP_SPLIT, StampCheck::Split},         {IDC_STAMP_YEAR, StampCheck::Year},
    {IDC_STAMP_MONTH, StampCheck::Month},         {IDC_STAMP_DAY, StampCheck::Day},
    {IDC_STAMP_DATE_SEP, StampCheck::DateSeparator}, {IDC_STAMP_HOUR, StampCheck::Hour},
    {IDC_STAMP_MINUTE, StampCheck::Minute},       {IDC_STAMP_SECOND, StampCheck::Second},
    {IDC_STAMP_TIME_SEP, StampCheck::TimeSeparator},
};

struct StampListBinding {
    int id;
    StampList list;
};
const StampListBinding kStampLists[] = {
    {IDC_STAMP_POSITION, StampList::Position},
    {IDC_STAMP_YEAR_DIGITS, StampList::YearDigits},
    {IDC_STAMP_STYLE, StampList::DateStyle},
};

struct StampContext {
    StampDialog* stamp;
    bool loading = false;
};

void showSamples(HWND dlg, const StampDialog& s) {
    setItemText(dlg, IDC_STAMP_DATE_GROUP, s.dateSample(captionText(formtext::kStampDateFormat, kDateFormatPrefix)));
    setItemText(dlg, IDC_STAMP_TIME_GROUP, s.timeSample(captionText(formtext::kStampTimeFormat, kTimeFormatPrefix)));
}

INT_PTR CALLBACK stampProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* c = reinterpret_cast<StampContext*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            c = reinterpret_cast<StampContext*>(lParam);
            SetWindowLongPtrA(dlg, DWLP_USER, lParam);
            using namespace formtext;
            applyLanguage(dlg, kStampTitle,
                          {{IDC_STAMP_POSITION_LABEL, kStampPosition}, {IDC_STAMP_SPLIT, kStampSplit},
                           {IDC_STAMP_YEAR, kStampYear}, {IDC_STAMP_MONTH, kStampMonth}, {IDC_STAMP_DAY, kStampDay},
                           {IDC_STAMP_DATE_SEP, kStampDateSeparator}, {IDC_STAMP_STYLE_LABEL, kStampDateStyle},
                           {IDC_STAMP_HOUR, kStampHour}, {IDC_STAMP_MINUTE, kStampMinute},
                           {IDC_STAMP_SECOND, kStampSecond}, {IDC_STAMP_TIME_SEP, kStampTimeSeparator}});
            const StampDialog& s = *c->stamp;
            fillList(dlg, IDC_STAMP_POSITION, stampPositionList());
            fillList(dlg, IDC_STAMP_YEAR_DIGITS, yearDigitsList());
            fillList(dlg, IDC_STAMP_STYLE, dateStyleList());
            for (const StampListBinding& b : kStampLists) selectEntry(dlg, b.id, s.selection(b.list));
            for (const StampBinding& b : kStampChecks)
                CheckDlgButton(dlg, b.id, s.checked(b.box) ? BST_CHECKED : BST_UNCHECKED);
            c->loading = true;
            limitText(dlg, IDC_STAMP_DATE_SEP_BOX, 1);
            limitText(dlg, IDC_STAMP_TIME_SEP_BOX, 1);
            setItemText(dlg, IDC_STAMP_DATE_SEP_BOX, s.dateSeparator());
            setItemText(dlg, IDC_STAMP_TIME_SEP_BOX, s.timeSeparator());
            c->loading = false;
            showSamples(dlg, s);
            centreOnOwner(dlg);
            return TRUE;
        }
        case WM_COMMAND: {
            if (!c) return FALSE;
            StampDialog& s = *c->stamp;
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDOK || id == IDCANCEL) {
                if (id == IDCANCEL) s.cancel();
                EndDialog(dlg, id);
                return TRUE;
            }
            if (code == BN_CLICKED) {
                for (const StampBinding& b : kStampChecks)
                    if (b.id == id) s.check(b.box, IsDlgButtonChecked(dlg, id) == BST_CHECKED);
            } else if (code == CBN_SELCHANGE) {
                const int sel = selectedEntry(dlg, id);
                for (const StampListBinding& b : kStampLists)
                    if (b.id == id && sel >= 0) s.choose(b.list, sel);
            } else if (code == EN_CHANGE && !c->loading) {
                if (id == IDC_STAMP_DATE_SEP_BOX) putBackIfChanged(dlg, id, s.typeDateSeparator(itemText(dlg, id)));
                if (id == IDC_STAMP_TIME_SEP_BOX) putBackIfChanged(dlg, id, s.typeTimeSeparator(itemText(dlg, id)));
            }
            showSamples(dlg, s);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

// ---- branch ----

INT_PTR CALLBACK branchProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* b = reinterpret_cast<BranchDialog*>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            b = reinterpret_cast<BranchDialog*>(lParam);
            SetWindowLongPtrA(dlg, DWLP_USER, lParam);
            using namespace formtext;
            applyLanguage(dlg, kBranchTitle,
                          {{IDC_BRANCH_KEY_LABEL, kBranchKey}, {IDC_BRANCH_TO_LABEL, kBranchTo},
                           {IDC_BRANCH_FN_LABEL + 0, kBranchFn1 + 0}, {IDC_BRANCH_FN_LABEL + 1, kBranchFn1 + 1},
                           {IDC_BRANCH_FN_LABEL + 2, kBranchFn1 + 2}, {IDC_BRANCH_FN_LABEL + 3, kBranchFn1 + 3}});
            for (int key = 0; key < kBranchKeys; ++key) {
                fillList(dlg, IDC_BRANCH_FN + key, branchList());
                selectEntry(dlg, IDC_BRANCH_FN + key, b->selection(key));
            }
            centreOnOwner(dlg);
            return TRUE;
        }
        case WM_COMMAND: {
            if (!b) return FALSE;
            const int id = LOWORD(wParam);
            if (id == IDOK || id == IDCANCEL) {
                if (id == IDCANCEL) b->cancel();
                EndDialog(dlg, id);
            } else if (HIWORD(wParam) == CBN_SELCHANGE && id >= IDC_BRANCH_FN && id < IDC_BRANCH_FN + kBranchKeys) {
                const int sel = selectedEntry(dlg, id);
                if (sel >= 0) b->choose(id - IDC_BRANCH_FN, sel);
            }
            return TRUE;
        }
        default:
            return FALSE;
    }
}

// A dialog that could not be shown leaves the form as it was.
template <class Dialog>
INT_PTR finish(Dialog& dialog, INT_PTR result) {
    if (result == IDOK) return IDOK;
    if (result != IDCANCEL) dialog.cancel();
    return IDCANCEL;
}

}  // namespace

INT_PTR showLineProperties(HWND owner, FormPage& page, int line) {
    const int formNumber = page.currentForm() + 1;
    switch (page.propertiesKind(line)) {
        case PropertiesKind::Field: {
            FieldProperties props(page.form(), line);
            LineDialog<FieldProperties> d{&props, formNumber, line + 1};
            return finish(props, DialogBoxParamA(instanceOf(owner), "FIELDPROPDLG", owner, fieldPropertiesProc,
                                                 reinterpret_cast<LPARAM>(&d)));
        }
        case PropertiesKind::LookupField: {
            LookupFieldProperties props(page.form(), line);
            LineDialog<LookupFieldProperties> d{&props, formNumber, line + 1};
            return finish(props, DialogBoxParamA(instanceOf(owner), "LOOKUPPROPDLG", owner, lookupPropertiesProc,
                                                 reinterpret_cast<LPARAM>(&d)));
        }
        case PropertiesKind::None:
            break;
    }
    return IDCANCEL;
}

INT_PTR showStampDialog(HWND owner, FormPage& page) {
    StampDialog stamp(page.form());
    StampContext c{&stamp};
    return finish(stamp, DialogBoxParamA(instanceOf(owner), "STAMPDLG", owner, stampProc, reinterpret_cast<LPARAM>(&c)));
}

INT_PTR showBranchDialog(HWND owner, FormPage& page) {
    BranchDialog branch(page.form());
    return finish(branch,
                  DialogBoxParamA(instanceOf(owner), "BRANCHDLG", owner, branchProc, reinterpret_cast<LPARAM>(&branch)));
}

}  // namespace fw::win
