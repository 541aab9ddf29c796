// The import dialog: the form, its components and the Win32 side of what the
// import steps (ImportSession) ask of it.
#include "FormImport.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <memory>

#include "device/DeviceLibrary.h"
#include "device/ImportSession.h"
#include "device/uWinstuff.h"
#include "framework/Ui.h"
#include "framework/win32/DialGauge.h"
#include "framework/win32/GdiObjects.h"
#include "framework/win32/Form.h"

namespace {

enum ControlId : int {
    idPanel2 = 100, idImgDevice, idLblDev, idLblMem, idLbExercises, idGroupBox1, idChHFFilter, idBtnAbort,
    idGrpHint, idImage1, idLblHintD, idPanel1, idLblState, idProgressBar1,
};
enum TimerId : UINT_PTR { tmStart = 1, tmGetDatas = 2 };

constexpr int kClientWidth = 331, kClientHeight = 210;
constexpr int kStatusHeight = 22;
constexpr int kHintHeight = 300;  // outer height with the low-voltage hint
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A battery running low, 13 x 26, for the hint.
fw::Bitmap drawLowBattery(HDC reference) {
    fw::Bitmap bitmap(CreateCompatibleBitmap(reference, 13, 26));
    const fw::MemoryDc memory(reference);
    const HDC dc = memory.get();
    const fw::Selected drawing(dc, bitmap);
    const RECT all{0, 0, 13, 26};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    const fw::Brush black(RGB(0, 0, 0)), red(RGB(220, 0, 0));
    const RECT terminal{4, 0, 9, 3}, outline{0, 3, 13, 26}, inside{2, 5, 11, 24}, charge{2, 19, 11, 24};
    FillRect(dc, &terminal, black.get());
    FillRect(dc, &outline, black.get());
    FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(dc, &charge, red.get());
    return bitmap;
}

class TFImport : public fw::Form, private ImportView {
public:
    TFImport(TPluginState& plugin, DeviceLibrary& library, HWND owner)
        : Form(owner, {kClientWidth, kClientHeight, "Polar Device Import", fw::FormBorder::Dialog}),
          session_(plugin, library, *this) {}

    void SetHostParams(const HostWindowParams& host, const std::string& targetDir, const std::string& iniFile) {
        FHostRect = {host.left, host.top, host.right, host.bottom};
        session_.SetTargetDir(targetDir);
        session_.LoadSettings(iniFile);
    }

private:
    // FormCreate: the components.
    void onCreate() override {
        const fw::Area form = client();
        const fw::Area panel2 = addPanel(form, {0, 0, kClientWidth, 41}, idPanel2);
        setColor(panel2.window, kWhite);
        imgDevice = addImage(panel2, {4, 4, 32, 32}, idImgDevice, "DEVICON");
        lblDev = addLabel(panel2, {44, 13, 280, 16}, idLblDev, "Searching for Polar device...", fw::FontStyle::Bold);

        lblMem = addLabel(form, {8, 46, 110, 14}, idLblMem, "Memory:");
        GaugeMem.create(handle(), 12, 62, 80, 80);
        SendMessageA(GaugeMem.handle(), WM_SETFONT, SendMessageA(lblMem, WM_GETFONT, 0, 0), FALSE);
        lbExercises = addLabel(form, {8, 146, 110, 14}, idLbExercises, "Exercises:");

        const fw::Area group1 = addGroupBox(form, {120, 46, 203, 44}, idGroupBox1, "Options");
        chHFFilter = addCheckBox(group1, {10, 18, 185, 17}, idChHFFilter, "HR value error filtering");
        setChecked(chHFFilter, true);
        btnAbort = addButton(form, {248, 152, 75, 25}, idBtnAbort, "&Abort", fw::mrAbort, fw::ButtonRole::Cancel,
                             [this] { guarded([this] { session_.btnAbortClick(); }); });

        const fw::Area hint = addGroupBox(form, {8, 186, 315, 58}, idGrpHint, "CAUTION: Ger\xE4tespannung niedrig",
                                          fw::FontStyle::Bold);
        grpHint = fw::findControl(handle(), idGrpHint);
        Image1 = CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | SS_BITMAP, hint.x + 10, hint.y + 20, 13, 26,
                                 hint.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(idImage1)), nullptr,
                                 nullptr);
        if (HDC screen = GetDC(nullptr)) {
            hintBitmap_ = drawLowBattery(screen);
            ReleaseDC(nullptr, screen);
            SendMessageA(Image1, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(hintBitmap_.get()));
        }
        lblHintD = addLabel(hint, {32, 28, 275, 16}, idLblHintD, "");
        for (HWND part : {grpHint, Image1, lblHintD}) ShowWindow(part, SW_HIDE);

        const fw::Area panel1 = addPanel(form, {0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight}, idPanel1);
        Panel1 = panel1.window;
        setColor(Panel1, kWhite);
        lblState = addLabel(panel1, {6, 4, 180, 14}, idLblState, "");
        ProgressBar1 = TProgressBarVistaFix(addProgressBar(panel1, {190, 4, 135, 14}, idProgressBar1, 100));
        ShowWindow(progressBar(), SW_HIDE);
    }

    // FormShow: centred on the host's window.
    void onShow() override {
        RECT outer;
        GetWindowRect(handle(), &outer);
        const int width = outer.right - outer.left, height = outer.bottom - outer.top;
        const int top = FHostRect.top + (FHostRect.bottom - FHostRect.top - height) / 2;
        const int left = FHostRect.left + (FHostRect.right - FHostRect.left - width) / 2;
        SetWindowPos(handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        focus(btnAbort);
    }

    // FormActivate: also after a message box of the dialog closed, which is
    // why the session decides whether the connection may still start.
    void onActivate() override {
        if (session_.activationStartsTimer()) startTimer(tmStart, 500, [this] { guarded([this] { tmStartTimer(); }); });
    }

    void onClose() override {
        guarded([this] { session_.FormClose(); });
    }

    void tmStartTimer() {
        switch (session_.tmStartTimer()) {
        case StartOutcome::Close: setModalResult(fw::mrCancel); break;
        case StartOutcome::ScheduleDownload:
            startTimer(tmGetDatas, 2500, [this] { guarded([this] { tmGetDatasTimer(); }); });
            break;
        case StartOutcome::Ignored: break;
        }
    }

    void tmGetDatasTimer() {
        switch (session_.tmGetDatasTimer()) {
        case DownloadOutcome::Abort: setModalResult(fw::mrAbort); break;
        case DownloadOutcome::EndOk: setModalResult(fw::mrOk); break;
        case DownloadOutcome::StayOpen: break;
        }
    }

    // A failing step is reported and the dialog stays open.
    template <typename Step>
    void guarded(Step step) {
        try {
            step();
        } catch (const std::exception& error) {
            fw::showError(error.what());
        } catch (...) {
            fw::showError("Unknown error");
        }
    }

    HWND progressBar() const { return static_cast<HWND>(ProgressBar1.handle()); }

    // Shows changes at once: the download blocks the message loop.
    void repaint() { RedrawWindow(handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

    void setText(HWND control, const std::string& text) {
        SetWindowTextA(control, text.c_str());
        repaint();
    }

    // ImportView
    void* windowHandle() override { return handle(); }
    void setState(const std::string& text) override { setText(lblState, text); }
    void appendCaption(const std::string& suffix) override { setText(handle(), textOf(handle()) + suffix); }
    void setDeviceText(const std::string& text) override { setText(lblDev, text); }
    void showLowVoltageHint(const std::string& text) override {
        SetWindowTextA(lblHintD, text.c_str());
        for (HWND part : {grpHint, Image1, lblHintD}) ShowWindow(part, SW_SHOW);
        RECT outer;
        GetWindowRect(handle(), &outer);
        SetWindowPos(handle(), nullptr, 0, 0, outer.right - outer.left, kHintHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The status panel stays at the bottom.
        RECT inner;
        GetClientRect(handle(), &inner);
        SetWindowPos(Panel1, nullptr, 0, inner.bottom - kStatusHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        repaint();
    }
    void setExercisesText(const std::string& text) override { setText(lbExercises, text); }
    void setMemory(int32_t percent, const std::string& text) override {
        GaugeMem.setValue(percent);
        setText(lblMem, text);
    }
    bool hrFilterTicked() override { return checked(chHFFilter); }
    void setHRFilterTicked(bool ticked) override { setChecked(chHFFilter, ticked); }
    void setAbortEnabled(bool enabled) override { EnableWindow(btnAbort, enabled); }
    void showProgress(int32_t maximum) override {
        SendMessageA(progressBar(), PBM_SETRANGE32, 0, maximum);
        SendMessageA(progressBar(), PBM_SETPOS, 0, 0);
        ShowWindow(progressBar(), SW_SHOW);
        repaint();
    }
    void setProgress(int32_t position) override {
        SendMessageA(progressBar(), PBM_SETPOS, position, 0);
        repaint();
    }
    void hideProgress() override { ShowWindow(progressBar(), SW_HIDE); }
    void showMessage(const std::string& text) override { fw::showError(text); }
    void setBusyCursor(bool busy) override { SetCursor(LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW)); }
    bool closeRequested() override { return modalResult() != fw::mrNone; }
    void processMessages() override {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // For the loop that owns it.
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            // Tab and Escape (Abort) work as in the modal loop.
            if (IsDialogMessageA(handle(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    void waitForMessages(uint32_t milliseconds) override {
        processMessages();
        MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    void sleep(uint32_t milliseconds) override { Sleep(milliseconds); }

    TImportSession session_;
    RECT FHostRect{};
    HWND imgDevice = nullptr, lblDev = nullptr, lblMem = nullptr, lbExercises = nullptr, chHFFilter = nullptr;
    HWND btnAbort = nullptr, grpHint = nullptr, Image1 = nullptr, lblHintD = nullptr, Panel1 = nullptr;
    HWND lblState = nullptr;
    fw::DialGauge GaugeMem;
    TProgressBarVistaFix ProgressBar1;
    fw::Bitmap hintBitmap_;
};

}  // namespace

int32_t CallImportDialogFor(TPluginState& plugin, const HostWindowParams& host, const std::string& targetDir) {
    try {
        const std::unique_ptr<DeviceLibrary> library = LinkedDeviceLibrary();
        TFImport form(plugin, *library, static_cast<HWND>(host.window));
        form.create();
        form.SetHostParams(host, targetDir, plugin.PluginIniFile);
        return form.showModal() == fw::mrOk ? plugin.ImportedExerciseCount : 0;
    } catch (...) {
        fw::showError("DLL Error");
        return 0;
    }
}
