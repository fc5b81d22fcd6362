// The hosted browser control under test is the platform's own; without an HTML engine it
// reports every allowed navigation with NavigateError, which a sink of the test's own observes.
#include <winsock2.h>
#include <windows.h>
#include <exdispid.h>

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FakeDispatch.h"
#include "Forms.h"
#include "Layout.h"
#include "OleAuto.h"
#include "WebBrowser.h"

namespace {

// Runs the message loop until done() or the time is up.
bool Pump(const std::function<bool()>& done, DWORD timeoutMs = 10000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// An HTTP server on 127.0.0.1 that records each request line and answers with an empty page.
class LocalServer {
public:
    LocalServer()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 8);
        int size = sizeof address;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LocalServer()
    {
        closesocket(listener_);  // ends the blocking accept
        thread_.join();
        WSACleanup();
    }

    std::string Url(const std::string& pathAndQuery) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
    }
    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

private:
    void Serve()
    {
        for (;;) {
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                return;
            std::string received;
            char buffer[1024];
            int got;
            while (received.find("\r\n\r\n") == std::string::npos && (got = recv(client, buffer, sizeof buffer, 0)) > 0)
                received.append(buffer, static_cast<size_t>(got));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(received.substr(0, received.find("\r\n")));
            }
            const char reply[] = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 26\r\n\r\n"
                                 "<html><body></body></html>";
            send(client, reply, sizeof reply - 1, 0);
            closesocket(client);
        }
    }

    SOCKET listener_;
    unsigned short port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
};

size_t Count(const std::vector<DISPID>& ids, DISPID id)
{
    return static_cast<size_t>(std::count(ids.begin(), ids.end(), id));
}

class WebBrowserHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        parent = CreateWindowExW(0, L"STATIC", L"browser host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent);
        host.OnBeforeNavigate2 = [this](TObject* sender, IDispatch* pDisp, const std::string& url, const VARIANT&,
                                        const VARIANT&, const VARIANT&, const VARIANT&, bool& cancel) {
            EXPECT_EQ(sender, nullptr);
            EXPECT_TRUE(pDisp);
            EXPECT_FALSE(cancel);
            seen.push_back(url);
            cancel = url.find("/cancelled") != std::string::npos;
        };
        host.Create(parent, RECT{10, 20, 310, 220});
    }
    void TearDown() override
    {
        Unadvise();
        host.Destroy();
        DestroyWindow(parent);
        OleUninitialize();
    }

    // Lets the test's own sink see every event the control fires as well.
    void Advise()
    {
        TComPtr<IConnectionPointContainer> points = TComPtr<IWebBrowser2>(host.Browser()).As<IConnectionPointContainer>();
        ASSERT_TRUE(SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, connection.Receive())));
        ASSERT_TRUE(SUCCEEDED(connection->Advise(&observer, &cookie)));
    }
    void Unadvise()
    {
        if (connection)
            connection->Unadvise(cookie);
        connection.Reset();
    }

    HWND parent = nullptr;
    TWebBrowserHost host;
    std::vector<std::string> seen;
    FakeDispatch observer;
    TComPtr<IConnectionPoint> connection;
    DWORD cookie = 0;
};

class TBrowserForm : public TForm {
    LEXDRILL_CLASS(TBrowserForm)
public:
    using TForm::TForm;
    TWebBrowser* WebBrowser1 = nullptr;
    std::vector<std::string> navigations, completions;
    void WebBrowser1BeforeNavigate2(TObject* Sender, IDispatch*, const std::string& URL, const VARIANT&, const VARIANT&,
                                    const VARIANT&, const VARIANT&, bool& Cancel)
    {
        EXPECT_EQ(Sender, WebBrowser1);
        navigations.push_back(URL);
        Cancel = true;
        if (URL.find("/throw") != std::string::npos)
            throw Exception("handler failed");
    }
    void WebBrowser1DocumentComplete(TObject* Sender, IDispatch*, const std::string& URL)
    {
        EXPECT_EQ(Sender, WebBrowser1);
        completions.push_back(URL);
    }
};

const TClassInfo& TBrowserForm::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TBrowserForm>("TBrowserForm", TForm::StaticClass())
        .Field("WebBrowser1", &TBrowserForm::WebBrowser1)
        .Method("WebBrowser1BeforeNavigate2", &TBrowserForm::WebBrowser1BeforeNavigate2)
        .Method("WebBrowser1DocumentComplete", &TBrowserForm::WebBrowser1DocumentComplete)
        .Build();
    return info;
}

// Message boxes that the thread tried to show; each is refused, so nothing waits for a click.
int messageBoxes = 0;

LRESULT CALLBACK RefuseMessageBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    char name[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name) &&
        std::string(name) == "#32770") {
        ++messageBoxes;
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(WebBrowserHostTest, NavigationsArriveInOrderAndOnlyCancelledOnesStayOff)
{
    LocalServer server;
    Advise();
    // Chinese text in the query must reach the handler as the same GBK bytes it left in.
    const std::vector<std::string> urls = {server.Url("/first?q=中文"), server.Url("/cancelled?q=考试"),
                                           server.Url("/third"), server.Url("/cancelled/again")};
    for (const std::string& url : urls) {
        const size_t before = seen.size(), errors = Count(observer.invoked, DISPID_NAVIGATEERROR);
        host.Navigate(url);
        ASSERT_TRUE(Pump([&] { return seen.size() > before; }));
        if (url.find("/cancelled") == std::string::npos) {
            ASSERT_TRUE(Pump([&] { return Count(observer.invoked, DISPID_NAVIGATEERROR) > errors; }));
        }
    }
    Pump([] { return false; }, 500);  // time for a cancelled request to show up, had it gone out

    EXPECT_EQ(seen, urls);
    EXPECT_EQ(server.Requests(), (std::vector<std::string>{"GET /first?q=" "中文" " HTTP/1.1", "GET /third HTTP/1.1"}));
    EXPECT_EQ(Count(observer.invoked, DISPID_BEFORENAVIGATE2), 4u);
    EXPECT_EQ(Count(observer.invoked, DISPID_NAVIGATEERROR), 2u);
    EXPECT_EQ(Count(observer.invoked, DISPID_DOCUMENTCOMPLETE), 0u);
    EXPECT_FALSE(host.Document());
}

TEST_F(WebBrowserHostTest, ControlWindowFollowsTheBounds)
{
    HWND control = GetWindow(parent, GW_CHILD);
    ASSERT_TRUE(control);
    auto boundsOf = [&] {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
    };
    EXPECT_EQ(boundsOf(), (std::vector<LONG>{10, 20, 310, 220}));
    host.SetBounds(RECT{0, 5, 100, 55});
    EXPECT_EQ(boundsOf(), (std::vector<LONG>{0, 5, 100, 55}));
}

TEST_F(WebBrowserHostTest, DestroyingGivesBackEveryReferenceAndTheWindow)
{
    EXPECT_EQ(TWebBrowserHost::LiveComObjects(), 2);
    IWebBrowser2* control = host.Browser();
    control->AddRef();
    host.Navigate("http://127.0.0.1:1/pending");
    host.Destroy();
    Pump([] { return false; }, 300);  // nothing may arrive for the closed control
    EXPECT_EQ(control->Release(), 0u);
    EXPECT_EQ(TWebBrowserHost::LiveComObjects(), 0);
    EXPECT_FALSE(GetWindow(parent, GW_CHILD));
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_FALSE(host.Created());
    EXPECT_THROW(host.Navigate("http://127.0.0.1:1/"), Exception);
}

TEST_F(WebBrowserHostTest, AHandlerMayDestroyItsOwnHost)
{
    host.OnBeforeNavigate2 = [this](TObject*, IDispatch*, const std::string& url, const VARIANT&, const VARIANT&,
                                    const VARIANT&, const VARIANT&, bool& cancel) {
        seen.push_back(url);
        host.Destroy();
        cancel = true;
    };
    host.Navigate("http://127.0.0.1:1/first");
    ASSERT_TRUE(Pump([&] { return !seen.empty(); }));
    Pump([] { return false; }, 300);
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_EQ(TWebBrowserHost::LiveComObjects(), 0);
}

TEST_F(WebBrowserHostTest, DocumentCompleteReachesTheHandlerAndExceptionsStayInTheSink)
{
    IDispatch* sink = host.EventSink();
    ASSERT_TRUE(sink);

    std::vector<std::pair<IDispatch*, std::string>> completed;
    host.OnDocumentComplete = [&](TObject*, IDispatch* pDisp, const std::string& url) {
        completed.emplace_back(pDisp, url);
        if (url == "fail")
            throw Exception("handler failed");
    };
    EXPECT_EQ(SendDocumentComplete(sink, host.Browser(), L"http://127.0.0.1/页面?q=中文"), S_OK);
    EXCEPINFO error = {};
    EXPECT_EQ(SendDocumentComplete(sink, host.Browser(), L"fail", &error), DISP_E_EXCEPTION);
    ASSERT_TRUE(error.bstrDescription);
    EXPECT_STREQ(error.bstrDescription, L"handler failed");
    SysFreeString(error.bstrDescription);

    ASSERT_EQ(completed.size(), 2u);
    EXPECT_EQ(completed[0].first, host.Browser());
    EXPECT_EQ(completed[0].second, "http://127.0.0.1/页面?q=中文");
}

TEST(HideScrollBars, SetsTheBodysScrollAndSkipsWhatIsMissing)
{
    HideScrollBars(nullptr);

    FakeDispatch body, withBody, withoutBody, notHtml;
    body.names = {{L"Scroll", 7}};
    withBody.names = withoutBody.names = {{L"Body", 3}};
    withBody.objects = {{3, &body}};
    withoutBody.objects = {{3, nullptr}};

    HideScrollBars(&withoutBody);
    HideScrollBars(&notHtml);
    HideScrollBars(&withBody);
    EXPECT_EQ(body.puts, (std::vector<std::pair<DISPID, std::wstring>>{{7, L"no"}}));
    EXPECT_EQ(body.refs, 0u);

    FakeDispatch bodyWithoutScroll;
    withBody.objects = {{3, &bodyWithoutScroll}};
    EXPECT_THROW(HideScrollBars(&withBody), EOleError);
    EXPECT_EQ(bodyWithoutScroll.refs, 0u);
}

TEST(WebBrowser, StoredLayoutBindsTheEventsAndTheControlFillsItsWindowUntilTheFormGoes)
{
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    auto form = std::make_unique<TBrowserForm>(nullptr);
    const char layout[] = R"(
        TBrowserForm Form {
            Width = 400
            Height = 300
            TWebBrowser WebBrowser1 {
                Align = alClient
                OnBeforeNavigate2 = WebBrowser1BeforeNavigate2
                OnDocumentComplete = WebBrowser1DocumentComplete
            }
        })";
    ApplyLayout(*form, ParseLayout(layout, "Test", nullptr, [](const std::string& s) { return s; }), "Test");
    form->Show();
    TWebBrowser& browser = *form->WebBrowser1;

    browser.Navigate("http://127.0.0.1:1/?q=中文");
    ASSERT_TRUE(Pump([&] { return !form->navigations.empty(); }));
    EXPECT_EQ(form->navigations, std::vector<std::string>{"http://127.0.0.1:1/?q=中文"});
    EXPECT_FALSE(browser.Document());

    // A failing handler is reported like any control's, and the control carries on.
    HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseMessageBoxes, nullptr, GetCurrentThreadId());
    browser.Navigate("http://127.0.0.1:1/throw");
    ASSERT_TRUE(Pump([&] { return form->navigations.size() == 2; }));
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(messageBoxes, 1);

    SendDocumentComplete(browser.Host().EventSink(), browser.Host().Browser(), L"http://127.0.0.1:1/完成");
    EXPECT_EQ(form->completions, std::vector<std::string>{"http://127.0.0.1:1/完成"});

    auto controlRect = [&] {
        RECT r;
        GetWindowRect(GetWindow(browser.Handle(), GW_CHILD), &r);
        MapWindowPoints(nullptr, browser.Handle(), reinterpret_cast<POINT*>(&r), 2);
        return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
    };
    EXPECT_EQ(controlRect(), (std::vector<LONG>{0, 0, form->ClientRect().Width(), form->ClientRect().Height()}));
    form->SetBounds(0, 0, 500, 350);
    EXPECT_EQ(controlRect(), (std::vector<LONG>{0, 0, form->ClientRect().Width(), form->ClientRect().Height()}));

    EXPECT_EQ(TWebBrowserHost::LiveComObjects(), 2);
    form.reset();
    EXPECT_EQ(TWebBrowserHost::LiveComObjects(), 0);
    OleUninitialize();
}
