#include "zxks.h"

#include "Index.h"
#include "Sites.h"

Txzks* xzks = nullptr;

const TClassInfo& Txzks::StaticClass()
{
    static const TClassInfo info = TClassBuilder<Txzks>("Txzks", TForm::StaticClass())
        .Field("WebBrowser1", &Txzks::WebBrowser1)
        .Field("Label1", &Txzks::Label1)
        .Field("Label2", &Txzks::Label2)
        .Field("Button1", &Txzks::Button1)
        .Field("ProgressBar1", &Txzks::ProgressBar1)
        .Method("FormShow", &Txzks::FormShow)
        .Method("WebBrowser1BeforeNavigate2", &Txzks::WebBrowser1BeforeNavigate2)
        .Method("R1Click", &Txzks::R1Click)
        .Method("R2Click", &Txzks::R2Click)
        .Build();
    return info;
}

void Txzks::FormShow(TObject*)
{
    WebBrowser1->Navigate(ServiceSites().ProductSite + "/tiku/soft_scrj.asp");
}

void Txzks::WebBrowser1BeforeNavigate2(TObject*, IDispatch*, const std::string& URL, const VARIANT&, const VARIANT&,
                                       const VARIANT&, const VARIANT&, bool& Cancel)
{
    if (URL.find("ksbh") == std::string::npos)
        return;
    ShowMessage(TForm10::ExtractBetween(URL, "ksbh=", "&kaoshi"));
    Label2->SetCaption(TForm10::ExtractBetween(URL, "kaoshi=", "&end"));
    Cancel = true;
}
