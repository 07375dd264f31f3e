#include "editor/win/grid_dialogs.h"

#include "resources/text_ids.h"
#include "texts/code_page.h"
#include "ui/win/accessible_name.h"
#include "ui/win/dialog_support.h"
#include "ui/win/wide_text.h"
#include "editor/win/form_dialog_ids.h"

namespace fw::win {

namespace {

const COLORREF kLightGrey = RGB(192, 192, 192);
const COLORREF kGridLine = RGB(196, 196, 196);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kSelection = RGB(0, 0, 255);
const COLORREF kResultText = RGB(128, 128, 128);

// Sent by the grid area to its dialog: a click at the point in lParam; a
// key that moves the selection (wParam, a GridMove); a typed character
// (wParam, a Windows-1252 byte).
constexpr UINT kGridClicked = WM_APP + 0x40;
constexpr UINT kGridMoved = WM_APP + 0x41;
constexpr UINT kGridTyped = WM_APP + 0x42;

const wchar_t kBoxProperty[] = L"FwGridBox";
const wchar_t kBoxProcProperty[] = L"FwGridBoxProc";

CharacterGrid* gridOf(HWND control) {
    return reinterpret_cast<CharacterGrid*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

void line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

// The dialog's font, a little smaller: the longest names ("Right",
// "Enter", "PgDn") must fit a cell of a sixteenth of the grid's width.
HFONT createCellFont(HWND area) {
    LOGFONTW lf{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageW(GetParent(area), WM_GETFONT, 0, 0));
    if (!dialogFont || !GetObjectW(dialogFont, sizeof lf, &lf))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    const LONG height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    lf.lfHeight = -(height > 9 ? height - 1 - height / 12 : height);
    lf.lfWidth = 0;
    return CreateFontIndirectW(&lf);
}

void paintGrid(HWND area, HDC target) {
    CharacterGrid* grid = gridOf(area);
    RECT client;
    GetClientRect(area, &client);

    // Drawn off screen first: the grid is repainted on every click.
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HFONT font = createCellFont(area);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);

    // The cells take the area's size divided by their number; what is left
    // over at the right and at the bottom belongs to the dialog.
    const int columns = grid ? grid->columns() : 17;
    const int rows = CharacterGrid::kRows;
    const int cw = client.right / columns;
    const int ch = client.bottom / rows;
    const int width = cw * columns;
    const int height = ch * rows;
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

    HBRUSH grey = CreateSolidBrush(kLightGrey);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, grey);
    DeleteObject(grey);
    RECT body{cw, ch, width, height};
    FillRect(dc, &body, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    // Cell borders: a white edge on the header cells, light grey in the body.
    HPEN white = CreatePen(PS_SOLID, 1, kWhite);
    HPEN light = CreatePen(PS_SOLID, 1, kGridLine);
    HPEN black = CreatePen(PS_SOLID, 1, kBlack);
    HGDIOBJ oldPen = SelectObject(dc, white);
    for (int c = 0; c < columns; ++c) line(dc, c * cw + 1, 1, c * cw + 1, ch);
    for (int r = 0; r < rows; ++r) line(dc, 1, r * ch + 1, cw, r * ch + 1);
    line(dc, cw + 1, 1, width, 1);
    line(dc, 1, ch + 1, 1, height);
    SelectObject(dc, light);
    for (int c = 2; c < columns; ++c) line(dc, c * cw, ch, c * cw, height);
    for (int r = 2; r < rows; ++r) line(dc, cw, r * ch, width, r * ch);

    // Black frame, header separators and the borders between header cells.
    SelectObject(dc, black);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, width, height);
    line(dc, 0, ch, width, ch);
    line(dc, cw, 0, cw, height);
    for (int c = 2; c < columns; ++c) line(dc, c * cw, 0, c * cw, ch);
    for (int r = 2; r < rows; ++r) line(dc, 0, r * ch, cw, r * ch);
    SelectObject(dc, oldPen);
    DeleteObject(white);
    DeleteObject(light);
    DeleteObject(black);

    if (grid) {
        for (int c = 0; c < columns; ++c) {
            for (int r = 0; r < rows; ++r) {
                std::string text = grid->cellText(c, r);
                if (text.empty()) continue;
                const int code = grid->codeAt(c, r);
                const bool selected = code != CharacterGrid::kNoCode && code == grid->selectedCode();
                CellRect cr = CharacterGrid::cellRect(c, r, columns, client.right, client.bottom);
                RECT rc{cr.left, cr.top, cr.right, cr.bottom};
                if (selected) {
                    // Inset by one pixel from the borders, the frame included.
                    RECT inner{rc.left + 1, rc.top + 1, rc.right < width ? rc.right : width - 1,
                               rc.bottom < height ? rc.bottom : height - 1};
                    HBRUSH blue = CreateSolidBrush(kSelection);
                    FillRect(dc, &inner, blue);
                    DeleteObject(blue);
                }
                if (selected && GetFocus() == area) {
                    RECT focus{rc.left + 2, rc.top + 2, rc.right - 1, rc.bottom - 1};
                    SetTextColor(dc, kBlack);
                    DrawFocusRect(dc, &focus);
                }
                const bool unavailable = code != CharacterGrid::kNoCode && !grid->available(code);
                SetTextColor(dc, selected ? kWhite : unavailable ? kGridLine : kBlack);
                const std::wstring shown = wideFromText(text);
                DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rc,
                          DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            }
        }
    }

    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// The GridMove of a navigation key, or -1.
int gridMoveForKey(WPARAM vk) {
    switch (vk) {
        case VK_LEFT: return static_cast<int>(GridMove::Left);
        case VK_RIGHT: return static_cast<int>(GridMove::Right);
        case VK_UP: return static_cast<int>(GridMove::Up);
        case VK_DOWN: return static_cast<int>(GridMove::Down);
        case VK_HOME: return static_cast<int>(GridMove::RowStart);
        case VK_END: return static_cast<int>(GridMove::RowEnd);
        case VK_PRIOR: return static_cast<int>(GridMove::ColumnTop);
        case VK_NEXT: return static_cast<int>(GridMove::ColumnBottom);
        default: return -1;
    }
}

LRESULT CALLBACK gridAreaProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            paintGrid(hwnd, dc);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            // The dialog owns the grid's state: it decides what the click does.
            SetFocus(hwnd);
            SendMessageW(GetParent(hwnd), kGridClicked, 0, lParam);
            return 0;
        case WM_GETDLGCODE:
            // The arrows move the selection and characters pick cells; Tab,
            // Enter and Esc stay the dialog's.
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN: {
            const int move = gridMoveForKey(wParam);
            if (move >= 0) SendMessageW(GetParent(hwnd), kGridMoved, static_cast<WPARAM>(move), 0);
            return 0;
        }
        case WM_CHAR: {
            const int byte = codePageByteOf(static_cast<char32_t>(wParam));
            if (byte >= 0) SendMessageW(GetParent(hwnd), kGridTyped, static_cast<WPARAM>(byte), 0);
            return 0;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_GETOBJECT:
            if (const CharacterGrid* grid = gridOf(hwnd)) {
                // Named after its dialog; its value is the selected code's
                // name, as the blue cell shows it.
                const AccessibleText text{windowText(GetParent(hwnd)), wideFromText(grid->selectedName())};
                if (LRESULT answer = answerAccessibleObject(hwnd, wParam, lParam, text)) return answer;
            }
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK gridResultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
        if (CharacterGrid* grid = gridOf(hwnd)) {
            HGDIOBJ oldFont =
                SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(GetParent(hwnd), WM_GETFONT, 0, 0)));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kResultText);
            RECT text{rc.left + 5, rc.top, rc.right - 2, rc.bottom};
            const std::wstring s = wideFromText(grid->resultText());
            DrawTextW(dc, s.c_str(), static_cast<int>(s.size()), &text,
                      DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, oldFont);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void registerGridClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpfnWndProc = gridAreaProc;
    wc.lpszClassName = L"" FW_GRID_AREA_CLASS;
    RegisterClassW(&wc);
    wc.lpfnWndProc = gridResultProc;
    wc.lpszClassName = L"" FW_GRID_RESULT_CLASS;
    RegisterClassW(&wc);
    registered = true;
}

// The grid and the result box shown again after a click, a key or a typed
// character did `result`; a full value is warned about.
void showGridChange(HWND dlg, GridClick result) {
    if (result == GridClick::Ignored) return;
    HWND area = GetDlgItem(dlg, IDC_GRID_AREA);
    InvalidateRect(area, nullptr, FALSE);
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, area, OBJID_CLIENT, CHILDID_SELF);
    if (HWND box = GetDlgItem(dlg, IDC_GRID_RESULT)) InvalidateRect(box, nullptr, FALSE);
    if (result == GridClick::TooMany) {
        UpdateWindow(area);
        textBox(dlg, kTooManyCharacters, kTooManyCharactersCaption, MB_OK | MB_ICONEXCLAMATION);
    }
}

void gridClicked(HWND dlg, CharacterGrid& grid, LPARAM point) {
    RECT client;
    GetClientRect(GetDlgItem(dlg, IDC_GRID_AREA), &client);
    showGridChange(dlg, grid.click(static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point)), client.right,
                                   client.bottom));
}

LRESULT CALLBACK gridBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* box = static_cast<GridBox*>(GetPropW(hwnd, kBoxProperty));
    auto original = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kBoxProcProperty));
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (box) {
                SetFocus(hwnd);
                runCharacterGrid(GetParent(hwnd), hwnd, *box);
                return 0;
            }
            break;
        case WM_KEYDOWN:
            // As a drop-down list opens: F4, or Space on a box that takes
            // no typing.
            if (box && (wParam == VK_F4 || wParam == VK_SPACE)) {
                runCharacterGrid(GetParent(hwnd), hwnd, *box);
                return 0;
            }
            break;
        case WM_SYSKEYDOWN:
            if (box && (wParam == VK_DOWN || wParam == VK_UP)) {   // Alt+Down, Alt+Up
                runCharacterGrid(GetParent(hwnd), hwnd, *box);
                return 0;
            }
            break;
        case WM_CHAR:
            if (box && wParam == ' ') return 0;   // the Space that opened the grid
            break;
        case WM_PAINT:
            if (box && box->editing()) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                RECT rc;
                GetClientRect(hwnd, &rc);
                HBRUSH blue = CreateSolidBrush(kSelection);
                FillRect(dc, &rc, blue);
                DeleteObject(blue);
                EndPaint(hwnd, &ps);
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemovePropW(hwnd, kBoxProperty);
            markInputLook(hwnd, false);
            RemovePropW(hwnd, kBoxProcProperty);
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
            break;
        default:
            break;
    }
    return CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

// The grid dialog and the box it was opened from (none when a caller runs
// the grid without one).
struct GridDialog {
    CharacterGrid* grid;
    HWND box;
};

// Below the box when the screen has room, else above it, so that the box,
// painted blue meanwhile, stays in sight; centred over the owner without one.
void placeBeside(HWND dlg, HWND box) {
    RECT b, d;
    if (!box || !GetWindowRect(box, &b) || !GetWindowRect(dlg, &d)) {
        centreOnOwner(dlg);
        return;
    }
    // On the monitor of the box, which may not be the main one.
    const ScreenRect work = workAreaOf(box);
    const int w = d.right - d.left;
    const int h = d.bottom - d.top;
    int y = b.bottom + 4;
    if (y + h > work.bottom) y = b.top - 4 - h;
    if (y < work.top) {
        centreOnOwner(dlg);
        return;
    }
    int x = b.left;
    if (x + w > work.right) x = work.right - w;
    if (x < work.left) x = work.left;
    SetWindowPos(dlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void attachGridBox(HWND box, GridBox* state) {
    if (!GetPropW(box, kBoxProcProperty)) {
        auto original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gridBoxProc)));
        SetPropW(box, kBoxProcProperty, reinterpret_cast<HANDLE>(original));
    }
    SetPropW(box, kBoxProperty, state);
    markInputLook(box);
    setText(box, state->text());
}

INT_PTR runCharacterGrid(HWND owner, HWND boxWindow, GridBox& box) {
    const HINSTANCE instance = instanceOf(owner);
    registerGridClasses(instance);
    CharacterGrid grid = box.openGrid();
    if (boxWindow) {
        InvalidateRect(boxWindow, nullptr, TRUE);
        UpdateWindow(boxWindow);
    }
    const char* name = grid.mode() == GridMode::MultiCode ? "GridDlg" : "ACGridDlg";
    GridDialog dialog{&grid, boxWindow};
    INT_PTR result =
        DialogBoxParamW(instance, resourceName(name).c_str(), owner, characterGridProc, reinterpret_cast<LPARAM>(&dialog));
    box.closeGrid(grid, result == IDOK);
    if (boxWindow) {
        setText(boxWindow, box.text());
        InvalidateRect(boxWindow, nullptr, TRUE);
    }
    return result == IDOK ? IDOK : IDCANCEL;
}

INT_PTR CALLBACK characterGridProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* grid = reinterpret_cast<CharacterGrid*>(GetWindowLongPtrW(dlg, DWLP_USER));
    switch (msg) {
        case WM_INITDIALOG: {
            const auto* dialog = reinterpret_cast<const GridDialog*>(lParam);
            grid = dialog->grid;
            const auto state = reinterpret_cast<LONG_PTR>(grid);
            SetWindowLongPtrW(dlg, DWLP_USER, state);
            SetWindowLongPtrW(GetDlgItem(dlg, IDC_GRID_AREA), GWLP_USERDATA, state);
            if (HWND result = GetDlgItem(dlg, IDC_GRID_RESULT)) SetWindowLongPtrW(result, GWLP_USERDATA, state);
            if (grid->mode() == GridMode::MultiCode)
                applyLanguage(dlg, formtext::kGridTitle,
                              {{IDC_GRID_RESULT_LABEL, formtext::kGridResult}, {IDC_GRID_CLEAR, formtext::kGridClear}});
            else
                applyLanguage(dlg, formtext::kAsciiGridTitle, {});
            placeBeside(dlg, dialog->box);
            return TRUE;
        }
        case kGridClicked:
            if (grid) gridClicked(dlg, *grid, lParam);
            return TRUE;
        case kGridMoved:
            if (grid && grid->moveSelection(static_cast<GridMove>(wParam))) showGridChange(dlg, GridClick::Selected);
            return TRUE;
        case kGridTyped:
            if (grid) showGridChange(dlg, grid->type(static_cast<uint8_t>(wParam)));
            return TRUE;
        case WM_COMMAND:
            if (!grid) return FALSE;
            switch (LOWORD(wParam)) {
                case IDC_GRID_CLEAR:
                    grid->clear();
                    InvalidateRect(GetDlgItem(dlg, IDC_GRID_RESULT), nullptr, FALSE);
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    EndDialog(dlg, LOWORD(wParam));
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace fw::win
