#pragma once

// Modal forms built from plain Win32 controls.
//
// Use: derive from fw::Form, pass the layout to the constructor, build the
// controls in onCreate() (called by create()), then showModal().
//
//   class TFDemo : public fw::Form {
//   public:
//       explicit TFDemo(HWND owner) : Form(owner, {200, 100, "Demo", FormBorder::ToolWindow}) {}
//   private:
//       void onCreate() override {
//           btnOK = addButton(client(), {110, 60, 75, 25}, 1, "&OK", mrOk, ButtonRole::Default);
//       }
//       HWND btnOK = nullptr;
//   };
//   TFDemo form(owner); form.create(); int result = form.showModal();
//
// Placement: every add* takes an Area (the container window and the offset of
// a group inside it) and Bounds relative to that area, in pixels. Panels and
// pages are containers of their own (they paint their colour and pass their
// children's notifications to the form); a group box returns an Area on its
// container shifted to the group's origin, so the group's controls are its
// siblings. Tab order is the order of creation.
//
// Ids: every control gets the id passed (non-zero, unique within the form);
// findControl(form, id) finds it anywhere below the form, also from tests.
// A spin edit's up-down buttons get an id of their own.
//
// Keys: Enter clicks the focused push button, otherwise the default button;
// Escape clicks the cancel button; Tab moves between WS_TABSTOP controls.
// A button with a modal result other than mrNone ends the loop with it after
// its click handler ran; the close box ends it with mrCancel.
//
// Colours: setColor(control or container, colour); a control without its own
// colour takes its container's, up to the form's.
//
// Timers: startTimer(id, ms, handler) is one-shot: killed before the handler runs.
//
// Failures: an exception in a handler or hook ends the loop; showModal
// rethrows it once the owner is enabled again and the form hidden.
//
// Lifetime: the window procedures find the object through GWLP_USERDATA, set at
// creation and cleared first when the form is destroyed.

#include <windows.h>

#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fw {

enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3 };
enum class FormBorder { Dialog, ToolWindow };
enum class ButtonRole { Normal, Default, Cancel };
enum class FontStyle { Normal, Bold };

struct FormLayout {
    int clientWidth;
    int clientHeight;
    std::string caption;
    FormBorder border;
};

struct Bounds {
    int x, y, width, height;
};

// Where a child goes: its parent window and the origin of the group inside it.
struct Area {
    HWND window;
    int x = 0, y = 0;
};

// Options of addEdit.
struct EditOptions {
    bool multiLine = false;
    bool readOnly = false;
    bool border = true;
    bool tabStop = true;
};

using Handler = std::function<void()>;

// Null when no window below `root` has this id.
HWND findControl(HWND root, int id);

class Form {
public:
    Form(HWND owner, FormLayout layout);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window (hidden) and calls onCreate. Throws std::runtime_error on failure.
    void create();
    // Shows the form and runs its loop until a modal result is set; the owner
    // is disabled meanwhile. The form is hidden, not destroyed, afterwards.
    int showModal();

    HWND handle() const { return window_; }
    // The client area as a container.
    Area client() const { return Area{window_}; }
    int modalResult() const { return modalResult_; }
    // Ends the modal loop with `result` (mrNone keeps it running).
    void setModalResult(int result) { modalResult_ = result; }

    void setColor(HWND target, COLORREF color);
    // The colour `target` is drawn with: its own, else its container's.
    COLORREF colorOf(HWND target) const;
    // Focus now, or when the form is shown if it is still hidden.
    void focus(HWND control);

    void startTimer(UINT_PTR id, UINT milliseconds, Handler handler);

protected:
    virtual void onCreate() {}
    // Before the form becomes visible (placement, initial focus).
    virtual void onShow() {}
    // Each time the form becomes the active window.
    virtual void onActivate() {}
    // Once when the modal loop ends, modalResult() telling how.
    virtual void onClose() {}

    // Containers.
    Area addPanel(Area at, Bounds bounds, int id);
    // A group box; the returned area places the group's controls.
    Area addGroupBox(Area at, Bounds bounds, int id, const std::string& caption, FontStyle style = FontStyle::Normal);
    // A tab control with one page; returns the page.
    Area addPageControl(Area at, Bounds bounds, int id, int pageId, const std::string& pageCaption);

    // Controls.
    HWND addLabel(Area at, Bounds bounds, int id, const std::string& text, FontStyle style = FontStyle::Normal);
    HWND addLinkLabel(Area at, Bounds bounds, int id, const std::string& text, Handler onClick);
    HWND addButton(Area at, Bounds bounds, int id, const std::string& text, int modalResult = mrNone,
                   ButtonRole role = ButtonRole::Normal, Handler onClick = {});
    HWND addCheckBox(Area at, Bounds bounds, int id, const std::string& text, FontStyle style = FontStyle::Normal);
    // A drop-down list; `bounds.height` is the closed height, the list drops `dropHeight` below it.
    HWND addComboList(Area at, Bounds bounds, int id, const std::vector<std::string>& items, Handler onChange = {},
                      int dropHeight = 150);
    HWND addEdit(Area at, Bounds bounds, int id, const std::string& text, EditOptions options = {});
    // An integer edit with up and down buttons (id `buttonsId`) inside `bounds`; returns the edit.
    HWND addSpinEdit(Area at, Bounds bounds, int id, int buttonsId, int minimum, int maximum, int value);
    // A bitmap resource of the plug-in's module, drawn at its own size.
    HWND addImage(Area at, Bounds bounds, int id, const char* resourceName);
    HWND addProgressBar(Area at, Bounds bounds, int id, int maximum);

    // Spin edit value: the typed number clamped to the range, the last
    // valid position when the text is no number.
    int spinValue(HWND spinEdit) const;
    void setSpinValue(HWND spinEdit, int value);
    // Checkbox and list helpers.
    static bool checked(HWND checkBox);
    static void setChecked(HWND checkBox, bool on);
    static int selectedIndex(HWND combo);
    static void selectIndex(HWND combo, int index);
    static std::string textOf(HWND control);

private:
    struct Spin {
        HWND upDown;
        int minimum, maximum;
    };

    static LRESULT CALLBACK formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void registerClasses();

    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool isForm);
    bool handleKey(const MSG& message);
    void command(HWND control, WORD code);
    void click(HWND button);
    HBRUSH brushFor(COLORREF color);
    HWND addControl(const char* className, Area at, Bounds bounds, int id, const std::string& text, DWORD style,
                    DWORD exStyle = 0);
    HWND addContainer(Area at, Bounds bounds, int id);
    // Runs an event handler; a failure ends the loop and showModal rethrows it,
    // since no exception may cross a window procedure.
    template <typename Body>
    void guard(Body body) noexcept;
    HFONT fontFor(FontStyle style) const;
    void releaseResources();

    HWND owner_;
    FormLayout layout_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr, boldFont_ = nullptr, linkFont_ = nullptr;
    int modalResult_ = mrNone;
    std::exception_ptr failure_;
    bool shown_ = false;
    bool counted_ = false;  // among the live forms that keep the classes registered
    HWND pendingFocus_ = nullptr, lastFocus_ = nullptr;
    HWND defaultButton_ = nullptr, cancelButton_ = nullptr;
    std::map<HWND, Handler> clickHandlers_, changeHandlers_;
    std::map<HWND, int> buttonResults_;
    std::map<HWND, COLORREF> colors_, textColors_;
    std::map<COLORREF, HBRUSH> brushes_;
    std::map<HWND, Spin> spins_;
    std::map<UINT_PTR, Handler> timers_;
    std::vector<HBITMAP> bitmaps_;
    std::vector<HWND> links_, groups_;
};

}  // namespace fw
