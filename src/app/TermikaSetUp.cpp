// The program: its main block, and the run time's entry around it.
#include "app/Unit1.h"
#include "base/Texts.h"
#include "toolkit/Application.h"

namespace {

void MainBlock() {
    Application->Initialize();
    Application->SetTitle(texts::kTitle);
    Application->CreateForm(Form1);
    Application->Run();
}

const UnitSteps kUnits[] = {{Unit1Initialization, Unit1Finalization}};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunProgram(MainBlock, kUnits, 1); }
