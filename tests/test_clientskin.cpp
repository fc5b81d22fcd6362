// The client skinned: every window it opens drawn from the main window's skin, switched off, on
// and to a second skin through the skin manager's timer, the switch repeated without growth of
// GDI objects, windows or memory, and the process ending cleanly with skinned windows open.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ClientTesting.h"
#include "Dialogs.h"
#include "Index.h"
#include "ProcessUsage.h"
#include "SkinTesting.h"
#include "TempDir.h"
#include "U_About.h"
#include "Unit1.h"
#include "Unit7.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "WindowTesting.h"
#include "dalishang.h"
#include "jiameng.h"
#include "zxks.h"

namespace {

int changes = 0;

bool Answers(HWND window)
{
    return SendMessageA(window, WM_SKINQUERY, 0, 0) == 1;
}

TWinSkinForm* SkinOf(TCustomForm* form)
{
    return SkinManage ? SkinManage->FindFormSkin(form->Handle()) : nullptr;
}

// Skinned by the manager, with its first application done.
bool Skinned(TCustomForm* form)
{
    TWinSkinForm* formSkin = SkinOf(form);
    return formSkin && Pump([formSkin] { return formSkin->SkinState() == fssSkinned; }, 3000) &&
           Answers(form->Handle());
}

bool Native(TCustomForm* form)
{
    return !SkinOf(form) && !Answers(form->Handle());
}

// Switches the main window's component and waits until the manager has applied it.
bool SwitchSkinning(bool on)
{
    TSkinData* data = Form10->SkinData1;
    if (data->Active() == on)
        return true;
    const int before = changes;
    data->SetActive(on);
    return Pump([before] { return changes > before; }, 3000);
}

// The same change straight through the manager, with the shortest interval the timer has.
void SwitchFast(TSkinMode mode)
{
    const int before = changes;
    SkinManage->FPendingSkinData = Form10->SkinData1;
    SkinManage->SetMode(mode, 1);
    Pump([before] { return changes > before; }, 3000);
}

}  // namespace

// The whole client, once per test process, in a folder of its own as current directory.
class ClientSkin : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<TTempCurrentDir>();
        CreateClientIn(*folder);
        Form10->SkinData1->OnSkinChanged = [](TObject*) { ++changes; };
    }
    static void TearDownTestSuite() { folder.reset(); }

    // Every window the client opens: all but the exam-paper window, which it never shows.
    void SetUp() override
    {
        windows = {Form10, Form1, xzks, Form7, About, Tjiameng, TDailishang};
        for (TCustomForm* form : windows)
            form->Show();
        Wait(200);
    }

    std::vector<TCustomForm*> windows;
    static inline std::unique_ptr<TTempCurrentDir> folder;
};

// As shipped, the main window's layout switches skinning on: every window is skinned at its
// first activation, without the timer.
TEST_F(ClientSkin, EveryWindowIsSkinnedFromItsFirstActivation)
{
    EXPECT_TRUE(Form10->SkinData1->Active());
    for (TCustomForm* form : windows)
        EXPECT_TRUE(Skinned(form)) << form->Name();
    EXPECT_EQ(changes, 0);
}

// The first window skinned is the message that the database cannot be opened, which has no icon:
// the skin stores its plain key-colour square for windows without one. The client's windows
// carry the client's icon, and show it.
TEST_F(ClientSkin, EveryWindowShowsTheClientsIconInItsCaption)
{
    TBitmap keySquare(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)), clientIcon;
    keySquare.Canvas().Brush().SetColor(clFuchsia);
    keySquare.Canvas().FillRect(Rect(0, 0, keySquare.Width(), keySquare.Height()));
    ASSERT_TRUE(SamePicture(Form10->SkinData1->FIconImage, keySquare)) << "the first window skinned had an icon";
    SmallIconPicture(Application->Icon(), clientIcon);
    for (TCustomForm* form : windows) {
        ASSERT_TRUE(Skinned(form)) << form->Name();
        EXPECT_TRUE(SamePicture(TFormSkinTesting::IconBitmap(*SkinOf(form)), clientIcon)) << form->Name();
    }
}

TEST_F(ClientSkin, EveryWindowIsSkinnedOffOnAndWithASecondSkinThroughTheTimer)
{
    ASSERT_TRUE(SwitchSkinning(false));
    for (TCustomForm* form : windows)
        EXPECT_TRUE(Native(form)) << form->Name();

    ASSERT_TRUE(SwitchSkinning(true));
    TSkinData* data = Form10->SkinData1;
    const int ownTop = data->Top.Image.Height() / data->Top.FrameCount;
    for (TCustomForm* form : windows) {
        ASSERT_TRUE(Skinned(form)) << form->Name();
        EXPECT_EQ(SkinOf(form)->SkinData(), data);
        EXPECT_EQ(SkinOf(form)->FrameTop(), ownTop) << form->Name();
    }

    // A message box of the client is skinned from the same component when it is activated.
    std::atomic<bool> boxSkinned{false};
    std::thread answerer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 250 && !box; ++i, Sleep(20))
            box = FindTopWindow(ThisProcess(), "#32770");
        if (!box)
            return;
        for (int i = 0; i < 100 && !boxSkinned; ++i, Sleep(20))
            boxSkinned = Answers(box);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    ShowMessage("已经是新版本了！");
    answerer.join();
    EXPECT_TRUE(boxSkinned);

    // Reload: the skin file named by SkinFile, on every window.
    const int before = changes;
    data->SetSkinFile(LEXDRILL_FORMSKIN_FIXTURE);
    ASSERT_TRUE(data->FSkinLoaded);
    ASSERT_TRUE(Pump([before] { return changes > before; }, 3000));
    const int secondTop = data->Top.Image.Height() / data->Top.FrameCount;
    ASSERT_NE(secondTop, ownTop);
    for (TCustomForm* form : windows) {
        ASSERT_TRUE(Skinned(form)) << form->Name();
        EXPECT_EQ(SkinOf(form)->FrameTop(), secondTop) << form->Name();
    }

    ASSERT_TRUE(SwitchSkinning(false));
    for (TCustomForm* form : windows) {
        EXPECT_TRUE(Native(form)) << form->Name();
        EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_SYSMENU, WS_SYSMENU) << form->Name();
    }
}

// A switch of all seven windows takes about a third of a second here: the suite repeats 100
// times, LEXDRILL_SOAK_CYCLES=2000 the full soak (README).
TEST_F(ClientSkin, SwitchingOffAndOnAndSkinningNewWindowsRepeatedlyLeavesNothingBehind)
{
    ASSERT_TRUE(SwitchSkinning(true));
    const auto cycle = [this](int times) {
        for (int i = 0; i < times; ++i) {
            SwitchFast(smSkinOff);
            SwitchFast(smSkinOn);
        }
        for (TCustomForm* form : windows)
            EXPECT_TRUE(Skinned(form)) << form->Name();
    };
    cycle(20);
    const TUsage before = Usage();
    cycle(SoakCycles());
    ExpectNoGrowth("switched", before, Usage());

    // Form skins attached by the hook and freed with their forms.
    const auto attach = [](int times) {
        for (int i = 0; i < times; ++i) {
            auto* form = TComponent::Make<TForm>(Application);
            form->SetBounds(100, 100, 300, 200);
            form->Show();
            EXPECT_TRUE(Skinned(form));
            TComponent::Free(form);
        }
    };
    attach(20);
    const TUsage beforeAttach = Usage();
    attach(SoakCycles());
    ExpectNoGrowth("attached", beforeAttach, Usage());
}

// Mended: the main window's closing animation showed a plain frame, an empty caption band and
// panels without their pictures, for AnimateWindow takes its picture with WM_PRINT. Every window
// of the client prints as the screen shows it: frame, caption, menu bar, panels and pictures.
TEST_F(ClientSkin, EveryWindowPrintsWhatTheScreenShows)
{
    ASSERT_TRUE(SwitchSkinning(true));
    constexpr COLORREF backdrop = RGB(1, 2, 3);
    for (TCustomForm* form : windows) {
        ASSERT_TRUE(Skinned(form)) << form->Name();
        HWND w = form->Handle();
        RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const TWindowPicture shown = ShownPicture(w);
        const TWindowPicture printed =
            PrintedPicture(w, PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN, backdrop);
        const auto [inside, outside] = PrintFaults(w, shown, printed, backdrop);
        EXPECT_EQ(inside, 0) << form->Name();
        EXPECT_EQ(outside, 0) << form->Name();
        // The caption band and the menu bar are there, not the backdrop.
        const TWinSkinForm& skin = *SkinOf(form);
        EXPECT_NE(printed.At(printed.Width / 2, skin.FrameTop() / 2), backdrop) << form->Name();
        if (skin.MenuHeight() > 0) {
            EXPECT_NE(printed.At(printed.Width / 2, skin.FrameTop() + skin.MenuHeight() / 2), backdrop);
        }
    }
    EXPECT_GT(SkinOf(Form10)->MenuHeight(), 0);
}

// With skinned windows open the process ends cleanly: by the main window's hard exit, and in the
// orderly way with the manager torn down first.
TEST_F(ClientSkin, TheProcessEndsCleanlyWithSkinnedWindowsOpen)
{
    EXPECT_EXIT(
        {
            if (!SwitchSkinning(true) || !Skinned(Form10))
                fprintf(stderr, "not skinned\n");
            Form10->Close();
            fprintf(stderr, "still running\n");
        },
        testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(
        {
            if (!SwitchSkinning(true) || !Skinned(Form10))
                fprintf(stderr, "not skinned\n");
            FreeSkinManage();
            for (TCustomForm* form : windows)
                if (Answers(form->Handle()))
                    fprintf(stderr, "%s still skinned\n", form->Name().c_str());
            exit(0);
        },
        testing::ExitedWithCode(0), "^$");
}
