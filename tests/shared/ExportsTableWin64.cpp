// The hostile-argument table against the DLL as the host loads it: every
// export reached by its ordinal. Dialogs that open are closed from a second
// thread, as a user would close them.
#include <windows.h>

#include <atomic>
#include <thread>

#include "ExportsTable.h"
#include "PluginHost.h"

namespace {

template <typename Function>
Function* byOrdinal(const PluginHost& host, int ordinal) {
    Function* function = host.at<Function>(ordinal);
    EXPECT_NE(function, nullptr) << "ordinal " << ordinal;
    return function;
}

exports_table::Exports exportsOf(const PluginHost& host) {
    using namespace exports_table;
    return Exports{
        byOrdinal<DialogFn>(host, 1),    byOrdinal<DialogFn>(host, 2),    byOrdinal<IntFn>(host, 3),
        byOrdinal<ByteFn>(host, 4),      byOrdinal<ByteFn>(host, 5),      byOrdinal<BitmapFn>(host, 6),
        byOrdinal<BitmapFn>(host, 7),    byOrdinal<ByteFn>(host, 8),      byOrdinal<RecordAtFn>(host, 9),
        byOrdinal<RecordAtFn>(host, 10), byOrdinal<RecordFn>(host, 11),   byOrdinal<AnalyseFn>(host, 12),
        byOrdinal<CountExFn>(host, 13),  byOrdinal<CountFn>(host, 14),    byOrdinal<Count16Fn>(host, 15),
        byOrdinal<SetTextFn>(host, 16),  byOrdinal<SetTextFn>(host, 17),  byOrdinal<IntFn>(host, 18),
        byOrdinal<TextFn>(host, 19),     byOrdinal<TextFn>(host, 20),     byOrdinal<ValidFn>(host, 21),
        byOrdinal<ByteTextFn>(host, 22), byOrdinal<ByteTextFn>(host, 23), byOrdinal<ByteTextFn>(host, 24),
        byOrdinal<IntTextFn>(host, 25),  byOrdinal<TextFn>(host, 26),     byOrdinal<ByteFn>(host, 27),
        byOrdinal<ByteFn>(host, 28),     byOrdinal<TextFn>(host, 29),     byOrdinal<IntFn>(host, 30),
        byOrdinal<InitializeFn>(host, 31),
    };
}

// Presses Abort, Cancel or OK (in that order of preference) of every
// dialog and message box of this process until stopped; a window without
// such a button is sent WM_CLOSE.
class DialogCloser {
public:
    DialogCloser() : thread_([this] { run(); }) {}
    ~DialogCloser() {
        stop_ = true;
        thread_.join();
    }

private:
    struct Search {
        const char* caption;
        HWND found = nullptr;
    };

    static BOOL CALLBACK findButton(HWND child, LPARAM param) {
        auto* search = reinterpret_cast<Search*>(param);
        char className[32] = {}, text[64] = {};
        GetClassNameA(child, className, sizeof className);
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(className, "Button") != 0 || std::string(text) != search->caption) return TRUE;
        search->found = child;
        return FALSE;
    }

    static BOOL CALLBACK closeIfOurs(HWND window, LPARAM) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
        if ((GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return TRUE;
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

    void run() {
        while (!stop_) {
            EnumWindows(closeIfOurs, 0);
            Sleep(100);
        }
    }

    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace

TEST(ExportsTable, everyExportSurvivesHostileArguments) {
    PluginHost host;
    ASSERT_NE(host.module(), nullptr) << "cannot load " << PluginHost::libraryPath();
    const ScratchDirectory scratch("polar-table");
    exports_table::Environment env;
    env.file = [&](const std::string& name) { return scratch.file(name); };
    env.write = [&](const std::string& name, const std::string& content) { scratch.write(name, content); };
    env.modal = [](const std::function<int32_t()>& call) {
        const DialogCloser closer;
        return call();
    };
    exports_table::checkEveryExport(exportsOf(host), env);
}
