// The client's update window and the hand-over to the updater, in the client as it starts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Client.h"
#include "Dialogs.h"
#include "HttpTestServer.h"
#include "Index.h"
#include "Sites.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "Unit7.h"
#include "WinSubClassInputs.h"

namespace {

const char* const VersionPage = "/sikao/down/pro/lexdrill.asp";

// The client started in a fresh current directory with version 1.5 installed; its start-up
// message about the database is answered and forgotten.
class UpdateWindow : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string server = TestServerUrl("");
        ServiceSites() = {server, server, server};
        dir_.Write("Config.INI", "[OLEDB5]\r\npro=1.5\r\nkaoshi=lexdrill\r\n");
        {
            TMessageBoxAnswerer startup;
            CreateClient();
            WaitUntil([&] { return !startup.Seen().empty(); }, 2000);
        }
        Form7->Show();
    }

    void PressCheck() { SendMessageA(Form7->Button1->Handle(), BM_CLICK, 0, 0); }

    // Counts the main window's closes, which end every hand-over, and keeps the process running:
    // an unexpected hand-over would otherwise end the test with exit code 0, as a pass.
    void CatchHandOvers()
    {
        Form10->OnClose = [this](TObject*, TCloseAction& action) {
            ++handOvers_;
            action = TCloseAction::caNone;
        };
    }

    TTempCurrentDir dir_;
    int handOvers_ = 0;
};

}  // namespace

TEST_F(UpdateWindow, AnEqualVersionSaysSoAndHidesTheWindowWhoseButtonComesBackOnTheNextShow)
{
    EXPECT_EQ(Form7->Label1->Caption(), "当前版本: 1.5");
    EXPECT_TRUE(Form7->Button1->Enabled());
    // A trailing line break is not part of the version.
    SetTestRoute(VersionPage, {{"body", "1.5\r\n"}});
    TMessageBoxAnswerer answerer;
    PressCheck();
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"已经是新版本了！"});
    EXPECT_FALSE(Form7->Visible());
    EXPECT_FALSE(Form7->Button1->Enabled());
    EXPECT_EQ(Form7->ProgressBar1->Max(), 5);
    EXPECT_EQ(Form7->ProgressBar1->Position(), 5);

    dir_.Write("Config.INI", "[OLEDB5]\r\npro=1.6\r\n");
    Form7->Show();
    EXPECT_TRUE(Form7->Button1->Enabled());
    EXPECT_EQ(Form7->Button1->Caption(), "正在升级");
    EXPECT_EQ(Form7->Label1->Caption(), "当前版本: 1.6");
}

// The client skins the window as it shows: its progress bar is drawn from the skin while a
// check reports its work, the background alone at 0, the bar up to the middle at 50 percent
// and across at 100.
TEST_F(UpdateWindow, TheProgressBarShowsTheSkinsBarAsTheCheckReportsItsWork)
{
    TProgressBar* bar = Form7->ProgressBar1;
    TSkinProgress* skin = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (int i = 0; i < bar->ComponentCount() && !skin; ++i)
                skin = dynamic_cast<TSkinProgress*>(bar->Components(i));
            return skin != nullptr;
        },
        5000));
    // Drawn off-screen as it paints the window: other tests' windows may cover the screen.
    const int width = bar->Width(), height = bar->Height();
    TBitmap picture(width, height);
    const int quarter = width / 4, y = height / 2;
    auto at = [&](int percent, int x) {
        Form7->IdHTTP1Work(Form7->IdHTTP1, TWorkMode::wmRead, 2 * percent);
        skin->DrawControl(picture.Canvas().Handle(), Rect(0, 0, width, height));
        return picture.Canvas().Pixel(x, y);
    };
    Form7->IdHTTP1WorkBegin(Form7->IdHTTP1, TWorkMode::wmRead, 200);
    const COLORREF back = at(0, quarter);
    EXPECT_EQ(at(0, 3 * quarter), back);
    const COLORREF filled = at(50, quarter);
    EXPECT_NE(filled, back);
    EXPECT_EQ(at(50, 3 * quarter), back);
    EXPECT_EQ(at(100, 3 * quarter), filled);
}

// An equal version as an editor saves it, with trailing blanks or tabs or a leading UTF-8
// byte-order mark, is no new version to either check.
TEST_F(UpdateWindow, AnEqualVersionWithBlanksTabsOrAByteOrderMarkHandsOverFromNeitherCheck)
{
    CatchHandOvers();
    const std::vector<std::string> bodies = {"1.5 ", "1.5\t", "1.5 \t\r\n", "\xEF\xBB\xBF" "1.5",
                                             "\xEF\xBB\xBF" "1.5\t\r\n"};
    TMessageBoxAnswerer answerer;
    for (const std::string& body : bodies) {
        SetTestRoute(VersionPage, {{"body", body}});
        Form10->CheckVersion();
        Form7->Show();
        PressCheck();
        EXPECT_FALSE(Form7->Visible());
    }
    EXPECT_EQ(handOvers_, 0);
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>(bodies.size(), "已经是新版本了！"));
}

// A version the settings file would give back changed (the updater records what it fetched)
// never matches: it is no version, and both checks fail as on a failed request.
TEST_F(UpdateWindow, AVersionTheSettingsCannotHoldUnchangedHandsOverFromNeitherCheck)
{
    CatchHandOvers();
    const std::vector<std::string> bodies = {"\"1.5\"", "<html><body>" + std::string(3000, 'x') + "</body></html>"};
    TMessageBoxAnswerer answerer;
    for (const std::string& body : bodies) {
        SetTestRoute(VersionPage, {{"body", body}});
        Form10->CheckVersion();
        Form7->Button1->SetEnabled(true);
        PressCheck();
        EXPECT_FALSE(Form7->Button1->Enabled());
        EXPECT_TRUE(Form7->Visible());
    }
    EXPECT_EQ(handOvers_, 0);
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>(bodies.size(), "The version page holds no version: its reply "
                                                                           "cannot be recorded as it stands"));
}

TEST_F(UpdateWindow, AFailedRequestIsShownAndLeavesTheButtonDisabled)
{
    TMessageBoxAnswerer answerer;
    for (const char* status : {"404", "500"}) {
        SetTestRoute(VersionPage, {{"status", status}});
        Form7->Button1->SetEnabled(true);
        PressCheck();
        EXPECT_FALSE(Form7->Button1->Enabled());
        EXPECT_EQ(Form7->Button1->Caption(), "正在升级");
        EXPECT_TRUE(Form7->Visible());
    }
    ServiceSites().MakerSite = "http://127.0.0.1:1";
    Form7->Button1->SetEnabled(true);
    PressCheck();
    const std::vector<std::string> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "HTTP/1.1 404 Not Found");
    EXPECT_EQ(texts[1], "HTTP/1.1 500 Internal Server Error");
    EXPECT_NE(texts[2].find("127.0.0.1:1"), std::string::npos) << texts[2];
    EXPECT_FALSE(Form7->Button1->Enabled());
}

TEST_F(UpdateWindow, StaysResponsiveAndCanBeClosedDuringASlowRequest)
{
    // Asked once the request has reached the server, the window answers well inside the 8 s
    // the answer takes; a window that waited for the answer would not answer within 4 s.
    SetTestRoute(VersionPage, {{"body", "1.5"}, {"delay", "8000"}});
    HWND window = Form7->Handle();
    const size_t before = RoutedRequests().size();
    DWORD_PTR ignored = 0;
    bool asked = false, answered = false, hidden = false;
    std::thread candidate([&] {
        asked = WaitUntil([before] { return RoutedRequests().size() > before; }, 30000);
        answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 4000, &ignored) != 0;
        PostMessageA(window, WM_CLOSE, 0, 0);
        hidden = WaitUntil([window] { return !IsWindowVisible(window); }, 30000);
    });
    TMessageBoxAnswerer answerer;
    PressCheck();
    candidate.join();
    EXPECT_TRUE(asked) << "the request never reached the server";
    EXPECT_TRUE(answered);
    EXPECT_TRUE(hidden);
    // The request went on to its end.
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"已经是新版本了！"});
}

// The hand-over ends the process: in a child, which leaves a line on its error output when it
// has said so and the updater has started, just before the main window's own close ends it.
#define EXPECT_HAND_OVER(action)                                                                              \
    do {                                                                                                      \
        const auto check = [this] {                                                                           \
            std::filesystem::copy_file(Built("marker_program.exe"), dir_.Path() + "\\Upgrading.exe");                    \
            auto answerer = std::make_shared<TMessageBoxAnswerer>();                                          \
            Form10->OnClose = [answerer, close = Form10->OnClose](TObject* sender, TCloseAction& closing) {   \
                const bool started = WaitUntil([] { return std::filesystem::exists("marker.txt"); }, 5000);  \
                const std::vector<std::string> said = answerer->Texts();                                      \
                if (said == std::vector<std::string>{"有新版本，请升级！"} && started &&                     \
                    ReadFile("marker.txt").find("\\Upgrading.exe\n") != std::string::npos)                    \
                    fprintf(stderr, "handed over\n");                                                         \
                else                                                                                          \
                    fprintf(stderr, "%zu messages, %s\n", said.size(), ReadFile("marker.txt").c_str());       \
                close(sender, closing);                                                                       \
            };                                                                                                \
            action;                                                                                           \
            fprintf(stderr, "still running\n");                                                               \
        };                                                                                                    \
        EXPECT_EXIT(check(), testing::ExitedWithCode(0), "^handed over\n$");                                  \
    } while (false)

TEST_F(UpdateWindow, ANewVersionIsAnnouncedTheUpdaterStartedAndTheClientEnded)
{
    SetTestRoute(VersionPage, {{"body", "1.6"}});
    EXPECT_HAND_OVER(PressCheck());
}

TEST_F(UpdateWindow, TheMainWindowHandsOverWhenShownOrAtTwentySecondsLeft)
{
    SetTestRoute(VersionPage, {{"body", "1.6"}});
    EXPECT_HAND_OVER(Form10->Show());
    EXPECT_HAND_OVER((ShowTime = Now() - 9.5 / SecsPerDay, Form10->Timer1Timer(Form10->Timer1)));
}

TEST_F(UpdateWindow, TheMainWindowsCheckIsSilentAndStopsOnceTheMenuOpenedTheUpdateWindow)
{
    CatchHandOvers();
    TMessageBoxAnswerer answerer;
    for (const char* status : {"404", "500"}) {
        SetTestRoute(VersionPage, {{"status", status}});
        Form10->CheckVersion();
    }
    SetTestRoute(VersionPage, {{"body", "1.5\n"}});
    Form10->CheckVersion();
    ServiceSites().MakerSite = "http://127.0.0.1:1";
    Form10->CheckVersion();
    ServiceSites().MakerSite = TestServerUrl("");

    SetTestRoute(VersionPage, {{"body", "1.6"}});
    Form10->N4Click(nullptr);
    Form10->CheckVersion();
    ShowTime = Now() - 9.5 / SecsPerDay;
    Form10->Timer1Timer(Form10->Timer1);
    EXPECT_FALSE(Form10->Timer1->Enabled());
    EXPECT_TRUE(answerer.Texts().empty());
    EXPECT_EQ(handOvers_, 0);
    EXPECT_TRUE(Form7->Visible());
}

TEST_F(UpdateWindow, dowUpdateReplacesTheUpdaterOnlyWithAWindowsProgram)
{
    UpgradeBaseUrl = TestServerUrl("/upgrade/");
    SetTestRoute("/upgrade/UpgradingUrl.asp", {{"body", TestServerUrl("/upgrade/Upgrading.bin")}});
    SetTestRoute("/upgrade/Upgrading.bin", {{"body", "<html>gone</html>"}});
    Form7->dowUpdate();
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "\\Upgrading.exe"));
    EXPECT_EQ(Form7->Label7->Caption(), "正在更新升级程序,请稍后....");

    SetTestRoute("/upgrade/Upgrading.bin", {{"file", ServerPath(Built("marker_program.exe"))}});
    Form7->dowUpdate();
    EXPECT_EQ(ReadFile(dir_.Path() + "\\Upgrading.exe"), ReadFile(Built("marker_program.exe")));
    EXPECT_EQ(Form7->Label7->Caption(), "升级程序更新成功！");
}
