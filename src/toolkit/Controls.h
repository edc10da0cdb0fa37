// The controls a window layout is made of: TControl, TLabel and TButton, and the font
// they draw their text in.
#pragma once

#include "sys/Win.h"
#include "toolkit/Component.h"

class TForm;

// A GDI object with one owner.
template <typename Handle> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    void Reset(Handle handle = nullptr) {
        if (handle_)
            DeleteObject(handle_);
        handle_ = handle;
    }
    Handle Get() const { return handle_; }

private:
    Handle handle_ = nullptr;
};

// The text as the system's text controls break lines: CR and LF alone each become CR LF.
Text WithLineBreaks(const Text& text);

// Colours of layouts: an RGB value, or one of the names below.
COLORREF ColorFromIdent(const Text& name, bool& known);

class TFont {
public:
    BYTE charset = DEFAULT_CHARSET;
    COLORREF color = RGB(0, 0, 0);
    int height = -11; // negative: character height in pixels, without internal leading
    Text name = "MS Sans Serif";
    bool bold = false;
    bool italic = false;

    // The font as a GDI object, made when first asked for.
    HFONT Handle();
    void Changed() { handle_.Reset(); }
    // Applies "Charset", "Color", "Height", "Name" or "Style" of a layout's "Font." group.
    bool SetProperty(const Text& name, const FormValue& value, TFormLoader& loader);

private:
    GdiObject<HFONT> handle_;
};

using TNotifyEvent = void (*)(TForm* form, TObject* sender);

class TControl : public TComponent {
public:
    TControl(TComponent* owner, TForm* parent) : TComponent(owner), parent_(parent) {}
    ~TControl() override;

    bool SetProperty(const Text& name, const FormValue& value, TFormLoader& loader) override;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBounds(int left, int top, int width, int height);
    const Text& Caption() const { return caption_; }
    virtual void SetCaption(const Text& caption);
    TFont& Font() { return font_; }
    int TabOrder() const { return tabOrder_; }
    bool TabStop() const { return tabStop_; }
    HWND Handle() const { return handle_; }
    TForm* Parent() const { return parent_; }

    // Multiplies position, size and font by m / d.
    virtual void ChangeScale(int m, int d);
    // Makes the control's window inside its parent's.
    virtual void CreateHandle() = 0;
    // The control behind a child window of a form, if any.
    static TControl* FromHandle(HWND window);

protected:
    void CreateChildWindow(const char* windowClass, DWORD style, const Text& text);
    // For subclassed windows: what the control does with a message before the system's
    // own window procedure; true when it has handled it.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    TForm* parent_;
    HWND handle_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    int tabOrder_ = -1;
    bool tabStop_ = false;
    bool parentFont_ = true;
    Text caption_;
    TFont font_;

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    WNDPROC systemProc_ = nullptr;
};

// A text on the window: sized to its text, lines broken at CR, LF or CR LF, never
// wrapped, left-aligned and opaque in its parent's colour.
class TLabel : public TControl {
public:
    TLabel(TComponent* owner, TForm* parent) : TControl(owner, parent) {}
    const char* ClassName() const override { return "TLabel"; }
    void SetCaption(const Text& caption) override;
    void ChangeScale(int m, int d) override;
    void CreateHandle() override;
    void Loaded() override;

private:
    void AdjustBounds();
};

// The system's standard push button. The one that has the focus wears the default frame.
class TButton : public TControl {
public:
    TButton(TComponent* owner, TForm* parent) : TControl(owner, parent) { tabStop_ = true; }
    const char* ClassName() const override { return "TButton"; }
    bool SetProperty(const Text& name, const FormValue& value, TFormLoader& loader) override;
    void CreateHandle() override;
    void Click();

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    TNotifyEvent onClick_ = nullptr;
};
