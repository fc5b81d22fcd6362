#include "U_About.h"

TAbout* About = nullptr;

const TClassInfo& TAbout::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TAbout>("TAbout", TForm::StaticClass()).Build();
    return info;
}
