// The login, exam-assembly, exam-paper, about and information windows, created as the client
// creates them, with the service's sites on the local test server.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "Client.h"
#include "Forms.h"
#include "HttpTestServer.h"
#include "Index.h"
#include "LayoutTesting.h"
#include "MakerContact.h"
#include "Sites.h"
#include "TempDir.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "WindowTesting.h"
#include "U_About.h"
#include "Unit1.h"
#include "Unit7.h"
#include "dalishang.h"
#include "jiameng.h"
#include "new_sjzt.h"
#include "zxks.h"

TEST(ExtractBetween, TakesTheTextBetweenTheFirstMarkers)
{
    EXPECT_EQ(TForm10::ExtractBetween("http://h/soft_ok.asp?wel登录come", "wel", "come"), "登录");
    EXPECT_EQ(TForm10::ExtractBetween("考试wel登录come中文come", "wel", "come"), "登录");
    EXPECT_EQ(TForm10::ExtractBetween("a.asp?ksbh=2024&kaoshi=司法&end", "ksbh=", "&kaoshi"), "2024");
    EXPECT_EQ(TForm10::ExtractBetween("a.asp?ksbh=2024&kaoshi=司法&end", "kaoshi=", "&end"), "司法");
    EXPECT_EQ(TForm10::ExtractBetween("welcome", "wel", "come"), "");
}

TEST(ExtractBetween, MissingOrMisplacedMarkers)
{
    // The end marker is searched from the start too: ahead of the start marker it gives nothing.
    EXPECT_EQ(TForm10::ExtractBetween("/come.asp?wel登录come", "wel", "come"), "");
    EXPECT_EQ(TForm10::ExtractBetween("/a.asp?wel登录", "wel", "come"), "");
    // A missing start marker counts as position 0: the copy begins at the byte numbered by the
    // marker's length.
    EXPECT_EQ(TForm10::ExtractBetween("abcdefcome", "wel", "come"), "cdef");
    EXPECT_EQ(TForm10::ExtractBetween("ab登录come", "wel", "come"), "登录");
    EXPECT_EQ(TForm10::ExtractBetween("ab", "wel", "b"), "");
    EXPECT_EQ(TForm10::ExtractBetween("", "wel", "come"), "");
}

TEST(ExtractBetween, NoMatchBeginsInsideADoubleByteCharacter)
{
    // 0x81 0x77 and 0x81 0x63 are one character each, whose second byte reads as "w" and "c".
    EXPECT_EQ(TForm10::ExtractBetween("\x81" "wel" "wel登录come", "wel", "come"), "登录");
    EXPECT_EQ(TForm10::ExtractBetween("wel登录\x81" "come" "come", "wel", "come"), "登录\x81" "come");
    // A lead byte at the very end stands alone.
    EXPECT_EQ(TForm10::ExtractBetween("wel登录come\x81", "wel", "come"), "登录");
}

namespace {

bool ServerSawPath(const std::string& pathAndQuery)
{
    return Pump([&] {
        const std::vector<std::string> log = PageLog();
        return std::find(log.begin(), log.end(), "GET " + pathAndQuery) != log.end();
    });
}

// Sets an event for the life of the object, then puts back the handler it had.
template <class F> class TEventOverride {
public:
    TEventOverride(F& slot, const std::function<F(const F& previous)>& make) : slot_(slot), saved_(slot)
    {
        slot_ = make(saved_);
    }
    ~TEventOverride() { slot_ = saved_; }
    TEventOverride(const TEventOverride&) = delete;
    TEventOverride& operator=(const TEventOverride&) = delete;

private:
    F& slot_;
    F saved_;
};

// Counts the calls of an event; the handler it had still runs.
class TEventCount {
public:
    explicit TEventCount(TNotifyEvent& slot)
        : override_(slot, [this](const TNotifyEvent& previous) {
              return [this, previous](TObject* sender) {
                  ++count;
                  if (previous)
                      previous(sender);
              };
          })
    {
    }
    int count = 0;

private:
    TEventOverride<TNotifyEvent> override_;
};

struct TNavigation {
    std::string url;
    bool cancelled;
};

// Records each navigation of a browser after its own handler has decided on it.
class TNavigationLog {
public:
    explicit TNavigationLog(TWebBrowser* browser)
        : override_(browser->OnBeforeNavigate2, [this](const TWebBrowserBeforeNavigate2& handler) {
              return [this, handler](TObject* sender, IDispatch* pDisp, const std::string& url, const VARIANT& flags,
                                     const VARIANT& target, const VARIANT& postData, const VARIANT& headers,
                                     bool& cancel) {
                  if (handler)
                      handler(sender, pDisp, url, flags, target, postData, headers, cancel);
                  seen.push_back({url, cancel});
              };
          })
    {
    }
    std::vector<TNavigation> seen;

private:
    TEventOverride<TWebBrowserBeforeNavigate2> override_;
};

void ClickButton(TButton* button)
{
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
}

}  // namespace

// The whole client, once per test process, in a folder of its own as current directory.
class ClientWindows : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<TTempCurrentDir>();
        WriteConfig("司法考试", "");
        const std::string server = TestServerUrl("");
        ServiceSites() = {server, server, server};
        startupMessages = MessageBoxesDuring(CreateClient);
    }
    static void TearDownTestSuite() { folder.reset(); }

    static void WriteConfig(const std::string& kaoshi, const std::string& wz)
    {
        folder->Write("Config.INI", "[OLEDB5]\r\nkaoshi=" + kaoshi + "\r\nksbh=01\r\nHZSID=7\r\nwz=" + wz + "\r\n");
    }
    static inline std::unique_ptr<TTempCurrentDir> folder;
    static inline std::vector<std::string> startupMessages;
};

TEST_F(ClientWindows, EveryLayoutLoadsAndTheExamPaperWindowPumpsForTheProcess)
{
    // The database's failure is the only message of start-up: a layout that failed would add one.
    EXPECT_EQ(startupMessages.size(), 1u) << testing::PrintToString(startupMessages);
    EXPECT_EQ(TIdAntiFreeze::Current(), sjzt->IdAntiFreeze1);
    EXPECT_FALSE(sjzt->Visible());
    EXPECT_EQ(Form1->Image1->Picture().Height(), 57);
    for (TImage* image : {About->Image1, Tjiameng->Image1, TDailishang->Image1})
        EXPECT_EQ(image->Picture().Width(), 153);
    for (TImage* image : {About->Image2, Tjiameng->Image2, TDailishang->Image2})
        EXPECT_EQ(image->Picture().Width(), 336);
    EXPECT_EQ(About->Label8->Caption(), MakerServiceLine);
    EXPECT_EQ(Tjiameng->Label4->Caption(), std::string("报名方式：请将简历发送到 ") + MakerEmail);
    EXPECT_EQ(TDailishang->Label4->Caption(), std::string("电子邮箱： ") + MakerEmail);
    EXPECT_EQ(TDailishang->Label5->Caption(), std::string("联系方式：QQ ") + MakerQQ);

    // Shown, the exam-paper window opens the address its label holds; hidden, a blank page.
    TNavigationLog log(sjzt->WebBrowser1);
    const std::vector<TNavigation>& seen = log.seen;
    sjzt->Label1->SetCaption(TestServerUrl("/paper.asp"));
    sjzt->Show();
    sjzt->Hide();
    ASSERT_TRUE(Pump([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen[0].url, TestServerUrl("/paper.asp"));
    EXPECT_EQ(seen[1].url, "about:blank");
}

TEST_F(ClientWindows, LoginSignalShowsTheMainWindowAgainAndOtherAddressesLoad)
{
    Form10->Show();
    TEventCount hides(Form10->OnHide), shows(Form10->OnShow);
    TNavigationLog log(Form1->WebBrowser1);
    const std::vector<TNavigation>& seen = log.seen;

    LeftPaneRedirect = false;
    Form1->Show();
    EXPECT_TRUE(LeftPaneRedirect);
    EXPECT_TRUE(ServerSawPath("/tiku/soft_Login.asp"));
    const std::vector<std::string> paths = {
        "/tiku/soft_Check.asp?wel登录come",   // success
        "/tiku/soft_Check.asp?wel登陆come",   // another text
        "/tiku/come.asp?wel登录come",         // end marker ahead of the start marker
        "/tiku/soft_Check.asp?x=wel登录come", // success again
    };
    for (const std::string& path : paths) {
        const size_t before = seen.size();
        Form1->WebBrowser1->Navigate(TestServerUrl(path));
        ASSERT_TRUE(Pump([&] { return seen.size() > before; })) << path;
    }
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_FALSE(seen[0].cancelled);
    EXPECT_TRUE(seen[1].cancelled);
    EXPECT_FALSE(seen[2].cancelled);
    EXPECT_FALSE(seen[3].cancelled);
    EXPECT_TRUE(seen[4].cancelled);
    EXPECT_EQ(hides.count, 2);
    EXPECT_EQ(shows.count, 2);
    EXPECT_TRUE(Form10->Visible());
    EXPECT_TRUE(Form1->Visible());
    EXPECT_TRUE(ServerSawPath("/tiku/come.asp?wel登录come"));
    for (const std::string& path : PageLog())
        EXPECT_EQ(path.find("soft_Check.asp?wel登录"), std::string::npos) << "a cancelled navigation went out";
}

TEST_F(ClientWindows, ExamChoiceShowsTheNumberAndTheName)
{
    TNavigationLog log(xzks->WebBrowser1);
    const std::vector<TNavigation>& seen = log.seen;
    xzks->Show();
    EXPECT_TRUE(ServerSawPath("/tiku/soft_scrj.asp"));
    const std::string noNumberMarker = TestServerUrl("/ksbh/list.asp?id=1&kaoshi=民法&end");
    const std::vector<std::string> boxes = MessageBoxesDuring([&] {
        for (const std::string& url : {TestServerUrl("/tiku/done.asp?ksbh=2024001&kaoshi=司法考试&end"),
                                       TestServerUrl("/tiku/done.asp?ksbh=77"), noNumberMarker,
                                       TestServerUrl("/tiku/other.asp?KSBH=1")}) {
            const size_t before = seen.size();
            xzks->WebBrowser1->Navigate(url);
            ASSERT_TRUE(Pump([&] { return seen.size() > before; })) << url;
            if (url == noNumberMarker) {
                EXPECT_EQ(xzks->Label2->Caption(), "民法");
            }
        }
    });
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_FALSE(seen[0].cancelled);
    EXPECT_TRUE(seen[1].cancelled);
    EXPECT_TRUE(seen[2].cancelled);
    EXPECT_TRUE(seen[3].cancelled);
    EXPECT_FALSE(seen[4].cancelled);  // the search is case-sensitive
    // "ksbh" without "ksbh=": the copy starts at the fifth byte of the address.
    const std::string& url = noNumberMarker;
    EXPECT_EQ(boxes, (std::vector<std::string>{"2024001", "", url.substr(4, url.find("&kaoshi") - 4)}));
    EXPECT_TRUE(ServerSawPath("/tiku/other.asp?KSBH=1"));
}

TEST_F(ClientWindows, AboutWindowReadsTheDealerFileAtEveryShowAndClosesWithOk)
{
    About->Show();
    EXPECT_EQ(About->Label4->Caption(), "授 权 商：");
    EXPECT_EQ(About->Label5->Caption(), "联系方式：");
    EXPECT_EQ(About->Label7->Caption(), "网    站：");
    ClickButton(About->Button1);
    EXPECT_FALSE(About->Visible());

    folder->Write("data/brightdesk.INI", "[OLEDB5]\r\njxs=明远图书\r\nlxfs=010-6000 1234\r\nwz=www.mingyuan.cn\r\n");
    About->Show();
    EXPECT_EQ(About->Label4->Caption(), "授 权 商：明远图书");
    EXPECT_EQ(About->Label5->Caption(), "联系方式：010-6000 1234");
    EXPECT_EQ(About->Label7->Caption(), "网    站：www.mingyuan.cn");
    About->Close();
    folder->Write("data/brightdesk.INI", "[OLEDB5]\r\njxs=新书店\r\n");
    About->Show();
    EXPECT_EQ(About->Label4->Caption(), "授 权 商：新书店");
    EXPECT_EQ(About->Label7->Caption(), "网    站：");
    About->Close();
}

TEST_F(ClientWindows, ServiceLineShowsOnlyForTheMakersExactRootAddress)
{
    const std::string root = ServiceSites().MakerSite + "/";
    std::string upper = root;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const std::string& wz : {std::string(), ServiceSites().MakerSite, upper, root + "index.asp"}) {
        WriteConfig("司法考试", wz);
        About->Show();
        EXPECT_FALSE(About->Label8->Visible()) << wz;
        About->Close();
    }
    WriteConfig("司法考试", root);
    About->Show();
    EXPECT_TRUE(About->Label8->Visible());
    About->Close();
    WriteConfig("司法考试", "");
    About->Show();
    EXPECT_TRUE(About->Label8->Visible());  // nothing hides it again
    About->Close();
}

TEST_F(ClientWindows, LinkLabelColoursTheCursorAndOpensTheDealersDocument)
{
    TLabel& link = *About->Label7;
    const TColor initial = link.Font().Color();
    EXPECT_NE(initial, clRed);
    EXPECT_NE(initial, clNavy);
    About->Show();
    // The mouse moving over the label reaches it through its panel; leaving is the framework's
    // message (the real cursor stays where it is: other test programs share the desktop).
    PostMessageA(About->Panel1->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(link.Left() + 4, link.Top() + 4));
    ASSERT_TRUE(Pump([&] { return link.Font().Color() == clRed; }));
    EXPECT_EQ(link.Font().Style(), fsUnderline);
    EXPECT_EQ(Screen->Cursor(), crHandPoint);
    link.Perform(CM_MOUSELEAVE);
    EXPECT_EQ(link.Font().Color(), clNavy);
    EXPECT_EQ(link.Font().Style(), 0);
    EXPECT_EQ(Screen->Cursor(), crDefault);

    // The dealer's document goes to the shell: a batch file that leaves a mark.
    folder->Write("open.bat", "@echo opened> opened.txt\r\n");
    folder->Write("data/brightdesk.INI", "[OLEDB5]\r\nxxjs=" + folder->Path() + "\\open.bat\r\n");
    link.Click();
    EXPECT_TRUE(Pump([&] { return GetFileAttributesA("opened.txt") != INVALID_FILE_ATTRIBUTES; }, 20000));
    About->Close();
}

TEST_F(ClientWindows, InformationWindowsOpenAndCloseWithOk)
{
    for (TCustomForm* window : {static_cast<TCustomForm*>(Tjiameng), static_cast<TCustomForm*>(TDailishang)}) {
        window->Show();
        EXPECT_TRUE(window->Visible());
        TButton* ok = window == Tjiameng ? Tjiameng->Button1 : TDailishang->Button1;
        EXPECT_EQ(ok->Caption(), "确定");
        ClickButton(ok);
        EXPECT_FALSE(window->Visible()) << window->Name();
    }
}

// Every window the client opens, skinned as the client skins it, shows each label whole and
// clear of the controls beside it, at whatever resolution the display has (CTest runs this a
// second time on a display of 120 pixels an inch, LEXDRILL_EXPECT_DPI saying so).
TEST_F(ClientWindows, EveryLabelShowsWholeAndClearOfItsNeighbours)
{
    ASSERT_EQ(ScreenDpi(), ExpectedDpi());
    WriteConfig("司法考试", ServiceSites().MakerSite + "/");
    folder->Write("data/brightdesk.INI", "[OLEDB5]\r\njxs=明远图书\r\nlxfs=010-6000 1234\r\nwz=www.mingyuan.cn\r\n");
    for (TCustomForm* window : std::initializer_list<TCustomForm*>{Form10, Form1, xzks, Form7, About, Tjiameng,
                                                                    TDailishang, sjzt}) {
        window->Show();
        ASSERT_TRUE(Pump([window] {
            const TWinSkinForm* skin = SkinManage->FindFormSkin(window->Handle());
            return skin && skin->SkinState() == fssSkinned;
        })) << window->Name();
        EXPECT_EQ(TextClashes(*window), std::vector<std::string>{}) << window->Name();
        window->Hide();
    }
    WriteConfig("司法考试", "");
}
