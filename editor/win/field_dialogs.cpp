// The field Properties, lookup-field Properties, date and time stamp and
// branch dialogs of the Form page.
#include <string>

#include "editor/field_properties.h"
#include "editor/form_lists.h"
#include "resources/text_ids.h"
#include "texts/texts.h"
#include "editor/stamp_branch.h"
#include "ui/win/bound_dialog.h"
#include "ui/win/dialog_support.h"
#include "editor/win/form_dialog_ids.h"
#include "editor/win/form_dialogs.h"
#include "editor/win/grid_dialogs.h"

namespace fw::win {

namespace {

// Table entries for cores that show a View of ControlStates.
template <class Core, auto State>
ControlState stateOf(const Core& core, int) {
    return core.view().*State;
}
// A label beside a control: only whether it can be used.
template <class Core, auto State>
ControlState enabledOf(const Core& core, int) {
    ControlState s;
    s.enabled = (core.view().*State).enabled;
    return s;
}
template <class Core, auto Set>
ControlReply onCheck(Core& core, int, const ControlInput& in) {
    (core.*Set)(in.checked);
    return ControlReply::states();
}
template <class Core, auto Set>
ControlReply onSelect(Core& core, int, const ControlInput& in) {
    if (in.selection >= 0) (core.*Set)(in.selection);
    return ControlReply::states();
}
template <class Core, auto Type>
ControlReply onType(Core& core, int, const ControlInput& in) {
    return replyTo((core.*Type)(in.text));
}
template <class Core>
ControlState number(int value) {
    ControlState s;
    s.text = std::to_string(value);
    return s;
}

// The form and line numbers every line dialog shows.
template <class Props>
void addNumbers(std::vector<Control<Props>>& t) {
    t.push_back({IDC_PROP_FORM_NO, ControlKind::Label, 0,
                 [](const Props& p, int) { return number<Props>(p.formNumber()); }});
    t.push_back({IDC_PROP_LINE_NO, ControlKind::Label, 0,
                 [](const Props& p, int) { return number<Props>(p.line() + 1); }});
}

// The parts both Properties dialogs share.
template <class Props>
void addLineControls(std::vector<Control<Props>>& t) {
    using V = typename Props::View;
    const std::vector<Control<Props>> shared = {
        {IDC_PROP_FIXED, ControlKind::Check, 0, stateOf<Props, &V::fixedLength>,
         onCheck<Props, &Props::checkFixedLength>},
        {IDC_PROP_FIXED_BOX, ControlKind::Box, 0, stateOf<Props, &V::fixedLengthBox>,
         onType<Props, &Props::typeFixedLength>},
        {IDC_PROP_ALIGNMENT, ControlKind::List, 0, stateOf<Props, &V::alignment>,
         onSelect<Props, &Props::chooseAlignment>, [](const Props&, int) { return alignmentList(); }},
        {IDC_PROP_PREFIX, ControlKind::Check, 0, stateOf<Props, &V::prefix>, onCheck<Props, &Props::checkPrefix>},
        {IDC_PROP_PREFIX_BOX, ControlKind::Grid, 0, stateOf<Props, &V::prefixBox>},
        {IDC_PROP_SUFFIX, ControlKind::Check, 0, stateOf<Props, &V::suffix>, onCheck<Props, &Props::checkSuffix>},
        {IDC_PROP_SUFFIX_BOX, ControlKind::Grid, 0, stateOf<Props, &V::suffixBox>},
    };
    t.insert(t.end(), shared.begin(), shared.end());
    addNumbers(t);
}

template <class Props>
void attachCodeBoxes(HWND dlg, Props& p) {
    attachGridBox(GetDlgItem(dlg, IDC_PROP_PREFIX_BOX), &p.prefixBox());
    attachGridBox(GetDlgItem(dlg, IDC_PROP_SUFFIX_BOX), &p.suffixBox());
}

// ---- field Properties ----

using F = FieldProperties;
using FV = FieldProperties::View;

std::vector<Control<F>> fieldControls() {
    std::vector<Control<F>> t = {
        {IDC_PROP_INITIAL, ControlKind::Check, 0, stateOf<F, &FV::initialValue>, onCheck<F, &F::checkInitialValue>},
        {IDC_PROP_INITIAL_BOX, ControlKind::Box, 0, stateOf<F, &FV::initialValueBox>,
         onType<F, &F::typeInitialValue>},
        {IDC_PROP_MARK, ControlKind::Check, 0, stateOf<F, &FV::inputMark>, onCheck<F, &F::checkInputMark>},
        {IDC_PROP_MARK_BOX, ControlKind::Box, 0, stateOf<F, &FV::inputMarkBox>, onType<F, &F::typeInputMark>},
        {IDC_PROP_DECIMALS_LABEL, ControlKind::Label, 0, enabledOf<F, &FV::decimals>},
        {IDC_PROP_DECIMALS, ControlKind::List, 0, stateOf<F, &FV::decimals>, onSelect<F, &F::chooseDecimals>,
         [](const F&, int) { return decimalPlacesList(); }},
        {IDC_PROP_PARTIAL, ControlKind::Check, 0, stateOf<F, &FV::partial>, onCheck<F, &F::checkPartial>},
        {IDC_PROP_START_LABEL, ControlKind::Label, 0, enabledOf<F, &FV::partialStart>},
        {IDC_PROP_START, ControlKind::Box, 0, stateOf<F, &FV::partialStart>, onType<F, &F::typePartialStart>},
        {IDC_PROP_PARTIAL_MAX_LABEL, ControlKind::Label, 0, enabledOf<F, &FV::partialMaxLength>},
        {IDC_PROP_PARTIAL_MAX, ControlKind::Box, 0, stateOf<F, &FV::partialMaxLength>,
         onType<F, &F::typePartialMaxLength>},
        {IDC_PROP_LEAD, ControlKind::Check, 0, stateOf<F, &FV::leadCode>, onCheck<F, &F::checkLeadCode>},
        {IDC_PROP_LEAD_BOX, ControlKind::Box, 0, stateOf<F, &FV::leadCodeBox>, onType<F, &F::typeLeadCode>},
        {IDC_PROP_CHECK_DIGIT, ControlKind::Check, 0, stateOf<F, &FV::checkDigit>, onCheck<F, &F::checkCheckDigit>},
        {IDC_PROP_METHOD, ControlKind::List, 0, stateOf<F, &FV::checkDigitMethod>,
         onSelect<F, &F::chooseCheckDigitMethod>, [](const F&, int) { return checkDigitMethodList(); }},
        {IDC_PROP_AUTO_ENTER, ControlKind::List, 0, stateOf<F, &FV::autoEnter>, onSelect<F, &F::chooseAutoEnter>,
         [](const F&, int) { return autoEnterList(); }},
    };
    addLineControls(t);
    return t;
}

void initField(HWND dlg, F& p) {
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
    attachCodeBoxes(dlg, p);
}

// ---- lookup-field Properties ----

using L = LookupFieldProperties;
using LV = LookupFieldProperties::View;

std::vector<Control<L>> lookupControls() {
    std::vector<Control<L>> t = {
        {IDC_PROP_SAVE_FIELD, ControlKind::Check, 0, stateOf<L, &LV::saveFieldData>,
         onCheck<L, &L::checkSaveFieldData>},
    };
    addLineControls(t);
    return t;
}

void initLookupField(HWND dlg, L& p) {
    using namespace formtext;
    applyLanguage(dlg, kLookupTitle,
                  {{IDC_PROP_FORM_LABEL, kLookupFormNo}, {IDC_PROP_LINE_LABEL, kLookupLineNo},
                   {IDC_PROP_FIELD_GROUP, kLookupFieldData}, {IDC_PROP_SAVE_FIELD, kLookupSaveFieldData},
                   {IDC_PROP_FIXED, kLookupFixedLength}, {IDC_PROP_PREFIX, kLookupPrefix},
                   {IDC_PROP_SUFFIX, kLookupSuffix}});
    attachCodeBoxes(dlg, p);
}

// ---- date and time stamp ----

std::vector<Control<StampDialog>> stampControls() {
    using S = StampDialog;
    std::vector<Control<S>> t;
    const std::pair<int, StampCheck> checks[] = {
        {IDC_STAMP_SPLIT, StampCheck::Split},          {IDC_STAMP_YEAR, StampCheck::Year},
        {IDC_STAMP_MONTH, StampCheck::Month},          {IDC_STAMP_DAY, StampCheck::Day},
        {IDC_STAMP_DATE_SEP, StampCheck::DateSeparator}, {IDC_STAMP_HOUR, StampCheck::Hour},
        {IDC_STAMP_MINUTE, StampCheck::Minute},        {IDC_STAMP_SECOND, StampCheck::Second},
        {IDC_STAMP_TIME_SEP, StampCheck::TimeSeparator},
    };
    for (const auto& [id, box] : checks)
        t.push_back({id, ControlKind::Check, static_cast<int>(box),
                     [](const S& s, int b) {
                         ControlState st;
                         st.checked = s.checked(static_cast<StampCheck>(b));
                         return st;
                     },
                     [](S& s, int b, const ControlInput& in) {
                         s.check(static_cast<StampCheck>(b), in.checked);
                         return ControlReply::states();
                     }});
    const std::pair<int, StampList> lists[] = {
        {IDC_STAMP_POSITION, StampList::Position},
        {IDC_STAMP_YEAR_DIGITS, StampList::YearDigits},
        {IDC_STAMP_STYLE, StampList::DateStyle},
    };
    for (const auto& [id, list] : lists)
        t.push_back({id, ControlKind::List, static_cast<int>(list),
                     [](const S& s, int l) {
                         ControlState st;
                         st.selection = s.selection(static_cast<StampList>(l));
                         return st;
                     },
                     [](S& s, int l, const ControlInput& in) {
                         if (in.selection >= 0) s.choose(static_cast<StampList>(l), in.selection);
                         return ControlReply::states();
                     },
                     [](const S&, int l) {
                         switch (static_cast<StampList>(l)) {
                             case StampList::Position: return stampPositionList();
                             case StampList::YearDigits: return yearDigitsList();
                             case StampList::DateStyle: break;
                         }
                         return dateStyleList();
                     }});
    t.push_back({IDC_STAMP_DATE_SEP_BOX, ControlKind::Box, 0,
                 [](const S& s, int) {
                     ControlState st;
                     st.text = s.dateSeparator();
                     st.limit = 1;
                     return st;
                 },
                 [](S& s, int, const ControlInput& in) { return replyTo(s.typeDateSeparator(in.text)); }});
    t.push_back({IDC_STAMP_TIME_SEP_BOX, ControlKind::Box, 0,
                 [](const S& s, int) {
                     ControlState st;
                     st.text = s.timeSeparator();
                     st.limit = 1;
                     return st;
                 },
                 [](S& s, int, const ControlInput& in) { return replyTo(s.typeTimeSeparator(in.text)); }});
    // The group captions show the format as it now stands.
    t.push_back({IDC_STAMP_DATE_GROUP, ControlKind::Label, 0, [](const S& s, int) {
                     ControlState st;
                     st.text = s.dateSample(captionText(formtext::kStampDateFormat, kDateFormatPrefix));
                     return st;
                 }});
    t.push_back({IDC_STAMP_TIME_GROUP, ControlKind::Label, 0, [](const S& s, int) {
                     ControlState st;
                     st.text = s.timeSample(captionText(formtext::kStampTimeFormat, kTimeFormatPrefix));
                     return st;
                 }});
    return t;
}

void initStamp(HWND dlg, StampDialog&) {
    using namespace formtext;
    applyLanguage(dlg, kStampTitle,
                  {{IDC_STAMP_POSITION_LABEL, kStampPosition}, {IDC_STAMP_SPLIT, kStampSplit},
                   {IDC_STAMP_YEAR, kStampYear}, {IDC_STAMP_MONTH, kStampMonth}, {IDC_STAMP_DAY, kStampDay},
                   {IDC_STAMP_DATE_SEP, kStampDateSeparator}, {IDC_STAMP_STYLE_LABEL, kStampDateStyle},
                   {IDC_STAMP_HOUR, kStampHour}, {IDC_STAMP_MINUTE, kStampMinute},
                   {IDC_STAMP_SECOND, kStampSecond}, {IDC_STAMP_TIME_SEP, kStampTimeSeparator}});
}

// ---- branch ----

std::vector<Control<BranchDialog>> branchControls() {
    std::vector<Control<BranchDialog>> t;
    addRows(t,
            Control<BranchDialog>{IDC_BRANCH_FN, ControlKind::List, 0,
                                  [](const BranchDialog& b, int key) {
                                      ControlState st;
                                      st.selection = b.selection(key);
                                      return st;
                                  },
                                  [](BranchDialog& b, int key, const ControlInput& in) {
                                      if (in.selection >= 0) b.choose(key, in.selection);
                                      return ControlReply::states();
                                  },
                                  [](const BranchDialog&, int) { return branchList(); }},
            kBranchKeys);
    return t;
}

void initBranch(HWND dlg, BranchDialog&) {
    using namespace formtext;
    applyLanguage(dlg, kBranchTitle,
                  {{IDC_BRANCH_KEY_LABEL, kBranchKey}, {IDC_BRANCH_TO_LABEL, kBranchTo},
                   {IDC_BRANCH_FN_LABEL + 0, kBranchFn1 + 0}, {IDC_BRANCH_FN_LABEL + 1, kBranchFn1 + 1},
                   {IDC_BRANCH_FN_LABEL + 2, kBranchFn1 + 2}, {IDC_BRANCH_FN_LABEL + 3, kBranchFn1 + 3}});
}

// OK keeps what the dialog wrote into the working copy; anything else puts
// the form back as it was.
template <class Dialog>
INT_PTR finish(Dialog& dialog, INT_PTR result) {
    if (result != IDOK) dialog.cancel();
    return result;
}

}  // namespace

INT_PTR showLineProperties(HWND owner, FormPage& page, int line) {
    const HINSTANCE instance = instanceOf(owner);
    switch (page.propertiesKind(line)) {
        case PropertiesKind::Field: {
            FieldProperties props(page.form(), line);
            props.setFormNumber(page.currentForm() + 1);
            const INT_PTR r = runBoundDialog(owner, instance, "FIELDPROPDLG", props, fieldControls(), initField);
            if (r == IDOK) props.ok();
            return finish(props, r);
        }
        case PropertiesKind::LookupField: {
            LookupFieldProperties props(page.form(), line);
            props.setFormNumber(page.currentForm() + 1);
            const INT_PTR r =
                runBoundDialog(owner, instance, "LOOKUPPROPDLG", props, lookupControls(), initLookupField);
            if (r == IDOK) props.ok();
            return finish(props, r);
        }
        case PropertiesKind::None:
            break;
    }
    return IDCANCEL;
}

INT_PTR showStampDialog(HWND owner, FormPage& page) {
    StampDialog stamp(page.form());
    return finish(stamp, runBoundDialog(owner, instanceOf(owner), "STAMPDLG", stamp, stampControls(), initStamp));
}

INT_PTR showBranchDialog(HWND owner, FormPage& page) {
    BranchDialog branch(page.form());
    return finish(branch,
                  runBoundDialog(owner, instanceOf(owner), "BRANCHDLG", branch, branchControls(), initBranch));
}

}  // namespace fw::win
