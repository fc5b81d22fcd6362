#include "Index.h"

#include "Sites.h"
#include "U_About.h"
#include "U_DBM.h"
#include "Unit1.h"
#include "Unit7.h"
#include "Version.h"
#include "dalishang.h"
#include "jiameng.h"
#include "zxks.h"

TForm10* Form10 = nullptr;

bool LeftPaneRedirect = false;
bool TopPaneRedirect = false;
TDateTime ShowTime = 0;
std::string UpdateMenuUsed;

namespace {

std::string DragHintShown;

// A page of the question-bank server for the configured exam, from the settings as they are now.
std::string PageAddress(const std::string& page)
{
    return ServiceSites().PageServer + page + "?kaoshi=" + DBM->ReadConfig("kaoshi") +
           "&ksbh=" + DBM->ReadConfig("ksbh") + "&HZSID=" + DBM->ReadConfig("HZSID");
}

}  // namespace

const TClassInfo& TForm10::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TForm10>("TForm10", TForm::StaticClass())
        .Field("Panel1", &TForm10::Panel1)
        .Field("Button2", &TForm10::Button2)
        .Field("WebBrowser2", &TForm10::WebBrowser2)
        .Field("WebBrowser1", &TForm10::WebBrowser1)
        .Field("Splitter2", &TForm10::Splitter2)
        .Field("WebBrowser7", &TForm10::WebBrowser7)
        .Field("Edit4", &TForm10::Edit4)
        .Field("Timer1", &TForm10::Timer1)
        .Field("IdHTTP1", &TForm10::IdHTTP1)
        .Field("MainMenu1", &TForm10::MainMenu1)
        .Field("SkinData1", &TForm10::SkinData1)
        .Method("FormCreate", &TForm10::FormCreate)
        .Method("FormShow", &TForm10::FormShow)
        .Method("FormClose", &TForm10::FormClose)
        .Method("Timer1Timer", &TForm10::Timer1Timer)
        .Method("Splitter3Moved", &TForm10::Splitter3Moved)
        .Method("Splitter4Moved", &TForm10::Splitter4Moved)
        .Method("Button2Click", &TForm10::Button2Click)
        .Method("N3Click", &TForm10::N3Click)
        .Method("N4Click", &TForm10::N4Click)
        .Method("N7Click", &TForm10::N7Click)
        .Method("N11Click", &TForm10::N11Click)
        .Method("N12Click", &TForm10::N12Click)
        .Method("N15Click", &TForm10::N15Click)
        .Method("N16Click", &TForm10::N16Click)
        .Method("N17Click", &TForm10::N17Click)
        .Method("WebBrowser1BeforeNavigate2", &TForm10::WebBrowser1BeforeNavigate2)
        .Method("WebBrowser1DocumentComplete", &TForm10::WebBrowser1DocumentComplete)
        .Method("WebBrowser2BeforeNavigate2", &TForm10::WebBrowser2BeforeNavigate2)
        .Method("WebBrowser2DocumentComplete", &TForm10::WebBrowser2DocumentComplete)
        .Method("WebBrowser7BeforeNavigate2", &TForm10::WebBrowser7BeforeNavigate2)
        .Method("WebBrowser7DocumentComplete", &TForm10::WebBrowser7DocumentComplete)
        .Build();
    return info;
}

void TForm10::FormCreate(TObject*)
{
    // Cover the whole desktop without being maximised.
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    SetBounds(0, 0, desktop.right, desktop.bottom);
}

void TForm10::FormShow(TObject*)
{
    Timer1->SetEnabled(false);
    ShowTime = Now();
    Timer1->SetEnabled(true);
    std::string prepared;
    DBM->Prepare(prepared);
    // The panes load their own pages first; only then are their links sent to the right pane.
    LeftPaneRedirect = false;
    TopPaneRedirect = false;
    WebBrowser1->Navigate(PageAddress("/tiku/soft_left.asp"));
    WebBrowser7->Navigate(PageAddress("/tiku/soft_MyUser.asp"));
    LeftPaneRedirect = true;
    const std::string exam = DBM->ReadConfig("kaoshi");
    SetCaption(exam);
    WebBrowser2->Navigate(PageAddress("/tiku/soft_up.asp"));
    CheckVersion();
    TopPaneRedirect = true;
    if (exam.empty())
        xzks->Show();
}

void TForm10::CheckVersion()
{
    if (UpdateMenuUsed == "1")
        return;
    try {
        if (PublishedVersion(ReadVersionPage(*IdHTTP1)) != DBM->ReadConfig("pro"))
            HandOverToUpdater();
    } catch (const std::exception&) {
        // The automatic check is silent: without it the client simply goes on.
    }
}

void TForm10::FormClose(TObject*, TCloseAction&)
{
    Form1->Close();
    // The window collapses for 900 ms before the process ends. Where the platform hides it at
    // once without animating, the close still takes that long.
    const ULONGLONG start = GetTickCount64();
    AnimateWindow(Handle(), 900, AW_HIDE | AW_CENTER);
    const ULONGLONG took = GetTickCount64() - start;
    if (took < 900)
        Sleep(static_cast<DWORD>(900 - took));
    HardExit();
}

void TForm10::Timer1Timer(TObject*)
{
    const TDateTime remaining = 30 / SecsPerDay + ShowTime - Now();
    Edit4->SetText(TimeToStr(remaining));
    // The locale decides whether the hour has a leading zero.
    const std::string shown = Trim(Edit4->Text());
    if (shown == "0:00:20" || shown == "00:00:20") {
        CheckVersion();
        Timer1->SetEnabled(false);
    }
}

void TForm10::Splitter3Moved(TObject*)
{
    ShowDragHint();
}

void TForm10::Splitter4Moved(TObject*)
{
    ShowDragHint();
}

void TForm10::ShowDragHint()
{
    if (DragHintShown == "是")
        return;
    ShowMessage("按住鼠标拖动，可以拓宽做题空间");
    DragHintShown = "是";
}

void TForm10::Button2Click(TObject*)
{
    Form1->Show();
}

void TForm10::N3Click(TObject*)
{
    Panel1->Hide();
}

void TForm10::N4Click(TObject*)
{
    UpdateMenuUsed = std::string("1");  // not from a literal: GCC 12 warns falsely (-Wrestrict) on that
    Form7->Show();
}

void TForm10::N7Click(TObject*)
{
    Panel1->Show();
}

void TForm10::N11Click(TObject*)
{
    Panel1->Hide();
}

void TForm10::N12Click(TObject*)
{
    Panel1->Show();
}

void TForm10::N15Click(TObject*)
{
    About->Show();
}

void TForm10::N16Click(TObject*)
{
    Tjiameng->Show();
}

void TForm10::N17Click(TObject*)
{
    TDailishang->Show();
}

void TForm10::WebBrowser1BeforeNavigate2(TObject*, IDispatch*, const std::string& URL, const VARIANT&, const VARIANT&,
                                         const VARIANT&, const VARIANT&, bool& Cancel)
{
    // Only the address goes on: a form posted here arrives in the right pane as a plain GET.
    Cancel = LeftPaneRedirect;
    if (LeftPaneRedirect)
        WebBrowser7->Navigate(URL);
}

void TForm10::WebBrowser1DocumentComplete(TObject*, IDispatch*, const std::string&)
{
    HideScrollBars(WebBrowser1->Document().Get());
}

void TForm10::WebBrowser2BeforeNavigate2(TObject*, IDispatch*, const std::string& URL, const VARIANT&, const VARIANT&,
                                         const VARIANT&, const VARIANT&, bool& Cancel)
{
    if (TopPaneRedirect)
        WebBrowser7->Navigate(URL);
    Cancel = TopPaneRedirect;
}

void TForm10::WebBrowser2DocumentComplete(TObject*, IDispatch*, const std::string&)
{
    HideScrollBars(WebBrowser2->Document().Get());
}

void TForm10::WebBrowser7BeforeNavigate2(TObject*, IDispatch*, const std::string&, const VARIANT&, const VARIANT&,
                                         const VARIANT&, const VARIANT&, bool&)
{
}

void TForm10::WebBrowser7DocumentComplete(TObject*, IDispatch*, const std::string&)
{
}

void TForm10::HardExit()
{
    ExitProcess(0);
}

std::string TForm10::ExtractBetween(const std::string& Source, const std::string& StartMarker,
                                    const std::string& EndMarker)
{
    // Byte position, from 1, of the first match that begins on a character boundary; 0 for none.
    auto position = [&Source](const std::string& marker) -> long long {
        if (marker.empty())
            return 0;
        for (size_t i = 0; i < Source.size(); ++i) {
            if (Source.compare(i, marker.size(), marker) == 0)
                return static_cast<long long>(i) + 1;
            if (IsDBCSLeadByteEx(936, static_cast<BYTE>(Source[i])))
                ++i;
        }
        return 0;
    };
    const long long from = position(StartMarker) + static_cast<long long>(StartMarker.size());
    const long long count = position(EndMarker) - from;
    if (count <= 0 || from > static_cast<long long>(Source.size()))
        return {};
    // Position 0 (an empty start marker) copies from the first byte; substr cuts at the end.
    return Source.substr(from < 1 ? 0 : static_cast<size_t>(from - 1), static_cast<size_t>(count));
}
