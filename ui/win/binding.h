// The one way a page or dialog binds to its core object: a table of
// controls, each naming where its state comes from and where its events
// go. The binding reads what the user did, hands it to the core, puts a
// corrected text back and applies the states the core computes. Nothing
// here decides anything about the data.
//
//     const Control<MenuPage> kControls[] = {
//         {IDC_MENU_FONT, ControlKind::List, 0,
//          [](const MenuPage& p, int) { return p.fontState(); },
//          [](MenuPage& p, int, const ControlInput& in) { return p.chooseFont(in.selection); },
//          [](const MenuPage&, int) { return fontList(); }},
//     };
//
// Rows of identical controls are the same entry with another `index`; a
// table may be built at run time (rows(...)) when a page has many.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/control_state.h"

namespace fw::win {

enum class ControlKind {
    Check,    // check box or radio button: `checked`
    List,     // drop-down list: `selection`, entries from `entries`
    Box,      // edit box: `text`, `limit`
    Grid,     // read-only box that opens the character grid: `text`
    Label,    // static text: `text` when not empty, else only enabled/visible
    Button    // push button: only enabled/visible
};

template <class Core>
struct Control {
    using StateFn = ControlState (*)(const Core&, int index);
    using EventFn = ControlReply (*)(Core&, int index, const ControlInput&);
    using EntriesFn = ListEntries (*)(const Core&, int index);

    int id = 0;
    ControlKind kind = ControlKind::Label;
    int index = 0;             // the row or item the control belongs to
    StateFn state = nullptr;   // nullptr: always enabled, nothing to show
    EventFn event = nullptr;   // nullptr: the control reports nothing
    EntriesFn entries = nullptr;
    // A box whose text is checked when the user is done with it: called
    // when it loses the focus and when its page is left (the sheet's OK).
    EventFn leave = nullptr;
};

// `count` copies of `proto`, the k-th with id `proto.id + k` and index k.
template <class Core>
void addRows(std::vector<Control<Core>>& table, Control<Core> proto, int count) {
    for (int k = 0; k < count; ++k) {
        Control<Core> c = proto;
        c.id = proto.id + k;
        c.index = k;
        table.push_back(c);
    }
}

// ---- the few Win32 calls the binding makes, shared by every table ----
void fillList(HWND dlg, int id, const ListEntries& entries);
void selectEntry(HWND dlg, int id, int index);
int selectedEntry(HWND dlg, int id);
// A control's text as the program's bytes (a character the code page lacks is left out).
std::string itemText(HWND dlg, int id);
// Sets a control's text only when it differs, so that no change is
// reported for nothing.
void setItemText(HWND dlg, int id, const std::string& text);
// Writes a corrected text back into a box, caret at its end.
void putBack(HWND dlg, int id, const std::string& text);
void limitText(HWND dlg, int id, int chars);
void enableItem(HWND dlg, int id, bool enabled);
void showItem(HWND dlg, int id, bool visible);
bool isChecked(HWND dlg, int id);
void setChecked(HWND dlg, int id, bool checked);
// The control's value as the event of its kind reports it.
ControlInput readInput(HWND dlg, int id, ControlKind kind);
// Applies a state; `withText` also puts the text and the limit in; a list
// is refilled first when `entries` is given.
void applyControlState(HWND dlg, int id, ControlKind kind, const ControlState& state, bool withText,
                       const ListEntries* entries);
// A "Warning" box of text `textId` owned by `owner`: OK, or OK and Cancel
// when `okCancel`; true for OK.
bool showWarning(HWND owner, unsigned textId, bool okCancel);

// The message that a typed character was refused (UTF-8), owned by `owner`.
void showRefusal(HWND owner, const std::string& refusal);

// Whether a WM_COMMAND notification is the event of a control of `kind`.
bool isEventOf(ControlKind kind, WORD notification);

// The context every bound page and dialog keeps: its core object, its
// table, and the guard that tells the binding's own changes from typing.
template <class Core>
class Binding {
public:
    Binding(Core& core, std::vector<Control<Core>> controls) : core_(&core), controls_(std::move(controls)) {}

    Core& core() { return *core_; }
    void rebind(Core& core) { core_ = &core; }

    // Every control from the core. A list's entries are refilled whenever
    // the core's entries differ from what the list holds; box texts and
    // limits are put in only when `everything`.
    void show(HWND dlg, bool everything = true) {
        loading_ = true;
        shownEntries_.resize(controls_.size());
        for (std::size_t k = 0; k < controls_.size(); ++k) {
            const Control<Core>& c = controls_[k];
            const ListEntries* refill = nullptr;
            ListEntries entries;
            if (c.entries) {
                entries = c.entries(*core_, c.index);
                if (!filled_ || entries != shownEntries_[k]) {
                    shownEntries_[k] = entries;
                    refill = &shownEntries_[k];
                }
            }
            if (!c.state && !refill) continue;
            const ControlState s = c.state ? c.state(*core_, c.index) : ControlState{};
            applyControlState(dlg, c.id, c.kind, s, everything || !filled_, refill);
        }
        filled_ = true;
        loading_ = false;
    }

    // WM_COMMAND: true when a control of the table handled it.
    bool command(HWND dlg, WPARAM wParam) {
        if (loading_) return false;
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == EN_KILLFOCUS) return leave(dlg, id);
        for (const Control<Core>& c : controls_) {
            if (c.id != id || !c.event || !isEventOf(c.kind, HIWORD(wParam))) continue;
            const ControlInput in = readTyped(dlg, id, c.kind);
            const ControlReply reply = c.event(*core_, c.index, in);
            apply(dlg, id, reply);
            return true;
        }
        return false;
    }

    // The user is done with box `id` (0: with every box, the page is left).
    bool leave(HWND dlg, int id = 0) {
        bool handled = false;
        for (const Control<Core>& c : controls_) {
            if (!c.leave || (id != 0 && c.id != id)) continue;
            apply(dlg, c.id, c.leave(*core_, c.index, readTyped(dlg, c.id, c.kind)));
            handled = true;
        }
        return handled;
    }

    // After a command handled outside the table (a sub-dialog, a Reset
    // button with a question): puts the reply's effect on the window.
    void apply(HWND dlg, int id, const ControlReply& reply) {
        if (reply.warning != 0) showWarning(dlg, reply.warning, false);
        if (reply.putBack) {
            loading_ = true;
            putBack(dlg, id, reply.text);
            loading_ = false;
        }
        show(dlg, reply.refresh == Refresh::Everything);
    }

    bool loading() const { return loading_; }

private:
    // The input of a control; a character the terminal cannot show is taken
    // out of the box again, and the user told which, where it was typed.
    ControlInput readTyped(HWND dlg, int id, ControlKind kind) {
        ControlInput in = readInput(dlg, id, kind);
        if (!in.refusal.empty()) {
            loading_ = true;
            putBack(dlg, id, in.text);
            loading_ = false;
            showRefusal(dlg, in.refusal);
        }
        return in;
    }

    Core* core_;
    std::vector<Control<Core>> controls_;
    std::vector<ListEntries> shownEntries_;   // what each list holds now
    bool filled_ = false;
    bool loading_ = false;
};

// The binding of a dialog lives in its window's user data from
// WM_INITDIALOG to WM_NCDESTROY.
template <class Context>
void attachContext(HWND dlg, Context* context) {
    SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
}
template <class Context>
Context* contextOf(HWND dlg) {
    return reinterpret_cast<Context*>(GetWindowLongPtrW(dlg, DWLP_USER));
}

}  // namespace fw::win
