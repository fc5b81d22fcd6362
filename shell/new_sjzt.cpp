#include "new_sjzt.h"

Tsjzt* sjzt = nullptr;

const TClassInfo& Tsjzt::StaticClass()
{
    static const TClassInfo info = TClassBuilder<Tsjzt>("Tsjzt", TForm::StaticClass()).Build();
    return info;
}
