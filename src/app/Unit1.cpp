#include "app/Unit1.h"

#include "app/AppSystem.h"
#include "base/CodePage.h"
#include "base/Texts.h"
#include "install/Install.h"
#include "install/Locations.h"

TForm1* Form1 = nullptr;
Text SourceDir;

namespace {
// Settled once at start: how the ANSI code page's double-byte characters read.
CodePageRules rules;
} // namespace

void Unit1Initialization() { rules = CodePageRules::FromAnsiCodePage(AppSystem()); }

void Unit1Finalization() { SourceDir = Text(); }

void TForm1::FormCreate(TObject*) {
    SourceDir = install::CaptureSourceDir(AppSystem(), rules);
    Label1->SetCaption(texts::kInstruction);
}

void TForm1::ButtonCancelClick(TObject*) { Form1->Close(); }

void TForm1::ButtonInstClick(TObject*) { install::Run(AppSystem(), rules, SourceDir); }

const TFieldBinding* TForm1::Fields() const {
    static const TFieldBinding fields[] = {
        {"Label1", "TLabel",
         [](TForm* f, TComponent* c) { static_cast<TForm1*>(f)->Label1 = static_cast<TLabel*>(c); }},
        {"ButtonInst", "TButton",
         [](TForm* f, TComponent* c) {
             static_cast<TForm1*>(f)->ButtonInst = static_cast<TButton*>(c);
         }},
        {"ButtonCancel", "TButton",
         [](TForm* f, TComponent* c) {
             static_cast<TForm1*>(f)->ButtonCancel = static_cast<TButton*>(c);
         }},
        {nullptr, nullptr, nullptr},
    };
    return fields;
}

const TMethodBinding* TForm1::Methods() const {
    static const TMethodBinding methods[] = {
        {"FormCreate", [](TForm* f, TObject* s) { static_cast<TForm1*>(f)->FormCreate(s); }},
        {"ButtonCancelClick",
         [](TForm* f, TObject* s) { static_cast<TForm1*>(f)->ButtonCancelClick(s); }},
        {"ButtonInstClick",
         [](TForm* f, TObject* s) { static_cast<TForm1*>(f)->ButtonInstClick(s); }},
        {nullptr, nullptr},
    };
    return methods;
}
