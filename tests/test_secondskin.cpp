// The client on the second test skin (tests/data/secondskin, another shape wherever a skin may
// differ): loaded through the main window's SkinFile, every window of the client and every
// window of the gallery opens, draws, resizes, drops its menus and closes; and switching
// between the client's skin and the second one through the manager's reload leaves nothing
// behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "ClientTesting.h"
#include "Gallery.h"
#include "Index.h"
#include "ProcessUsage.h"
#include "SkinPaint.h"
#include "SkinTesting.h"
#include "TempDir.h"
#include "U_About.h"
#include "Unit1.h"
#include "Unit7.h"
#include "WinSkinDataManage.h"
#include "WinSkinMenu.h"
#include "WindowTesting.h"
#include "dalishang.h"
#include "jiameng.h"
#include "zxks.h"

namespace {

int changes = 0;

// The second skin's caption band and frame edges.
constexpr int kCaption = 36, kLeft = 3, kRight = 9, kBottom = 7;

// Loads a skin file into the main window's component and has the manager re-apply it at once.
bool LoadThroughSkinFile(const std::string& path)
{
    TSkinData* data = Form10->SkinData1;
    const int before = changes;
    data->SetSkinFile(path);
    if (!data->FSkinLoaded)
        return false;
    SkinManage->SetMode(smReload, 1);
    return Pump([before] { return changes > before; }, 5000);
}

struct TRegionProbe {
    bool held;
    bool corner;  // the top-left corner pixel, which the key colour cuts away
    bool centre;
};

TRegionProbe ProbeRegion(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    const bool held = GetWindowRgn(window, region.get()) != ERROR;
    return {held, held && PtInRegion(region.get(), 0, 0) != 0,
            held && PtInRegion(region.get(), (r.right - r.left) / 2, (r.bottom - r.top) / 2) != 0};
}

// Activations of the client's windows made while a skin is re-applied to one of them. Another
// program's window closing on the display may pass the activation to one of them meanwhile:
// that comes through the message loop, between the windows' re-applications.
int activations = 0;
std::vector<HWND> reapplied;

LRESULT CALLBACK CountActivations(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code >= 0 && sent->message == WM_ACTIVATE && LOWORD(sent->wParam) != WA_INACTIVE &&
        std::any_of(reapplied.begin(), reapplied.end(), [](HWND window) {
            const TWinSkinForm* skin = SkinManage->FindFormSkin(window);
            return skin && (skin->SkinState() == fssReskinning || skin->SkinState() == fssFitting);
        }))
        ++activations;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Where the top row of the caption band the window shows has the key colour, outside its
// buttons and its text, the window's region has a hole; elsewhere it has not. Returns the
// holes found.
int ExpectTopRowCutFromItsBand(HWND window, const std::string& name)
{
    TWinSkinForm* skin = SkinManage->FindFormSkin(window);
    if (!skin) {
        ADD_FAILURE() << name;
        return 0;
    }
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(window, region.get()) == ERROR) {
        ADD_FAILURE() << name << " has no region";
        return 0;
    }
    const auto covered = [skin](int x) {
        for (const auto& button : skin->SysButtons())
            if (button->FVisible && x >= button->FBoundsRect.Left && x < button->FBoundsRect.Right)
                return true;
        const TRect& text = TFormSkinTesting::TitleTextRect(*skin);
        return x >= text.Left && x < text.Right;
    };
    const COLORREF key = static_cast<COLORREF>(ColorToRGB(SkinKeyColor));
    int holes = 0;
    for (int x = skin->FrameLeft(); x < TFormSkinTesting::PaintWidth(*skin) - skin->FrameRight(); ++x) {
        if (covered(x))
            continue;
        const bool hole = GetPixel(TFormSkinTesting::FrameBitmap(*skin).Canvas().Handle(), x, 0) == key;
        holes += hole;
        EXPECT_EQ(PtInRegion(region.get(), x, 0) != 0, !hole) << name << " at " << x;
    }
    return holes;
}

int photographs = 0;

// What the gallery photographs, checked instead: drawn from the second skin's metrics, the
// close button at the left edge, the corners cut, and the same after growing and shrinking.
void CheckWindow(HWND window, const std::string& name)
{
    ++photographs;
    TWinSkinForm* skin = SkinManage->FindFormSkin(window);
    ASSERT_TRUE(skin && skin->SkinState() == fssSkinned) << name;
    EXPECT_EQ(skin->FrameTop(), kCaption) << name;
    EXPECT_EQ(skin->FrameLeft(), kLeft) << name;
    EXPECT_EQ(skin->FrameRight(), kRight) << name;
    EXPECT_EQ(skin->FrameBottom(), kBottom) << name;
    bool closeAtLeft = false;
    for (const auto& button : skin->SysButtons())
        closeAtLeft |= button->FSkinButton->Action == 0 && button->FVisible && button->FBoundsRect.Left == 6;
    EXPECT_TRUE(closeAtLeft) << name;

    RECT r;
    GetWindowRect(window, &r);
    for (const int grow : {60, -40, 0}) {
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left + grow, r.bottom - r.top + grow,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const TRegionProbe probe = ProbeRegion(window);
        EXPECT_TRUE(probe.held && !probe.corner && probe.centre) << name << " grown by " << grow;
        // A window as wide as the screen cannot grow.
        RECT now;
        GetWindowRect(window, &now);
        EXPECT_EQ(TFormSkinTesting::PaintWidth(*skin), now.right - now.left) << name << " grown by " << grow;
        EXPECT_EQ(TFormSkinTesting::RegionWidth(*skin), now.right - now.left) << name << " grown by " << grow;
    }
}

int menus = 0;

// A menu dropped from a window: open and drawn by a pop-up menu skin of the second skin.
void CheckMenu(HWND window, const std::string& name)
{
    ++menus;
    const HWND menu = ShownMenuWindow();
    ASSERT_TRUE(menu) << name;
    RedrawWindow(menu, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    bool skinned = false;
    for (const auto& popup : SkinManage->FPopupSkins)
        skinned |= popup->FHandle == menu && popup->Attached() && popup->FSkinData == Form10->SkinData1;
    EXPECT_TRUE(skinned) << name;
    EXPECT_TRUE(SkinManage->FindFormSkin(window)) << name;
}

}  // namespace

class SecondSkin : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<TTempCurrentDir>();
        CreateClientIn(*folder);
        Form10->SkinData1->OnSkinChanged = [](TObject*) { ++changes; };
        // The client's own skin as a file, for switching back through SkinFile.
        const std::vector<uint8_t> stored = OwnSkinStored();
        ownSkin = folder->Path() + "\\own.skin";
        std::ofstream(ownSkin, std::ios::binary)
            .write(reinterpret_cast<const char*>(stored.data()) + 4, static_cast<std::streamsize>(stored.size() - 4));
    }
    static void TearDownTestSuite() { folder.reset(); }

    static inline std::unique_ptr<TTempCurrentDir> folder;
    static inline std::string ownSkin;
};

TEST_F(SecondSkin, EveryWindowOfTheClientAndOfTheGalleryRunsOnIt)
{
    ASSERT_TRUE(LoadThroughSkinFile(LEXDRILL_SECOND_SKIN));
    GalleryCamera = {CheckWindow, CheckMenu};
    for (const auto& shot : kShots)
        shot();
    EXPECT_GE(photographs, 14);
    EXPECT_GE(menus, 4);
}

TEST_F(SecondSkin, SwitchingToItAndBackRepeatedlyLeavesNothingBehind)
{
    const std::vector<TCustomForm*> windows = {Form10, Form1, xzks, Form7, About, Tjiameng, TDailishang};
    for (TCustomForm* form : windows)
        form->Show();
    const auto cycle = [&](int times) {
        for (int i = 0; i < times; ++i) {
            ASSERT_TRUE(LoadThroughSkinFile(LEXDRILL_SECOND_SKIN));
            ASSERT_EQ(SkinManage->FindFormSkin(Form10->Handle())->FrameTop(), kCaption);
            ASSERT_TRUE(LoadThroughSkinFile(ownSkin));
            ASSERT_NE(SkinManage->FindFormSkin(Form10->Handle())->FrameTop(), kCaption);
        }
    };
    cycle(10);
    const TUsage before = Usage();
    cycle(SoakCycles());
    ExpectNoGrowth("switched skins", before, Usage());
    for (TCustomForm* form : windows)
        form->Hide();
}

TEST_F(SecondSkin, ASwitchLeavesTheActivationAndShapesEachWindowByTheCaptionItShows)
{
    const std::vector<TCustomForm*> windows = {Form10, Form1, xzks, Form7, About, Tjiameng, TDailishang};
    for (TCustomForm* form : windows)
        form->Show();
    ASSERT_TRUE(LoadThroughSkinFile(ownSkin));
    reapplied.clear();
    for (TCustomForm* form : windows)
        reapplied.push_back(form->Handle());
    {
        const UniqueHook hook(SetWindowsHookExA(WH_CALLWNDPROC, CountActivations, nullptr, GetCurrentThreadId()));
        activations = 0;
        ASSERT_TRUE(LoadThroughSkinFile(LEXDRILL_SECOND_SKIN));
    }
    // Re-applying the skin window by window activated each in turn.
    EXPECT_EQ(activations, 0);
    int holes = 0;
    for (TCustomForm* form : windows)
        holes += ExpectTopRowCutFromItsBand(form->Handle(), form->ClassName());
    // The band's notches lie outside the buttons and the text of every window.
    EXPECT_GE(holes, static_cast<int>(windows.size()));
    for (TCustomForm* form : windows)
        form->Hide();
}
