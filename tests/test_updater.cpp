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
#include "LayoutTesting.h"
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

// Each label shows whole and clear of the controls beside it, before a download and during one,
// at whatever resolution the display has (CTest runs this a second time on a display of 120
// pixels an inch, LEXDRILL_EXPECT_DPI saying so).
TEST_F(Updater, EveryLabelShowsWholeAndClearOfItsNeighbours)
{
    ASSERT_EQ(ScreenDpi(), ExpectedDpi());
    EXPECT_EQ(TextClashes(*Form1), std::vector<std::string>{});
    Form1->IdHTTP1WorkBegin(Form1->IdHTTP1, TWorkMode::wmRead, 3);
    Form1->IdHTTP1Work(Form1->IdHTTP1, TWorkMode::wmRead, 1);
    EXPECT_EQ(TextClashes(*Form1), std::vector<std::string>{});
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

    // An endless reply is no version either. Reading stops a few kilobytes in and nothing of it
    // goes to the settings file's trial (which, with no temporary folder, would say so instead).
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"size", "20000000"}, {"mode", "close"}});
    char temp[MAX_PATH];
    const DWORD tempLength = GetEnvironmentVariableA("TMP", temp, sizeof temp);
    SetEnvironmentVariableA("TMP", (dir_.Path() + "\\missing").c_str());
    Form1->Button1->SetEnabled(true);
    PressUpgrade();
    SetEnvironmentVariableA("TMP", tempLength && tempLength < sizeof temp ? temp : nullptr);
    ExpectStuckWithNothingInstalled();

    const std::vector<std::string> texts = answerer.Texts();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0], "HTTP/1.1 500 Internal Server Error");
    EXPECT_EQ(texts[1], "The version page holds no version: its reply has more than one line");
    EXPECT_NE(texts[2].find("127.0.0.1:1/sikao/down/pro/lexdrill.asp"), std::string::npos) << texts[2];
    EXPECT_EQ(texts[3], "HTTP/1.1 404 Not Found");
    EXPECT_EQ(texts[4], "The version page holds no version: its reply cannot be recorded as it stands");
    EXPECT_EQ(texts[5], "The version page holds no version: its reply is longer than 4096 bytes");
}

TEST_F(Updater, AFailedDownloadSaysSoAndInstallsNothing)
{
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "2.0"}});
    std::string badHeader(0x40, '\0');
    badHeader[0] = 'M';
    badHeader[1] = 'Z';
    badHeader[0x3C] = '\x3E';  // the signature's offset lies past the end
    const std::string client = ServerPath(Built("marker_program.exe"));
    const std::string half = std::to_string(ReadFile(Built("marker_program.exe")).size() / 2);
    const std::vector<std::vector<std::pair<std::string, std::string>>> downloads = {
        {{"status", "404"}},
        {{"body", "<html>sorry</html>"}},                 // an error page sent as a success
        {{"body", badHeader}},
        // A program whose connection ends mid-way, with no length to tell it short.
        {{"file", client}, {"mode", "close"}, {"cut", half}},
        {{"file", client}, {"mode", "chunked"}, {"cut", half}},
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
    EXPECT_EQ(ReadFile(dir_.Path() + "\\Config.INI"), "[OLEDB5]\r\npro=1.0\r\nkaoshi=lexdrill\r\n");
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

namespace {

void PutNumber(std::string& bytes, size_t offset, uint32_t value, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        bytes[offset + i] = static_cast<char>(value >> 8 * i);
}

// The smallest whole program of the kind the linker makes: its signature at 0x40, an optional
// header of 0xF0 bytes that says the headers take 0x200, one section table entry at 0x148 and
// that section's 0x200 bytes of data at 0x200.
std::string MinimalProgram()
{
    std::string program(0x400, '\0');
    program[0] = 'M';
    program[1] = 'Z';
    PutNumber(program, 0x3C, 0x40, 4);
    program.replace(0x40, 4, std::string("PE\0\0", 4));
    PutNumber(program, 0x46, 1, 2);       // sections
    PutNumber(program, 0x54, 0xF0, 2);    // optional header size
    PutNumber(program, 0x58 + 60, 0x200, 4);  // headers size
    PutNumber(program, 0x148 + 16, 0x200, 4);  // the section's data size
    PutNumber(program, 0x148 + 20, 0x200, 4);  // and place
    return program;
}

}  // namespace

// However the reply tells its end, the read stops once it is longer than any version page.
TEST(ReadVersionPage, ReadsAFewKilobytesAtMost)
{
    ServiceSites().MakerSite = TestServerUrl("");
    TIdHTTP http(nullptr);
    int64_t received = 0;
    http.OnWork = [&](TObject*, TWorkMode, int64_t count) { received = count; };
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "2.0\r\n"}});
    EXPECT_EQ(ReadVersionPage(http), "2.0\r\n");
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"size", "4096"}, {"mode", "chunked"}});
    EXPECT_EQ(ReadVersionPage(http).size(), 4096u);
    for (const char* mode : {"length", "chunked", "close"}) {
        for (const char* size : {"4097", "20000000"}) {
            SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"size", size}, {"mode", mode}, {"stall", "100"}});
            received = 0;
            EXPECT_THROW(ReadVersionPage(http), Exception) << mode << " " << size;
            EXPECT_LE(received, 4096) << mode << " " << size;
        }
    }
}

TEST(IsWindowsProgram, NeedsTheSignatureWhereTheHeaderSaysWithinTheFile)
{
    const std::string program = MinimalProgram();
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

// A download cut short, however its reply ended, is refused: the file must reach the end of its
// headers, of its section table and of the last section's data. What follows that is the file's
// own business.
TEST(IsWindowsProgram, NeedsTheWholeFileItsHeadersDescribe)
{
    const std::string program = MinimalProgram();
    EXPECT_TRUE(IsWindowsProgram(StreamOf(program + "appended")));
    for (const size_t cut : {0x3FFu, 0x200u, 0x16Fu, 0x150u, 0x5Fu})
        EXPECT_FALSE(IsWindowsProgram(StreamOf(program.substr(0, cut)))) << cut;

    std::string headers = program;
    PutNumber(headers, 0x58 + 60, 0x401, 4);
    EXPECT_FALSE(IsWindowsProgram(StreamOf(headers)));
    std::string twoSections = program;
    PutNumber(twoSections, 0x46, 2, 2);
    PutNumber(twoSections, 0x170 + 16, 0x100, 4);
    PutNumber(twoSections, 0x170 + 20, 0x380, 4);
    EXPECT_FALSE(IsWindowsProgram(StreamOf(twoSections)));
    PutNumber(twoSections, 0x170 + 20, 0x300, 4);
    EXPECT_TRUE(IsWindowsProgram(StreamOf(twoSections)));
    // A section of no stored data (zero-filled when loaded) asks for nothing, wherever it points.
    PutNumber(twoSections, 0x170 + 16, 0, 4);
    PutNumber(twoSections, 0x170 + 20, 0xFFFFFF00, 4);
    EXPECT_TRUE(IsWindowsProgram(StreamOf(twoSections)));
    // Numbers at their largest do not wrap around.
    std::string huge = program;
    PutNumber(huge, 0x148 + 16, 0xFFFFFFFF, 4);
    PutNumber(huge, 0x148 + 20, 0xFFFFFFFF, 4);
    EXPECT_FALSE(IsWindowsProgram(StreamOf(huge)));
    PutNumber(huge, 0x46, 0xFFFF, 2);
    EXPECT_FALSE(IsWindowsProgram(StreamOf(huge)));

    const std::string marker = ReadFile(Built("marker_program.exe"));
    for (const size_t cut : {marker.size() / 2, marker.size() - 1})
        EXPECT_FALSE(IsWindowsProgram(StreamOf(marker.substr(0, cut)))) << cut;
}
