#include "toolkit/Component.h"

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (!owner_)
        return;
    TComponent** link = &owner_->firstOwned_;
    while (*link)
        link = &(*link)->next_;
    *link = this;
}

TComponent::~TComponent() {
    DestroyOwned();
    if (!owner_)
        return;
    for (TComponent** link = &owner_->firstOwned_; *link; link = &(*link)->next_) {
        if (*link == this) {
            *link = next_;
            break;
        }
    }
}

void TComponent::DestroyOwned() {
    while (firstOwned_) {
        TComponent* last = firstOwned_;
        // The analyzer does not follow the virtual destructor that unlinks `last`, so it
        // takes firstOwned_ for the freed one on the next round.
        while (last->next_) // NOLINT(clang-analyzer-cplusplus.NewDelete)
            last = last->next_;
        delete last; // unlinks itself
    }
}

bool TComponent::SetProperty(const Text&, const FormValue&, TFormLoader&) { return false; }
