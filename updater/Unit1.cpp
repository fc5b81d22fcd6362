#include "Unit1.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "IniFiles.h"
#include "Install.h"
#include "Settings.h"
#include "Sites.h"
#include "Streams.h"
#include "Version.h"

TForm1* Form1 = nullptr;

namespace {

std::string ExeDir()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of("\\/"));
}

}  // namespace

const TClassInfo& TForm1::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm1>("TForm1", TForm::StaticClass())
        .Field("Panel1", &TForm1::Panel1)
        .Field("Image1", &TForm1::Image1)
        .Field("Label1", &TForm1::Label1)
        .Field("Label2", &TForm1::Label2)
        .Field("Label3", &TForm1::Label3)
        .Field("Label4", &TForm1::Label4)
        .Field("Label5", &TForm1::Label5)
        .Field("Label6", &TForm1::Label6)
        .Field("Label7", &TForm1::Label7)
        .Field("Label8", &TForm1::Label8)
        .Field("ProgressBar1", &TForm1::ProgressBar1)
        .Field("Button1", &TForm1::Button1)
        .Field("Button2", &TForm1::Button2)
        .Field("IdHTTP1", &TForm1::IdHTTP1)
        .Field("IdAntiFreeze1", &TForm1::IdAntiFreeze1)
        .Method("Button1Click", &TForm1::Button1Click)
        .Method("Button2Click", &TForm1::Button2Click)
        .Method("IdHTTP1WorkBegin", &TForm1::IdHTTP1WorkBegin)
        .Method("IdHTTP1Work", &TForm1::IdHTTP1Work)
        .Build();
    return info;
}

void TForm1::Button1Click(TObject*)
{
    Button1->SetEnabled(false);
    Button1->SetCaption("正在升级");
    Application->ProcessMessages();
    IdAntiFreeze1->OnlyWhenIdle = false;

    // A failed version request goes to the framework's handler and leaves the button disabled.
    const std::string published = PublishedVersion(ReadVersionPage(*IdHTTP1));
    if (published != ReadConfig("pro")) {
        TMemoryStream client;
        try {
            IdHTTP1->Get(ServiceSites().MakerSite + "/sikao/down/pro/lexdrill.t", client);
            if (!IsWindowsProgram(client))
                throw Exception("The download is not a Windows program");
        } catch (const EAbort&) {
            throw;  // the candidate closed the window meanwhile
        } catch (const std::exception&) {
            ShowMessage("升级程序出错!");
            return;
        }
        InstallProgram(client, GetCurrentDir() + "/" + ReadConfig("kaoshi") + ".exe");
    }
    WriteConfig("OLEDB5", "pro", published);
    ShowMessage("您的系统也经是最新版本了！");
    WinExec((ReadConfig("kaoshi") + ".exe").c_str(), SW_HIDE);
    Close();
}

void TForm1::Button2Click(TObject*)
{
    Close();
}

void TForm1::IdHTTP1WorkBegin(TObject*, TWorkMode, int64_t AWorkCountMax)
{
    ProgressBar1->SetMax(static_cast<int>(std::min<int64_t>(AWorkCountMax, INT_MAX)));
    ProgressBar1->SetMin(0);
    ProgressBar1->SetPosition(0);
}

void TForm1::IdHTTP1Work(TObject*, TWorkMode, int64_t AWorkCount)
{
    ProgressBar1->SetPosition(static_cast<int>(std::min<int64_t>(AWorkCount, INT_MAX)));
    const int max = ProgressBar1->Max();
    // A reply that announces no length has no share to show: the amount so far instead.
    if (max <= 0) {
        Label6->SetCaption("已下载 " + IntToStr(AWorkCount / 1024) + " KB");
        return;
    }
    const double percent = static_cast<double>(ProgressBar1->Position()) / max * 100;
    Label6->SetCaption("已下载 " + FloatToStr(percent).substr(0, 4) + "%");
}

std::string TForm1::ReadConfig(const std::string& Key)
{
    return ReadConfigKey(Key);
}

void TForm1::WriteConfig(const std::string& Section, const std::string& Key, const std::string& Value)
{
    TIniFile ini(ExeDir() + "\\Config.ini");
    if ((Section + Key + Value).find_first_of("\r\n") != std::string::npos)
        throw Exception(Format("Unable to write to %s", ini.FileName().c_str()));
    ini.WriteString(Section, Key, Value);
}
