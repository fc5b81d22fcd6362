// The client's start-up and its exit, in this process as the program runs them.
#include <gtest/gtest.h>

#include <thread>

#include "Client.h"
#include "Dialogs.h"
#include "Forms.h"
#include "HttpTestServer.h"
#include "Index.h"
#include "Sites.h"
#include "TempDir.h"
#include "U_DBM.h"
#include "Unit1.h"

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
    // and then ends the process. A watch started as the login window hides says that the process
    // still lived 500 ms later (well inside the 900, so a busy machine does not miss it), and that
    // it ended within 10 s. Before that, showing the main window read the local version page.
    EXPECT_EXIT(
        {
            Form10->IdHTTP1->OnWorkBegin = [](TObject*, TWorkMode, int64_t length) {
                fprintf(stderr, "version page of %d bytes\n", static_cast<int>(length));
            };
            Form1->Show();
            Form10->Show();
            HANDLE hidden = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            Form1->OnHide = [hidden](TObject*) {
                fprintf(stderr, "login hidden\n");
                SetEvent(hidden);
            };
            std::thread([hidden] {
                WaitForSingleObject(hidden, INFINITE);
                Sleep(500);
                fprintf(stderr, "collapsing\n");
                Sleep(9500);
                fprintf(stderr, "still running after 10 s\n");
            }).detach();
            Form10->Close();
            fprintf(stderr, "still running\n");
        },
        testing::ExitedWithCode(0), "^version page of 11 bytes\nlogin hidden\ncollapsing\n$");
}
