#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// What a user sees of the import dialog and its message boxes, watched from
// a second thread while CallImportDialog runs its modal loop on the first.

struct ChildWindow {
    std::string className;
    std::string text;
    bool visible = false;
};

struct DialogSnapshot {
    std::string caption;
    RECT rect{};  // outer, screen coordinates
    std::vector<ChildWindow> children;

    int height() const { return rect.bottom - rect.top; }
    // The first child whose text starts with `prefix`; null when none.
    const ChildWindow* childStartingWith(const std::string& prefix) const;
    bool hasText(const std::string& text) const;
};

class DialogWatcher {
public:
    // `onSnapshot` runs on the watcher thread for every look at the dialog;
    // it may act on the dialog (see clickButton).
    explicit DialogWatcher(std::function<void(const DialogSnapshot&, HWND)> onSnapshot = {});
    ~DialogWatcher();
    DialogWatcher(const DialogWatcher&) = delete;
    DialogWatcher& operator=(const DialogWatcher&) = delete;

    // Texts of the message boxes dismissed, in order.
    std::vector<std::string> messages() const;
    // Whether a child of the dialog showed this text at some moment.
    bool sawText(const std::string& text) const;
    // The last snapshot for which `select` held.
    DialogSnapshot lastSnapshotWhere(const std::function<bool(const DialogSnapshot&)>& select) const;

    // Presses the dialog's button with this caption, as a click would.
    static bool clickButton(HWND dialog, const std::string& caption);

private:
    void run();
    void look(HWND window);

    std::function<void(const DialogSnapshot&, HWND)> onSnapshot_;
    mutable std::mutex mutex_;
    std::vector<std::string> messages_, texts_;
    std::vector<DialogSnapshot> snapshots_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A polar .hrm exercise with one sample per heart-rate value, 5 s apart.
std::string hrmFile(const std::vector<int>& heartRates);

// Process CPU time (user + kernel) in seconds.
double processCpuSeconds();
