// The main window as the client creates it, its panes talking to the local test server. Without
// an HTML engine the panes never complete a document: those events are sent to their sinks.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdispid.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Client.h"
#include "FakeDispatch.h"
#include "HttpTestServer.h"
#include "IdHTTP.h"
#include "Index.h"
#include "Sites.h"
#include "TempDir.h"
#include "WinSkinDataManage.h"
#include "WindowTesting.h"
#include "U_About.h"
#include "Unit1.h"
#include "Unit7.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"
#include "dalishang.h"
#include "jiameng.h"
#include "zxks.h"

namespace {

// The requests after the first `from`, once there are `count` of them and nothing more came.
std::vector<std::string> NewRequests(size_t from, size_t count)
{
    std::vector<std::string> log;
    Pump([&] {
        log = PageLog();
        return log.size() >= from + count;
    });
    Wait(500);  // time for a request that should not come
    log = PageLog();
    std::vector<std::string> fresh(log.begin() + static_cast<long>(std::min(from, log.size())), log.end());
    std::sort(fresh.begin(), fresh.end());  // the server answers each request on its own thread
    return fresh;
}

std::string Page(const std::string& pathAndQuery)
{
    return TestServerUrl(pathAndQuery);
}

// Every navigation a pane was about to make, and whether its handler cancelled it.
struct TPaneEvent {
    std::string pane;
    std::string url;
    bool cancelled;
    bool operator==(const TPaneEvent&) const = default;
};
void PrintTo(const TPaneEvent& e, std::ostream* out)
{
    *out << e.pane << " " << e.url << (e.cancelled ? " cancelled" : "");
}
std::vector<TPaneEvent> paneEvents;

void Record(TWebBrowser* browser, const char* pane)
{
    browser->OnBeforeNavigate2 = [pane, handler = browser->OnBeforeNavigate2](
                                     TObject* sender, IDispatch* pDisp, const std::string& url, const VARIANT& flags,
                                     const VARIANT& frame, const VARIANT& postData, const VARIANT& headers,
                                     bool& cancel) {
        handler(sender, pDisp, url, flags, frame, postData, headers, cancel);
        paneEvents.push_back({pane, url, cancel});
    };
}

std::vector<std::string> startupMessages;

class TClientEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        const std::string server = TestServerUrl("");
        ServiceSites() = {server, server, server};
        // The database cannot be opened here; its failure is reported and start-up goes on.
        startupMessages = MessageBoxesDuring(CreateClient);
        Record(Form10->WebBrowser1, "left");
        Record(Form10->WebBrowser2, "top");
        Record(Form10->WebBrowser7, "right");
    }
};
[[maybe_unused]] testing::Environment* const clientEnvironment =
    testing::AddGlobalTestEnvironment(new TClientEnvironment);

class MainWindow : public testing::Test {
protected:
    void SetUp() override
    {
        dir.Write("Config.INI", "[OLEDB5]\r\nkaoshi=司法考试\r\nksbh=K01\r\nHZSID=H7\r\n");
        paneEvents.clear();
    }
    void TearDown() override
    {
        for (TCustomForm* form : Screen->Forms())
            form->Hide();
    }

    // Shows the main window as the program does after start-up or a login, and waits for the
    // three panes' requests (and the exam-assembly page's, when that window opens too).
    std::vector<std::string> ShowAndLoad(size_t requests = 3)
    {
        const size_t from = PageLog().size();
        Form10->Hide();
        Form10->Show();
        return NewRequests(from, requests);
    }

    TTempCurrentDir dir;
};

bool Panel1Visible()
{
    return Form10->Panel1->Visible() && IsWindowVisible(Form10->Panel1->Handle());
}

void ClickMenu(const char* item)
{
    auto* menuItem = dynamic_cast<TMenuItem*>(Form10->FindComponent(item));
    ASSERT_TRUE(menuItem) << item;
    SendMessageA(Form10->Handle(), WM_COMMAND, menuItem->Command(), 0);
}

// A native menu as text: each item's component name (found by its command or its drop-down),
// its caption, and its drop-down's items in brackets.
std::string MenuTree(HMENU menu)
{
    std::string tree;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const HMENU dropDown = GetSubMenu(menu, i);
        std::string name = "?";
        for (int c = 0; c < Form10->ComponentCount(); ++c) {
            auto* item = dynamic_cast<TMenuItem*>(Form10->Components(c));
            if (item && (dropDown ? item->Count() > 0 && item->Handle() == dropDown
                                  : item->Count() == 0 && item->Command() == GetMenuItemID(menu, i)))
                name = item->Name();
        }
        tree += (i ? ", " : "") + name + " " + text;
        if (dropDown)
            tree += " [" + MenuTree(dropDown) + "]";
    }
    return tree;
}

// The countdown's text for a number of seconds under an hour: the locale may pad the hour.
::testing::AssertionResult ShowsSeconds(const std::string& text, int seconds)
{
    if (text == Format("0:00:%02d", seconds) || text == Format("00:00:%02d", seconds))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" is not " << seconds << " seconds";
}

// Without an HTML engine a pane's control has no document. While this lives, each pane given has
// a stand-in: a document whose body records what is set on it. The control's own document
// property is replaced in the controls' shared method table and put back afterwards.
class TStandInDocuments {
public:
    struct TStandIn {
        IWebBrowser2* browser;
        FakeDispatch document, body;
    };

    explicit TStandInDocuments(const std::vector<TWebBrowser*>& panes)
    {
        for (TWebBrowser* pane : panes) {
            standIns_.push_back(std::make_unique<TStandIn>());
            TStandIn& standIn = *standIns_.back();
            standIn.browser = pane->Host().Browser();
            standIn.document.names = {{L"Body", 3}};
            standIn.document.objects = {{3, &standIn.body}};
            standIn.body.names = {{L"Scroll", 7}};
        }
        slot_ = *reinterpret_cast<void***>(standIns_.front()->browser) + kGetDocument;
        original_ = reinterpret_cast<TGetDocument>(*slot_);
        Patch(reinterpret_cast<void*>(&StandInDocument));
    }
    ~TStandInDocuments()
    {
        Patch(reinterpret_cast<void*>(original_));
        for (const auto& standIn : standIns_) {
            EXPECT_EQ(standIn->document.refs, 0u);
            EXPECT_EQ(standIn->body.refs, 0u);
        }
        standIns_.clear();
    }
    TStandInDocuments(const TStandInDocuments&) = delete;
    TStandInDocuments& operator=(const TStandInDocuments&) = delete;

    TStandIn& operator[](size_t i) { return *standIns_[i]; }

private:
    // IDispatch's seven methods, then GoBack to get_Container: get_Document is the nineteenth.
    static constexpr int kGetDocument = 18;
    using TGetDocument = HRESULT(STDMETHODCALLTYPE*)(IWebBrowser2*, IDispatch**);

    static HRESULT STDMETHODCALLTYPE StandInDocument(IWebBrowser2* browser, IDispatch** document)
    {
        for (const auto& standIn : standIns_)
            if (standIn->browser == browser) {
                *document = &standIn->document;
                standIn->document.AddRef();
                return S_OK;
            }
        return original_(browser, document);
    }

    void Patch(void* method)
    {
        DWORD protection = 0;
        ASSERT_TRUE(VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection));
        *slot_ = method;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }

    static inline std::vector<std::unique_ptr<TStandIn>> standIns_;
    static inline TGetDocument original_ = nullptr;
    void** slot_ = nullptr;
};

// Navigates a pane's control as a form post would: with post data and an extra header.
void PostForm(TWebBrowser* pane, const std::string& url)
{
    const TBStr address(GbkToWide(url));
    VARIANT empty, postData, headers;
    VariantInit(&empty);
    postData.vt = VT_ARRAY | VT_UI1;
    postData.parray = SafeArrayCreateVector(VT_UI1, 0, 3);
    memcpy(postData.parray->pvData, "a=1", 3);
    const TBStr headerText(L"X-Test: 1\r\nContent-Type: application/x-www-form-urlencoded\r\n");
    headers.vt = VT_BSTR;
    headers.bstrVal = headerText.Get();
    EXPECT_EQ(pane->Host().Browser()->Navigate(address.Get(), &empty, &empty, &postData, &headers), S_OK);
    SafeArrayDestroy(postData.parray);
}

}  // namespace

// CTest runs each test in a process of its own, so this is a first show: under Wine only a
// control's first navigation reports its event inside the call, as every one does on Windows.
TEST_F(MainWindow, ShowLoadsTheExamsPagesOverTheWholeDesktop)
{
    const std::string query = "?kaoshi=司法考试&ksbh=K01&HZSID=H7";
    // The database cannot be opened here; nothing else may fail while the windows are made.
    ASSERT_EQ(startupMessages.size(), 1u) << startupMessages.back();
    EXPECT_NE(startupMessages[0].find("database"), std::string::npos) << startupMessages[0];
    EXPECT_EQ(ShowAndLoad(), (std::vector<std::string>{"GET /tiku/soft_MyUser.asp" + query,
                                                       "GET /tiku/soft_left.asp" + query,
                                                       "GET /tiku/soft_up.asp" + query}));
    // Each pane loaded its own page: none was routed.
    EXPECT_EQ(paneEvents, (std::vector<TPaneEvent>{{"left", Page("/tiku/soft_left.asp" + query), false},
                                                   {"right", Page("/tiku/soft_MyUser.asp" + query), false},
                                                   {"top", Page("/tiku/soft_up.asp" + query), false}}));
    EXPECT_EQ(Form10->Caption(), "司法考试");
    char title[64] = {};
    GetWindowTextA(Form10->Handle(), title, sizeof title);
    EXPECT_STREQ(title, "司法考试");
    EXPECT_FALSE(xzks->Visible());

    // Opened over the whole desktop; a skin draws its own frame around the same client area.
    RECT desktop, window, client;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(Form10->Handle(), &window);
    GetClientRect(Form10->Handle(), &client);
    RECT nativeFrame{};
    AdjustWindowRectEx(&nativeFrame, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_APPWINDOW);
    EXPECT_EQ(std::vector<LONG>({desktop.left, desktop.top}), std::vector<LONG>({window.left, window.top}));
    EXPECT_EQ(std::vector<LONG>({desktop.right - (nativeFrame.right - nativeFrame.left),
                                 desktop.bottom - (nativeFrame.bottom - nativeFrame.top)}),
              std::vector<LONG>({client.right, client.bottom}));
    EXPECT_FALSE(IsZoomed(Form10->Handle()));
}

TEST_F(MainWindow, WithoutAnExamNameTheCaptionIsEmptyAndTheAssemblyWindowOpensOnEveryShow)
{
    dir.Write("Config.INI", "[OLEDB5]\r\nksbh=K01\r\n");
    EXPECT_EQ(ShowAndLoad(4), (std::vector<std::string>{"GET /tiku/soft_MyUser.asp?kaoshi=&ksbh=K01&HZSID=",
                                                        "GET /tiku/soft_left.asp?kaoshi=&ksbh=K01&HZSID=",
                                                        "GET /tiku/soft_scrj.asp",
                                                        "GET /tiku/soft_up.asp?kaoshi=&ksbh=K01&HZSID="}));
    EXPECT_EQ(Form10->Caption(), "");
    EXPECT_TRUE(xzks->Visible());

    xzks->Hide();
    ShowAndLoad(4);
    EXPECT_TRUE(xzks->Visible());
}

TEST_F(MainWindow, LinksFollowedInTheLeftAndTopPanesOpenInTheRightPane)
{
    ShowAndLoad();
    paneEvents.clear();
    const size_t from = PageLog().size();
    Form10->WebBrowser1->Navigate(Page("/tiku/list.asp?from=left"));
    Form10->WebBrowser2->Navigate(Page("/tiku/list.asp?from=top"));
    Form10->WebBrowser7->Navigate(Page("/tiku/list.asp?from=right"));
    EXPECT_EQ(NewRequests(from, 3), (std::vector<std::string>{"GET /tiku/list.asp?from=left",
                                                              "GET /tiku/list.asp?from=right",
                                                              "GET /tiku/list.asp?from=top"}));
    for (const char* from : {"left", "top"}) {
        const std::string url = Page(std::string("/tiku/list.asp?from=") + from);
        EXPECT_NE(std::find(paneEvents.begin(), paneEvents.end(), TPaneEvent{from, url, true}), paneEvents.end()) << from;
        EXPECT_NE(std::find(paneEvents.begin(), paneEvents.end(), TPaneEvent{"right", url, false}), paneEvents.end()) << from;
    }
}

TEST_F(MainWindow, ARoutedFormPostArrivesInTheRightPaneAsAPlainRequestOfItsAddress)
{
    ShowAndLoad();
    // Before the pane's own page has loaded, the post goes out from the pane itself.
    LeftPaneRedirect = false;
    size_t from = PageLog().size();
    PostForm(Form10->WebBrowser1, Page("/tiku/answer.asp?n=1"));
    EXPECT_EQ(NewRequests(from, 1), std::vector<std::string>{"POST /tiku/answer.asp?n=1 +headers"});

    LeftPaneRedirect = true;
    from = PageLog().size();
    PostForm(Form10->WebBrowser1, Page("/tiku/answer.asp?n=2"));
    PostForm(Form10->WebBrowser2, Page("/tiku/answer.asp?n=3"));
    EXPECT_EQ(NewRequests(from, 2), (std::vector<std::string>{"GET /tiku/answer.asp?n=2", "GET /tiku/answer.asp?n=3"}));
}

// A completed document of the left or top pane loses its scroll bars; the right pane's keeps
// them. Without a document, as here, or without a body, nothing is touched and nothing said.
TEST_F(MainWindow, CompletedDocumentsOfTheLeftAndTopPanesLoseTheirScrollBars)
{
    ShowAndLoad();
    const std::vector<TWebBrowser*> panes = {Form10->WebBrowser1, Form10->WebBrowser2, Form10->WebBrowser7};
    const auto completeAll = [&] {
        return MessageBoxesDuring([&] {
            for (TWebBrowser* pane : panes)
                EXPECT_EQ(SendDocumentComplete(pane->Host().EventSink(), pane->Host().Browser(),
                                               L"http://127.0.0.1/tiku/soft_left.asp"), S_OK) << pane->Name();
        });
    };
    for (TWebBrowser* pane : panes)
        EXPECT_FALSE(pane->Document());  // no HTML engine here
    EXPECT_TRUE(completeAll().empty());

    {
        TStandInDocuments documents(panes);
        ASSERT_EQ(Form10->WebBrowser7->Document().Get(), &documents[2].document);
        EXPECT_TRUE(completeAll().empty());
        const std::vector<std::pair<DISPID, std::wstring>> hidden = {{7, L"no"}};
        EXPECT_EQ(documents[0].body.puts, hidden) << "left";
        EXPECT_EQ(documents[1].body.puts, hidden) << "top";
        EXPECT_TRUE(documents[2].body.puts.empty()) << "right";
        EXPECT_TRUE(documents[2].document.invoked.empty()) << "right";
    }
    {
        TStandInDocuments documents(panes);
        for (size_t i = 0; i < panes.size(); ++i)
            documents[i].document.objects = {{3, nullptr}};
        EXPECT_TRUE(completeAll().empty());
    }
}

TEST_F(MainWindow, CountdownShowsTheTimeLeftAndStopsOnTheTwentySecondsTick)
{
    // Each real tick: the seconds since the show just before and just after it, and what it
    // showed. The show's page loads may take long on a busy machine: what a tick shows is
    // compared with the time it came at.
    struct TTick {
        double from, to;
        std::string shown;
    };
    std::vector<TTick> ticks;
    struct TRestore {
        TNotifyEvent tick;
        ~TRestore() { Form10->Timer1->OnTimer = tick; }
    } const restore{Form10->Timer1->OnTimer};
    const auto record = [&ticks, tick = restore.tick](TObject* sender) {
        const double from = (Now() - ShowTime) * SecsPerDay;
        tick(sender);
        ticks.push_back({from, (Now() - ShowTime) * SecsPerDay, Form10->Edit4->Text()});
    };
    const auto expectTicksShowTheTimeLeft = [&ticks] {
        ASSERT_TRUE(Pump([&ticks] { return !ticks.empty(); }, 10000));
        EXPECT_GT(ticks[0].from, 0.5) << "a tick a second after the show, not at once";
        for (const TTick& t : ticks) {
            bool shown = false;
            for (int left = static_cast<int>(std::floor(30 - t.to)) - 1; left <= std::ceil(30 - t.from); ++left)
                shown = shown || ShowsSeconds(t.shown, left);
            EXPECT_TRUE(shown) << "\"" << t.shown << "\" " << t.from << " to " << t.to << " s after the show";
        }
        // On until a tick has shown twenty seconds.
        EXPECT_EQ(Form10->Timer1->Enabled(), !static_cast<bool>(ShowsSeconds(ticks.back().shown, 20)));
    };
    Form10->Timer1->OnTimer = record;
    ShowAndLoad();
    expectTicksShowTheTimeLeft();

    Form10->Timer1->OnTimer = restore.tick;
    Form10->Timer1->SetEnabled(true);
    const auto tickAfter = [](double seconds) {
        ShowTime = Now() - seconds / SecsPerDay;
        Form10->Timer1Timer(Form10->Timer1);
        return Form10->Edit4->Text();
    };
    EXPECT_TRUE(ShowsSeconds(tickAfter(5.5), 24));
    EXPECT_TRUE(Form10->Timer1->Enabled());
    EXPECT_TRUE(ShowsSeconds(tickAfter(9.5), 20));
    EXPECT_FALSE(Form10->Timer1->Enabled());

    // A missed twenty-seconds tick: past zero the text counts up and reads 20 seconds again.
    Form10->Timer1->SetEnabled(true);
    EXPECT_TRUE(ShowsSeconds(tickAfter(10.5), 19));
    EXPECT_TRUE(ShowsSeconds(tickAfter(35.5), 5));
    EXPECT_TRUE(Form10->Timer1->Enabled());
    EXPECT_TRUE(ShowsSeconds(tickAfter(50.5), 20));
    EXPECT_FALSE(Form10->Timer1->Enabled());

    // Showing the window again restarts the countdown, stopped above.
    ticks.clear();
    Form10->Timer1->OnTimer = record;
    const TDateTime before = Now();
    ShowAndLoad();
    EXPECT_GE(ShowTime, before);
    expectTicksShowTheTimeLeft();
}

TEST_F(MainWindow, MenuCommandsHideAndShowTheTopAreaAndOpenTheirWindows)
{
    ShowAndLoad();
    // The window carries the menu: on the window, or taken off it by the skin to draw in its frame.
    const HMENU bar = Form10->MainMenu1->Handle();
    ASSERT_TRUE(bar);
    EXPECT_EQ(Form10->Menu(), Form10->MainMenu1);
    const TWinSkinForm* skin = SkinManage ? SkinManage->FindFormSkin(Form10->Handle()) : nullptr;
    EXPECT_EQ(skin && skin->SkinMenu() ? skin->SkinMenu()->FMenuHandle : GetMenu(Form10->Handle()), bar);
    EXPECT_EQ(MenuTree(bar), "N20 区域空间 [N1 扩展区域 [N11 全部隐藏, N3 隐藏标题导航条, N5 隐藏左侧分类, "
                             "N6 隐藏题目列表], N2 恢复区域 [N12 全部显示, N7 显示标题栏, N9 显示左侧分类, "
                             "N10 显示题目列表]], N29 更新升级 [N4 更新], N33 联系我们 [N15 关于软件, "
                             "N16 加盟我们, N17 代理产品]");

    for (const auto& [hide, show] : {std::pair{"N11", "N12"}, std::pair{"N3", "N7"}, std::pair{"N11", "N7"}}) {
        ClickMenu(hide);
        EXPECT_FALSE(Panel1Visible()) << hide;
        for (const char* none : {"N5", "N6", "N9", "N10"})
            ClickMenu(none);
        EXPECT_FALSE(Panel1Visible()) << hide;
        ClickMenu(show);
        EXPECT_TRUE(Panel1Visible()) << show;
    }

    EXPECT_EQ(UpdateMenuUsed, "");
    ClickMenu("N4");
    EXPECT_EQ(UpdateMenuUsed, "1");
    EXPECT_TRUE(Form7->Visible());
    ClickMenu("N15");
    EXPECT_TRUE(About->Visible());
    ClickMenu("N16");
    EXPECT_TRUE(Tjiameng->Visible());
    ClickMenu("N17");
    EXPECT_TRUE(TDailishang->Visible());
    Form10->Button2->Click();
    EXPECT_TRUE(Form1->Visible());
}

TEST_F(MainWindow, DraggingTheSplitterWidensTheLeftPaneAndHintsOnlyOnce)
{
    ShowAndLoad();
    TSplitter* splitter = Form10->Splitter2;
    const HWND holder = splitter->Parent()->Handle();
    const auto drag = [&](int dx) {
        const int x = splitter->Left() + splitter->Width() / 2, y = 40;
        SendMessageA(holder, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(holder, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx, y));
        SendMessageA(holder, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
    };
    const int width = Form10->WebBrowser1->Width();
    EXPECT_EQ(MessageBoxesDuring([&] { drag(50); }), std::vector<std::string>{"按住鼠标拖动，可以拓宽做题空间"});
    EXPECT_EQ(Form10->WebBrowser1->Width(), width + 50);
    EXPECT_TRUE(MessageBoxesDuring([&] {
        drag(-20);
        Form10->Splitter4Moved(splitter);
    }).empty());
    EXPECT_EQ(Form10->WebBrowser1->Width(), width + 30);
}
