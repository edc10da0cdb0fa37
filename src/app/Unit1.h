// The installer window.
#pragma once

#include "base/Text.h"
#include "toolkit/Forms.h"

class TForm1 : public TForm {
public:
    using TForm::TForm;
    const char* ClassName() const override { return "TForm1"; }

    // Published fields, bound to the layout's controls by name.
    TLabel* Label1 = nullptr;
    TButton* ButtonInst = nullptr;
    TButton* ButtonCancel = nullptr;

    // Published handlers, bound to the layout's events by name.
    void FormCreate(TObject* sender);
    void ButtonCancelClick(TObject* sender);
    void ButtonInstClick(TObject* sender);

    const TFieldBinding* Fields() const override;
    const TMethodBinding* Methods() const override;
};

extern TForm1* Form1;
// The install source folder: the folder of the running program, ending in a separator.
extern Text SourceDir;

void Unit1Initialization();
void Unit1Finalization();
