// TComponent: something that has a name, an owner that destroys it, and properties a
// layout can set.
#pragma once

#include "base/Text.h"

struct FormValue;
class TFormLoader;

class TComponent {
public:
    explicit TComponent(TComponent* owner);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    virtual const char* ClassName() const = 0;
    const Text& Name() const { return name_; }
    void SetName(const Text& name) { name_ = name; }
    TComponent* Owner() const { return owner_; }

    // Applies one property of a layout. False when the component has no such property;
    // a value of the wrong kind is an EReadError.
    virtual bool SetProperty(const Text& name, const FormValue& value, TFormLoader& loader);
    // Called once the whole layout has been applied.
    virtual void Loaded() {}

    // The components this one owns, in the order they were made.
    TComponent* FirstOwned() const { return firstOwned_; }
    TComponent* NextSibling() const { return next_; }

protected:
    // Destroys every owned component, the last made first.
    void DestroyOwned();

private:
    TComponent* owner_;
    TComponent* firstOwned_ = nullptr;
    TComponent* next_ = nullptr;
    Text name_;
};

using TObject = TComponent;
