#include "Unit1.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "IniFiles.h"
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

// A Windows program starts with the DOS header "MZ", whose field at 0x3C is the offset of the
// "PE\0\0" signature. Anything else (an error page sent as a success) is no client.
bool IsWindowsProgram(const TMemoryStream& file)
{
    const uint8_t* bytes = file.Memory();
    const size_t size = file.Length();
    if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    const uint32_t offset = bytes[0x3C] | bytes[0x3D] << 8 | bytes[0x3E] << 16 | static_cast<uint32_t>(bytes[0x3F]) << 24;
    return offset <= size - 4 && std::memcmp(bytes + offset, "PE\0\0", 4) == 0;
}

// The new client is written beside the old one and moved over it only when it is whole, so a
// failed write never leaves a broken client behind.
void Install(const TMemoryStream& client, const std::string& fileName)
{
    const std::string partial = fileName + ".part";
    try {
        client.SaveToFile(partial);
        // The file stream writes its last buffer when it closes, where a failure goes unreported.
        WIN32_FILE_ATTRIBUTE_DATA written;
        if (!GetFileAttributesExA(partial.c_str(), GetFileExInfoStandard, &written) ||
            (static_cast<uint64_t>(written.nFileSizeHigh) << 32 | written.nFileSizeLow) != client.Length())
            throw Exception(Format("Cannot write file \"%s\"", partial.c_str()));
        if (!MoveFileExA(partial.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw EFOpenError(Format("Cannot create file \"%s\"", fileName.c_str()));
    } catch (...) {
        DeleteFileA(partial.c_str());
        throw;
    }
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
    const std::string published = PublishedVersion(IdHTTP1->Get(VersionPageUrl()));
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
        Install(client, GetCurrentDir() + "/" + ReadConfig("kaoshi") + ".exe");
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
