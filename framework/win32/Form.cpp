#include "framework/win32/Form.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "framework/LibraryEntry.h"
#include "framework/win32/CodeModule.h"

namespace fw {

namespace {

constexpr const char* kFormClass = "PolarPluginForm";
constexpr const char* kContainerClass = "PolarPluginContainer";

// Classes are unregistered with the last form: a library that is unloaded
// and loaded again must not find a class pointing into its old code.
int liveForms = 0;

HINSTANCE resourceModule() {
    if (void* module = libraryModule()) return static_cast<HINSTANCE>(module);
    return codeModule();
}

bool hasClass(HWND window, const char* name) {
    char className[64];
    return GetClassNameA(window, className, sizeof className) > 0 && lstrcmpiA(className, name) == 0;
}

bool isPushButton(HWND window) {
    if (!hasClass(window, "Button")) return false;
    const LONG_PTR type = GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

Form* formOf(HWND window) { return reinterpret_cast<Form*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

LRESULT CALLBACK eraseWithContainerColor(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
    if (message == WM_ERASEBKGND) {
        auto* form = reinterpret_cast<Form*>(data);
        RECT area;
        GetClientRect(window, &area);
        HBRUSH brush = CreateSolidBrush(form->colorOf(GetParent(window)));
        FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
        DeleteObject(brush);
        return 1;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, eraseWithContainerColor, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

struct IdSearch {
    int id;
    HWND found;
};

BOOL CALLBACK matchId(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<IdSearch*>(data);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

BOOL CALLBACK detachContainer(HWND child, LPARAM) {
    if (hasClass(child, kContainerClass)) SetWindowLongPtrA(child, GWLP_USERDATA, 0);
    return TRUE;
}

}  // namespace

HWND findControl(HWND root, int id) {
    IdSearch search{id, nullptr};
    EnumChildWindows(root, matchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Form::Form(HWND owner, FormLayout layout) : owner_(owner), layout_(std::move(layout)) {}

Form::~Form() {
    if (window_) {
        // Nothing sent during destruction may reach this half-destroyed object.
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        EnumChildWindows(window_, detachContainer, 0);
        for (const auto& timer : timers_) KillTimer(window_, timer.first);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    releaseResources();
    if (counted_ && --liveForms == 0) {
        UnregisterClassA(kFormClass, codeModule());
        UnregisterClassA(kContainerClass, codeModule());
    }
}

void Form::registerClasses() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = codeModule();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpfnWndProc = formProc;
    wc.lpszClassName = kFormClass;
    RegisterClassExA(&wc);
    wc.lpfnWndProc = containerProc;
    wc.lpszClassName = kContainerClass;
    RegisterClassExA(&wc);
}

void Form::create() {
    if (window_) return;
    counted_ = true;
    if (liveForms++ == 0) {
        INITCOMMONCONTROLSEX controls{sizeof controls,
                                      ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        registerClasses();
    }

    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    auto makeFont = [height](int weight, bool underline) {
        return CreateFontA(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    };
    font_ = makeFont(FW_NORMAL, false);
    boldFont_ = makeFont(FW_BOLD, false);
    linkFont_ = makeFont(FW_NORMAL, true);

    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    exStyle |= layout_.border == FormBorder::ToolWindow ? WS_EX_TOOLWINDOW : WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, layout_.clientWidth, layout_.clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    // An owner that is no window would make creation fail; the form is then unowned.
    if (owner_ && !IsWindow(owner_)) owner_ = nullptr;
    if (!CreateWindowExA(exStyle, kFormClass, layout_.caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, owner_, nullptr, codeModule(), this))
        throw std::runtime_error("form window not created");
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    onCreate();
    // New children go below the older ones, so a group box is moved below
    // the controls made after it; clipped by them, it never paints over them.
    for (HWND group : groups_) SetWindowPos(group, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

int Form::showModal() {
    if (!window_) throw std::logic_error("showModal before create");
    modalResult_ = mrNone;
    failure_ = nullptr;
    onShow();

    const bool ownerDisabled = owner_ && IsWindowEnabled(owner_);
    if (ownerDisabled) EnableWindow(owner_, FALSE);
    ShowWindow(window_, SW_SHOW);
    shown_ = true;
    if (pendingFocus_) SetFocus(std::exchange(pendingFocus_, nullptr));
    UpdateWindow(window_);

    MSG message;
    while (modalResult_ == mrNone && !failure_) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The host's quit request belongs to its own loop.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            modalResult_ = mrCancel;
            break;
        }
        if (handleKey(message) || IsDialogMessageA(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (!failure_) guard([this] { onClose(); });

    // The owner is enabled before the form hides, so activation returns to it.
    if (ownerDisabled) EnableWindow(owner_, TRUE);
    ShowWindow(window_, SW_HIDE);
    shown_ = false;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return modalResult_;
}

template <typename Body>
void Form::guard(Body body) noexcept {
    try {
        body();
    } catch (...) {
        if (!failure_) failure_ = std::current_exception();
    }
}

bool Form::handleKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    // An open drop-down list takes its own Enter and Escape.
    for (HWND w = message.hwnd; w && w != window_; w = GetParent(w))
        if (hasClass(w, "ComboBox") && SendMessageA(w, CB_GETDROPPEDSTATE, 0, 0)) return false;
    HWND target = message.wParam == VK_ESCAPE  ? cancelButton_
                  : isPushButton(message.hwnd) ? message.hwnd
                                               : defaultButton_;
    if (!target || !IsWindowEnabled(target)) return false;
    click(target);
    return true;
}

void Form::click(HWND control) {
    guard([&] {
        const auto result = buttonResults_.find(control);
        if (result != buttonResults_.end() && result->second != mrNone) modalResult_ = result->second;
        const auto handler = clickHandlers_.find(control);
        if (handler != clickHandlers_.end() && handler->second) handler->second();
    });
}

void Form::command(HWND control, WORD code) {
    if (code == BN_CLICKED) {  // also STN_CLICKED of a link
        click(control);
    } else if (code == CBN_SELCHANGE) {
        const auto handler = changeHandlers_.find(control);
        if (handler != changeHandlers_.end() && handler->second) guard(handler->second);
    }
}

LRESULT CALLBACK Form::formProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        form->window_ = window;
    }
    Form* form = formOf(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (form) form->window_ = nullptr;
        form = nullptr;
    }
    if (!form) return DefWindowProcA(window, message, wParam, lParam);
    return form->handle(window, message, wParam, lParam, true);
}

LRESULT CALLBACK Form::containerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    Form* form = formOf(window);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        form = nullptr;
    }
    if (!form) return DefWindowProcA(window, message, wParam, lParam);
    return form->handle(window, message, wParam, lParam, false);
}

LRESULT Form::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool isForm) {
    switch (message) {
        case WM_COMMAND:
            if (lParam) {
                command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            } else if (LOWORD(wParam) == IDCANCEL && cancelButton_) {
                click(cancelButton_);
            } else if (LOWORD(wParam) == IDOK && defaultButton_) {
                click(defaultButton_);
            }
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HWND control = reinterpret_cast<HWND>(lParam);
            HDC dc = reinterpret_cast<HDC>(wParam);
            const COLORREF background = colorOf(control);
            SetBkColor(dc, background);
            const auto text = textColors_.find(control);
            if (text != textColors_.end()) SetTextColor(dc, text->second);
            return reinterpret_cast<LRESULT>(brushFor(background));
        }
        case WM_ERASEBKGND: {
            RECT area;
            GetClientRect(window, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, brushFor(colorOf(window)));
            return 1;
        }
        case WM_SETCURSOR:
            if (std::find(links_.begin(), links_.end(), reinterpret_cast<HWND>(wParam)) != links_.end()) {
                SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
                return TRUE;
            }
            break;
        default:
            break;
    }
    if (!isForm) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
        case WM_TIMER: {
            const auto timer = timers_.find(wParam);
            if (timer == timers_.end()) return 0;
            // One-shot: stopped before the handler, which may start it again.
            KillTimer(window, wParam);
            Handler handler = std::move(timer->second);
            timers_.erase(timer);
            guard(handler);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focused = GetFocus();
                if (focused && IsChild(window, focused)) lastFocus_ = focused;
                return 0;
            }
            // Focus goes back where it was, as in a dialog.
            if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window, lastFocus_))
                SetFocus(lastFocus_);
            else
                DefWindowProcA(window, message, wParam, lParam);
            guard([this] { onActivate(); });
            return 0;
        case WM_CLOSE:
            if (modalResult_ == mrNone) modalResult_ = mrCancel;
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

HBRUSH Form::brushFor(COLORREF color) {
    HBRUSH& brush = brushes_[color];
    if (!brush) brush = CreateSolidBrush(color);
    return brush;
}

void Form::setColor(HWND target, COLORREF color) {
    colors_[target] = color;
    if (target) RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

COLORREF Form::colorOf(HWND target) const {
    for (HWND w = target; w; w = GetParent(w)) {
        const auto own = colors_.find(w);
        if (own != colors_.end()) return own->second;
        if (w == window_) break;
    }
    return GetSysColor(COLOR_BTNFACE);
}

void Form::focus(HWND control) {
    if (shown_)
        SetFocus(control);
    else
        pendingFocus_ = control;
}

void Form::startTimer(UINT_PTR id, UINT milliseconds, Handler handler) {
    timers_[id] = std::move(handler);
    SetTimer(window_, id, milliseconds, nullptr);
}

HFONT Form::fontFor(FontStyle style) const { return style == FontStyle::Bold ? boldFont_ : font_; }

HWND Form::addControl(const char* className, Area at, Bounds bounds, int id, const std::string& text, DWORD style,
                      DWORD exStyle) {
    HWND control = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, at.x + bounds.x,
                                   at.y + bounds.y, bounds.width, bounds.height, at.window,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), codeModule(), nullptr);
    if (!control) throw std::runtime_error(std::string("control not created: ") + className);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return control;
}

HWND Form::addContainer(Area at, Bounds bounds, int id) {
    HWND panel = CreateWindowExA(WS_EX_CONTROLPARENT, kContainerClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                 at.x + bounds.x, at.y + bounds.y, bounds.width, bounds.height, at.window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), codeModule(), this);
    if (!panel) throw std::runtime_error("container not created");
    return panel;
}

Area Form::addPanel(Area at, Bounds bounds, int id) { return Area{addContainer(at, bounds, id)}; }

Area Form::addGroupBox(Area at, Bounds bounds, int id, const std::string& caption, FontStyle style) {
    // Transparent, so its container's erasing still reaches the inside of the frame.
    HWND group = addControl("BUTTON", at, bounds, id, caption, BS_GROUPBOX | WS_CLIPSIBLINGS, WS_EX_TRANSPARENT);
    SendMessageA(group, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(style)), FALSE);
    groups_.push_back(group);
    return Area{at.window, at.x + bounds.x, at.y + bounds.y};
}

Area Form::addPageControl(Area at, Bounds bounds, int id, int pageId, const std::string& pageCaption) {
    HWND tabs = addControl(WC_TABCONTROLA, at, bounds, id, "", WS_CLIPSIBLINGS);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(pageCaption.c_str());
    SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    RECT area{0, 0, bounds.width, bounds.height};
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    HWND page = addContainer(
        at, {bounds.x + area.left, bounds.y + area.top, area.right - area.left, area.bottom - area.top}, pageId);
    // Children go below their older siblings; the tabs must be below the page they frame.
    SetWindowPos(tabs, page, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The strip beside the tab would stay unpainted: it takes the container's colour.
    SetWindowSubclass(tabs, eraseWithContainerColor, 0, reinterpret_cast<DWORD_PTR>(this));
    return Area{page};
}

HWND Form::addLabel(Area at, Bounds bounds, int id, const std::string& text, FontStyle style) {
    HWND label = addControl("STATIC", at, bounds, id, text, SS_LEFT);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(style)), FALSE);
    return label;
}

HWND Form::addLinkLabel(Area at, Bounds bounds, int id, const std::string& text, Handler onClick) {
    HWND link = addControl("STATIC", at, bounds, id, text, SS_LEFT | SS_NOTIFY | SS_NOPREFIX);
    SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
    textColors_[link] = RGB(0, 0, 255);
    clickHandlers_[link] = std::move(onClick);
    links_.push_back(link);
    return link;
}

HWND Form::addButton(Area at, Bounds bounds, int id, const std::string& text, int modalResult, ButtonRole role,
                     Handler onClick) {
    HWND button = addControl("BUTTON", at, bounds, id, text,
                             WS_TABSTOP | WS_GROUP | (role == ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON));
    buttonResults_[button] = modalResult;
    if (onClick) clickHandlers_[button] = std::move(onClick);
    if (role == ButtonRole::Default) defaultButton_ = button;
    if (role == ButtonRole::Cancel) cancelButton_ = button;
    return button;
}

HWND Form::addCheckBox(Area at, Bounds bounds, int id, const std::string& text, FontStyle style) {
    HWND box = addControl("BUTTON", at, bounds, id, text, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP);
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(style)), FALSE);
    return box;
}

HWND Form::addComboList(Area at, Bounds bounds, int id, const std::vector<std::string>& items, Handler onChange,
                        int dropHeight) {
    bounds.height += dropHeight;
    HWND combo = addControl("COMBOBOX", at, bounds, id, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP);
    for (const std::string& item : items) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (onChange) changeHandlers_[combo] = std::move(onChange);
    return combo;
}

HWND Form::addEdit(Area at, Bounds bounds, int id, const std::string& text, EditOptions options) {
    DWORD style = ES_LEFT | ES_AUTOHSCROLL;
    if (options.multiLine) style = ES_LEFT | ES_MULTILINE;
    if (options.readOnly) style |= ES_READONLY;
    if (options.tabStop) style |= WS_TABSTOP | WS_GROUP;
    HWND edit = addControl("EDIT", at, bounds, id, "", style, options.border ? WS_EX_CLIENTEDGE : 0);
    // Multi-line edits want CR LF; the text is set after creation so that it wraps.
    SetWindowTextA(edit, text.c_str());
    return edit;
}

HWND Form::addSpinEdit(Area at, Bounds bounds, int id, int buttonsId, int minimum, int maximum, int value) {
    HWND edit =
        addControl("EDIT", at, bounds, id, "",
                   ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP | (minimum >= 0 ? ES_NUMBER : 0), WS_EX_CLIENTEDGE);
    // Aligned right on its buddy, the up-down takes its width from the edit.
    HWND upDown = addControl(UPDOWN_CLASSA, at, {bounds.x + bounds.width, bounds.y, 0, bounds.height}, buttonsId, "",
                             UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS);
    SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
    SendMessageA(upDown, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
    spins_[edit] = Spin{upDown, minimum, maximum};
    setSpinValue(edit, value);
    return edit;
}

HWND Form::addImage(Area at, Bounds bounds, int id, const char* resourceName) {
    HWND image = addControl("STATIC", at, bounds, id, "", SS_BITMAP);
    // A missing resource leaves the image empty rather than failing the form.
    if (auto* bitmap = static_cast<HBITMAP>(LoadImageA(resourceModule(), resourceName, IMAGE_BITMAP, 0, 0, 0))) {
        bitmaps_.push_back(bitmap);
        SendMessageA(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    }
    return image;
}

HWND Form::addProgressBar(Area at, Bounds bounds, int id, int maximum) {
    HWND bar = addControl(PROGRESS_CLASSA, at, bounds, id, "", 0);
    SendMessageA(bar, PBM_SETRANGE32, 0, maximum);
    return bar;
}

int Form::spinValue(HWND spinEdit) const {
    const auto spin = spins_.find(spinEdit);
    if (spin == spins_.end()) return 0;
    const std::string text = textOf(spinEdit);
    char* end = nullptr;
    const long typed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') return static_cast<int>(SendMessageA(spin->second.upDown, UDM_GETPOS32, 0, 0));
    return static_cast<int>(std::clamp<long>(typed, spin->second.minimum, spin->second.maximum));
}

void Form::setSpinValue(HWND spinEdit, int value) {
    const auto spin = spins_.find(spinEdit);
    if (spin == spins_.end()) return;
    value = std::clamp(value, spin->second.minimum, spin->second.maximum);
    SendMessageA(spin->second.upDown, UDM_SETPOS32, 0, value);
    SetWindowTextA(spinEdit, std::to_string(value).c_str());
}

bool Form::checked(HWND checkBox) { return SendMessageA(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Form::setChecked(HWND checkBox, bool on) {
    SendMessageA(checkBox, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Form::selectedIndex(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

void Form::selectIndex(HWND combo, int index) { SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string Form::textOf(HWND control) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
    return text;
}

void Form::releaseResources() {
    for (HFONT* font : {&font_, &boldFont_, &linkFont_})
        if (*font) DeleteObject(std::exchange(*font, nullptr));
    for (auto& brush : brushes_) DeleteObject(brush.second);
    brushes_.clear();
    for (HBITMAP bitmap : bitmaps_) DeleteObject(bitmap);
    bitmaps_.clear();
}

}  // namespace fw
