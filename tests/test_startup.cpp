// The client's start-up and its exit, in this process as the program runs them.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Client.h"
#include "Forms.h"
#include "Index.h"
#include "U_DBM.h"
#include "Unit1.h"

namespace {

struct TMessageBoxSeen {
    std::string caption;
    std::string text;
};

BOOL CALLBACK FindMessageBox(HWND hwnd, LPARAM found)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindMessageText(HWND child, LPARAM out)
{
    char cls[32] = {}, text[512] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    if (std::string(cls) == "Static" && text[0])
        *reinterpret_cast<std::string*>(out) = text;
    return TRUE;
}

// Answers the first message box of this process with OK and records what it said.
std::thread AnswerMessageBox(TMessageBoxSeen& seen, std::atomic<bool>& done)
{
    return std::thread([&seen, &done] {
        for (int i = 0; i < 200 && !done; ++i) {
            HWND box = nullptr;
            EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&box));
            if (box) {
                char text[512] = {};
                GetWindowTextA(box, text, sizeof text);
                seen.caption = text;
                EnumChildWindows(box, FindMessageText, reinterpret_cast<LPARAM>(&seen.text));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(50);
        }
    });
}

}  // namespace

TEST(Startup, CreatesEveryWindowInOrderAndGoesOnAfterTheDatabaseFails)
{
    TMessageBoxSeen seen;
    std::atomic<bool> done{false};
    std::thread answer = AnswerMessageBox(seen, done);
    CreateClient();
    done = true;
    answer.join();

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

    // Closing the main window hides the login window first, then ends the process at once.
    EXPECT_EXIT(
        {
            Form1->Show();
            Form10->Show();
            Form1->OnHide = [](TObject*) { fprintf(stderr, "login hidden\n"); };
            Form10->Close();
            fprintf(stderr, "still running\n");
        },
        testing::ExitedWithCode(0), "^login hidden\n$");
}
