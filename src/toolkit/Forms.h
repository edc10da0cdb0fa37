// TForm: a top-level window whose look is a layout among the program's resources, read
// when the window is created. Subclasses name their fields and handlers in tables, and
// the layout binds its components and events to them by those names.
#pragma once

#include "formstream/FormReader.h"
#include "toolkit/Controls.h"

struct TFieldBinding {
    const char* name;
    const char* className;
    void (*bind)(TForm* form, TComponent* component);
};

struct TMethodBinding {
    const char* name;
    TNotifyEvent method;
};

class TForm : public TComponent {
public:
    explicit TForm(TComponent* owner) : TComponent(owner) {}
    ~TForm() override;

    bool SetProperty(const Text& name, const FormValue& value, TFormLoader& loader) override;

    // Reads the layout resource named after the class, scales it to the screen, makes
    // the windows (hidden), then runs the creation handler under the error guard.
    void Create();
    // Shows the window; the first time it is centred as the layout asks and the focus
    // goes to the first control in the tab order.
    void Show();
    void Hide();
    // The window's close: asks nothing, and ends the program when this is the main window.
    void Close();

    HWND Handle() const { return handle_; }
    const Text& Caption() const { return caption_; }
    COLORREF Color() const { return color_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    TFont& Font() { return font_; }

    // Enter, Tab, Shift+Tab and the arrow keys; true when the key was used.
    bool DialogKey(WPARAM key);

    // What the layout binds to: the subclass's published fields and handlers.
    virtual const TFieldBinding* Fields() const { return nullptr; }
    virtual const TMethodBinding* Methods() const { return nullptr; }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    friend class TFormLoader;
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);
    void ScaleToScreen();
    void CreateHandle();
    void SelectNext(bool forward);
    TControl* ControlAt(int index) const;
    int ControlCount() const;
    void MoveFocusTo(HWND target);

    HWND handle_ = nullptr;
    int left_ = 0, top_ = 0;
    int clientWidth_ = 0, clientHeight_ = 0;
    bool systemMenu_ = true, minimizeBox_ = true, maximizeBox_ = true;
    bool sizeable_ = true;
    bool centreOnDesktop_ = false;
    bool shownBefore_ = false;
    Text caption_;
    COLORREF color_ = GetSysColor(COLOR_BTNFACE);
    GdiObject<HBRUSH> brush_;
    TFont font_;
    int pixelsPerInch_ = 96;
    int textHeight_ = 0;
    TNotifyEvent onCreate_ = nullptr;
    HWND lastFocus_ = nullptr;
};

// Applies a layout to a form: each component with its properties, in stream order.
class TFormLoader : public FormBuilder {
public:
    explicit TFormLoader(TForm& form) : form_(form) {}

    void BeginComponent(const Text& className, const Text& name, int depth) override;
    void Property(const Text& name, const FormValue& value) override;
    void EndComponent() override;

    // Value conversions for components' SetProperty; a value of another kind is an
    // EReadError naming the property.
    int Integer(const FormValue& value);
    bool Boolean(const FormValue& value);
    Text String(const FormValue& value); // wide texts in the ANSI code page
    Text Ident(const FormValue& value);
    TNotifyEvent Method(const FormValue& value);
    [[noreturn]] void Invalid();

private:
    TForm& form_;
    TComponent* current_ = nullptr;
    Text property_;
};
