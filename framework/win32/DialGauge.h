#pragma once

#include <windows.h>

#include <string>

// A round dial gauge: a needle over a 270-degree scale with major and minor
// ticks and the value as text under the hub. The control's window text is
// that value text, so other windows can read what it shows.
namespace fw {

struct DialScale {
    double minimum = 0;
    double maximum = 100;
    int divisions = 5;     // major intervals
    int subdivisions = 2;  // minor intervals per major one
    int decimals = 0;      // value text format: "0" is no decimals
};

class DialGauge {
public:
    DialGauge() = default;
    ~DialGauge();
    DialGauge(const DialGauge&) = delete;
    DialGauge& operator=(const DialGauge&) = delete;

    // Creates the control as a child of `parent` at the given client
    // position; false when the window cannot be created.
    bool create(HWND parent, int x, int y, int width, int height, const DialScale& scale = DialScale());
    HWND handle() const { return window_; }

    // Kept within the scale.
    void setValue(double value);
    std::string valueText() const;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc, const RECT& client) const;

    HWND window_ = nullptr;
    HFONT font_ = nullptr;  // set by WM_SETFONT, not owned
    DialScale scale_;
    double value_ = 0;
    bool counted_ = false;  // holds a registration of the window class
};

}  // namespace fw
