#include "Index.h"

#include "Unit1.h"

TForm10* Form10 = nullptr;

const TClassInfo& TForm10::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm10>("TForm10", TForm::StaticClass())
        .Method("FormCreate", &TForm10::FormCreate)
        .Method("FormClose", &TForm10::FormClose)
        .Field("SkinData1", &TForm10::SkinData1)
        .Build();
    return info;
}

void TForm10::FormCreate(TObject*)
{
    // Cover the whole desktop without being maximised.
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    SetBounds(0, 0, desktop.right, desktop.bottom);
}

void TForm10::FormClose(TObject*, TCloseAction&)
{
    Form1->Close();
    AnimateWindow(Handle(), 900, AW_HIDE | AW_CENTER);
    HardExit();
}

void TForm10::HardExit()
{
    ExitProcess(0);
}
