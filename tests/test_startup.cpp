// The client's start-up and its exit, in this process as the program runs them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Client.h"
#include "Dialogs.h"
#include "Forms.h"
#include "HttpTestServer.h"
#include "Index.h"
#include "Sites.h"
#include "TempDir.h"
#include "U_DBM.h"
#include "Unit1.h"

namespace {

unsigned long long Ticks(const FILETIME& time)
{
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

TEST(Startup, CreatesEveryWindowInOrderAndGoesOnAfterTheDatabaseFails)
{
    // Showing the main window checks the version and opens the panes' pages: all of it asks the
    // local server (started here, so the death test's child shares it), which publishes the
    // installed version.
    const std::string server = TestServerUrl("");
    ServiceSites() = {server, server, server};
    SetTestRoute("/sikao/down/pro/lexdrill.asp", {{"body", "1.0-startup"}});
    TTempCurrentDir dir;
    dir.Write("Config.INI", "[OLEDB5]\r\npro=1.0-startup\r\n");
    std::vector<TMessageBoxSeen> boxes;
    {
        TMessageBoxAnswerer answerer;
        CreateClient();
        WaitUntil([&] { return !answerer.Seen().empty(); }, 2000);
        boxes = answerer.Seen();
    }
    ASSERT_EQ(boxes.size(), 1u);
    const TMessageBoxSeen& seen = boxes[0];

    EXPECT_EQ(Application->Title(), "考试软件");
    EXPECT_EQ(seen.caption, "考试软件");
    EXPECT_NE(seen.text.find("Microsoft.Jet.OLEDB.4.0"), std::string::npos) << seen.text;
    EXPECT_NE(seen.text.find("0x800401F3"), std::string::npos) << seen.text;

    std::vector<std::string> names;
    for (TCustomForm* form : Screen->Forms())
        names.push_back(form->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Form10", "Form1", "xzks", "Form7", "About", "Tjiameng",
                                               "TDailishang", "sjzt"}));
    EXPECT_EQ(Application->MainForm(), Form10);
    ASSERT_NE(DBM, nullptr);
    EXPECT_EQ(DBM->Name(), "DBM");
    EXPECT_EQ(Form10->Caption(), "司法考试专用训练题库");
    // The main window's stored skin is parsed while its layout is read.
    ASSERT_NE(Form10->SkinData1, nullptr);
    EXPECT_TRUE(Form10->SkinData1->FSkinLoaded);
    EXPECT_TRUE(Form10->SkinData1->Active());
    EXPECT_EQ(Form10->SkinData1->Skin3rd().Count(), 95);
    // The main window covers the desktop and is not maximised.
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(Form10->BoundsRect(), Rect(0, 0, desktop.right, desktop.bottom));
    EXPECT_EQ(Form10->WindowState(), TWindowState::wsNormal);
    for (TCustomForm* form : Screen->Forms())
        EXPECT_FALSE(form->Visible()) << form->Name();

    // Closing the main window hides the login window first, lets the window collapse for 900 ms
    // and then ends the process. The child tells when the login window hid and hands this
    // process a handle to itself; its end is read from the handle once it has gone, so that no
    // watcher has to be on time. Before that, showing the main window reads the local version page.
    // The child runs this test again from its start: it keeps what its parent set.
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string told = std::string(folder) + "lexdrill-close-" + std::to_string(GetCurrentProcessId()) + ".txt";
    if (!GetEnvironmentVariableA("LEXDRILL_CLOSE_PARENT", nullptr, 0)) {
        SetEnvironmentVariableA("LEXDRILL_CLOSE_TOLD", told.c_str());
        SetEnvironmentVariableA("LEXDRILL_CLOSE_PARENT", std::to_string(GetCurrentProcessId()).c_str());
    }
    const auto tell = [](TObject*) {
        char path[MAX_PATH] = {}, parentId[16] = {};
        GetEnvironmentVariableA("LEXDRILL_CLOSE_TOLD", path, sizeof path);
        GetEnvironmentVariableA("LEXDRILL_CLOSE_PARENT", parentId, sizeof parentId);
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        HANDLE parent = OpenProcess(PROCESS_DUP_HANDLE, FALSE, static_cast<DWORD>(std::atol(parentId)));
        HANDLE self = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), parent, &self,
                        PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, 0);
        CloseHandle(parent);
        std::ofstream(path) << reinterpret_cast<uintptr_t>(self) << " " << Ticks(now) << "\n";
        fprintf(stderr, "login hidden\n");
    };
    EXPECT_EXIT(
        {
            Form10->IdHTTP1->OnWorkBegin = [](TObject*, TWorkMode, int64_t length) {
                fprintf(stderr, "version page of %d bytes\n", static_cast<int>(length));
            };
            Form1->Show();
            Form10->Show();
            Form1->OnHide = tell;
            Form10->Close();
            fprintf(stderr, "still running\n");
        },
        testing::ExitedWithCode(0), "^version page of 11 bytes\nlogin hidden\n$");
    uintptr_t child = 0;
    unsigned long long hidden = 0;
    ASSERT_TRUE(std::ifstream(told) >> child >> hidden);
    DeleteFileA(told.c_str());
    const auto process = reinterpret_cast<HANDLE>(child);
    FILETIME created, exited, kernel, user;
    ASSERT_TRUE(GetProcessTimes(process, &created, &exited, &kernel, &user));
    CloseHandle(process);
    // In milliseconds (a FILETIME counts 100 ns); the collapse is timed by a coarser clock.
    const long long collapsed = static_cast<long long>(Ticks(exited) - hidden) / 10000;
    EXPECT_GE(collapsed, 850);
    EXPECT_LT(collapsed, 20000);
}
