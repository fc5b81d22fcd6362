// The client: creates its windows and data module in a fixed order and runs the message loop.
// It never returns from the loop: closing the main window ends the process.
#include "Forms.h"
#include "Index.h"
#include "U_About.h"
#include "Unit1.h"
#include "Unit7.h"
#include "dalishang.h"
#include "jiameng.h"
#include "new_sjzt.h"
#include "zxks.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Application->Initialize();
    Application->SetTitle("考试软件");
    Application->CreateForm(Form10, "Index");
    Application->CreateForm(Form1, "Unit1");
    Application->CreateForm(xzks, "zxks");
    Application->CreateForm(Form7, "Unit7");
    Application->CreateForm(About, "U_About");
    Application->CreateForm(Tjiameng, "jiameng");
    Application->CreateForm(TDailishang, "dalishang");
    Application->CreateForm(sjzt, "new_sjzt");
    Application->Run();
    return 0;
}
