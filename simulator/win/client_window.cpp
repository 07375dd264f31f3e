// The "Client" window: paints the terminal's body, keys and display, turns
// clicks on the painted keys into key presses for the simulation engine and
// drags the window from anywhere else.
#include "simulator/win/client_window.h"

#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "simulator/display_picture.h"
#include "simulator/face_artwork.h"
#include "simulator/face_geometry.h"
#include "simulator/key_map.h"
#include "ui/win/accessible_name.h"
#include "ui/win/wide_text.h"

namespace fw::win {

namespace {

constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockPeriodMs = 100;
// A key typed on the keyboard shows its press this long.
constexpr UINT_PTR kReleaseTimer = 2;
constexpr UINT kTypedPressMs = 120;

struct FaceResources {
    ClientContext* context = nullptr;
    // The face drawn at the window's DPI, again whenever the DPI changes.
    std::unique_ptr<FaceArtwork> art;
    // The face is composed in memory and copied to the screen in one blit;
    // the canvas is a DIB section, so composing never talks to the display
    // server.
    FacePixels composed;
    HDC canvasDc = nullptr;
    HBITMAP canvas = nullptr;
    std::uint32_t* canvasBits = nullptr;   // window-sized, top-down, 0x00RRGGBB
    HGDIOBJ canvasOld = nullptr;
    int pressedKey = 0;     // from button or key down to up
    int tick = 0;           // 0-9, one cycle a second
    std::string shownClock; // the clock line as last painted
};

FaceResources& face() {
    static FaceResources f;
    return f;
}

const FaceScale& scale() {
    static const FaceScale base;
    return face().art ? face().art->scale : base;
}

RECT toRect(const FaceRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void invalidateWindowRect(HWND hwnd, const FaceRect& r) {
    RECT rc = toRect(r);
    InvalidateRect(hwnd, &rc, FALSE);
}

// A part of the display, in face pixels.
void invalidate(HWND hwnd, const FaceRect& r) { invalidateWindowRect(hwnd, scale().displayToWindow(r)); }

void invalidateKey(HWND hwnd, int key) {
    if (faceKey(key)) invalidateWindowRect(hwnd, scale().keyRect(key));
}

void applyUpdate(HWND hwnd, const EngineUpdate& u) {
    // A screen reader reads the display as the window's value.
    if (u.repaint != Repaint::None) NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
    switch (u.repaint) {
        case Repaint::None: break;
        case Repaint::FormLine: invalidate(hwnd, smallLineRect(u.line)); break;
        case Repaint::AboveClock: invalidate(hwnd, kTextAboveClock); break;
        case Repaint::TextArea: invalidate(hwnd, kTextArea); break;
    }
    if (u.indicator) {
        invalidate(hwnd, FaceRect{kIndicatorPosition.x, kIndicatorPosition.y, kIndicatorPosition.x + 6,
                                  kIndicatorPosition.y + 12});
    }
    if (u.defineProgram) {
        // The key's release will not come to us once the box has the mouse.
        int key = face().pressedKey;
        face().pressedKey = 0;
        invalidateKey(hwnd, key);
        ReleaseCapture();
        MessageBoxW(GetParent(hwnd), L"Please define your program!", L"No executable program", MB_OK | MB_ICONWARNING);
        if (face().context->noProgram) face().context->noProgram();
    }
}

std::string currentClockLine(const ClientContext& c) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return clockLine(local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, face().tick,
                     c.model->settings.separateDataFiles, c.engine->recordCount());
}

void paint(HWND hwnd) {
    FaceResources& f = face();
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(hwnd, &ps);
    if (f.canvasDc && f.canvasBits && f.art) {
        DisplayPicture picture;
        if (f.context && f.context->engine) {
            const SimulationEngine& e = *f.context->engine;
            f.shownClock = e.mode() == EngineMode::Start ? currentClockLine(*f.context) : std::string();
            picture = composeDisplay(e, f.shownClock);
        }
        composeFace(f.composed, *f.art, f.pressedKey, picture);
        GdiFlush();   // the DIB is written directly
        std::memcpy(f.canvasBits, f.composed.pixels.data(), f.composed.pixels.size() * sizeof(std::uint32_t));
        BitBlt(screen, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, f.canvasDc, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}

void releaseCanvas() {
    FaceResources& f = face();
    if (f.canvasDc) {
        if (f.canvasOld) SelectObject(f.canvasDc, f.canvasOld);
        DeleteDC(f.canvasDc);
    }
    if (f.canvas) DeleteObject(f.canvas);
    f.canvasDc = nullptr;
    f.canvas = nullptr;
    f.canvasBits = nullptr;
    f.canvasOld = nullptr;
}

// The face drawn for `dpi` and a canvas of its size; nothing when the face
// is already at that DPI.
void drawAtDpi(HWND hwnd, int dpi) {
    FaceResources& f = face();
    const FaceScale s(dpi);
    if (f.art && f.art->scale.dpi() == s.dpi() && f.canvas) return;
    f.art = std::make_unique<FaceArtwork>(drawFaceArtwork(s));
    releaseCanvas();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = s.windowWidth();
    info.bmiHeader.biHeight = -s.windowHeight();   // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(hwnd);
    f.canvasDc = CreateCompatibleDC(screen);
    void* bits = nullptr;
    f.canvas = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(hwnd, screen);
    if (f.canvas) {
        f.canvasBits = static_cast<std::uint32_t*>(bits);
        f.canvasOld = SelectObject(f.canvasDc, f.canvas);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

void onCreate(HWND hwnd, const CREATESTRUCTW& create) {
    FaceResources& f = face();
    f.context = static_cast<ClientContext*>(create.lpCreateParams);
    drawAtDpi(hwnd, windowDpi(hwnd));
    SetTimer(hwnd, kClockTimer, kClockPeriodMs, nullptr);
}

void onDestroy(HWND hwnd) {
    FaceResources& f = face();
    KillTimer(hwnd, kClockTimer);
    KillTimer(hwnd, kReleaseTimer);
    releaseCanvas();
    f.art.reset();
    f.composed = FacePixels();
    f.context = nullptr;
}

void onTimer(HWND hwnd, UINT_PTR id) {
    FaceResources& f = face();
    if (id == kReleaseTimer) {
        KillTimer(hwnd, kReleaseTimer);
        invalidateKey(hwnd, f.pressedKey);
        f.pressedKey = 0;
        return;
    }
    f.tick = (f.tick + 1) % 10;
    if (!f.context || !f.context->engine) return;
    SimulationEngine& engine = *f.context->engine;
    // The clock line is painted again only when its text changes (the colon
    // twice a second, the minute, the count): a paint draws the whole face.
    if (engine.mode() == EngineMode::Start && currentClockLine(*f.context) != f.shownClock) {
        invalidate(hwnd, FaceRect{kTextArea.left, kClockLinePosition.y, kTextArea.right, kTextArea.bottom});
    }
    applyUpdate(hwnd, engine.tickEngine());
}

void showPopupMenu(int screenX, int screenY) {
    const ClientContext* c = face().context;
    if (c && c->openCommandMenu) c->openCommandMenu(screenX, screenY);
}

// The command menu at the menu key, as the keyboard asks for it.
void showPopupMenuAtMenuKey(HWND hwnd) {
    const FaceRect r = scale().keyRect(kKeyMenu);
    POINT p{r.left, r.top};
    ClientToScreen(hwnd, &p);
    showPopupMenu(p.x, p.y);
}

void pressFaceKey(HWND hwnd, int key) {
    FaceResources& f = face();
    if (f.pressedKey && f.pressedKey != key) invalidateKey(hwnd, f.pressedKey);
    f.pressedKey = key;
    invalidateKey(hwnd, key);
    if (f.context && f.context->engine) applyUpdate(hwnd, f.context->engine->clickKey(key));
}

// A key that types no character: down presses its face key, up lets go
// (the menu key then opens the command menu, as a click on it does).
bool onKeyDown(HWND hwnd, WPARAM vk) {
    if (opensCommandMenu(static_cast<int>(vk), GetKeyState(VK_SHIFT) < 0)) {
        SendMessageW(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), static_cast<LPARAM>(-1));
        return true;
    }
    const int key = faceKeyForVirtualKey(static_cast<int>(vk));
    if (key == 0) return false;
    KillTimer(hwnd, kReleaseTimer);
    pressFaceKey(hwnd, key);
    return true;
}

bool onKeyUp(HWND hwnd, WPARAM vk) {
    if (opensCommandMenu(static_cast<int>(vk), GetKeyState(VK_SHIFT) < 0)) return true;
    const int key = faceKeyForVirtualKey(static_cast<int>(vk));
    if (key == 0) return false;
    FaceResources& f = face();
    if (f.pressedKey == key) {
        f.pressedKey = 0;
        invalidateKey(hwnd, key);
    }
    if (key == kKeyMenu) {
        UpdateWindow(hwnd);
        showPopupMenuAtMenuKey(hwnd);
    }
    return true;
}

void onChar(HWND hwnd, WPARAM code) {
    FaceResources& f = face();
    if (!f.context || !f.context->engine || code >= 0x80) return;
    const TypedResult r = typeCharacter(*f.context->engine, static_cast<char>(code));
    if (r.key == 0) return;
    if (f.pressedKey && f.pressedKey != r.key) invalidateKey(hwnd, f.pressedKey);
    f.pressedKey = r.key;
    invalidateKey(hwnd, r.key);
    SetTimer(hwnd, kReleaseTimer, kTypedPressMs, nullptr);
    applyUpdate(hwnd, r.update);
}

void onLeftButtonDown(HWND hwnd, int x, int y) {
    int key = scale().hitTest(x, y);
    if (key == 0) {
        // Anywhere off the keys moves the whole terminal, as its caption would.
        ReleaseCapture();
        SendMessageW(GetParent(hwnd), WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return;
    }
    SetFocus(hwnd);
    SetCapture(hwnd);
    KillTimer(hwnd, kReleaseTimer);
    pressFaceKey(hwnd, key);
}

void onLeftButtonUp(HWND hwnd) {
    int key = face().pressedKey;
    face().pressedKey = 0;
    if (key) invalidateKey(hwnd, key);
    ReleaseCapture();
    if (key == kKeyMenu) {
        UpdateWindow(hwnd);
        showPopupMenuAtMenuKey(hwnd);
    }
}

}  // namespace

int windowDpi(HWND hwnd) {
    // GetDpiForWindow exists from Windows 10 1607 on; before it, the
    // system's DPI is the only one there is.
    using DpiForWindow = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (dpiForWindow && hwnd) {
        if (UINT dpi = dpiForWindow(hwnd)) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kBaseDpi;
}

void setClientDpi(HWND client, int dpi) {
    const FaceScale s(dpi);
    drawAtDpi(client, dpi);
    SetWindowPos(client, nullptr, 0, 0, s.windowWidth(), s.windowHeight(), SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK clientWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: onCreate(hwnd, *reinterpret_cast<const CREATESTRUCTW*>(lParam)); return 0;
        case WM_DESTROY: onDestroy(hwnd); return 0;
        case WM_PAINT: paint(hwnd); return 0;
        case WM_ERASEBKGND: return 1;   // the body covers everything
        case WM_TIMER: onTimer(hwnd, wParam); return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (onKeyDown(hwnd, wParam)) return 0;
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (onKeyUp(hwnd, wParam)) return 0;
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        case WM_CHAR: onChar(hwnd, wParam); return 0;
        case WM_GETOBJECT: {
            const ClientContext* c = face().context;
            AccessibleText text{L"Terminal", {}};
            if (c && c->engine) text.value = wideFromText(displayText(*c->engine));
            if (LRESULT answer = answerAccessibleObject(hwnd, wParam, lParam, text)) return answer;
            return DefWindowProcW(hwnd, msg, wParam, lParam);
        }
        case WM_CONTEXTMENU:
            // From the keyboard the point is (-1, -1): the menu opens at the
            // menu key.
            if (lParam == -1) {
                showPopupMenuAtMenuKey(hwnd);
            } else {
                showPopupMenu(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            }
            return 0;
        case WM_LBUTTONDOWN:
            onLeftButtonDown(hwnd, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_LBUTTONUP: onLeftButtonUp(hwnd); return 0;
        case WM_RBUTTONDOWN: {
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(hwnd, &p);
            showPopupMenu(p.x, p.y);
            return 0;
        }
        default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

}  // namespace fw::win
