// The configuration dialog as the host sees it: CallConfiguration of the
// loaded DLL, the dialog driven by window messages from a second thread.
#include <gtest/gtest.h>
#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "config/ConfigControls.h"
#include "tests/shared/FileContent.h"

namespace {

namespace id = config_ids;

// The dialog as the driving thread sees it.
struct Dialog {
    HWND window;

    HWND at(int control) const {
        HWND found = controlOf(window, control);
        EXPECT_NE(found, nullptr) << "no control " << control;
        return found;
    }
    std::string text(int control) const { return textOf(at(control)); }
    int selected(int combo) const { return static_cast<int>(SendMessageA(at(combo), CB_GETCURSEL, 0, 0)); }
    std::vector<std::string> items(int combo) const {
        std::vector<std::string> all;
        const int count = static_cast<int>(SendMessageA(at(combo), CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char item[256] = "";
            SendMessageA(at(combo), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            all.push_back(item);
        }
        return all;
    }
    bool checked(int box) const { return SendMessageA(at(box), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool enabled(int control) const { return IsWindowEnabled(at(control)) != FALSE; }

    // As the user does it: the selection changes and the list tells its parent.
    void choose(int combo, int index) const {
        HWND list = at(combo);
        SendMessageA(list, CB_SETCURSEL, index, 0);
        SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    void chooseItem(int combo, const std::string& item) const {
        const auto all = items(combo);
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i] == item) return choose(combo, static_cast<int>(i));
        ADD_FAILURE() << "no item " << item;
    }
    void toggle(int box) const { SendMessageA(at(box), BM_CLICK, 0, 0); }
    void type(int edit, const std::string& text) const {
        SendMessageA(at(edit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    // Posted: the click may open a message box, which must not block this thread.
    void click(int button) const { PostMessageA(at(button), BM_CLICK, 0, 0); }
    void key(int control, WPARAM virtualKey) const { PostMessageA(at(control), WM_KEYDOWN, virtualKey, 0); }

    // The background brush colour the dialog hands to `control`.
    COLORREF backgroundOf(int control) const {
        HWND child = at(control);
        HDC dc = CreateCompatibleDC(nullptr);
        auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
            GetParent(child), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child)));
        DeleteDC(dc);
        LOGBRUSH info{};
        EXPECT_EQ(GetObjectA(brush, sizeof info, &info), static_cast<int>(sizeof info)) << "no brush for " << control;
        return info.lbColor;
    }
};

std::vector<std::string> keysIn(const std::string& path) {
    std::vector<std::string> keys;
    std::istringstream lines(readFile(path));
    for (std::string line; std::getline(lines, line);)
        if (line.find('=') != std::string::npos) keys.push_back(line.substr(0, line.find('=')));
    return keys;
}

int iniInteger(const std::string& path, const char* key) {
    return static_cast<int>(GetPrivateProfileIntA("SETTINGS", key, -999, path.c_str()));
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Serial ports added to the Wine prefix's registry for one test and removed after it.
class TestPorts {
public:
    explicit TestPorts(const std::vector<std::string>& ports) {
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
        for (size_t i = 0; i < ports.size(); ++i) {
            names_.push_back("\\Device\\PolarTest" + std::to_string(i));
            RegSetValueExA(key_, names_.back().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(ports[i].c_str()),
                           static_cast<DWORD>(ports[i].size() + 1));
        }
    }
    ~TestPorts() {
        for (const std::string& name : names_) RegDeleteValueA(key_, name.c_str());
        RegCloseKey(key_);
    }
    TestPorts(const TestPorts&) = delete;
    TestPorts& operator=(const TestPorts&) = delete;

private:
    HKEY key_ = nullptr;
    std::vector<std::string> names_;
};

class ConfigDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(plugin.module(), nullptr) << "cannot load " << PluginHost::libraryPath(); }

    int32_t run(std::function<void(const Dialog&)> script) {
        return runConfiguration(plugin, call, [&](HWND window) { script(Dialog{window}); });
    }

    PluginHost plugin;
    ScratchDirectory scratch{"polar-config"};
    ConfigCall call{nullptr, {100, 80, 900, 680}, 8, scratch.file("plugin.ini")};
};

using ConfigDialog_layout = ConfigDialog;
using ConfigDialog_values = ConfigDialog;
using ConfigDialog_port = ConfigDialog;
using ConfigDialog_saving = ConfigDialog;
using ConfigDialog_link = ConfigDialog;

TEST_F(ConfigDialog_layout, showsEveryComponentWithItsTextsAndLayout) {
    HWND owner = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 80, 800, 600, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    call.owner = owner;
    const int32_t result = run([&](const Dialog& d) {
        EXPECT_EQ(textOf(d.window), "Polar Plugin Configuration");
        EXPECT_NE(GetWindowLongPtrA(d.window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
        EXPECT_EQ(GetWindow(d.window, GW_OWNER), owner);
        EXPECT_FALSE(IsWindowEnabled(owner)) << "the host stays usable during the dialog";

        RECT client, outer, panel;
        GetClientRect(d.window, &client);
        EXPECT_EQ(client.right, 468);
        EXPECT_EQ(client.bottom, 355);
        GetWindowRect(d.window, &outer);
        EXPECT_EQ(outer.left, 100 + (800 - (outer.right - outer.left)) / 2);
        EXPECT_EQ(outer.top, 80 + (600 - (outer.bottom - outer.top)) / 2);
        GetWindowRect(d.at(id::Panel1), &panel);
        MapWindowPoints(nullptr, d.window, reinterpret_cast<POINT*>(&panel), 2);
        EXPECT_EQ(panel.top, 0);
        EXPECT_EQ(panel.bottom, 57);
        EXPECT_EQ(panel.right - panel.left, 468);
        GetWindowRect(d.at(id::pnlBottom), &panel);
        MapWindowPoints(nullptr, d.window, reinterpret_cast<POINT*>(&panel), 2);
        EXPECT_EQ(panel.top, 355 - 41);
        EXPECT_EQ(panel.bottom, 355);

        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(d.window, nullptr), &thread);
        EXPECT_EQ(thread.hwndFocus, d.at(id::btnOK)) << "OK has the focus";

        auto* icon = reinterpret_cast<HBITMAP>(SendMessageA(d.at(id::imgDevice), STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP bitmap{};
        ASSERT_TRUE(icon && GetObjectA(icon, sizeof bitmap, &bitmap));
        EXPECT_EQ(bitmap.bmWidth, 32);
        EXPECT_EQ(bitmap.bmHeight, 32);
        EXPECT_EQ(d.text(id::Memo1), "You must adjust these settings for a proper device communication.");

        char page[64] = "";
        TCITEMA tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = page;
        tab.cchTextMax = sizeof page;
        EXPECT_EQ(SendMessageA(d.at(id::pgeMain), TCM_GETITEMCOUNT, 0, 0), 1);
        SendMessageA(d.at(id::pgeMain), TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tab));
        EXPECT_STREQ(page, "Main settings");

        const std::vector<std::pair<int, const char*>> texts{
            {id::grpConfig, "Device && Interface Settings"},
            {id::lblDevType, "Device type"},
            {id::lblProt, "Protocol/Interface type"},
            {id::lblCOMPort, "COMPort"},
            {id::grpOptions, "Options"},
            {id::chkHRFilter, "HR value error filtering"},
            {id::chkTemp, "Modulate Temperature"},
            {id::lblAHFactor, "Altitude hysteresis factor"},
            {id::chkGPS, "Import optional gps data"},
            {id::Label1, "->"},
            {id::chkIgnoreTime, "Ignore GPS timestamp"},
            {id::chkHR, "Use device HRMax"},
            {id::chkDebug, "Show Debug-Infos"},
            {id::lblBabel, "For information regarding Polar devices look at:"},
            {id::lblURL, kMakerAddress},
            {id::btnAbort, "&Abort"},
            {id::btnOK, "&OK"},
        };
        for (const auto& [control, text] : texts) EXPECT_EQ(d.text(control), text) << control;
        EXPECT_EQ(d.items(id::cboDeviceType),
                  (std::vector<std::string>{"S6xx - S8xx Series", "RS400 - RS800 Series", "CS400 - CS600 Series"}));
        EXPECT_EQ(d.items(id::cboProt), (std::vector<std::string>{"IrDA", "USB", "COM"}));

        // Bold where the layout says so, Tahoma 8 pt everywhere.
        HDC screen = GetDC(nullptr);
        const LONG height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        for (int control : {id::lblDevType, id::lblProt, id::lblCOMPort, id::chkHRFilter, id::chkTemp, id::lblAHFactor,
                            id::chkGPS, id::chkHR, id::chkIgnoreTime, id::chkDebug, id::btnOK}) {
            LOGFONTA font{};
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(d.at(control), WM_GETFONT, 0, 0)), sizeof font, &font);
            EXPECT_STREQ(font.lfFaceName, "Tahoma") << control;
            EXPECT_EQ(font.lfHeight, height) << control;
            const bool bold = control != id::chkIgnoreTime && control != id::chkDebug && control != id::btnOK;
            EXPECT_EQ(font.lfWeight >= FW_BOLD, bold) << control;
        }

        int low = -1, high = -1;
        SendMessageA(d.at(id::edAHFactorButtons), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                     reinterpret_cast<LPARAM>(&high));
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, 10);
        d.click(id::btnAbort);
    });
    EXPECT_EQ(result, 3);
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the host is enabled again";
    DestroyWindow(owner);
}

TEST_F(ConfigDialog_values, missingFileShowsTheDefaults) {
    const int32_t result = run([](const Dialog& d) {
        EXPECT_EQ(d.selected(id::cboDeviceType), 0);
        EXPECT_EQ(d.selected(id::cboProt), 0);
        EXPECT_TRUE(d.checked(id::chkHRFilter));
        EXPECT_TRUE(d.checked(id::chkTemp));
        EXPECT_TRUE(d.checked(id::chkGPS));
        EXPECT_FALSE(d.checked(id::chkHR));
        EXPECT_FALSE(d.checked(id::chkDebug));
        EXPECT_FALSE(d.checked(id::chkIgnoreTime));
        EXPECT_EQ(d.text(id::edAHFactor), "2");
        EXPECT_FALSE(d.enabled(id::lblCOMPort)) << "IrDA";
        EXPECT_FALSE(d.enabled(id::ComComboBox)) << "IrDA";
        d.click(id::btnAbort);
    });
    EXPECT_EQ(result, 3);
    EXPECT_FALSE(fileExists(call.iniPath)) << "reading or aborting created the file";
}

TEST_F(ConfigDialog_values, everyKeyReachesItsControl) {
    TestPorts ports({"COM45"});
    scratch.write("plugin.ini",
                  "[SETTINGS]\r\nDeviceType=2\r\nProtocol=2\r\nCOMPort=45\r\nHRFilter=0\r\nModulateTemp=0\r\n"
                  "AHFactor=7\r\nGPS=0\r\nHRMaxDev=1\r\nDebug=1\r\nGPSITime=1\r\n");
    const int32_t result = run([](const Dialog& d) {
        EXPECT_EQ(d.selected(id::cboDeviceType), 2);
        EXPECT_EQ(d.selected(id::cboProt), 2);
        EXPECT_FALSE(d.checked(id::chkHRFilter));
        EXPECT_FALSE(d.checked(id::chkTemp));
        EXPECT_FALSE(d.checked(id::chkGPS));
        EXPECT_TRUE(d.checked(id::chkHR));
        EXPECT_TRUE(d.checked(id::chkDebug));
        EXPECT_TRUE(d.checked(id::chkIgnoreTime));
        EXPECT_EQ(d.text(id::edAHFactor), "7");
        EXPECT_TRUE(d.enabled(id::lblCOMPort));
        EXPECT_TRUE(d.enabled(id::ComComboBox));
        ASSERT_GE(d.selected(id::ComComboBox), 0);
        EXPECT_EQ(d.items(id::ComComboBox)[d.selected(id::ComComboBox)], "COM45");
        d.click(id::btnAbort);
    });
    EXPECT_EQ(result, 3);
}

TEST_F(ConfigDialog_saving, okWritesEveryKeyInOrderAndTheAnalysisReadsThem) {
    TestPorts ports({"COM45"});
    const int32_t result = run([](const Dialog& d) {
        d.choose(id::cboDeviceType, 1);
        d.choose(id::cboProt, 2);
        EXPECT_TRUE(d.enabled(id::ComComboBox)) << "COM enables the port list";
        d.chooseItem(id::ComComboBox, "COM45");
        d.toggle(id::chkHRFilter);
        d.toggle(id::chkTemp);
        d.type(id::edAHFactor, "9");
        d.toggle(id::chkHR);
        d.toggle(id::chkDebug);
        d.toggle(id::chkGPS);
        d.toggle(id::chkIgnoreTime);
        d.click(id::btnOK);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(keysIn(call.iniPath),
              (std::vector<std::string>{"DeviceType", "Protocol", "HRFilter", "ModulateTemp", "AHFactor", "HRMaxDev",
                                        "Debug", "GPS", "GPSITime", "COMPort"}));
    const std::vector<std::pair<const char*, int>> expected{
        {"DeviceType", 1}, {"Protocol", 2}, {"HRFilter", 0}, {"ModulateTemp", 0}, {"AHFactor", 9},
        {"HRMaxDev", 1},   {"Debug", 1},    {"GPS", 0},      {"GPSITime", 1},     {"COMPort", 45}};
    for (const auto& [key, value] : expected) EXPECT_EQ(iniInteger(call.iniPath, key), value) << key;

    // Saving alone changes nothing in the plug-in; naming the file does.
    auto* getAHFactor = plugin.get<plugin_exports::GetAHFactor>();
    EXPECT_EQ(getAHFactor(), 2);
    plugin.get<plugin_exports::SetPluginIniFile>()(call.iniPath.c_str());
    EXPECT_EQ(getAHFactor(), 9);
}

TEST_F(ConfigDialog_values, spinValueIsClampedToItsRange) {
    scratch.write("plugin.ini", "[SETTINGS]\r\nAHFactor=15\r\n");
    EXPECT_EQ(run([](const Dialog& d) {
                  EXPECT_EQ(d.text(id::edAHFactor), "10");
                  d.type(id::edAHFactor, "42");
                  d.click(id::btnOK);
              }),
              1);
    EXPECT_EQ(iniInteger(call.iniPath, "AHFactor"), 10);
}

TEST_F(ConfigDialog_port, portStaysUnderIrdaAndUsb) {
    for (int protocol : {0, 1}) {
        scratch.write("plugin.ini", "[SETTINGS]\r\nProtocol=2\r\nCOMPort=7\r\n");
        EXPECT_EQ(run([&](const Dialog& d) {
                      d.choose(id::cboProt, protocol);
                      EXPECT_FALSE(d.enabled(id::lblCOMPort)) << protocol;
                      EXPECT_FALSE(d.enabled(id::ComComboBox)) << protocol;
                      d.click(id::btnOK);
                  }),
                  1);
        EXPECT_EQ(iniInteger(call.iniPath, "Protocol"), protocol);
        EXPECT_EQ(iniInteger(call.iniPath, "COMPort"), 7) << protocol;
    }
}

TEST_F(ConfigDialog_port, portTheMachineLacksShowsNoSelectionAndSavesMinusOne) {
    scratch.write("plugin.ini", "[SETTINGS]\r\nProtocol=2\r\nCOMPort=250\r\n");
    EXPECT_EQ(run([](const Dialog& d) {
                  EXPECT_EQ(d.selected(id::ComComboBox), -1);
                  d.click(id::btnOK);
              }),
              1);
    EXPECT_EQ(iniInteger(call.iniPath, "COMPort"), -1);
}

TEST_F(ConfigDialog_port, portListComesFromTheRegistry) {
    auto listed = [&] {
        std::vector<std::string> items;
        run([&](const Dialog& d) {
            items = d.items(id::ComComboBox);
            d.click(id::btnAbort);
        });
        return items;
    };
    auto has = [](const std::vector<std::string>& items, const char* item) {
        return std::find(items.begin(), items.end(), item) != items.end();
    };
    const std::vector<std::string> before = listed();
    ASSERT_FALSE(has(before, "COM217") || has(before, "COM45"));
    std::vector<std::string> after;
    {
        TestPorts ports({"COM217", "LPT3", "COM45", "COM45"});
        after = listed();
    }
    EXPECT_TRUE(has(after, "COM217"));
    EXPECT_TRUE(has(after, "COM45"));
    EXPECT_EQ(after.size(), before.size() + 2) << "LPT3 and the second COM45 are not listed";
    for (size_t i = 1; i < after.size(); ++i)
        EXPECT_LT(std::stoi(after[i - 1].substr(3)), std::stoi(after[i].substr(3))) << "by number";
    EXPECT_EQ(listed(), before) << "the ports went with their registry values";
}

TEST_F(ConfigDialog_saving, onlyOkWritesAndEachEndGivesItsResult) {
    struct Case {
        const char* how;
        std::function<void(const Dialog&)> end;
        int32_t result;
    };
    const std::vector<Case> cases{
        {"Abort", [](const Dialog& d) { d.click(id::btnAbort); }, 3},
        {"Escape", [](const Dialog& d) { d.key(id::btnOK, VK_ESCAPE); }, 3},
        {"close box", [](const Dialog& d) { PostMessageA(d.window, WM_SYSCOMMAND, SC_CLOSE, 0); }, 2},
        {"Enter on Abort", [](const Dialog& d) { d.key(id::btnAbort, VK_RETURN); }, 3},
        {"Enter on a check box", [](const Dialog& d) { d.key(id::chkDebug, VK_RETURN); }, 1},
    };
    const std::string original = "[SETTINGS]\r\nDeviceType=1\r\n";
    for (const Case& c : cases) {
        scratch.write("plugin.ini", original);
        EXPECT_EQ(run([&](const Dialog& d) {
                      d.choose(id::cboDeviceType, 2);
                      c.end(d);
                  }),
                  c.result)
            << c.how;
        if (c.result == 1)
            EXPECT_EQ(iniInteger(call.iniPath, "DeviceType"), 2) << c.how;
        else
            EXPECT_EQ(readFile(call.iniPath), original) << c.how;
    }
}

TEST_F(ConfigDialog_layout, colourSchemeSetsTheBackground) {
    struct Case {
        uint8_t scheme;
        COLORREF background;
    };
    const COLORREF buttonFace = GetSysColor(COLOR_BTNFACE);
    for (const Case& c :
         std::vector<Case>{{0, RGB(0x88, 0xAE, 0xE4)}, {6, buttonFace}, {8, buttonFace}, {13, buttonFace}}) {
        call.colorScheme = c.scheme;
        run([&](const Dialog& d) {
            for (int control : {id::chkGPS, id::lblDevType, id::grpOptions, id::lblBabel})
                EXPECT_EQ(d.backgroundOf(control), c.background) << int{c.scheme} << " " << control;
            EXPECT_EQ(d.backgroundOf(id::Memo1), RGB(255, 255, 255)) << "the top panel stays white";
            d.click(id::btnAbort);
        });
    }
}

// The https handler of the Wine prefix replaced by one that notes the address
// it is asked to open, and restored afterwards.
class RecordingBrowser {
public:
    explicit RecordingBrowser(const std::string& record) {
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\https\\shell\\open\\command", 0, nullptr, 0,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
        char previous[1024];
        DWORD length = sizeof previous;
        DWORD type = 0;
        if (RegQueryValueExA(key_, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(previous), &length) ==
            ERROR_SUCCESS) {
            previous_.assign(previous, length);
            previousType_ = type;
        }
        const std::string command = "C:\\windows\\system32\\cmd.exe /c echo %1>\"" + record + "\"";
        RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>(command.size() + 1));
    }
    ~RecordingBrowser() {
        if (previousType_)
            RegSetValueExA(key_, nullptr, 0, previousType_, reinterpret_cast<const BYTE*>(previous_.data()),
                           static_cast<DWORD>(previous_.size()));
        else
            RegDeleteValueA(key_, nullptr);
        RegCloseKey(key_);
    }
    RecordingBrowser(const RecordingBrowser&) = delete;
    RecordingBrowser& operator=(const RecordingBrowser&) = delete;

private:
    HKEY key_ = nullptr;
    std::string previous_;
    DWORD previousType_ = 0;
};

TEST_F(ConfigDialog_link, linkOpensTheAddressItShowsWithTheDefaultHandler) {
    const std::string record = scratch.file("opened.txt");
    RecordingBrowser browser(record);
    EXPECT_EQ(run([&](const Dialog& d) {
                  EXPECT_NE(GetWindowLongPtrA(d.at(id::lblURL), GWL_STYLE) & SS_NOTIFY, 0) << "clickable";
                  PostMessageA(d.at(id::lblURL), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
                  PostMessageA(d.at(id::lblURL), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
                  EXPECT_TRUE(waitUntil([&] { return readFile(record).find("polar") != std::string::npos; }))
                      << "the handler was not started";
                  d.click(id::btnAbort);
              }),
              3);
    std::string opened = readFile(record);
    while (!opened.empty() && (opened.back() == '\n' || opened.back() == '\r' || opened.back() == ' '))
        opened.pop_back();
    EXPECT_EQ(opened, kMakerAddress);
}

// Makes the system refuse writes to a settings file while it lives.
class Refusal {
public:
    virtual ~Refusal() = default;
    virtual std::string content() const = 0;  // the file as it stands meanwhile
};

// The read-only attribute.
class ReadOnlyFile : public Refusal {
public:
    explicit ReadOnlyFile(std::string path) : path_(std::move(path)) {
        EXPECT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    ~ReadOnlyFile() override { SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL); }
    std::string content() const override { return readFile(path_); }

private:
    std::string path_;
};

// Another opener holding the file without sharing it.
class LockedFile : public Refusal {
public:
    explicit LockedFile(const std::string& path)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
        EXPECT_NE(handle_, INVALID_HANDLE_VALUE);
    }
    ~LockedFile() override { CloseHandle(handle_); }
    std::string content() const override {
        char buffer[4096];
        DWORD length = 0;
        SetFilePointer(handle_, 0, nullptr, FILE_BEGIN);
        ReadFile(handle_, buffer, sizeof buffer, &length, nullptr);
        return std::string(buffer, length);
    }

private:
    HANDLE handle_;
};

// Wine lets root write read-only files, so that refusal cannot be made there.
bool readOnlyRefusesWrites(const ScratchDirectory& scratch) {
    const std::string probe = scratch.file("probe.ini");
    scratch.write("probe.ini", "");
    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_READONLY);
    const bool refused = !WritePrivateProfileStringA("SETTINGS", "Probe", "1", probe.c_str());
    SetFileAttributesA(probe.c_str(), FILE_ATTRIBUTE_NORMAL);
    return refused;
}

TEST_F(ConfigDialog_saving, refusedWriteIsReportedAndOkWorksAgain) {
    const std::string original = "[SETTINGS]\r\nDeviceType=1\r\n";
    for (const bool readOnly : {true, false}) {
        const char* how = readOnly ? "read-only" : "locked";
        if (readOnly && !readOnlyRefusesWrites(scratch)) {
            std::printf("note: the read-only case is left out, this system writes read-only files (root)\n");
            continue;
        }
        scratch.write("plugin.ini", original);
        std::unique_ptr<Refusal> refusal;
        if (readOnly)
            refusal = std::make_unique<ReadOnlyFile>(call.iniPath);
        else
            refusal = std::make_unique<LockedFile>(call.iniPath);
        const int32_t result = run([&](const Dialog& d) {
            d.choose(id::cboDeviceType, 2);
            d.click(id::btnOK);
            HWND box = waitForWindow("Error", "#32770");
            ASSERT_NE(box, nullptr) << how << ": no error box";
            EXPECT_EQ(GetWindow(box, GW_OWNER), d.window) << how;
            EXPECT_EQ(textOf(GetDlgItem(box, 0xFFFF)), "In " + call.iniPath + " kann nicht geschrieben werden") << how;
            EXPECT_EQ(refusal->content(), original) << how;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(d.window) != FALSE; })) << how;
            EXPECT_TRUE(IsWindowVisible(d.window)) << how << ": the dialog stays open";

            refusal.reset();
            d.click(id::btnOK);
        });
        EXPECT_EQ(result, 1) << how;
        EXPECT_EQ(iniInteger(call.iniPath, "DeviceType"), 2) << how;
    }
}

}  // namespace
