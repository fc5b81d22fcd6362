#include "new_sjzt.h"

Tsjzt* sjzt = nullptr;

const TClassInfo& Tsjzt::StaticClass()
{
    static const TClassInfo info = TClassBuilder<Tsjzt>("Tsjzt", TForm::StaticClass())
        .Field("PageControl1", &Tsjzt::PageControl1)
        .Field("TabSheet1", &Tsjzt::TabSheet1)
        .Field("GroupBox2", &Tsjzt::GroupBox2)
        .Field("Label1", &Tsjzt::Label1)
        .Field("Label2", &Tsjzt::Label2)
        .Field("WebBrowser1", &Tsjzt::WebBrowser1)
        .Field("IdAntiFreeze1", &Tsjzt::IdAntiFreeze1)
        .Field("IdHTTP1", &Tsjzt::IdHTTP1)
        .Method("FormShow", &Tsjzt::FormShow)
        .Method("FormHide", &Tsjzt::FormHide)
        .Method("Button9Click", &Tsjzt::Button9Click)
        .Method("TabSheet3Show", &Tsjzt::TabSheet3Show)
        .Method("TabSheet4Show", &Tsjzt::TabSheet4Show)
        .Build();
    return info;
}

void Tsjzt::FormShow(TObject*)
{
    WebBrowser1->Navigate(Label1->Caption());
}

void Tsjzt::FormHide(TObject*)
{
    WebBrowser1->Navigate("about:blank");
}
