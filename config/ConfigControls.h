#pragma once

// Control ids of the configuration dialog, also for the tests that drive it.
namespace config_ids {
enum : int {
    Panel1 = 100,
    imgDevice,
    Memo1,
    pgeMain,
    tabMap,
    grpConfig,
    lblDevType,
    cboDeviceType,
    lblProt,
    cboProt,
    lblCOMPort,
    ComComboBox,
    grpOptions,
    chkHRFilter,
    chkTemp,
    lblAHFactor,
    edAHFactor,
    edAHFactorButtons,
    chkGPS,
    Label1,
    chkIgnoreTime,
    chkHR,
    chkDebug,
    pnlBottom,
    lblBabel,
    lblURL,
    btnAbort,
    btnOK,
};
}  // namespace config_ids

// The caption by which the dialog's window is found.
inline constexpr const char* kConfigCaption = "Polar Plugin Configuration";
// The device maker's address that lblURL shows and opens.
inline constexpr const char* kMakerAddress = "https://www.polar.com";
