#include "zxks.h"

Txzks* xzks = nullptr;

const TClassInfo& Txzks::StaticClass()
{
    static const TClassInfo info = TClassBuilder<Txzks>("Txzks", TForm::StaticClass()).Build();
    return info;
}
