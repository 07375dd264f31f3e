#include "ui/win/binding.h"

#include "resources/text_ids.h"
#include "texts/texts.h"
#include "ui/win/wide_text.h"

namespace fw::win {

void fillList(HWND dlg, int id, const ListEntries& entries) {
    HWND list = GetDlgItem(dlg, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& e : entries)
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideFromText(e).c_str()));
}

void selectEntry(HWND dlg, int id, int index) {
    SendDlgItemMessageW(dlg, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int selectedEntry(HWND dlg, int id) { return static_cast<int>(SendDlgItemMessageW(dlg, id, CB_GETCURSEL, 0, 0)); }

std::string itemText(HWND dlg, int id) {
    return acceptTyped(toUtf16(windowText(GetDlgItem(dlg, id)))).bytes;
}

void setItemText(HWND dlg, int id, const std::string& text) {
    const std::wstring wide = wideFromText(text);
    if (windowText(GetDlgItem(dlg, id)) != wide) SetDlgItemTextW(dlg, id, wide.c_str());
}

void putBack(HWND dlg, int id, const std::string& text) {
    SetDlgItemTextW(dlg, id, wideFromText(text).c_str());
    const auto end = static_cast<LPARAM>(text.size());
    SendDlgItemMessageW(dlg, id, EM_SETSEL, static_cast<WPARAM>(end), end);
}

void limitText(HWND dlg, int id, int chars) {
    SendDlgItemMessageW(dlg, id, EM_LIMITTEXT, static_cast<WPARAM>(chars), 0);
}

void enableItem(HWND dlg, int id, bool enabled) {
    HWND item = GetDlgItem(dlg, id);
    // A control that loses its use also loses the focus, or the keyboard
    // would be stuck in it.
    if (!enabled && GetFocus() == item) SendMessageW(dlg, WM_NEXTDLGCTL, 0, FALSE);
    if (IsWindowEnabled(item) != (enabled ? TRUE : FALSE)) EnableWindow(item, enabled);
}

void showItem(HWND dlg, int id, bool visible) {
    HWND item = GetDlgItem(dlg, id);
    if ((IsWindowVisible(item) != FALSE) != visible) ShowWindow(item, visible ? SW_SHOWNA : SW_HIDE);
}

bool isChecked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

void setChecked(HWND dlg, int id, bool checked) { CheckDlgButton(dlg, id, checked ? BST_CHECKED : BST_UNCHECKED); }

ControlInput readInput(HWND dlg, int id, ControlKind kind) {
    ControlInput in;
    switch (kind) {
        case ControlKind::Check: in.checked = isChecked(dlg, id); break;
        case ControlKind::List: in.selection = selectedEntry(dlg, id); break;
        case ControlKind::Box: {
            TypedText typed = acceptTyped(toUtf16(windowText(GetDlgItem(dlg, id))));
            in.text = std::move(typed.bytes);
            in.refusal = std::move(typed.refusal);
            break;
        }
        case ControlKind::Grid:
        case ControlKind::Label: in.text = itemText(dlg, id); break;
        case ControlKind::Button: break;
    }
    return in;
}

void applyControlState(HWND dlg, int id, ControlKind kind, const ControlState& s, bool withText,
                       const ListEntries* entries) {
    switch (kind) {
        case ControlKind::Check: setChecked(dlg, id, s.checked); break;
        case ControlKind::List:
            if (entries) fillList(dlg, id, *entries);
            selectEntry(dlg, id, s.selection);
            break;
        case ControlKind::Box:
            if (withText) {
                if (s.limit > 0) limitText(dlg, id, s.limit);
                setItemText(dlg, id, s.text);
            }
            break;
        case ControlKind::Grid: setItemText(dlg, id, s.text); break;
        case ControlKind::Label:
            if (!s.text.empty()) setItemText(dlg, id, s.text);
            break;
        case ControlKind::Button: break;
    }
    enableItem(dlg, id, s.enabled);
    showItem(dlg, id, s.visible);
}

bool showWarning(HWND owner, unsigned textId, bool okCancel) {
    return textBox(owner, loadText(textId), loadText(kTextWarningCaption),
                   MB_ICONEXCLAMATION | (okCancel ? MB_OKCANCEL : MB_OK)) == IDOK;
}

void showRefusal(HWND owner, const std::string& refusal) {
    utf8Box(owner, refusal, utf8FromCodePage(loadText(kTextWarningCaption)), MB_OK | MB_ICONEXCLAMATION);
}

bool isEventOf(ControlKind kind, WORD notification) {
    switch (kind) {
        case ControlKind::Check:
        case ControlKind::Button: return notification == BN_CLICKED;
        // A grid box reports through its GridBox, which the grid dialog fills.
        case ControlKind::Grid: return false;
        case ControlKind::List: return notification == CBN_SELCHANGE;
        case ControlKind::Box: return notification == EN_CHANGE;
        case ControlKind::Label: return false;
    }
    return false;
}

}  // namespace fw::win
