// The "Client" window: paints the terminal's body, keys and display, turns
// clicks on the painted keys into key presses for the simulation engine and
// drags the window from anywhere else.
#include "simulator/win/client_window.h"

#include <cstdint>
#include <ctime>
#include <string>

#include "simulator/display_font.h"
#include "simulator/display_picture.h"
#include "simulator/face_geometry.h"

namespace fw::win {

namespace {

constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockPeriodMs = 100;

struct FaceResources {
    ClientContext* context = nullptr;
    HBITMAP bitmaps[kLastFaceBitmap - kFirstFaceBitmap + 1] = {};
    // The face is composed in memory and copied to the screen in one blit.
    // Pictures and canvas are DIB sections, so composing never talks to the
    // display server.
    HDC canvasDc = nullptr;
    HBITMAP canvas = nullptr;
    std::uint32_t* canvasBits = nullptr;   // kFaceWidth x kFaceHeight, top-down, 0x00RRGGBB
    HGDIOBJ canvasOld = nullptr;
    HDC scratchDc = nullptr;
    int pressedKey = 0;     // from button down to button up
    int tick = 0;           // 0-9, one cycle a second
    std::string shownClock; // the clock line as last painted
};

FaceResources& face() {
    static FaceResources f;
    return f;
}

HBITMAP bitmap(int id) { return face().bitmaps[id - kFirstFaceBitmap]; }

void blit(HDC dc, HDC scratch, int id, int x, int y) {
    HBITMAP b = bitmap(id);
    if (!b) return;
    BITMAP info;
    GetObject(b, sizeof info, &info);
    HGDIOBJ old = SelectObject(scratch, b);
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, scratch, 0, 0, SRCCOPY);
    SelectObject(scratch, old);
}

RECT toRect(const FaceRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void invalidate(HWND hwnd, const FaceRect& r) {
    RECT rc = toRect(r);
    InvalidateRect(hwnd, &rc, FALSE);
}

void invalidateKey(HWND hwnd, int key) {
    if (const FaceKey* k = faceKey(key)) invalidate(hwnd, k->drawn());
}

void applyUpdate(HWND hwnd, const EngineUpdate& u) {
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

// Draws what the core composed: bitmaps first, then the texts, whose pixels
// the core computes with the display's own font and which go straight into
// the canvas (no system font is involved).
void paintDisplay(HDC dc, HDC scratch, const ClientContext& c) {
    const SimulationEngine& e = *c.engine;
    face().shownClock = e.mode() == EngineMode::Start ? currentClockLine(c) : std::string();
    const DisplayPicture picture = composeDisplay(e, face().shownClock);
    for (const DisplayBitmap& b : picture.bitmaps) blit(dc, scratch, b.id, b.at.x, b.at.y);
    std::uint32_t* bits = face().canvasBits;
    if (!bits) return;
    GdiFlush();   // the blits must have reached the DIB before it is written directly
    const DisplayInk ink = drawDisplayText(picture);
    for (std::size_t i = 0; i < ink.pixels.size(); ++i) {
        if (ink.pixels[i] == Ink::Dark) bits[i] = 0x000000;
        else if (ink.pixels[i] == Ink::Light) bits[i] = 0xFFFFFF;
    }
}

void paint(HWND hwnd) {
    FaceResources& f = face();
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(hwnd, &ps);
    HDC dc = f.canvasDc;
    if (dc) {
        blit(dc, f.scratchDc, kBitmapBody, 0, 0);
        for (const FaceKey& k : kFaceKeys) {
            int id = k.key == f.pressedKey ? k.pressedBitmapId() : k.releasedBitmapId();
            blit(dc, f.scratchDc, id, k.x, k.y);
        }
        if (f.context && f.context->engine) paintDisplay(dc, f.scratchDc, *f.context);
        BitBlt(screen, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
               ps.rcPaint.bottom - ps.rcPaint.top, dc, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}

HBITMAP createCanvas(HDC reference, std::uint32_t*& pixels) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kFaceWidth;
    info.bmiHeader.biHeight = -kFaceHeight;   // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = canvas ? static_cast<std::uint32_t*>(bits) : nullptr;
    return canvas;
}

void onCreate(HWND hwnd, const CREATESTRUCTW& create) {
    FaceResources& f = face();
    f.context = static_cast<ClientContext*>(create.lpCreateParams);
    for (int id = kFirstFaceBitmap; id <= kLastFaceBitmap; ++id) {
        f.bitmaps[id - kFirstFaceBitmap] = static_cast<HBITMAP>(
            LoadImageW(create.hInstance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    HDC screen = GetDC(hwnd);
    f.canvasDc = CreateCompatibleDC(screen);
    f.scratchDc = CreateCompatibleDC(screen);
    f.canvas = createCanvas(screen, f.canvasBits);
    ReleaseDC(hwnd, screen);
    if (f.canvas) f.canvasOld = SelectObject(f.canvasDc, f.canvas);
    SetTimer(hwnd, kClockTimer, kClockPeriodMs, nullptr);
}

void onDestroy(HWND hwnd) {
    FaceResources& f = face();
    KillTimer(hwnd, kClockTimer);
    for (HBITMAP& b : f.bitmaps) {
        if (b) DeleteObject(b);
        b = nullptr;
    }
    if (f.canvasDc) {
        if (f.canvasOld) SelectObject(f.canvasDc, f.canvasOld);
        DeleteDC(f.canvasDc);
    }
    if (f.canvas) DeleteObject(f.canvas);
    if (f.scratchDc) DeleteDC(f.scratchDc);
    f.canvasDc = f.scratchDc = nullptr;
    f.canvas = nullptr;
    f.canvasBits = nullptr;
    f.canvasOld = nullptr;
    f.context = nullptr;
}

void onTimer(HWND hwnd) {
    FaceResources& f = face();
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

void onLeftButtonDown(HWND hwnd, int x, int y) {
    int key = hitTest(x, y);
    if (key == 0) {
        // Anywhere off the keys moves the whole terminal, as its caption would.
        ReleaseCapture();
        SendMessageW(GetParent(hwnd), WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return;
    }
    SetCapture(hwnd);
    face().pressedKey = key;
    invalidateKey(hwnd, key);
    if (face().context && face().context->engine) applyUpdate(hwnd, face().context->engine->clickKey(key));
}

void onLeftButtonUp(HWND hwnd) {
    int key = face().pressedKey;
    face().pressedKey = 0;
    if (key) invalidateKey(hwnd, key);
    ReleaseCapture();
    if (key == kKeyMenu) {
        UpdateWindow(hwnd);
        const FaceKey* k = faceKey(key);
        POINT p{k->x, k->y};
        ClientToScreen(hwnd, &p);
        showPopupMenu(p.x, p.y);
    }
}

}  // namespace

LRESULT CALLBACK clientWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: onCreate(hwnd, *reinterpret_cast<const CREATESTRUCTW*>(lParam)); return 0;
        case WM_DESTROY: onDestroy(hwnd); return 0;
        case WM_PAINT: paint(hwnd); return 0;
        case WM_ERASEBKGND: return 1;   // the body covers everything
        case WM_TIMER: onTimer(hwnd); return 0;
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
