#include "ImportHarness.h"

#include <algorithm>
#include <chrono>

#include "PluginHost.h"
#include "tests/shared/HrmText.h"

namespace {

std::string classOf(HWND window) {
    char name[128] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct Collected {
    std::vector<HWND> windows;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window))
        reinterpret_cast<Collected*>(param)->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM param) {
    reinterpret_cast<Collected*>(param)->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> childrenOf(HWND parent) {
    Collected collected;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&collected));
    return collected.windows;
}

}  // namespace

const ChildWindow* DialogSnapshot::childStartingWith(const std::string& prefix) const {
    for (const ChildWindow& child : children)
        if (child.text.rfind(prefix, 0) == 0) return &child;
    return nullptr;
}

bool DialogSnapshot::hasText(const std::string& text) const {
    return std::any_of(children.begin(), children.end(), [&](const ChildWindow& c) { return c.text == text; });
}

DialogWatcher::DialogWatcher(std::function<void(const DialogSnapshot&, HWND)> onSnapshot)
    : onSnapshot_(std::move(onSnapshot)), thread_([this] { run(); }) {}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    thread_.join();
}

void DialogWatcher::run() {
    while (!stop_) {
        Collected top;
        EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&top));
        for (HWND window : top.windows) look(window);
        Sleep(20);
    }
}

void DialogWatcher::look(HWND window) {
    const std::string caption = windowTextOf(window);
    if (caption.rfind("Polar Device Import", 0) == 0) {
        DialogSnapshot snapshot;
        snapshot.caption = caption;
        GetWindowRect(window, &snapshot.rect);
        for (HWND child : childrenOf(window)) {
            ChildWindow c;
            c.className = classOf(child);
            c.text = windowTextOf(child);
            c.visible = IsWindowVisible(child) != 0;
            snapshot.children.push_back(c);
        }
        // Hidden while it was read: the dialog has ended, its children all read as hidden.
        if (!IsWindowVisible(window)) return;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (const ChildWindow& c : snapshot.children)
                if (!c.text.empty() && std::find(texts_.begin(), texts_.end(), c.text) == texts_.end())
                    texts_.push_back(c.text);
            snapshots_.push_back(snapshot);
        }
        if (onSnapshot_) onSnapshot_(snapshot, window);
        return;
    }
    if (classOf(window) != "#32770") return;
    // A message box: its text is the static control 0xFFFF; OK ends it.
    std::string text;
    if (HWND label = GetDlgItem(window, 0xFFFF)) text = windowTextOf(label);
    if (text.empty())
        for (HWND child : childrenOf(window))
            if (classOf(child) == "Static") text += windowTextOf(child);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(text);
    }
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    // Not seen twice while it closes.
    for (int i = 0; i < 100 && IsWindow(window) && IsWindowVisible(window); ++i) Sleep(10);
}

std::vector<std::string> DialogWatcher::messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

bool DialogWatcher::sawText(const std::string& text) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(texts_.begin(), texts_.end(), text) != texts_.end();
}

DialogSnapshot DialogWatcher::lastSnapshotWhere(const std::function<bool(const DialogSnapshot&)>& select) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = snapshots_.rbegin(); it != snapshots_.rend(); ++it)
        if (select(*it)) return *it;
    return {};
}

bool DialogWatcher::clickButton(HWND dialog, const std::string& caption) {
    for (HWND child : childrenOf(dialog)) {
        if (classOf(child) == "Button" && windowTextOf(child) == caption) {
            PostMessageA(child, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

std::string hrmFile(const std::vector<int>& heartRates) {
    Hrm hrm;
    hrm.date = "20090501";
    hrm.length = "00:00:" + std::to_string(heartRates.size() * 5) + ".0";
    for (int hr : heartRates) hrm.rows.push_back(std::to_string(hr));
    return hrm.text();
}

double processCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}
