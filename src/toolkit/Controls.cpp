#include "toolkit/Controls.h"

#include "toolkit/Application.h"
#include "toolkit/Forms.h"

#include <cstring>

namespace {

const char kControlProperty[] = "TermikaControl";

struct NamedColor {
    const char* name;
    COLORREF color;
};
const NamedColor kColors[] = {
    {"clBlack", RGB(0, 0, 0)},         {"clMaroon", RGB(128, 0, 0)},
    {"clGreen", RGB(0, 128, 0)},       {"clOlive", RGB(128, 128, 0)},
    {"clNavy", RGB(0, 0, 128)},        {"clPurple", RGB(128, 0, 128)},
    {"clTeal", RGB(0, 128, 128)},      {"clGray", RGB(128, 128, 128)},
    {"clSilver", RGB(192, 192, 192)},  {"clRed", RGB(255, 0, 0)},
    {"clLime", RGB(0, 255, 0)},        {"clYellow", RGB(255, 255, 0)},
    {"clBlue", RGB(0, 0, 255)},        {"clFuchsia", RGB(255, 0, 255)},
    {"clAqua", RGB(0, 255, 255)},      {"clWhite", RGB(255, 255, 255)},
};

struct NamedCharset {
    const char* name;
    BYTE charset;
};
const NamedCharset kCharsets[] = {
    {"ANSI_CHARSET", ANSI_CHARSET},
    {"DEFAULT_CHARSET", DEFAULT_CHARSET},
    {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET},
};

} // namespace

COLORREF ColorFromIdent(const Text& name, bool& known) {
    known = true;
    for (const auto& c : kColors)
        if (name == c.name)
            return c.color;
    if (name == "clBtnFace")
        return GetSysColor(COLOR_BTNFACE);
    if (name == "clWindowText")
        return GetSysColor(COLOR_WINDOWTEXT);
    known = false;
    return 0;
}

HFONT TFont::Handle() {
    if (!handle_.Get()) {
        HFONT font = CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, FALSE, FALSE,
                                 charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, name.CStr());
        if (!font)
            throw EOutOfResources("Cannot create the font " + name);
        handle_.Reset(font);
    }
    return handle_.Get();
}

bool TFont::SetProperty(const Text& property, const FormValue& value, TFormLoader& loader) {
    if (property == "Charset") {
        if (value.IsInteger()) {
            charset = static_cast<BYTE>(loader.Integer(value));
        } else {
            Text ident = loader.Ident(value);
            bool known = false;
            for (const auto& c : kCharsets)
                if (ident == c.name) {
                    charset = c.charset;
                    known = true;
                }
            if (!known)
                loader.Invalid();
        }
    } else if (property == "Color") {
        if (value.IsInteger()) {
            color = static_cast<COLORREF>(loader.Integer(value));
        } else {
            bool known = false;
            color = ColorFromIdent(loader.Ident(value), known);
            if (!known)
                loader.Invalid();
        }
    } else if (property == "Height") {
        height = loader.Integer(value);
    } else if (property == "Name") {
        name = loader.String(value);
    } else if (property == "Style") {
        if (value.type != FormValueType::Set)
            loader.Invalid();
        bold = value.SetContains("fsBold");
        italic = value.SetContains("fsItalic");
    } else {
        return false;
    }
    Changed();
    return true;
}

TControl::~TControl() {
    if (handle_)
        DestroyWindow(handle_);
}

bool TControl::SetProperty(const Text& name, const FormValue& value, TFormLoader& loader) {
    if (name == "Left")
        left_ = loader.Integer(value);
    else if (name == "Top")
        top_ = loader.Integer(value);
    else if (name == "Width")
        width_ = loader.Integer(value);
    else if (name == "Height")
        height_ = loader.Integer(value);
    else if (name == "Caption")
        SetCaption(loader.String(value));
    else if (name == "ParentFont")
        parentFont_ = loader.Boolean(value);
    else if (name == "TabOrder")
        tabOrder_ = loader.Integer(value);
    else if (name == "TabStop")
        tabStop_ = loader.Boolean(value);
    else if (std::strncmp(name.CStr(), "Font.", 5) == 0) {
        if (!font_.SetProperty(Text(name.CStr() + 5), value, loader))
            return false;
        parentFont_ = false;
    } else
        return false;
    return true;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_)
        MoveWindow(handle_, left_, top_, width_, height_, TRUE);
}

void TControl::SetCaption(const Text& caption) {
    caption_ = caption;
    if (handle_)
        SetWindowTextA(handle_, WithLineBreaks(caption_).CStr());
}

void TControl::ChangeScale(int m, int d) {
    left_ = MulDiv(left_, m, d);
    top_ = MulDiv(top_, m, d);
    width_ = MulDiv(width_, m, d);
    height_ = MulDiv(height_, m, d);
    if (!parentFont_) {
        font_.height = MulDiv(font_.height, m, d);
        font_.Changed();
    }
}

TControl* TControl::FromHandle(HWND window) {
    return static_cast<TControl*>(GetPropA(window, kControlProperty));
}

Text WithLineBreaks(const Text& text) {
    Text result;
    size_t start = 0;
    for (size_t i = 0; i < text.Length(); ++i) {
        bool lone = (text[i] == '\r' && (i + 1 >= text.Length() || text[i + 1] != '\n')) ||
                    (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
        if (lone) {
            result += Text(text.CStr() + start, i - start) + "\r\n";
            start = i + 1;
        }
    }
    return result + Text(text.CStr() + start, text.Length() - start);
}

void TControl::CreateChildWindow(const char* windowClass, DWORD style, const Text& text) {
    TFont& font = parentFont_ ? parent_->Font() : font_;
    HFONT fontHandle = font.Handle();
    handle_ = CreateWindowExA(0, windowClass, text.CStr(), WS_CHILD | WS_VISIBLE | style, left_, top_,
                              width_, height_, parent_->Handle(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    if (!handle_)
        throw EOutOfResources(Text("Cannot create the window of ") + Name());
    SetPropA(handle_, kControlProperty, this);
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle), FALSE);
    systemProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

bool TControl::HandleMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CALLBACK TControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TControl* control = FromHandle(window);
    if (!control)
        return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC systemProc = control->systemProc_;
    LRESULT result = 0;
    bool handled = false;
    Guarded([&] { handled = control->HandleMessage(message, wParam, lParam, result); });
    if (message == WM_NCDESTROY) {
        RemovePropA(window, kControlProperty);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(systemProc));
        control->handle_ = nullptr;
    }
    return handled ? result : CallWindowProcA(systemProc, window, message, wParam, lParam);
}

void TLabel::SetCaption(const Text& caption) {
    TControl::SetCaption(caption);
    AdjustBounds();
}

void TLabel::ChangeScale(int m, int d) {
    TControl::ChangeScale(m, d);
    AdjustBounds();
}

void TLabel::Loaded() { AdjustBounds(); }

void TLabel::AdjustBounds() {
    if (!parent_)
        return;
    // Measured as the system's text control draws it: lines at CR LF, never wrapped.
    Text text = WithLineBreaks(caption_);
    TFont& font = parentFont_ ? parent_->Font() : font_;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    RECT rect = {0, 0, 0, 0};
    if (text.Empty()) {
        TEXTMETRICA metrics;
        GetTextMetricsA(dc, &metrics);
        rect.bottom = metrics.tmHeight;
    } else {
        DrawTextA(dc, text.CStr(), static_cast<int>(text.Length()), &rect,
                  DT_CALCRECT | DT_LEFT | DT_EXPANDTABS);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds(left_, top_, rect.right - rect.left, rect.bottom - rect.top);
}

void TLabel::CreateHandle() {
    CreateChildWindow("STATIC", SS_LEFTNOWORDWRAP, WithLineBreaks(caption_));
}

bool TButton::SetProperty(const Text& name, const FormValue& value, TFormLoader& loader) {
    if (name == "OnClick") {
        onClick_ = loader.Method(value);
        return true;
    }
    return TControl::SetProperty(name, value, loader);
}

void TButton::CreateHandle() {
    CreateChildWindow("BUTTON", BS_PUSHBUTTON | (tabStop_ ? WS_TABSTOP : 0), caption_);
}

void TButton::Click() {
    if (onClick_)
        onClick_(parent_, this);
}

bool TButton::HandleMessage(UINT message, WPARAM, LPARAM, LRESULT&) {
    // The default frame follows the focus.
    if (message == WM_SETFOCUS)
        SendMessageA(handle_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    else if (message == WM_KILLFOCUS)
        SendMessageA(handle_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    return false;
}
