#include "FormConfig.h"

#include <windows.h>

// After windows.h, which it needs.
#include <shellapi.h>

#include "config/ConfigControls.h"
#include "config/ConfigSettings.h"
#include "framework/IniFile.h"
#include "framework/Ui.h"
#include "framework/win32/Form.h"
#include "framework/win32/SerialPorts.h"

namespace {

using fw::Area;
using fw::FontStyle;

// The configuration dialog: device, interface and port for the import, and
// the analysis options, read from and written to one settings file.
class TFConfig : public fw::Form {
public:
    explicit TFConfig(HWND owner) : Form(owner, {468, 355, kConfigCaption, fw::FormBorder::ToolWindow}) {}

    void SetHostParams(const HostWindowParams& host, uint8_t colorScheme, const std::string& iniPath) {
        FHostRect = host;
        FIniPath = iniPath;
        LoadSettings();
        UpdatePortControls();
        const SchemeColor scheme = schemeColor(colorScheme);
        if (scheme.kind == SchemeColor::Rgb)
            setColor(handle(), RGB(scheme.red, scheme.green, scheme.blue));
        else if (scheme.kind == SchemeColor::ButtonFace)
            setColor(handle(), GetSysColor(COLOR_BTNFACE));
    }

private:
    // FormCreate: the components, DEVICON loaded into imgDevice.
    void onCreate() override {
        const Area top = addPanel(client(), {0, 0, 468, 57}, config_ids::Panel1);
        setColor(top.window, RGB(0xFF, 0xFF, 0xFF));
        imgDevice = addImage(top, {12, 12, 32, 32}, config_ids::imgDevice, "DEVICON");
        Memo1 = addEdit(top, {56, 14, 400, 30}, config_ids::Memo1,
                        "You must adjust these settings for a proper device communication.",
                        {.multiLine = true, .readOnly = true, .border = false, .tabStop = false});

        const Area page =
            addPageControl(client(), {6, 62, 456, 246}, config_ids::pgeMain, config_ids::tabMap, "Main settings");

        const Area device = addGroupBox(page, {8, 6, 210, 206}, config_ids::grpConfig, "Device && Interface Settings");
        lblDevType = addLabel(device, {12, 22, 186, 13}, config_ids::lblDevType, "Device type", FontStyle::Bold);
        cboDeviceType = addComboList(device, {12, 38, 186, 21}, config_ids::cboDeviceType,
                                     {"S6xx - S8xx Series", "RS400 - RS800 Series", "CS400 - CS600 Series"});
        lblProt = addLabel(device, {12, 76, 186, 13}, config_ids::lblProt, "Protocol/Interface type", FontStyle::Bold);
        cboProt = addComboList(device, {12, 92, 186, 21}, config_ids::cboProt, {"IrDA", "USB", "COM"},
                               [this] { cboProtChange(); });
        lblCOMPort = addLabel(device, {12, 130, 186, 13}, config_ids::lblCOMPort, "COMPort", FontStyle::Bold);
        ComComboBox =
            addComboList(device, {12, 146, 186, 21}, config_ids::ComComboBox, portItemsOf(fw::serialPortNames()));

        const Area options = addGroupBox(page, {226, 6, 214, 206}, config_ids::grpOptions, "Options");
        chkHRFilter = addCheckBox(options, {12, 20, 194, 17}, config_ids::chkHRFilter, "HR value error filtering",
                                  FontStyle::Bold);
        setChecked(chkHRFilter, true);
        chkTemp = addCheckBox(options, {12, 41, 194, 17}, config_ids::chkTemp, "Modulate Temperature", FontStyle::Bold);
        lblAHFactor = addLabel(options, {12, 64, 194, 13}, config_ids::lblAHFactor, "Altitude hysteresis factor",
                               FontStyle::Bold);
        edAHFactor = addSpinEdit(options, {12, 80, 60, 21}, config_ids::edAHFactor, config_ids::edAHFactorButtons,
                                 kAHFactorMinimum, kAHFactorMaximum, kAHFactorMinimum);
        chkGPS =
            addCheckBox(options, {12, 108, 194, 17}, config_ids::chkGPS, "Import optional gps data", FontStyle::Bold);
        Label1 = addLabel(options, {16, 131, 14, 13}, config_ids::Label1, "->");
        chkIgnoreTime = addCheckBox(options, {32, 129, 174, 17}, config_ids::chkIgnoreTime, "Ignore GPS timestamp");
        chkHR = addCheckBox(options, {12, 150, 194, 17}, config_ids::chkHR, "Use device HRMax", FontStyle::Bold);
        chkDebug = addCheckBox(options, {12, 171, 194, 17}, config_ids::chkDebug, "Show Debug-Infos");

        const Area bottom = addPanel(client(), {0, 314, 468, 41}, config_ids::pnlBottom);
        lblBabel =
            addLabel(bottom, {8, 6, 290, 13}, config_ids::lblBabel, "For information regarding Polar devices look at:");
        lblURL = addLinkLabel(bottom, {8, 21, 160, 13}, config_ids::lblURL, kMakerAddress, [this] { lblURLClick(); });
        btnAbort =
            addButton(bottom, {302, 8, 75, 25}, config_ids::btnAbort, "&Abort", fw::mrAbort, fw::ButtonRole::Cancel);
        btnOK = addButton(bottom, {385, 8, 75, 25}, config_ids::btnOK, "&OK", fw::mrNone, fw::ButtonRole::Default,
                          [this] { btnOKClick(); });
    }

    void onShow() override { FormShow(); }

    void FormShow() {
        RECT outer;
        GetWindowRect(handle(), &outer);
        RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        const ScreenPoint origin = centredOn(FHostRect, outer.right - outer.left, outer.bottom - outer.top,
                                             {work.left, work.top, work.right, work.bottom});
        SetWindowPos(handle(), nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        focus(btnOK);
    }

    void LoadSettings() {
        const ConfigValues v = ReadSettings(FIniPath);
        selectIndex(cboDeviceType, v.deviceType);
        selectIndex(cboProt, v.protocol);
        setChecked(chkHRFilter, v.hrFilter);
        setChecked(chkTemp, v.modulateTemp);
        setChecked(chkGPS, v.gps);
        setChecked(chkHR, v.hrMaxDev);
        setChecked(chkDebug, v.debug);
        setChecked(chkIgnoreTime, v.gpsIgnoreTime);
        setSpinValue(edAHFactor, v.ahFactor);
        // CB_ERR when the machine has no such port: the selection stays empty.
        const std::string port = portItem(v.comPort);
        selectIndex(ComComboBox, static_cast<int>(SendMessageA(ComComboBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                               reinterpret_cast<LPARAM>(port.c_str()))));
    }

    ConfigValues shownValues() const {
        ConfigValues v;
        v.deviceType = selectedIndex(cboDeviceType);
        v.protocol = selectedIndex(cboProt);
        v.hrFilter = checked(chkHRFilter);
        v.modulateTemp = checked(chkTemp);
        v.ahFactor = spinValue(edAHFactor);
        v.hrMaxDev = checked(chkHR);
        v.debug = checked(chkDebug);
        v.gps = checked(chkGPS);
        v.gpsIgnoreTime = checked(chkIgnoreTime);
        v.comPort = portNumberOf(selectedIndex(ComComboBox) < 0 ? std::string() : textOf(ComComboBox));
        return v;
    }

    void SaveSettings() { saveConfigValues(FIniPath, shownValues(), IsWindowEnabled(ComComboBox) != FALSE); }

    void UpdatePortControls() {
        const BOOL com = selectedIndex(cboProt) == kProtocolCom;
        EnableWindow(lblCOMPort, com);
        EnableWindow(ComComboBox, com);
    }

    void cboProtChange() { UpdatePortControls(); }

    void btnOKClick() {
        try {
            SaveSettings();
        } catch (const fw::IniWriteError& refused) {
            // The dialog stays open; OK may be pressed again.
            fw::showError(writeRefusedMessage(refused.fileName()));
            return;
        }
        setModalResult(fw::mrOk);
    }

    void lblURLClick() { ShellExecuteA(handle(), "open", textOf(lblURL).c_str(), nullptr, nullptr, SW_SHOWNORMAL); }

    HostWindowParams FHostRect;
    std::string FIniPath;

    HWND imgDevice = nullptr, Memo1 = nullptr;
    HWND lblDevType = nullptr, cboDeviceType = nullptr, lblProt = nullptr, cboProt = nullptr;
    HWND lblCOMPort = nullptr, ComComboBox = nullptr;
    HWND chkHRFilter = nullptr, chkTemp = nullptr, lblAHFactor = nullptr, edAHFactor = nullptr;
    HWND chkGPS = nullptr, Label1 = nullptr, chkIgnoreTime = nullptr, chkHR = nullptr, chkDebug = nullptr;
    HWND lblBabel = nullptr, lblURL = nullptr, btnAbort = nullptr, btnOK = nullptr;
};

}  // namespace

int32_t CallConfigurationFor(const HostWindowParams& host, uint8_t colorScheme, const std::string& iniPath) {
    try {
        TFConfig form(static_cast<HWND>(host.window));
        form.create();
        form.SetHostParams(host, colorScheme, iniPath);
        return form.showModal();
    } catch (...) {
        try {
            fw::showError("DLL Error");
        } catch (...) {
        }
        return fw::mrOk;
    }
}
