#include "toolkit/Forms.h"

#include "base/Buffer.h"
#include "toolkit/Application.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

const char kFormProperty[] = "TermikaForm";

// The controls of a layout, made by class name.
TControl* MakeControl(const Text& className, TForm& form) {
    if (className == "TLabel")
        return new TLabel(&form, &form);
    if (className == "TButton")
        return new TButton(&form, &form);
    return nullptr;
}

} // namespace

// --- loading -------------------------------------------------------------------------

void TFormLoader::BeginComponent(const Text& className, const Text& name, int depth) {
    if (depth == 0) {
        if (!(className == form_.ClassName()))
            throw EReadError("The layout is for " + className + ", not " + form_.ClassName());
        form_.SetName(name);
        current_ = &form_;
        return;
    }
    if (depth > 1)
        throw EReadError("Control " + name + " is nested in another control");
    TControl* control = MakeControl(className, form_);
    if (!control)
        throw EReadError("Class " + className + " not found");
    control->SetName(name);
    current_ = control;
    if (const TFieldBinding* fields = form_.Fields()) {
        for (; fields->name; ++fields) {
            if (name == fields->name) {
                if (!(className == fields->className))
                    throw EReadError("Field " + name + " is not a " + className);
                fields->bind(&form_, control);
            }
        }
    }
}

void TFormLoader::Property(const Text& name, const FormValue& value) {
    property_ = name;
    current_->SetProperty(name, value, *this); // properties it does not know are skipped
}

void TFormLoader::EndComponent() { current_ = &form_; }

void TFormLoader::Invalid() {
    throw EReadError("Invalid value for property " + property_ + " of " + current_->Name());
}

int TFormLoader::Integer(const FormValue& value) {
    if (!value.IsInteger() || value.integer < INT32_MIN || value.integer > INT32_MAX)
        Invalid();
    return static_cast<int>(value.integer);
}

bool TFormLoader::Boolean(const FormValue& value) {
    if (!value.IsBoolean())
        Invalid();
    return value.type == FormValueType::True;
}

Text TFormLoader::Ident(const FormValue& value) {
    if (value.type != FormValueType::Ident)
        Invalid();
    return value.bytes;
}

Text TFormLoader::String(const FormValue& value) {
    if (value.type == FormValueType::String || value.type == FormValueType::LString)
        return value.bytes;
    if (value.type != FormValueType::WString)
        Invalid();
    // Stored as UTF-16; shown in the ANSI code page the system reads the program's texts in.
    int chars = static_cast<int>(value.bytes.Length() / 2);
    if (chars == 0)
        return Text();
    Buffer wide(value.bytes.Length()); // a copy aligned as wide characters need
    std::memcpy(wide.Bytes(), value.bytes.CStr(), value.bytes.Length());
    auto* utf16 = reinterpret_cast<const wchar_t*>(wide.Bytes());
    int size = WideCharToMultiByte(CP_ACP, 0, utf16, chars, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        Invalid();
    Buffer narrow(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, utf16, chars, narrow.Bytes(), size, nullptr, nullptr);
    return Text(narrow.Bytes(), static_cast<size_t>(size));
}

TNotifyEvent TFormLoader::Method(const FormValue& value) {
    Text name = Ident(value);
    if (const TMethodBinding* methods = form_.Methods())
        for (; methods->name; ++methods)
            if (name == methods->name)
                return methods->method;
    throw EReadError("Method " + name + " not found");
}

// --- the form ------------------------------------------------------------------------

TForm::~TForm() {
    DestroyOwned(); // the controls' windows go before the form's
    if (handle_)
        DestroyWindow(handle_);
}

bool TForm::SetProperty(const Text& name, const FormValue& value, TFormLoader& loader) {
    if (name == "Left") {
        left_ = loader.Integer(value);
    } else if (name == "Top") {
        top_ = loader.Integer(value);
    } else if (name == "ClientWidth") {
        clientWidth_ = loader.Integer(value);
    } else if (name == "ClientHeight") {
        clientHeight_ = loader.Integer(value);
    } else if (name == "Caption") {
        caption_ = loader.String(value);
    } else if (name == "Color") {
        bool known = value.IsInteger();
        color_ = known ? static_cast<COLORREF>(loader.Integer(value))
                       : ColorFromIdent(loader.Ident(value), known);
        if (!known)
            loader.Invalid();
    } else if (name == "BorderIcons") {
        if (value.type != FormValueType::Set)
            loader.Invalid();
        systemMenu_ = value.SetContains("biSystemMenu");
        minimizeBox_ = value.SetContains("biMinimize");
        maximizeBox_ = value.SetContains("biMaximize");
    } else if (name == "BorderStyle") {
        Text style = loader.Ident(value);
        if (style == "bsSingle" || style == "bsDialog")
            sizeable_ = false;
        else if (style == "bsSizeable")
            sizeable_ = true;
        else
            loader.Invalid();
    } else if (name == "Position") {
        Text position = loader.Ident(value);
        centreOnDesktop_ = position == "poDesktopCenter" || position == "poScreenCenter";
    } else if (name == "PixelsPerInch") {
        pixelsPerInch_ = loader.Integer(value);
        if (pixelsPerInch_ <= 0)
            loader.Invalid();
    } else if (name == "TextHeight") {
        textHeight_ = loader.Integer(value);
    } else if (name == "OnCreate") {
        onCreate_ = loader.Method(value);
    } else if (std::strncmp(name.CStr(), "Font.", 5) == 0) {
        return font_.SetProperty(Text(name.CStr() + 5), value, loader);
    } else {
        return false;
    }
    return true;
}

void TForm::Create() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(instance, ClassName(), MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        throw EResNotFound(Text("Resource ") + ClassName() + " not found");
    TFormLoader loader(*this);
    ReadForm(static_cast<const unsigned char*>(data), SizeofResource(instance, resource), loader);

    ScaleToScreen();
    CreateHandle();
    for (TComponent* c = FirstOwned(); c; c = c->NextSibling())
        c->Loaded();
    if (onCreate_)
        Guarded([this] { onCreate_(this, this); });
}

void TForm::ScaleToScreen() {
    HDC dc = GetDC(nullptr);
    int screenPixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    if (screenPixelsPerInch != pixelsPerInch_ && textHeight_ > 0) {
        // The window font at the screen's density decides the scale, by the height of "0".
        font_.height = MulDiv(font_.height, screenPixelsPerInch, pixelsPerInch_);
        font_.Changed();
        HGDIOBJ old = SelectObject(dc, font_.Handle());
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, "0", 1, &size);
        SelectObject(dc, old);
        int m = size.cy, d = textHeight_;
        if (m > 0 && m != d) {
            clientWidth_ = MulDiv(clientWidth_, m, d);
            clientHeight_ = MulDiv(clientHeight_, m, d);
            for (TComponent* c = FirstOwned(); c; c = c->NextSibling())
                static_cast<TControl*>(c)->ChangeScale(m, d);
        }
    }
    ReleaseDC(nullptr, dc);
}

void TForm::CreateHandle() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExA(instance, ClassName(), &wc)) {
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = StaticWindowProc;
        wc.hInstance = instance;
        wc.hIcon = Application->Icon();
        wc.hIconSm = static_cast<HICON>(LoadImageA(instance, "MAINICON", IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = ClassName();
        if (!RegisterClassExA(&wc))
            throw EOutOfResources(Text("Cannot register the window class ") + ClassName());
    }
    brush_.Reset(CreateSolidBrush(color_));

    DWORD style = WS_CAPTION | WS_CLIPCHILDREN | (sizeable_ ? WS_THICKFRAME : 0) |
                  (systemMenu_ ? WS_SYSMENU : 0) | (minimizeBox_ ? WS_MINIMIZEBOX : 0) |
                  (maximizeBox_ ? WS_MAXIMIZEBOX : 0);
    RECT frame = {0, 0, clientWidth_, clientHeight_};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    handle_ = CreateWindowExA(0, ClassName(), caption_.CStr(), style, left_, top_,
                              frame.right - frame.left, frame.bottom - frame.top, nullptr,
                              nullptr, instance, this);
    if (!handle_)
        throw EOutOfResources(Text("Cannot create the window ") + Name());
    if (!maximizeBox_) {
        // Without a maximise box the window menu offers neither Maximise nor Size.
        HMENU menu = GetSystemMenu(handle_, FALSE);
        DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
        if (!sizeable_)
            DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    }
    for (TComponent* c = FirstOwned(); c; c = c->NextSibling())
        static_cast<TControl*>(c)->CreateHandle();
}

void TForm::Show() {
    if (!shownBefore_) {
        shownBefore_ = true;
        if (centreOnDesktop_) {
            RECT r;
            GetWindowRect(handle_, &r);
            int width = r.right - r.left, height = r.bottom - r.top;
            int left = GetSystemMetrics(SM_XVIRTUALSCREEN) +
                       (GetSystemMetrics(SM_CXVIRTUALSCREEN) - width) / 2;
            int top = GetSystemMetrics(SM_YVIRTUALSCREEN) +
                      (GetSystemMetrics(SM_CYVIRTUALSCREEN) - height) / 2;
            SetWindowPos(handle_, nullptr, left, top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        ShowWindow(handle_, SW_SHOWNORMAL);
        SetForegroundWindow(handle_);
        TControl* first = nullptr;
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = ControlAt(i);
            if (c->TabStop() && c->Handle() && (!first || c->TabOrder() < first->TabOrder()))
                first = c;
        }
        if (first)
            MoveFocusTo(first->Handle());
        return;
    }
    ShowWindow(handle_, SW_SHOW);
}

void TForm::Hide() {
    if (handle_)
        ShowWindow(handle_, SW_HIDE);
}

void TForm::Close() {
    // No close-query handler to ask and no close handler to change the action: a form
    // hides; the main form ends the program instead.
    if (Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
}

int TForm::ControlCount() const {
    int n = 0;
    for (TComponent* c = FirstOwned(); c; c = c->NextSibling())
        ++n;
    return n;
}

TControl* TForm::ControlAt(int index) const {
    TComponent* c = FirstOwned();
    while (c && index-- > 0)
        c = c->NextSibling();
    return static_cast<TControl*>(c);
}

void TForm::MoveFocusTo(HWND target) {
    SetFocus(target);
    lastFocus_ = target;
}

void TForm::SelectNext(bool forward) {
    // The tab stops in tab order; the focus goes round from the last to the first.
    TControl* current = TControl::FromHandle(GetFocus());
    TControl* best = nullptr;
    TControl* wrap = nullptr;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = ControlAt(i);
        if (!c->TabStop() || !c->Handle() || c == current)
            continue;
        int order = c->TabOrder();
        int from = current ? current->TabOrder() : (forward ? -1 : INT32_MAX);
        bool ahead = forward ? order > from : order < from;
        if (ahead && (!best || (forward ? order < best->TabOrder() : order > best->TabOrder())))
            best = c;
        if (!wrap || (forward ? order < wrap->TabOrder() : order > wrap->TabOrder()))
            wrap = c;
    }
    if (TControl* next = best ? best : wrap)
        MoveFocusTo(next->Handle());
}

bool TForm::DialogKey(WPARAM key) {
    switch (key) {
    case VK_RETURN:
        // Enter clicks the button that has the focus.
        if (auto* control = TControl::FromHandle(GetFocus())) {
            if (std::strcmp(control->ClassName(), "TButton") == 0) {
                static_cast<TButton*>(control)->Click();
                return true;
            }
        }
        return false;
    case VK_TAB:
        SelectNext(GetKeyState(VK_SHIFT) >= 0);
        return true;
    case VK_RIGHT:
    case VK_DOWN:
        SelectNext(true);
        return true;
    case VK_LEFT:
    case VK_UP:
        SelectNext(false);
        return true;
    default:
        return false;
    }
}

LRESULT CALLBACK TForm::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* form = static_cast<TForm*>(create->lpCreateParams);
        form->handle_ = window;
        SetPropA(window, kFormProperty, form);
    }
    auto* form = static_cast<TForm*>(GetPropA(window, kFormProperty));
    if (!form)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kFormProperty);
        form->handle_ = nullptr;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    bool handled = false;
    Guarded([&] {
        result = form->WindowProc(message, wParam, lParam);
        handled = true;
    });
    return handled ? result : 0;
}

LRESULT TForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (lParam && HIWORD(wParam) == BN_CLICKED) {
            TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam));
            if (control && std::strcmp(control->ClassName(), "TButton") == 0)
                static_cast<TButton*>(control)->Click();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        // Text in the control's font colour on the window's colour.
        HDC dc = reinterpret_cast<HDC>(wParam);
        TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam));
        SetTextColor(dc, control ? control->Font().color : font_.color);
        SetBkColor(dc, color_);
        return reinterpret_cast<LRESULT>(brush_.Get());
    }
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(handle_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, brush_.Get());
        return 1;
    }
    case WM_ACTIVATE:
        // The focused control is kept across deactivation and minimising.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(handle_, focus))
                lastFocus_ = focus;
        } else if (!HIWORD(wParam) && lastFocus_ && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
            if (!maximizeBox_)
                return 0;
            break;
        case SC_SIZE:
            if (!sizeable_)
                return 0;
            break;
        default:
            break;
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE; // no close-query handler: log-off and shut-down may go ahead
    case WM_ENDSESSION:
        if (wParam)
            Application->EndSession();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(handle_, message, wParam, lParam);
}
