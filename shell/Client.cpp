#include "Client.h"

#include "Forms.h"
#include "Index.h"
#include "U_About.h"
#include "U_DBM.h"
#include "Unit1.h"
#include "Unit7.h"
#include "dalishang.h"
#include "jiameng.h"
#include "new_sjzt.h"
#include "zxks.h"

void CreateClient()
{
    Application->Initialize();
    Application->SetTitle("考试软件");
    Application->CreateForm(Form10, "Index");
    Application->CreateForm(Form1, "Unit1");
    Application->CreateForm(xzks, "zxks");
    Application->CreateForm(Form7, "Unit7");
    Application->CreateForm(DBM, "U_DBM");
    Application->CreateForm(About, "U_About");
    Application->CreateForm(Tjiameng, "jiameng");
    Application->CreateForm(TDailishang, "dalishang");
    Application->CreateForm(sjzt, "new_sjzt");
}
