#include "framework/win32/DialGauge.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "framework/win32/CodeModule.h"
#include "framework/win32/GdiObjects.h"

namespace fw {

namespace {

const char* const kClassName = "PolarDialGauge";
constexpr double kPi = 3.14159265358979323846;
// The scale runs clockwise from lower left (225 degrees) to lower right (-45).
constexpr double kStartAngle = 225.0;
constexpr double kSweep = 270.0;

// The class is unregistered with the last gauge, as the form's classes are:
// a library unloaded and loaded again must not find a class pointing into
// its old code.
int liveGauges = 0;

POINT pointAt(double cx, double cy, double radius, double degrees) {
    const double radians = degrees * kPi / 180.0;
    return POINT{static_cast<LONG>(std::lround(cx + radius * std::cos(radians))),
                 static_cast<LONG>(std::lround(cy - radius * std::sin(radians)))};
}

void line(HDC dc, POINT from, POINT to) {
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
}

}  // namespace

DialGauge::~DialGauge() {
    if (window_ && IsWindow(window_)) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (counted_ && --liveGauges == 0) UnregisterClassA(kClassName, codeModule());
}

bool DialGauge::create(HWND parent, int x, int y, int width, int height, const DialScale& scale) {
    if (window_) return false;
    if (!counted_) {
        if (liveGauges == 0) {
            WNDCLASSA wc{};
            wc.style = CS_HREDRAW | CS_VREDRAW;
            wc.lpfnWndProc = &DialGauge::windowProc;
            wc.hInstance = codeModule();
            wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
            wc.lpszClassName = kClassName;
            if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
        }
        ++liveGauges;
        counted_ = true;
    }
    scale_ = scale;
    value_ = scale_.minimum;
    window_ = CreateWindowExA(0, kClassName, valueText().c_str(), WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                              nullptr, codeModule(), this);
    if (!window_) return false;
    if (parent) font_ = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0));
    return true;
}

void DialGauge::setValue(double value) {
    value_ = std::clamp(value, scale_.minimum, scale_.maximum);
    if (!window_) return;
    SetWindowTextA(window_, valueText().c_str());
    InvalidateRect(window_, nullptr, FALSE);
}

std::string DialGauge::valueText() const {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", std::max(scale_.decimals, 0), value_);
    return text;
}

LRESULT CALLBACK DialGauge::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* gauge = reinterpret_cast<DialGauge*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!gauge) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // painted in one go with the face, without flicker
    case WM_SETFONT:
        gauge->font_ = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(gauge->font_);
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        // Drawn off screen, then copied.
        {
            const MemoryDc memory(dc);
            const Bitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
            const Selected keep(memory.get(), bitmap);
            gauge->paint(memory.get(), client);
            BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        }
        EndPaint(window, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        gauge->window_ = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void DialGauge::paint(HDC dc, const RECT& client) const {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    const int size = std::min(client.right, client.bottom);
    if (size < 8) return;
    const double cx = client.right / 2.0, cy = client.bottom / 2.0;
    const double radius = size / 2.0 - 1;

    {
        Pen rim(1, GetSysColor(COLOR_BTNSHADOW));
        Brush face(RGB(255, 255, 255));
        Selected pen(dc, rim), brush(dc, face);
        Ellipse(dc, static_cast<int>(cx - radius), static_cast<int>(cy - radius), static_cast<int>(cx + radius) + 1,
                static_cast<int>(cy + radius) + 1);
    }

    const double span = scale_.maximum - scale_.minimum;
    const int divisions = std::max(scale_.divisions, 1);
    const int subdivisions = std::max(scale_.subdivisions, 1);
    const int steps = divisions * subdivisions;
    {
        Pen major(2, RGB(0, 0, 0)), minor(1, RGB(96, 96, 96));
        for (int i = 0; i <= steps; ++i) {
            const double angle = kStartAngle - kSweep * i / steps;
            const bool isMajor = i % subdivisions == 0;
            Selected pen(dc, isMajor ? major : minor);
            line(dc, pointAt(cx, cy, radius - 2, angle), pointAt(cx, cy, radius * (isMajor ? 0.72 : 0.82), angle));
        }
    }

    HFONT font = font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    Selected keepFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const std::string text = valueText();
    RECT textRect{client.left, static_cast<LONG>(cy + radius * 0.25), client.right,
                  static_cast<LONG>(cy + radius * 0.75)};
    DrawTextA(dc, text.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

    const double fraction = span > 0 ? (value_ - scale_.minimum) / span : 0;
    const double angle = kStartAngle - kSweep * fraction;
    {
        Pen needle(2, RGB(200, 0, 0));
        Selected pen(dc, needle);
        line(dc, pointAt(cx, cy, 0, angle), pointAt(cx, cy, radius * 0.78, angle));
    }
    {
        Brush hub(RGB(64, 64, 64));
        Pen none(1, RGB(64, 64, 64));
        Selected pen(dc, none), brush(dc, hub);
        const int r = std::max(2, size / 20);
        Ellipse(dc, static_cast<int>(cx) - r, static_cast<int>(cy) - r, static_cast<int>(cx) + r + 1,
                static_cast<int>(cy) + r + 1);
    }
}

}  // namespace fw
