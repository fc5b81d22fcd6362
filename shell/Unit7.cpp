#include "Unit7.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "Index.h"
#include "Install.h"
#include "Streams.h"
#include "U_DBM.h"
#include "Version.h"

TForm7* Form7 = nullptr;
std::string UpgradeBaseUrl;
std::string UpgradeVersion;

const TClassInfo& TForm7::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm7>("TForm7", TForm::StaticClass())
        .Field("Panel1", &TForm7::Panel1)
        .Field("Label6", &TForm7::Label6)
        .Field("ProgressBar1", &TForm7::ProgressBar1)
        .Field("Button1", &TForm7::Button1)
        .Field("Label1", &TForm7::Label1)
        .Field("Label7", &TForm7::Label7)
        .Field("Label2", &TForm7::Label2)
        .Field("Label8", &TForm7::Label8)
        .Field("Label9", &TForm7::Label9)
        .Field("IdHTTP1", &TForm7::IdHTTP1)
        .Field("IdAntiFreeze1", &TForm7::IdAntiFreeze1)
        .Method("FormShow", &TForm7::FormShow)
        .Method("Button1Click", &TForm7::Button1Click)
        .Method("Button2Click", &TForm7::Button2Click)
        .Method("IdHTTP1WorkBegin", &TForm7::IdHTTP1WorkBegin)
        .Method("IdHTTP1Work", &TForm7::IdHTTP1Work)
        .Method("dowUpdate", &TForm7::dowUpdate)
        .Build();
    return info;
}

void HandOverToUpdater()
{
    ShowMessage("有新版本，请升级！");
    WinExec("Upgrading.exe", SW_HIDE);
    Form10->Close();
}

void TForm7::FormShow(TObject*)
{
    // The caption stays "正在升级" from an earlier check: only the button comes back.
    Button1->SetEnabled(true);
    Label1->SetCaption("当前版本: " + DBM->ReadConfig("pro"));
}

void TForm7::Button1Click(TObject*)
{
    Button1->SetEnabled(false);
    Button1->SetCaption("正在升级");
    Application->ProcessMessages();
    IdAntiFreeze1->OnlyWhenIdle = false;

    // A failed request goes to the framework's handler and leaves the button disabled.
    const std::string published = PublishedVersion(ReadVersionPage(*IdHTTP1));
    if (published != DBM->ReadConfig("pro")) {
        HandOverToUpdater();
    } else {
        ShowMessage("已经是新版本了！");
        Close();
    }
}

void TForm7::Button2Click(TObject*)
{
}

void TForm7::IdHTTP1WorkBegin(TObject*, TWorkMode, int64_t AWorkCountMax)
{
    ProgressBar1->SetMax(static_cast<int>(std::min<int64_t>(AWorkCountMax, INT_MAX)));
    ProgressBar1->SetMin(0);
    ProgressBar1->SetPosition(0);
}

void TForm7::IdHTTP1Work(TObject*, TWorkMode, int64_t AWorkCount)
{
    ProgressBar1->SetPosition(static_cast<int>(std::min<int64_t>(AWorkCount, INT_MAX)));
}

void TForm7::dowUpdate()
{
    IdAntiFreeze1->OnlyWhenIdle = false;
    TMemoryStream updater;
    try {
        Label7->SetCaption("正在更新升级程序,请稍后....");
        const std::string address = IdHTTP1->Get(UpgradeBaseUrl + "UpgradingUrl.asp");
        IdHTTP1->Get(address, updater);
        if (!IsWindowsProgram(updater))
            return;
    } catch (const std::exception&) {
        return;
    }
    InstallProgram(updater, GetCurrentDir() + "/Upgrading.exe");
    DBM->UpdateField("KTZX_Conf", "F_Title", "升级程序", "F_Val", UpgradeVersion, "");
    Label7->SetCaption("升级程序更新成功！");
}
