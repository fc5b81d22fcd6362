#include "Unit7.h"

TForm7* Form7 = nullptr;

const TClassInfo& TForm7::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm7>("TForm7", TForm::StaticClass()).Build();
    return info;
}
