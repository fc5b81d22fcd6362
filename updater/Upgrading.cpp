// The updater: one window; the program ends when it closes.
#include "Forms.h"
#include "Unit1.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Application->Initialize();
    Application->CreateForm(Form1, "Unit1");
    Application->Run();
    return 0;
}
