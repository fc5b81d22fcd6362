#include "Unit1.h"

#include "Index.h"

TForm1* Form1 = nullptr;

const TClassInfo& TForm1::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm1>("TForm1", TForm::StaticClass())
        .Method("win_api", &TForm1::win_api)
        .Build();
    return info;
}

void TForm1::win_api()
{
    Form10->HardExit();
}
