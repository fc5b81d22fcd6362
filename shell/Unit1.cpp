#include "Unit1.h"

#include "Index.h"
#include "Sites.h"
#include "U_About.h"

TForm1* Form1 = nullptr;

const TClassInfo& TForm1::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm1>("TForm1", TForm::StaticClass())
        .Field("Image1", &TForm1::Image1)
        .Field("WebBrowser1", &TForm1::WebBrowser1)
        .Field("IdHTTP1", &TForm1::IdHTTP1)
        .Method("FormShow", &TForm1::FormShow)
        .Method("WebBrowser1BeforeNavigate2", &TForm1::WebBrowser1BeforeNavigate2)
        .Method("N8Click", &TForm1::N8Click)
        .Method("win_api", &TForm1::win_api)
        .Build();
    return info;
}

void TForm1::FormShow(TObject*)
{
    LeftPaneRedirect = false;
    WebBrowser1->Navigate(ServiceSites().ProductSite + "/tiku/soft_Login.asp");
    LeftPaneRedirect = true;
}

void TForm1::WebBrowser1BeforeNavigate2(TObject*, IDispatch*, const std::string& URL, const VARIANT&, const VARIANT&,
                                        const VARIANT&, const VARIANT&, bool& Cancel)
{
    if (TForm10::ExtractBetween(URL, "wel", "come") != "登录")
        return;
    // Showing the main window again reloads its panes for the candidate now logged in.
    Form10->Hide();
    Form10->Show();
    Cancel = true;
}

void TForm1::N8Click(TObject*)
{
    About->Show();
}

void TForm1::win_api()
{
    Form10->HardExit();
}
