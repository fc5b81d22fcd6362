// The update loop with the programs themselves, installed in a temporary folder: the client that
// hands over, the updater that installs the new client (a small program that leaves a marker
// when started) and starts it. The programs are the shipped ones, asking the test server.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <type_traits>

#include "Dialogs.h"
#include "HttpTestServer.h"
#include "TempDir.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

const char* const VersionPage = "/sikao/down/pro/lexdrill.asp";
const char* const ClientDownload = "/sikao/down/pro/lexdrill.t";

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Processes whose program lies in the folder.
TProcessFilter ProgramsIn(const std::string& folder)
{
    return [prefix = Lower(folder + "\\")](DWORD processId) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (!process)
            return false;
        char image[MAX_PATH] = {};
        DWORD size = sizeof image;
        const bool found = QueryFullProcessImageNameA(process, 0, image, &size) != 0;
        CloseHandle(process);
        return found && Lower(image).rfind(prefix, 0) == 0;
    };
}

// Starts a program hidden, as the programs start each other; the process handle, owned. A
// program that a failed test leaves waiting is ended with it, so the test does not hang.
struct TProcess {
    HANDLE handle = nullptr;
    ~TProcess()
    {
        if (handle && !Ended(0))
            TerminateProcess(handle, 1);
        CloseHandle(handle);
    }
    bool Ended(DWORD ms) const { return WaitForSingleObject(handle, ms) == WAIT_OBJECT_0; }
};

void Start(TProcess& process, const std::string& program, const std::string& currentDir)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info = {};
    std::string command = "\"" + program + "\"";
    ASSERT_TRUE(CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               currentDir.c_str(), &startup, &info));
    CloseHandle(info.hThread);
    process.handle = info.hProcess;
}

// The updater's window of a watched process once it is shown; nullptr when it never is.
HWND UpdaterWindow(const TProcessFilter& watched)
{
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindTopWindow(watched, "TForm1", "升级系统")) != nullptr; }, 20000);
    return window;
}

void Press(HWND window, const char* caption)
{
    HWND button = FindChild(window, "Button", caption);
    ASSERT_NE(button, nullptr) << caption;
    PostMessageA(button, BM_CLICK, 0, 0);
}

std::string ReadIni(const fs::path& file, const char* key)
{
    char value[256] = {};
    GetPrivateProfileStringA("OLEDB5", key, "", value, sizeof value, file.string().c_str());
    return value;
}

class UpdateLoop : public testing::Test {
protected:
    void SetUp() override
    {
        TestServerPort();  // the programs started here find it in the environment
        install_.Write("Config.INI", "[OLEDB5]\r\npro=1.0\r\nkaoshi=lexdrill\r\n");
        SetTestRoute(ClientDownload, {{"file", ServerPath(Built("marker_program.exe"))}});
    }

    // Starts the updater of programDir with the installation folder current and presses "升级" once
    // its window shows; the window, or nullptr when it never shows.
    HWND StartAndUpgrade(TProcess& updater, const std::string& programDir, const TProcessFilter& watched)
    {
        Start(updater, programDir + "\\Upgrading.exe", install_.Path());
        HWND window = UpdaterWindow(watched);
        if (window)
            Press(window, "升级");
        return window;
    }

    // Runs the updater of programDir to its end once "升级" is pressed, until the client it starts
    // has left its marker; what the updater's message boxes said.
    void Upgrade(const std::string& programDir, std::vector<std::string>& said)
    {
        const TProcessFilter watched = ProgramsIn(programDir);
        TMessageBoxAnswerer answerer(watched);
        TProcess updater;
        ASSERT_NE(StartAndUpgrade(updater, programDir, watched), nullptr);
        ASSERT_TRUE(updater.Ended(20000));
        ASSERT_TRUE(WaitUntil([&] { return fs::exists(Marker()); }, 30000));
        said = answerer.Texts();
    }

    // The installed client leaves it when started.
    fs::path Marker() const { return install_.Path() + "\\marker.txt"; }

    TTempCurrentDir install_;
};

}  // namespace

TEST_F(UpdateLoop, TheUpdaterInstallsTheNewClientRecordsTheVersionAndStartsIt)
{
    fs::copy_file(Built("Upgrading_local.exe"), install_.Path() + "\\Upgrading.exe");
    install_.Write("lexdrill.exe", "old client");
    // The published version as a text file is saved: with a line break.
    SetTestRoute(VersionPage, {{"body", "2.0\r\n"}});
    std::vector<std::string> said;
    ASSERT_NO_FATAL_FAILURE(Upgrade(install_.Path(), said));
    EXPECT_EQ(ReadFile(Marker()), install_.Path() + "\\lexdrill.exe\n" + install_.Path() + "\n");
    EXPECT_EQ(ReadFile(install_.Path() + "\\lexdrill.exe"), ReadFile(Built("marker_program.exe")));
    EXPECT_FALSE(fs::exists(install_.Path() + "\\lexdrill.exe.part"));
    EXPECT_EQ(said, std::vector<std::string>{"您的系统也经是最新版本了！"});
    EXPECT_EQ(ReadIni(install_.Path() + "\\Config.ini", "pro"), "2.0");
    EXPECT_EQ(ReadIni(install_.Path() + "\\Config.ini", "kaoshi"), "lexdrill");
}

TEST_F(UpdateLoop, FromAnotherDirectoryTheVersionIsWrittenBesideTheUpdaterAndTheClientInstalledHere)
{
    TTempCurrentDir programs;
    fs::copy_file(Built("Upgrading_local.exe"), programs.Path() + "\\Upgrading.exe");
    SetTestRoute(VersionPage, {{"body", "2.0"}});
    std::vector<std::string> said;
    ASSERT_NO_FATAL_FAILURE(Upgrade(programs.Path(), said));
    EXPECT_EQ(ReadFile(Marker()), install_.Path() + "\\lexdrill.exe\n" + install_.Path() + "\n");
    EXPECT_EQ(ReadIni(programs.Path() + "\\Config.ini", "pro"), "2.0");
    EXPECT_EQ(ReadIni(install_.Path() + "\\Config.INI", "pro"), "1.0");
    EXPECT_EQ(said, std::vector<std::string>{"您的系统也经是最新版本了！"});
}

TEST_F(UpdateLoop, AFailedDownloadLeavesTheUpdaterWaitingWithNothingWrittenOrStarted)
{
    fs::copy_file(Built("Upgrading_local.exe"), install_.Path() + "\\Upgrading.exe");
    install_.Write("lexdrill.exe", "old client");
    SetTestRoute(VersionPage, {{"body", "2.0"}});
    SetTestRoute(ClientDownload, {{"status", "404"}});
    const TProcessFilter watched = ProgramsIn(install_.Path());
    TMessageBoxAnswerer answerer(watched);
    TProcess updater;
    HWND window = StartAndUpgrade(updater, install_.Path(), watched);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !answerer.Texts().empty(); }, 20000));
    EXPECT_EQ(answerer.Texts(), std::vector<std::string>{"升级程序出错!"});
    HWND busy = FindChild(window, "Button", "正在升级");
    ASSERT_NE(busy, nullptr);
    EXPECT_FALSE(IsWindowEnabled(busy));
    EXPECT_FALSE(updater.Ended(0));

    Press(window, "取消");
    ASSERT_TRUE(updater.Ended(20000));
    EXPECT_EQ(ReadFile(install_.Path() + "\\lexdrill.exe"), "old client");
    EXPECT_EQ(ReadFile(install_.Path() + "\\Config.INI"), "[OLEDB5]\r\npro=1.0\r\nkaoshi=lexdrill\r\n");
    EXPECT_FALSE(fs::exists(Marker()));
}

// An equal version, also as an editor saves it (trailing blanks or tabs, a leading UTF-8 byte-order
// mark): nothing is downloaded (the download would fail), yet the version is recorded as it
// stands, the candidate told and the installed client started. The updater runs from a folder
// of its own, where the version it records is seen to be written.
TEST_F(UpdateLoop, AnEqualVersionDownloadsNothingButIsRecordedAnnouncedAndTheClientStarted)
{
    TTempCurrentDir programs;
    fs::copy_file(Built("Upgrading_local.exe"), programs.Path() + "\\Upgrading.exe");
    fs::copy_file(Built("marker_program.exe"), install_.Path() + "\\lexdrill.exe");
    SetTestRoute(ClientDownload, {{"status", "404"}});
    const fs::path recorded = programs.Path() + "\\Config.ini";
    for (const char* body : {"1.0", "1.0 ", "1.0\t\r\n", "\xEF\xBB\xBF" "1.0"}) {
        SCOPED_TRACE(body);
        SetTestRoute(VersionPage, {{"body", body}});
        std::vector<std::string> said;
        ASSERT_NO_FATAL_FAILURE(Upgrade(programs.Path(), said));
        EXPECT_EQ(ReadFile(Marker()), install_.Path() + "\\lexdrill.exe\n" + install_.Path() + "\n");
        EXPECT_EQ(said, std::vector<std::string>{"您的系统也经是最新版本了！"});
        EXPECT_EQ(ReadFile(recorded), "[OLEDB5]\r\npro=1.0\r\n");
        EXPECT_EQ(ReadFile(install_.Path() + "\\lexdrill.exe"), ReadFile(Built("marker_program.exe")));
        fs::remove(Marker());
        fs::remove(recorded);
    }
}

// With no exam name the client's name is ".exe": the download is saved and started under it.
TEST_F(UpdateLoop, AnEmptyExamNameInstallsAndStartsTheClientAsDotExe)
{
    fs::copy_file(Built("Upgrading_local.exe"), install_.Path() + "\\Upgrading.exe");
    install_.Write("Config.INI", "[OLEDB5]\r\npro=1.0\r\nkaoshi=\r\n");
    SetTestRoute(VersionPage, {{"body", "2.0"}});
    std::vector<std::string> said;
    ASSERT_NO_FATAL_FAILURE(Upgrade(install_.Path(), said));
    EXPECT_EQ(ReadFile(Marker()), install_.Path() + "\\.exe\n" + install_.Path() + "\n");
    EXPECT_EQ(ReadFile(install_.Path() + "\\.exe"), ReadFile(Built("marker_program.exe")));
    EXPECT_FALSE(fs::exists(install_.Path() + "\\.exe.part"));
    EXPECT_EQ(said, std::vector<std::string>{"您的系统也经是最新版本了！"});
    EXPECT_EQ(ReadIni(install_.Path() + "\\Config.ini", "pro"), "2.0");
}

// Only the client asks for common controls 6; the updater uses the system's own.
TEST(Programs, OnlyTheClientCarriesAManifest)
{
    const auto carriesManifest = [](const char* program) {
        const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> module(
            LoadLibraryExA(Built(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), FreeLibrary);
        EXPECT_NE(module, nullptr) << program;
        return module && FindResourceA(module.get(), MAKEINTRESOURCEA(1), RT_MANIFEST) != nullptr;
    };
    EXPECT_TRUE(carriesManifest("lexdrill_local.exe"));
    EXPECT_FALSE(carriesManifest("Upgrading_local.exe"));
}

// Started hidden, as the updater starts it, the client shows its main window, which closes the
// client as the candidate closes it.
TEST_F(UpdateLoop, TheClientStartedHiddenShowsItsMainWindow)
{
    fs::copy_file(Built("lexdrill_local.exe"), install_.Path() + "\\lexdrill.exe");
    SetTestRoute(VersionPage, {{"body", "1.0"}});
    const TProcessFilter watched = ProgramsIn(install_.Path());
    TMessageBoxAnswerer answerer(watched);
    TProcess client;
    Start(client, install_.Path() + "\\lexdrill.exe", install_.Path());
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (window = FindTopWindow(watched, "TForm10", "lexdrill")) != nullptr; }, 20000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(client.Ended(20000));
}

// The whole loop: the client finds a new version, says so, starts the updater and ends; the
// updater installs and starts the new client.
TEST_F(UpdateLoop, TheClientHandsOverAndTheUpdaterInstallsAndStartsTheNewClient)
{
    fs::copy_file(Built("lexdrill_local.exe"), install_.Path() + "\\lexdrill.exe");
    fs::copy_file(Built("Upgrading_local.exe"), install_.Path() + "\\Upgrading.exe");
    SetTestRoute(VersionPage, {{"body", "2.0"}});
    const TProcessFilter watched = ProgramsIn(install_.Path());
    TMessageBoxAnswerer answerer(watched);
    TProcess client;
    Start(client, install_.Path() + "\\lexdrill.exe", install_.Path());
    ASSERT_TRUE(client.Ended(30000));
    HWND window = UpdaterWindow(watched);
    ASSERT_NE(window, nullptr);
    Press(window, "升级");

    ASSERT_TRUE(WaitUntil([&] { return fs::exists(Marker()); }, 30000));
    EXPECT_EQ(ReadFile(Marker()), install_.Path() + "\\lexdrill.exe\n" + install_.Path() + "\n");
    EXPECT_EQ(ReadIni(install_.Path() + "\\Config.ini", "pro"), "2.0");
    // The client's start-up reports the database it cannot open here, then the new version.
    const std::vector<std::string> said = answerer.Texts();
    ASSERT_EQ(said.size(), 3u);
    EXPECT_EQ(said[1], "有新版本，请升级！");
    EXPECT_EQ(said[2], "您的系统也经是最新版本了！");
}
