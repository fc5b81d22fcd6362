#include "jiameng.h"

TTjiameng* Tjiameng = nullptr;

const TClassInfo& TTjiameng::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TTjiameng>("TTjiameng", TForm::StaticClass()).Build();
    return info;
}
