#include "U_About.h"

#include <shellapi.h>

#include "MakerContact.h"
#include "Sites.h"
#include "U_DBM.h"

TAbout* About = nullptr;

const TClassInfo& TAbout::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TAbout>("TAbout", TForm::StaticClass())
        .Field("Panel1", &TAbout::Panel1)
        .Field("Image1", &TAbout::Image1)
        .Field("Image2", &TAbout::Image2)
        .Field("Label1", &TAbout::Label1)
        .Field("Label2", &TAbout::Label2)
        .Field("Label3", &TAbout::Label3)
        .Field("Label4", &TAbout::Label4)
        .Field("Label5", &TAbout::Label5)
        .Field("Label7", &TAbout::Label7)
        .Field("Label8", &TAbout::Label8)
        .Field("Button1", &TAbout::Button1)
        .Method("FormCreate", &TAbout::FormCreate)
        .Method("FormShow", &TAbout::FormShow)
        .Method("Button1Click", &TAbout::Button1Click)
        .Method("Label7MouseMove", &TAbout::Label7MouseMove)
        .Method("Label7MouseLeave", &TAbout::Label7MouseLeave)
        .Method("Label7Click", &TAbout::Label7Click)
        .Build();
    return info;
}

void TAbout::FormCreate(TObject*)
{
    Label8->SetCaption(MakerServiceLine);
}

void TAbout::FormShow(TObject*)
{
    Label4->SetCaption("授 权 商：" + DBM->ReadDealerInfo("jxs"));
    Label5->SetCaption("联系方式：" + DBM->ReadDealerInfo("lxfs"));
    Label7->SetCaption("网    站：" + DBM->ReadDealerInfo("wz"));
    // Copies sold by the maker itself name its own site; only those show its service line.
    if (DBM->ReadConfig("wz") == ServiceSites().MakerSite + "/")
        Label8->Show();
}

void TAbout::Button1Click(TObject*)
{
    Close();
}

void TAbout::Label7MouseMove(TObject*, unsigned, int, int)
{
    Label7->Font().SetColor(clRed);
    Label7->Font().SetStyle(fsUnderline);
    Screen->SetCursor(crHandPoint);
}

void TAbout::Label7MouseLeave(TObject*)
{
    Label7->Font().SetColor(clNavy);
    Label7->Font().SetStyle(0);
    Screen->SetCursor(crDefault);
}

void TAbout::Label7Click(TObject*)
{
    // The result is not examined: a document the shell cannot open fails quietly.
    ShellExecuteA(Handle(), nullptr, DBM->ReadDealerInfo("xxjs").c_str(), "", "", SW_SHOW);
}
