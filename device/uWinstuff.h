#pragma once

// Windows control variants of the import dialog.

// A progress bar whose background erase goes to the system's default
// handling instead of the framework's, so that nothing paints over the
// themed bar. Takes over an existing progress bar window (an HWND) for its
// lifetime.
class TProgressBarVistaFix {
public:
    TProgressBarVistaFix() = default;
    explicit TProgressBarVistaFix(void* progressBar);
    void* handle() const { return window_; }

private:
    void* window_ = nullptr;
};
