// The updater's window in this process: its layout, its progress text and every way "升级" can
// fail. What it does when it succeeds (writing beside its own executable and starting the client)
// is tested on the real program in test_update_loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Dialogs.h"
#include "HttpTestServer.h"
#include "Install.h"
#include "Jpeg.h"
#include "Sites.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "Version.h"

namespace {

TMemoryStream StreamOf(const std::string& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    return stream;
}

// The window as the program makes it, installed in a fresh current directory whose Config.INI
// says version 1.0 of the exam "lexdrill" is installed.
class Updater : public testing::Test {
protected:
    void SetUp() override
    {
        ServiceSites().MakerSite = TestServerUrl("");
        dir_.Write("Config.INI", "[OLEDB5]\r\npro=1.0\r\nkaoshi=lexdrill\r\n");
        dir_.Write("lexdrill.exe", "old client");
        Application->CreateForm(Form1, "Unit1");
        Form1->Show();
    }

    // Presses "升级" as the candidate does; returns when its handler has.
    void PressUpgrade() { SendMessageA(Form1->Button1->Handle(), BM_CLICK, 0, 0); }

    void ExpectStuckWithNothingInstalled()
    {
        EXPECT_FALSE(Form1->Button1->Enabled());
        EXPECT_EQ(Form1->Button1->Caption(), "正在升级");
        EXPECT_FALSE(Application->Terminated());
        EXPECT_EQ(ReadFile(dir_.Path() + "\\lexdrill.exe"), "old client");
        EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "\\lexdrill.exe.part"));
        EXPECT_FALSE(std::filesystem::exists(dir_.Path() + "\\marker.txt"));
    }

    TTempCurrentDir dir_;
};

}  // namespace

TEST_F(Updater, StoredLayoutBuildsTheWindow)
{
    EXPECT_EQ(Form1->Caption(), "升级系统");
    EXPECT_EQ(Form1->BoundsRect(), Bounds(262, 190, 502, 380));
    auto* picture = dynamic_cast<TJPEGImage*>(Form1->Image1->Picture().Graphic());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 153);
    EXPECT_EQ(picture->Height(), 289);
    EXPECT_EQ(Form1->Label6->Left(), 256);
    EXPECT_EQ(Form1->Label6->Top(), 208);
    EXPECT_EQ(Form1->ProgressBar1->BoundsRect(), Bounds(200, 232, 249, 25));
    EXPECT_EQ(Form1->Button1->Caption(), "升级");
    EXPECT_EQ(Form1->Button2->Caption(), "取消");
    EXPECT_EQ(TIdAntiFreeze::Current(), Form1->IdAntiFreeze1);
}

TEST_F(Updater, ProgressTextIsTheFirstFourCharactersOfThePercentage)
{
    const struct {
        int64_t max, count;
        const char* text;
    } cases[] = {
        {2, 1, "已下载 50%"},    {3, 1, "已下载 33.3%"},    {400, 1, "已下载 0.25%"},
        {400, 20, "已下载 5%"},  {10000, 9999, "已下载 99.9%"}, {100, 100, "已下载 100%"},
        {100, 250, "已下载 100%"},  // the bar holds no more than its maximum
        {0, 5000, "已下载 4 KB"},    // no announced length: the amount so far
    };
    for (const auto& c : cases) {
        Form1->IdHTTP1WorkBegin(Form1->IdHTTP1, TWorkMode::wmRead, c.max);
        EXPECT_EQ(Form1->ProgressBar1->Position(), 0);
        Form1->IdHTTP1Work(Form1->IdHTTP1, TWorkMode::wmRead, c.count);
        EXPECT_EQ(Form1->Label6->Caption(), c.text) << c.max << " " << c.count;
        EXPECT_EQ(Form1->ProgressBar1->Max(), c.max);
    }
    EXPECT_EQ(FloatToStr(12.3456).substr(0, 4), "12.3");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");  // 15 significant digits, not the 17 that round-trip
}

TEST_F(Updater, AFailedVersionRequestIsShownAndLeavesTheButtonDisabled)
{
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"status", "500"}});
    TMessageBoxAnswerer answerer;
    PressUpgrade();
    ExpectStuckWithNothingInstalled();

    // Not one line: an error page sent as a success is no version.
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "<html>\r\n<body>error</body>"}});
    Form1->Button1->SetEnabled(true);
    PressUpgrade();
    ExpectStuckWithNothingInstalled();

    ServiceSites().MakerSite = "http://127.0.0.1:1";
    Form1->Button1->SetEnabled(true);
    PressUpgrade();
    ExpectStuckWithNothingInstalled();

    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"status", "404"}});
    ServiceSites().MakerSite = TestServerUrl("/nowhere");
    Form1->Button1->SetEnabled(true);
    PressUpgrade();
    ExpectStuckWithNothingInstalled();

    // A version the settings file would give back changed: recorded, it would never match.
    ServiceSites().MakerSite = TestServerUrl("");
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "\"2.0\""}});
    Form1->Button1->SetEnabled(true);
    PressUpgrade();
    ExpectStuckWithNothingInstalled();
    EXPECT_EQ(ReadFile(dir_.Path() + "\\Config.INI"), "[OLEDB5]\r\npro=1.0\r\nkaoshi=lexdrill\r\n");

    const std::vector<std::string> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], "HTTP/1.1 500 Internal Server Error");
    EXPECT_EQ(texts[1], "The version page holds no version: its reply has more than one line");
    EXPECT_NE(texts[2].find("127.0.0.1:1/sikao/down/pro/lexdrill.asp"), std::string::npos) << texts[2];
    EXPECT_EQ(texts[3], "HTTP/1.1 404 Not Found");
    EXPECT_EQ(texts[4], "The version page holds no version: its reply cannot be recorded as it stands");
}

TEST_F(Updater, AFailedDownloadSaysSoAndInstallsNothing)
{
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "2.0"}});
    std::string badHeader(0x40, '\0');
    badHeader[0] = 'M';
    badHeader[1] = 'Z';
    badHeader[0x3C] = '\x3E';  // the signature's offset lies past the end
    const std::vector<std::vector<std::pair<std::string, std::string>>> downloads = {
        {{"status", "404"}},
        {{"body", "<html>sorry</html>"}},                 // an error page sent as a success
        {{"body", badHeader}},
        {{"size", "50000"}, {"claim", "90000"}},          // cut off
    };
    TMessageBoxAnswerer answerer;
    for (const auto& download : downloads) {
        SetTestRoute("/sikao/down/pro/lexdrill.t", download);
        Form1->Button1->SetEnabled(true);
        PressUpgrade();
        ExpectStuckWithNothingInstalled();
    }
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>(downloads.size(), "升级程序出错!"));
    // The bar and the text followed the download that announced its length.
    EXPECT_EQ(Form1->ProgressBar1->Max(), 90000);
    EXPECT_EQ(Form1->ProgressBar1->Position(), 50000);
    EXPECT_EQ(Form1->Label6->Caption(), "已下载 55.5%");
}

TEST_F(Updater, AClientInUseStaysAsItWas)
{
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "2.0"}});
    SetTestRoute("/sikao/down/pro/lexdrill.t", {{"file", ServerPath(Built("marker_program.exe"))}});
    const std::string client = dir_.Path() + "\\lexdrill.exe";
    HANDLE running = CreateFileA(client.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(running, INVALID_HANDLE_VALUE);
    TMessageBoxAnswerer answerer;
    PressUpgrade();
    CloseHandle(running);
    ExpectStuckWithNothingInstalled();
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"Cannot create file \"" + dir_.Path() + "/lexdrill.exe\""});
}

TEST_F(Updater, StaysResponsiveAndCanBeClosedDuringASlowRequest)
{
    // The answer waits a minute: a window that does not answer while the request waits, or a
    // cancel that does not end the request, shows however slow the machine is.
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "2.0"}, {"delay", "60000"}});
    HWND form = Form1->Handle();
    HWND cancel = Form1->Button2->Handle();
    const size_t before = RoutedRequests().size();
    DWORD_PTR ignored = 0;
    bool asked = false, answered = false;
    std::thread candidate([&] {
        asked = WaitUntil([before] { return RoutedRequests().size() > before; }, 30000);
        answered = SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &ignored) != 0;
        PostMessageA(cancel, BM_CLICK, 0, 0);
    });
    TMessageBoxAnswerer answerer;
    const ULONGLONG start = GetTickCount64();
    PressUpgrade();
    const ULONGLONG took = GetTickCount64() - start;
    candidate.join();
    EXPECT_TRUE(asked) << "the request never reached the server";
    EXPECT_TRUE(answered);
    EXPECT_LT(took, 60000u);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(answerer.Texts().empty());
    EXPECT_EQ(ReadFile(dir_.Path() + "\\lexdrill.exe"), "old client");
}

TEST_F(Updater, WriteConfigRefusesALineBreak)
{
    EXPECT_THROW(Form1->WriteConfig("OLEDB5", "pro", "2.0\r\nkaoshi=other"), Exception);
    EXPECT_THROW(Form1->WriteConfig("OLEDB5", "pro\n", "2.0"), Exception);
}

TEST(PublishedVersion, AByteOrderMarkAndSurroundingBlanksAreNoPartOfItAndInnerLineBreaksRaise)
{
    EXPECT_EQ(PublishedVersion("2.0"), "2.0");
    EXPECT_EQ(PublishedVersion("2.0\r\n"), "2.0");
    EXPECT_EQ(PublishedVersion("2.0\n\n"), "2.0");
    EXPECT_EQ(PublishedVersion("2.0  "), "2.0");
    EXPECT_EQ(PublishedVersion("2.0\t"), "2.0");
    EXPECT_EQ(PublishedVersion("2.0 \t\r\n\t "), "2.0");
    EXPECT_EQ(PublishedVersion("\xEF\xBB\xBF" "2.0"), "2.0");
    EXPECT_EQ(PublishedVersion("\xEF\xBB\xBF" "2.0 \r\n"), "2.0");
    EXPECT_EQ(PublishedVersion("\xEF\xBB\xBF"), "");
    EXPECT_EQ(PublishedVersion(" \t2.0"), "2.0");
    EXPECT_EQ(PublishedVersion("\xEF\xBB\xBF" " 2.0 "), "2.0");
    EXPECT_EQ(PublishedVersion("  "), "");
    EXPECT_EQ(PublishedVersion("2.0 beta"), "2.0 beta");
    EXPECT_EQ(PublishedVersion(""), "");
    EXPECT_EQ(PublishedVersion(" \t\r\n"), "");
    EXPECT_THROW(PublishedVersion("2.0\r\n3.0"), Exception);
    EXPECT_THROW(PublishedVersion("a\rb"), Exception);
}

// What the settings file would give back changed is no version: quotes it strips, a one-line
// page longer than a read holds, bytes that are no character of the code page.
TEST(PublishedVersion, WhatTheSettingsFileCannotGiveBackUnchangedRaises)
{
    const std::string page = "<html><body>" + std::string(3000, 'x') + "</body></html>";
    for (const std::string& body : {std::string("\"2.0\""), std::string("'2.0'"), std::string("\"\""), page,
                                    std::string(2048, '9'), std::string("2.0\x81"), std::string("2.0\0beta", 8)})
        EXPECT_THROW(PublishedVersion(body), Exception) << body.substr(0, 20);
    // Half a pair of quotes, the longest value a read holds and GBK text come back as they are.
    EXPECT_EQ(PublishedVersion("\"2.0"), "\"2.0");
    EXPECT_EQ(PublishedVersion("2.0'"), "2.0'");
    EXPECT_EQ(PublishedVersion(std::string(2047, '9')), std::string(2047, '9'));
    EXPECT_EQ(PublishedVersion("2.0 正式版"), "2.0 正式版");
}

TEST(IsWindowsProgram, NeedsTheSignatureWhereTheHeaderSaysWithinTheFile)
{
    std::string program(0x44, '\0');
    program[0] = 'M';
    program[1] = 'Z';
    program[0x3C] = '\x40';
    program.replace(0x40, 4, std::string("PE\0\0", 4));
    EXPECT_TRUE(IsWindowsProgram(StreamOf(program)));
    EXPECT_FALSE(IsWindowsProgram(StreamOf(program.substr(0, 0x43))));
    EXPECT_FALSE(IsWindowsProgram(StreamOf("MZ")));
    EXPECT_FALSE(IsWindowsProgram(StreamOf("")));
    std::string beyond = program;
    beyond.replace(0x3C, 4, "\xFC\xFF\xFF\xFF");
    EXPECT_FALSE(IsWindowsProgram(StreamOf(beyond)));
    std::string zero = program;
    zero[0] = 'Z';
    EXPECT_FALSE(IsWindowsProgram(StreamOf(zero)));
    EXPECT_TRUE(IsWindowsProgram(StreamOf(ReadFile(Built("marker_program.exe")))));
}
