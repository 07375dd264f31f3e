// The "Collected data..." window. The lines, the summary and what the
// buttons offer come from the core's CollectedDataView; this side copies
// them into the controls and hands Save As and Clear to the session.
#include "simulator/win/collected_data_window.h"

#include <memory>

#include "ui/win/binding.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"
#include "resources/resource_ids.h"
#include "simulator/collected_data_view.h"

namespace fw::win {

namespace {

// The records change while the user collects on the face; a quiet poll of
// the revision keeps the face's window free of any knowledge of this one.
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 200;
// Space between the terminal and this window.
constexpr int kGap = 8;

const std::vector<Control<CollectedDataView>> kControls = {
    {IDC_COLLECTED_SUMMARY, ControlKind::Label, 0,
     [](const CollectedDataView& v, int) { return v.summaryState(); }, nullptr, nullptr},
    {IDC_COLLECTED_SAVEAS, ControlKind::Button, 0,
     [](const CollectedDataView& v, int) { return v.saveAsState(); }, nullptr, nullptr},
    {IDC_COLLECTED_CLEAR, ControlKind::Button, 0,
     [](const CollectedDataView& v, int) { return v.clearState(); }, nullptr, nullptr},
};

struct WindowState {
    CollectedDataContext* context;
    CollectedDataView view;
    Binding<CollectedDataView> binding;

    explicit WindowState(CollectedDataContext& c)
        : context(&c), view(c.engine->records()), binding(view, kControls) {}
};

WindowState* stateOf(HWND dlg) { return contextOf<WindowState>(dlg); }

// The list again when the records changed, newest line in view.
void refresh(HWND dlg, WindowState& s, bool force) {
    if (force || s.view.changed()) {
        const ListEntries lines = s.view.takeLines();
        HWND list = GetDlgItem(dlg, IDC_COLLECTED_LIST);
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        int widest = 0;
        HDC dc = GetDC(list);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
        for (const std::string& bytes : lines) {
            const std::wstring line = wideFromText(bytes);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            SIZE size{};
            if (GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size) && size.cx > widest)
                widest = size.cx;
        }
        SelectObject(dc, old);
        ReleaseDC(list, dc);
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
        if (!lines.empty()) SendMessageW(list, LB_SETTOPINDEX, lines.size() - 1, 0);
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    s.binding.show(dlg);
}

void placeBeside(HWND dlg, HWND owner) {
    RECT o{};
    RECT me{};
    if (!owner || !GetWindowRect(owner, &o) || !GetWindowRect(dlg, &me)) return;
    int x = o.right + kGap;
    const int width = me.right - me.left;
    // Left of the terminal when its monitor has no room on its right.
    const ScreenRect work = workAreaOf(owner);
    if (x + width > work.right && o.left - kGap - width >= work.left) x = o.left - kGap - width;
    SetWindowPos(dlg, nullptr, x, o.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK collectedDataProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    WindowState* s = stateOf(dlg);
    switch (msg) {
        case WM_INITDIALOG: {
            auto* context = reinterpret_cast<CollectedDataContext*>(lParam);
            s = new WindowState(*context);
            attachContext(dlg, s);
            context->window = dlg;
            const auto fixed = reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT));
            SendDlgItemMessageW(dlg, IDC_COLLECTED_LIST, WM_SETFONT, fixed, FALSE);
            SendDlgItemMessageW(dlg, IDC_COLLECTED_HEADING, WM_SETFONT, fixed, FALSE);
            SetDlgItemTextW(dlg, IDC_COLLECTED_HEADING, wideFromText(collectedDataHeading()).c_str());
            placeBeside(dlg, GetWindow(dlg, GW_OWNER));
            refresh(dlg, *s, true);
            SetTimer(dlg, kRefreshTimer, kRefreshMs, nullptr);
            return TRUE;
        }
        case WM_TIMER:
            if (s && wParam == kRefreshTimer) refresh(dlg, *s, false);
            return TRUE;
        case WM_COMMAND:
            if (!s) return FALSE;
            switch (LOWORD(wParam)) {
                case IDC_COLLECTED_SAVEAS:
                    if (s->context->saveAs) s->context->saveAs(dlg);
                    refresh(dlg, *s, false);
                    return TRUE;
                case IDC_COLLECTED_CLEAR:
                    if (s->context->clear) s->context->clear();
                    refresh(dlg, *s, false);
                    return TRUE;
                case IDCANCEL:
                    DestroyWindow(dlg);
                    return TRUE;
                default: return FALSE;
            }
        case WM_DESTROY:
            KillTimer(dlg, kRefreshTimer);
            return FALSE;
        case WM_NCDESTROY:
            if (s) {
                s->context->window = nullptr;
                delete s;
            }
            attachContext<WindowState>(dlg, nullptr);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND openCollectedDataWindow(HWND owner, HINSTANCE instance, CollectedDataContext& context) {
    if (context.window && IsWindow(context.window)) {
        ShowWindow(context.window, SW_RESTORE);
        SetForegroundWindow(context.window);
        return context.window;
    }
    if (!context.engine) return nullptr;
    HWND dlg = CreateDialogParamW(instance, L"CollectedDataDlg", owner, collectedDataProc,
                                  reinterpret_cast<LPARAM>(&context));
    if (dlg) ShowWindow(dlg, SW_SHOW);
    return dlg;
}

bool collectedDataDialogMessage(const CollectedDataContext& context, MSG* msg) {
    return context.window && IsDialogMessageW(context.window, msg);
}

}  // namespace fw::win
