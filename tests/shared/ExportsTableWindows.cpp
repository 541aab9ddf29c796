// The hostile-argument table against the DLL as the host loads it: every
// export reached by its ordinal. Dialogs that open are closed from a second
// thread, as a user would close them.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "ExportsTable.h"
#include "PluginHost.h"

namespace {

template <typename Export>
typename Export::Function* byOrdinal(const PluginHost& host) {
    auto* function = host.get<Export>();
    EXPECT_NE(function, nullptr) << Export::name << " at ordinal " << Export::ordinal;
    return function;
}

template <typename... Export>
exports_table::Exports exportsOf(const PluginHost& host, plugin_exports::ExportList<Export...>) {
    return exports_table::Exports{byOrdinal<Export>(host)...};
}

// Presses Abort, Cancel or OK (in that order of preference) of every
// dialog and message box of this process until stopped; a window without
// such a button is sent WM_CLOSE. It sends no message itself: the thread
// that owns the windows may be waiting for this one to end. A call that
// outlives every close ends the program with the windows still open, rather
// than leaving it hanging until the test's time limit.
class DialogCloser {
public:
    explicit DialogCloser(const char* call) : call_(call), thread_([this] { run(); }) {}
    ~DialogCloser() {
        stop_ = true;
        thread_.join();
    }

private:
    static constexpr DWORD kPatienceMs = 120000;

    struct Search {
        const char* caption;
        HWND found = nullptr;
    };

    static BOOL CALLBACK findButton(HWND child, LPARAM param) {
        auto* search = reinterpret_cast<Search*>(param);
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") != 0 || windowTextOf(child) != search->caption) return TRUE;
        search->found = child;
        return FALSE;
    }

    static bool ours(HWND window) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return process == GetCurrentProcessId() && IsWindowVisible(window) &&
               (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    }

    static BOOL CALLBACK closeIfOurs(HWND window, LPARAM) {
        if (!ours(window)) return TRUE;
        for (const char* caption : {"&Abort", "Abort", "Cancel", "&Cancel", "OK", "&OK"}) {
            Search search{caption};
            EnumChildWindows(window, findButton, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                PostMessageA(search.found, BM_CLICK, 0, 0);
                return TRUE;
            }
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    }

    static BOOL CALLBACK reportIfOurs(HWND window, LPARAM) {
        if (ours(window)) std::fprintf(stderr, "  still open: \"%s\"\n", windowTextOf(window).c_str());
        return TRUE;
    }

    void run() {
        const DWORD start = GetTickCount();
        while (!stop_) {
            if (GetTickCount() - start > kPatienceMs) {
                std::fprintf(stderr, "%s did not return within %lu s\n", call_, kPatienceMs / 1000);
                EnumWindows(reportIfOurs, 0);
                std::fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
            EnumWindows(closeIfOurs, 0);
            Sleep(100);
        }
    }

    const char* call_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

TEST(ExportsTable_arguments, everyExportSurvivesHostileArguments) {
    PluginHost host;
    ASSERT_NE(host.module(), nullptr) << "cannot load " << PluginHost::libraryPath();
    const ScratchDirectory scratch("polar-table");
    exports_table::Environment env;
    env.file = [&](const std::string& name) { return scratch.file(name); };
    env.write = [&](const std::string& name, const std::string& content) { scratch.write(name, content); };
    env.modal = [](const char* name, const std::function<int32_t()>& call) {
        const DialogCloser closer(name);
        return call();
    };
    exports_table::checkEveryExport(exportsOf(host, plugin_exports::AllExports{}), env);
}
