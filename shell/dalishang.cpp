#include "dalishang.h"

TTDailishang* TDailishang = nullptr;

const TClassInfo& TTDailishang::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TTDailishang>("TTDailishang", TForm::StaticClass()).Build();
    return info;
}
