// The skinned menu bar, its drop-downs, the skinned system menu and the owner-drawn items on a
// framework form carrying the client's own main menu, drawn from the flat-colour fixture skin
// and driven with real mouse and key input.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ClientTesting.h"
#include "Forms.h"
#include "Index.h"
#include "InputTesting.h"
#include "Menus.h"
#include "SkinTesting.h"
#include "StdCtrls.h"
#include "TempDir.h"
#include "U_About.h"
#include "WinSkinDataManage.h"
#include "WinSkinMenu.h"
#include "WindowTesting.h"

namespace {

bool MenuShown()
{
    return ShownMenuWindow() != nullptr;
}

// Drop-downs and sub-menus open at once.
int MenusShown()
{
    return static_cast<int>(ShownMenuWindows().size());
}

struct MenuSkinTest : ::testing::Test {
    TComponent owner{nullptr};
    TSkinData data{nullptr};
    TForm* form = nullptr;
    TMainMenu* menu = nullptr;
    std::vector<std::string> clicked;

    void SetUp() override
    {
        // The fixture of flat colours (tests/data/formskin, packed by the build).
        LoadSkinFile(data, LEXDRILL_FORMSKIN_FIXTURE);
        ASSERT_TRUE(data.FSkinLoaded);
        SetCursorPos(0, 0);
        form = TComponent::Make<TForm>(&owner);
        form->SetBounds(150, 120, 500, 300);
        form->SetCaption("Menus");
        menu = TComponent::Make<TMainMenu>(form);
        // The main window's menu, and an item of its own with an accelerator and no drop-down.
        Add(Add(Add(menu->Items(), "区域空间"), "扩展区域"), "全部隐藏");
        Add(Add(menu->Items(), "更新升级"), "更新");
        TMenuItem* contact = Add(menu->Items(), "联系我们");
        Add(contact, "关于软件");
        Add(contact, "加盟我们");
        Add(menu->Items(), "&Help");
        // Opening a drop-down posts its item's command too: only the leaves count here.
        for (int i = 0; i < 3; ++i)
            menu->Items()->Items(i)->OnClick = nullptr;
        form->SetMenu(menu);
        form->Show();
        Pump([this] { return GetForegroundWindow() == form->Handle(); }, 5000);
    }
    void TearDown() override { EndMenu(); }

    TMenuItem* Add(TMenuItem* parent, const std::string& caption)
    {
        auto* item = TComponent::Make<TMenuItem>(form);
        item->SetCaption(caption);
        item->OnClick = [this](TObject* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)->Caption()); };
        parent->Add(item);
        return item;
    }
    TWinSkinForm& Skin() { return SkinWindow(form, form->Handle(), data, form); }
public:
    // The middle of a bar item, in window coordinates.
    static POINT Middle(const TMenuBtn& b)
    {
        return POINT{(b.FBoundsRect.Left + b.FBoundsRect.Right) / 2, (b.FBoundsRect.Top + b.FBoundsRect.Bottom) / 2};
    }
};

}  // namespace

TEST_F(MenuSkinTest, TheBarTakesTheMenuOffTheWindowAndDrawsItsItemsFromTheSkin)
{
    HWND w = form->Handle();
    const SIZE client = [&] { RECT r; GetClientRect(w, &r); return SIZE{r.right, r.bottom}; }();
    TWinSkinForm& skin = Skin();
    ASSERT_TRUE(skin.SkinMenu());
    EXPECT_EQ(GetMenu(w), nullptr);
    EXPECT_EQ(skin.MenuHeight(), GetSystemMetrics(SM_CYMENU));
    RECT r;
    GetClientRect(w, &r);
    EXPECT_EQ(r.right, client.cx);
    EXPECT_EQ(r.bottom, client.cy);
    TWinSkinMenu& bar = *skin.SkinMenu();
    ASSERT_EQ(bar.FButtons.size(), 4u);
    EXPECT_EQ(bar.FButtons[0]->FCaption, "区域空间");

    // The bar image (frame 1: active) left of the first item, which starts TileLeftMenu + 4 in.
    const int barY = skin.FrameTop() + skin.MenuHeight() / 2;
    EXPECT_EQ(Seen(w, skin.FrameLeft() + 2, barY), RGB(60, 160, 60));
    const TMenuBtn& first = *bar.FButtons[0];
    EXPECT_EQ(first.FBoundsRect.Left, skin.FrameLeft() + data.MenuBar->LeftWidth + 4);
    EXPECT_EQ(first.FBoundsRect.Top, skin.FrameTop());
    EXPECT_EQ(first.FBoundsRect.Bottom, skin.FrameTop() + skin.MenuHeight() - 1);
    for (size_t i = 1; i < bar.FButtons.size(); ++i)
        EXPECT_EQ(bar.FButtons[i]->FBoundsRect.Left, bar.FButtons[i - 1]->FBoundsRect.Right);
    // A caption's item is its text and 10 pixels.
    const WindowDC dc(w, GetWindowDC(w));
    const SelectionGuard font(dc.Get(), bar.FFont.Handle());
    SIZE text{};
    GetTextExtentPoint32A(dc.Get(), "&Help", 5, &text);
    EXPECT_EQ(bar.FButtons[3]->FBoundsRect.Width(), text.cx + 10);
    // Only items with a caption are found.
    EXPECT_EQ(bar.ButtonAt(TPoint{Middle(first).x, Middle(first).y}), &first);
    EXPECT_EQ(bar.ButtonAt(TPoint{skin.FrameLeft() + 2, barY}), nullptr);

    // Inactive: frame 2.
    SendMessageA(w, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(Shown(w, skin.FrameLeft() + 2, barY), RGB(60, 100, 60));
    SendMessageA(w, WM_NCACTIVATE, TRUE, 0);

    // Given back on detach, with its items drawn natively again.
    skin.Detach();
    EXPECT_EQ(GetMenu(w), menu->Handle());
    GetClientRect(w, &r);
    EXPECT_EQ(r.bottom, client.cy);
}

TEST_F(MenuSkinTest, ASkinWithoutABarImageFillsTheBarWithItsColour)
{
    data.MenuBar.reset();
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    const int barY = skin.FrameTop() + skin.MenuHeight() / 2;
    EXPECT_EQ(Seen(w, skin.FrameLeft() + 2, barY), Rgb(data.Colours.Menubar));
    EXPECT_EQ(skin.SkinMenu()->FButtons[0]->FBoundsRect.Left, skin.FrameLeft() + 6);
}

TEST_F(MenuSkinTest, RightToLeftItemsEndTileRightMenuPlusEightFromTheRight)
{
    menu->SetRightToLeft(true);
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    Seen(w, 0, 0);
    RECT r;
    GetWindowRect(w, &r);
    const TMenuBtn& first = *skin.SkinMenu()->FButtons[0];
    EXPECT_EQ(first.FBoundsRect.Right, (r.right - r.left) - skin.FrameRight() - data.MenuBar->RightWidth - 8);
    EXPECT_LT(skin.SkinMenu()->FButtons[1]->FBoundsRect.Right, first.FBoundsRect.Left + 1);
}

namespace {

// Samples taken by a timer while the menus are open: which bar item is open, what the menu
// shows at its first item.
std::vector<int>* openedPtr;
std::vector<COLORREF>* selectedPtr;

void CALLBACK SampleOpenMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND m = ShownMenuWindow()) {
        openedPtr->push_back(MenuLoop.OpenButtonIndex);
        selectedPtr->push_back(Shown(m, 12, 8));
    }
}

// Each bar item opened in turn, once.
std::vector<int> walked;

void CALLBACK SampleWalk(HWND, UINT, UINT_PTR, DWORD)
{
    if (MenuLoop.OpenButtonIndex >= 0 && (walked.empty() || walked.back() != MenuLoop.OpenButtonIndex))
        walked.push_back(MenuLoop.OpenButtonIndex);
}

}  // namespace

TEST_F(MenuSkinTest, TheMouseLightsItemsUpAndTheDropDownsFollowItAcrossTheBar)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    Seen(w, 0, 0);
    TWinSkinMenu& bar = *skin.SkinMenu();
    const TMenuBtn& first = *bar.FButtons[0];
    const TMenuBtn& second = *bar.FButtons[1];

    // Hot: framed in ButtonHilight; the frame goes once the mouse has left.
    TInput().MoveTo(w, Middle(first).x, Middle(first).y).Run();
    EXPECT_EQ(first.FState, ncsHot);
    EXPECT_EQ(Shown(w, first.FBoundsRect.Left, Middle(first).y), Rgb(data.Colours.ButtonHilight));
    TInput().MoveTo(w, Middle(first).x, skin.FrameTop() + skin.MenuHeight() + 60).Run();
    EXPECT_TRUE(Pump([&] { return first.FState == ncsNormal; }, 2000));
    EXPECT_NE(Shown(w, first.FBoundsRect.Left, Middle(first).y), Rgb(data.Colours.ButtonHilight));

    // A click opens the drop-down under the item, owner-drawn by the skin with its first item
    // selected; moving onto the next item switches to its drop-down.
    std::vector<int> opened;
    std::vector<COLORREF> selected;
    TInput input;
    const COLORREF firstSelected = RGB(20, 80, 160);
    input.MoveTo(w, Middle(first).x, Middle(first).y).Click().Until([&] { return !opened.empty(); });
    input.MoveTo(w, Middle(second).x, Middle(second).y).Until([&] {
        return opened.back() == 1 && selected.back() == firstSelected;
    });
    input.Key("Escape");
    openedPtr = &opened;
    selectedPtr = &selected;
    const UINT_PTR sampler = SetTimer(nullptr, 0, 150, SampleOpenMenu);
    input.Run();
    KillTimer(nullptr, sampler);
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.front(), 0);
    EXPECT_EQ(opened.back(), 1);
    // The first item of the drop-down is selected: frame 4 of the menu-item image.
    EXPECT_EQ(selected.back(), firstSelected);
    EXPECT_FALSE(skin.InMenuLoop());
    EXPECT_EQ(MenuLoop.MenuHook, nullptr);
    EXPECT_TRUE(clicked.empty());
}

TEST_F(MenuSkinTest, ArrowKeysMoveAcrossTheBarAndEnterRunsTheCommand)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    Seen(w, 0, 0);
    TWinSkinMenu& bar = *skin.SkinMenu();
    walked.clear();
    const UINT_PTR sampler = SetTimer(nullptr, 0, 100, SampleWalk);
    // Right on the first item of the first drop-down opens its sub-menu; there Right goes on to
    // the second drop-down, then the third; Left comes back; Enter runs the first item.
    TInput input;
    input.menuTimeout = 5000;
    const auto walkedTo = [](size_t n) { return [n] { return walked.size() == n; }; };
    input.MoveTo(w, Middle(*bar.FButtons[0]).x, Middle(*bar.FButtons[0]).y).Click().Until(walkedTo(1));
    input.Key("Right").Until([] { return MenusShown() == 2; }).Key("Right").Until(walkedTo(2));
    input.Key("Right").Until(walkedTo(3)).Key("Left").Until(walkedTo(4)).Key("Return");
    input.Run();
    KillTimer(nullptr, sampler);
    EXPECT_EQ(walked, (std::vector<int>{0, 1, 2, 1}));
    EXPECT_TRUE(Pump([&] { return !clicked.empty(); }, 2000));
    EXPECT_EQ(clicked, (std::vector<std::string>{"更新"}));
}

TEST_F(MenuSkinTest, ASecondClickOnTheOpenItemClosesItsDropDown)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    Seen(w, 0, 0);
    const TMenuBtn& first = *skin.SkinMenu()->FButtons[0];
    // The press closes the drop-down; the release comes once the loop is over: Wine drops a
    // release that reaches the menu's window after it is gone, and the button then stays down.
    TInput().MoveTo(w, Middle(first).x, Middle(first).y).Click().Until(MenuShown).Down()
        .Until([&] { return !skin.InMenuLoop(); }).Up().Run();
    EXPECT_FALSE(skin.InMenuLoop());
    EXPECT_FALSE(MenuShown());
    EXPECT_TRUE(clicked.empty());
}

TEST_F(MenuSkinTest, AltWithAnAcceleratorOpensTheItemOnlyWithAltAlone)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    Seen(w, 0, 0);
    EXPECT_EQ(skin.FindAccelButton('h'), skin.SkinMenu()->FButtons[3].get());
    EXPECT_EQ(skin.FindAccelButton('x'), nullptr);
    // Help has no drop-down: opening it runs its command.
    TInput().Key("alt+h").Run();
    EXPECT_TRUE(Pump([&] { return !clicked.empty(); }, 2000));
    EXPECT_EQ(clicked, (std::vector<std::string>{"&Help"}));
    clicked.clear();
    TInput().Key("alt+shift+h").Key("ctrl+alt+h").Run();
    Wait(300);
    EXPECT_TRUE(clicked.empty());

    // The same with an edit of the form focused: the form sees the key before the edit.
    auto* edit = TComponent::Make<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(20, 20, 120, 24);
    SetFocus(edit->Handle());
    ASSERT_EQ(GetFocus(), edit->Handle());
    TInput().Key("alt+shift+h").Run();
    Wait(300);
    EXPECT_TRUE(clicked.empty());
    TInput().Key("alt+h").Run();
    EXPECT_TRUE(Pump([&] { return !clicked.empty(); }, 2000));
    EXPECT_EQ(clicked, (std::vector<std::string>{"&Help"}));
    // A bar item without a drop-down only posts its command.
    EXPECT_FALSE(skin.TrackMenuButton(skin.SkinMenu()->FButtons[3].get()));
    EXPECT_FALSE(skin.InMenuLoop());
}

TEST_F(MenuSkinTest, AMenuChangedAtRunTimeReachesTheBar)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    TMenuItem* extra = Add(menu->Items(), "New");
    Add(extra, "Sub");
    ASSERT_EQ(skin.SkinMenu()->FButtons.size(), 5u);
    EXPECT_EQ(skin.SkinMenu()->FButtons[4]->FCaption, "New");
    EXPECT_EQ(GetMenu(w), nullptr);
    menu->Items()->Items(1)->SetEnabled(false);
    EXPECT_FALSE(skin.SkinMenu()->FButtons[1]->FEnabled);
}

TEST_F(MenuSkinTest, TheSkinnedSystemMenuRestoresMinimisesMaximisesAndCloses)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    ASSERT_TRUE(skin.SysMenu());
    std::vector<std::string> captions;
    for (int i = 0; i < skin.SysMenu()->Items()->Count(); ++i)
        captions.push_back(skin.SysMenu()->Items()->Items(i)->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{" Restore ", " Maximize ", " Minimize ", "-", " Close "}));
    EXPECT_EQ(ShortCutToText(skin.SysMenu()->Items()->Items(4)->ShortCut()), "Shift+F4");

    // A right click on the caption shows it; the keys choose Maximize (Restore is disabled).
    RECT r;
    GetWindowRect(w, &r);
    const int captionX = (r.right - r.left) / 2;
    TInput().MoveTo(w, captionX, 12).Do("click 3").Until(MenuShown).Key("Down").Key("Down").Key("Return").Run();
    EXPECT_TRUE(Pump([&] { return IsZoomed(w); }, 3000));
    Wait(600);  // beyond the double-click time

    // Restore with the mouse: the first item, under the point clicked.
    GetWindowRect(w, &r);
    TInput().MoveTo(w, captionX, 12).Do("click 3").Until(MenuShown).MoveTo(w, captionX + 20, 12 + 10).Click().Run();
    EXPECT_TRUE(Pump([&] { return !IsZoomed(w); }, 3000));
    Wait(600);

    // Minimise by the menu, then close by it.
    TMenuItem* minimize = skin.SysMenu()->Items()->Items(2);
    minimize->Click();
    EXPECT_TRUE(Pump([&] { return IsIconic(w) != 0; }, 3000));
    skin.SysMenu()->Items()->Items(0)->Click();
    EXPECT_TRUE(Pump([&] { return !IsIconic(w); }, 3000));
    skin.SysMenu()->Items()->Items(4)->Click();
    EXPECT_TRUE(Pump([&] { return !form->Visible(); }, 3000));
}

TEST_F(MenuSkinTest, AWindowWithoutBoxesGetsRestoreSeparatorAndClose)
{
    HWND w = form->Handle();
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    TWinSkinForm& skin = Skin();
    std::vector<std::string> captions;
    for (int i = 0; i < skin.SysMenu()->Items()->Count(); ++i)
        captions.push_back(skin.SysMenu()->Items()->Items(i)->Caption());
    EXPECT_EQ(captions, (std::vector<std::string>{" Restore ", "-", " Close "}));
}

// ---------------------------------------------------------------------------------------------
// Items painted off the window, pixel by pixel.

namespace {

struct ItemTest : MenuSkinTest {
    TBitmap target{200, 40};
    // Paints item as a selected or normal entry of 200 x 24 and reads a pixel.
    COLORREF Paint(TWinSkinForm& skin, TMenuItem& item, bool selected, int x, int y)
    {
        TCanvas canvas;
        canvas.SetHandle(target.Canvas().Handle());
        AssignMenuFont(canvas.Font());
        skin.MenuDrawItem(&item, canvas, Rect(0, 0, 200, 24), selected);
        canvas.SetHandle(nullptr);
        return static_cast<COLORREF>(target.Canvas().Pixel(x, y));
    }
    bool HasColour(int left, int right, COLORREF colour)
    {
        for (int y = 0; y < 24; ++y)
            for (int x = left; x < right; ++x)
                if (static_cast<COLORREF>(target.Canvas().Pixel(x, y)) == colour)
                    return true;
        return false;
    }
};

}  // namespace

TEST_F(ItemTest, ItemsShowTheirFrameCheckMarkShortcutAndState)
{
    TWinSkinForm& skin = Skin();
    TMenuItem& item = *menu->Items()->Items(0)->Items(0);
    // Normal: frame 1; selected: frame 4 (right of the 4-pixel left end, away from the text).
    EXPECT_EQ(Paint(skin, item, false, 150, 20), RGB(200, 200, 240));
    EXPECT_EQ(Paint(skin, item, true, 150, 20), RGB(20, 80, 160));
    EXPECT_TRUE(HasColour(26, 150, RGB(255, 255, 255))) << "selected text in HilightText";

    // A checked item without an image: the check mark in the glyph box (from x = 5).
    item.SetChecked(true);
    Paint(skin, item, false, 0, 0);
    EXPECT_TRUE(HasColour(5, 21, Rgb(clBtnText)));
    item.SetChecked(false);
    Paint(skin, item, false, 0, 0);
    EXPECT_FALSE(HasColour(5, 21, Rgb(clBtnText)));

    // The shortcut ends 11 pixels before the item's right edge.
    item.SetShortCut(ShortCut('S', ssCtrl));
    Paint(skin, item, false, 0, 0);
    EXPECT_TRUE(HasColour(160, 189, Rgb(data.Colours.MenuText)));
    EXPECT_FALSE(HasColour(189, 200, Rgb(data.Colours.MenuText)));

    // Disabled: ButtonShadow; where that equals MenuText, clBtnShadow.
    item.SetEnabled(false);
    Paint(skin, item, false, 0, 0);
    EXPECT_TRUE(HasColour(26, 150, Rgb(data.Colours.ButtonShadow)));
    data.Colours.ButtonShadow = data.Colours.MenuText;
    Paint(skin, item, false, 0, 0);
    EXPECT_TRUE(HasColour(26, 150, Rgb(clBtnShadow)));
}

TEST_F(ItemTest, ASeparatorIsTheBottomRowsOfFrameTwoOverTheBackground)
{
    TWinSkinForm& skin = Skin();
    TMenuItem& line = *Add(menu->Items()->Items(0), "-");
    EXPECT_EQ(Paint(skin, line, false, 100, 23), RGB(90, 10, 90));
    EXPECT_EQ(Paint(skin, line, false, 100, 5), Rgb(data.Colours.Menu)) << "magenta shows the background";
}

TEST_F(ItemTest, MeasuringAddsTheLeftEndAndTheGlyphRoom)
{
    TWinSkinForm& skin = Skin();
    TMenuItem& item = *menu->Items()->Items(0)->Items(0);
    TCanvas canvas;
    canvas.SetHandle(target.Canvas().Handle());
    int width = 100, height = 20;
    skin.MenuMeasureItem(&item, canvas, width, height);
    EXPECT_EQ(width, 100 + data.MenuItem->LeftWidth + 35);
    EXPECT_EQ(height, 20);
    canvas.SetHandle(nullptr);
}

TEST_F(ItemTest, WithoutAMenuItemElementItemsArePlainColours)
{
    TWinSkinForm& skin = Skin();
    data.MenuItem.reset();
    TMenuItem& item = *menu->Items()->Items(0)->Items(0);
    EXPECT_EQ(Paint(skin, item, false, 150, 20), Rgb(data.Colours.Menu));
    EXPECT_EQ(Paint(skin, item, true, 150, 20), Rgb(data.Colours.Hilight));
}

// ---------------------------------------------------------------------------------------------
// The pop-up menu window's skin, attached as the skin manager attaches it: when the window is
// created.

namespace {

std::vector<std::unique_ptr<TWinSkinPopMenu>> popupSkins;
TSkinData* popupData;
HHOOK cbtHook;

LRESULT CALLBACK AttachPopupSkins(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && GetWindowClass(reinterpret_cast<HWND>(wParam)) == "#32768") {
        popupSkins.push_back(std::make_unique<TWinSkinPopMenu>());
        popupSkins.back()->Attach(reinterpret_cast<HWND>(wParam), popupData, nullptr);
    }
    return CallNextHookEx(cbtHook, code, wParam, lParam);
}

// What the open menu window shows at a corner and in the middle of its bottom edge, and the menu
// its skin was told.
COLORREF corner, inside;
HMENU shown;

void CALLBACK SampleBorder(HWND, UINT, UINT_PTR, DWORD)
{
    HWND m = ShownMenuWindow();
    if (!m || popupSkins.empty())
        return;
    corner = Shown(m, 1, 1);
    RECT r;
    GetWindowRect(m, &r);
    inside = Shown(m, (r.right - r.left) / 2, (r.bottom - r.top) - 2);
    shown = popupSkins.back()->FMenuHandle;
}

}  // namespace

TEST_F(MenuSkinTest, APopupMenuWindowGetsTheSkinnedBorderAndTellsTheItemsItsBackground)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    Seen(w, 0, 0);
    popupData = &data;
    cbtHook = SetWindowsHookExA(WH_CBT, AttachPopupSkins, nullptr, GetCurrentThreadId());
    corner = inside = CLR_INVALID;
    shown = nullptr;
    const UINT_PTR sampler = SetTimer(nullptr, 0, 150, SampleBorder);
    const TMenuBtn& first = *skin.SkinMenu()->FButtons[0];
    // The outer 3 pixels are the [MenuBackground] image; the first item painted told the skin
    // its menu, whose background the item painter now finds.
    const COLORREF background = RGB(240, 220, 200);
    TInput().MoveTo(w, Middle(first).x, Middle(first).y).Click().Until([&] {
        return shown && corner == background && inside == background;
    }).Key("Escape").Run();
    KillTimer(nullptr, sampler);
    UnhookWindowsHookEx(cbtHook);
    EXPECT_EQ(corner, background);
    EXPECT_EQ(inside, background);
    EXPECT_EQ(shown, first.FSubMenu);
    EXPECT_EQ(PendingPopMenu, nullptr);
    popupSkins.clear();
    EXPECT_EQ(TWinSkinPopMenu::PopupBitmap(first.FSubMenu), nullptr) << "gone with its skin";

    // Skinning answers the query whatever else.
    HWND menuWindow = CreateWindowExA(0, "#32768", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    TWinSkinPopMenu direct;
    direct.Attach(menuWindow, &data, nullptr);
    EXPECT_EQ(SendMessageA(menuWindow, WM_SKINQUERY, 0, 0), 1);
    DestroyWindow(menuWindow);
    EXPECT_FALSE(direct.Attached());
}

namespace {

// A menu window of the test's own with a native border: it counts the frame paints that reach it
// and prints itself all green.
int ownFramePaints;
constexpr COLORREF kOwnPrint = RGB(0, 128, 0);

LRESULT CALLBACK FramedMenuProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCPAINT)
        ++ownFramePaints;
    if (msg == WM_PRINT) {
        RECT r;
        GetWindowRect(hwnd, &r);
        const RECT all{0, 0, r.right - r.left, r.bottom - r.top};
        const UniqueBrush green(CreateSolidBrush(kOwnPrint));
        FillRect(reinterpret_cast<HDC>(wParam), &all, green.get());
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeFramedMenuWindow()
{
    static const bool registered = RegisterTestClass("FramedMenuTest", FramedMenuProc, nullptr);
    EXPECT_TRUE(registered);
    return CreateWindowExA(0, "FramedMenuTest", "", WS_POPUP | WS_DLGFRAME | WS_VISIBLE, 600, 400, 120, 90,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// What WM_PRINT puts at a point of a window-sized picture.
COLORREF Printed(HWND w, int x, int y)
{
    RECT r;
    GetWindowRect(w, &r);
    TBitmap picture(r.right - r.left, r.bottom - r.top);
    SendMessageA(w, WM_PRINT, reinterpret_cast<WPARAM>(picture.Canvas().Handle()), PRF_NONCLIENT | PRF_CLIENT);
    return static_cast<COLORREF>(picture.Canvas().Pixel(x, y));
}

}  // namespace

TEST_F(MenuSkinTest, AFramedMenuWindowIsSkinnedOrKeepsItsOwnBorder)
{
    const UniqueWindow window(MakeFramedMenuWindow());
    HWND w = window.get();
    TWinSkinPopMenu skin;
    skin.Attach(w, &data, nullptr);

    // The skin paints the frame band itself; printed, the window's own picture shows only
    // inside the 3-pixel border.
    ownFramePaints = 0;
    EXPECT_EQ(Seen(w, 1, 1), RGB(240, 220, 200));
    EXPECT_EQ(ownFramePaints, 0);
    EXPECT_EQ(Printed(w, 1, 1), RGB(240, 220, 200));
    EXPECT_EQ(Printed(w, 118, 45), RGB(240, 220, 200));
    EXPECT_EQ(Printed(w, 3, 3), kOwnPrint);
    EXPECT_EQ(PendingPopMenu, &skin) << "waits for its first item";

    // The printer's DC comes back with its own clip and background mode.
    TBitmap picture(120, 90);
    HDC dc = picture.Canvas().Handle();
    const UniqueRegion callersClip(CreateRectRgn(0, 0, 60, 50));
    SelectClipRgn(dc, callersClip.get());
    SetBkMode(dc, OPAQUE);
    SendMessageA(w, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT);
    const UniqueRegion clipAfter(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetClipRgn(dc, clipAfter.get()), 1);
    EXPECT_TRUE(EqualRgn(clipAfter.get(), callersClip.get()));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);

    // Without a background image the window keeps what it draws itself.
    skin.Detach();
    data.MenuBackground->Image.SetSize(0, 0);
    skin.Attach(w, &data, nullptr);
    ownFramePaints = 0;
    EXPECT_NE(Seen(w, 1, 1), RGB(240, 220, 200));
    EXPECT_GT(ownFramePaints, 0);
    EXPECT_EQ(Printed(w, 1, 1), kOwnPrint);
    EXPECT_EQ(PendingPopMenu, nullptr);
}

TEST_F(MenuSkinTest, ADropDownIsOwnerDrawnOnlyWhileOpenAndKeepsItsItemData)
{
    TWinSkinForm& skin = Skin();
    Seen(form->Handle(), 0, 0);
    TMenuBtn& first = *skin.SkinMenu()->FButtons[0];
    // An item of a sub-menu that the application draws itself.
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    ASSERT_TRUE(GetMenuItemInfoA(first.FSubMenu, 0, TRUE, &info));
    HMENU sub = info.hSubMenu;
    ASSERT_TRUE(sub);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(sub, 0, TRUE, &info));
    info.fType |= MFT_OWNERDRAW;
    ASSERT_TRUE(SetMenuItemInfoA(sub, 0, TRUE, &info));

    TInput().MoveTo(form->Handle(), Middle(first).x, Middle(first).y).Click().Until(MenuShown).Key("Escape").Run();
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(first.FSubMenu, 0, TRUE, &info));
    EXPECT_FALSE(info.fType & MFT_OWNERDRAW) << "given back, the menu draws itself";
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu->Items()->Items(0)->Items(0)));
    ASSERT_TRUE(GetMenuItemInfoA(sub, 0, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << "the application's own item stays owner-drawn";
}

TEST_F(MenuSkinTest, ARebuiltBarForgetsAHotItem)
{
    TWinSkinForm& skin = Skin();
    HWND w = form->Handle();
    Seen(w, 0, 0);
    // A hot item is framed in the highlight colour; its left edge shows it.
    const COLORREF frame = Rgb(data.Colours.ButtonHilight);
    const auto hotLook = [&] {
        const TMenuBtn& item = *skin.SkinMenu()->FButtons[1];
        return Shown(w, item.FBoundsRect.Left, Middle(item).y) == frame;
    };
    ASSERT_FALSE(hotLook());
    skin.SkinMenu()->FButtons[1]->MouseEnter();
    ASSERT_EQ(skin.HotTrack().Object(), skin.SkinMenu()->FButtons[1].get());
    ASSERT_TRUE(hotLook());
    menu->Items()->Items(1)->SetCaption("更新升级 ");
    EXPECT_EQ(skin.HotTrack().Object(), nullptr);
    // The mouse (at 0, 0) is off the bar: the check touches no freed item, and no item of the
    // rebuilt bar is hot or shows hot.
    skin.CheckMouseLeave();
    EXPECT_EQ(skin.HotTrack().Object(), nullptr);
    for (const auto& item : skin.SkinMenu()->FButtons)
        EXPECT_TRUE(item->FState != ncsHot && item->FState != ncsPressed) << item->FCaption;
    EXPECT_FALSE(hotLook());
    // The new item takes the hot look and loses it as the old one did.
    skin.SkinMenu()->FButtons[1]->MouseEnter();
    EXPECT_TRUE(hotLook());
    skin.CheckMouseLeave();
    EXPECT_EQ(skin.HotTrack().Object(), nullptr);
    EXPECT_FALSE(hotLook());
}

// Mended: the open item's command runs inside the menu loop and may shorten the bar; the item
// before an open one beyond the new end was read past the bar.
TEST_F(MenuSkinTest, AroundAnOpenItemBeyondAShortenedBarTheNeighboursAreTheBarsEnds)
{
    TWinSkinForm& skin = Skin();
    TWinSkinMenu& bar = *skin.SkinMenu();
    MenuLoop.OpenButtonIndex = 3;
    menu->Items()->Remove(menu->Items()->Items(3));
    menu->Items()->Remove(menu->Items()->Items(2));
    ASSERT_EQ(bar.FButtons.size(), 2u);
    EXPECT_EQ(bar.NeighbourButton(false), bar.FButtons[1].get());
    EXPECT_EQ(bar.NeighbourButton(true), bar.FButtons[0].get());
    MenuLoop.OpenButtonIndex = -1;
}

TEST_F(MenuSkinTest, TheCaptionIconIsTheWindowsClassIconWhenItSetNone)
{
    TBitmap classIcon, question;
    SmallIconPicture(Application->Icon(), classIcon);
    SmallIconPicture(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION)), question);
    ASSERT_FALSE(SamePicture(classIcon, question)) << "the two icons must tell each other apart";
    // A form carries the application's icon as its own; this one has set none.
    SendMessageA(form->Handle(), WM_SETICON, ICON_BIG, 0);
    SendMessageA(form->Handle(), WM_SETICON, ICON_SMALL, 0);
    TWinSkinForm& skin = Skin();
    EXPECT_TRUE(SamePicture(TFormSkinTesting::IconBitmap(skin), classIcon));
    // An icon of its own comes before the class's, and before what the skin stored meanwhile.
    SendMessageA(form->Handle(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION))));
    TBitmap shown;
    skin.GetWindowIcon(shown);
    EXPECT_TRUE(SamePicture(shown, question));
}

namespace {

COLORREF popupItem;

void CALLBACK SamplePopup(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (HWND m = ShownMenuWindow()) {
        KillTimer(nullptr, timer);
        RECT r;
        GetWindowRect(m, &r);
        popupItem = Shown(m, (r.right - r.left) - 8, 10);  // right of the caption
        EndMenu();
    }
}

}  // namespace

TEST_F(MenuSkinTest, APopupMenuOfTheFormIsDrawnByTheSkinAndGivenBack)
{
    auto* popup = TComponent::Make<TPopupMenu>(form);
    Add(popup->Items(), "复制");
    TMenuItem* own = Add(popup->Items(), "粘贴");
    bool ownDrawn = false;
    own->OnDrawItem = [&ownDrawn](TObject*, TCanvas&, TRect, bool) { ownDrawn = true; };
    TWinSkinForm& skin = Skin();
    EXPECT_TRUE(popup->OwnerDraw());
    popupItem = CLR_INVALID;
    SetTimer(nullptr, 0, 100, SamplePopup);
    popup->Popup(300, 300);
    // The first item, not selected: frame 1 of the menu-item image; the second keeps its own.
    EXPECT_EQ(popupItem, RGB(200, 200, 240));
    EXPECT_TRUE(ownDrawn);

    skin.Detach();
    EXPECT_FALSE(popup->OwnerDraw());
    EXPECT_FALSE(popup->Items()->Items(0)->OnDrawItem);
    EXPECT_TRUE(own->OnDrawItem) << "an item's own painter stays";

    // A second skin takes over the painters another skin left; the first one's going does not
    // take them from it, and its own going gives them back.
    TMenuItem& item = *popup->Items()->Items(0);
    const auto painter = [&item] {
        const auto* drawer = item.OnDrawItem.target<TSkinItemDrawer>();
        return drawer ? drawer->Skin : nullptr;
    };
    TWinSkinForm& first = Skin();
    auto* second = TComponent::Make<TWinSkinForm>(&owner);
    TFormSkinTesting::Aim(*second, &data, form);
    second->SkinPopupMenus(form, true);
    EXPECT_EQ(painter(), second);
    first.Detach();
    EXPECT_EQ(painter(), second);
    TComponent::Free(second);
    EXPECT_FALSE(item.OnDrawItem);
    EXPECT_FALSE(item.OnMeasureItem);
}

namespace {

// The middle of the bottom row of one entry of the open menu, sampled until it shows want (the
// menu paints its items after it appears) or a few seconds passed.
HMENU sampledMenu;
UINT sampledPosition;
COLORREF wantedRow, sampledRow;
int samples;

void CALLBACK SampleEntryRow(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND m = ShownMenuWindow();
    RECT item, window;
    if (m && GetMenuItemRect(nullptr, sampledMenu, sampledPosition, &item) &&
        GetWindowRect(m, &window))
        sampledRow = Shown(m, (item.left + item.right) / 2 - window.left, item.bottom - 1 - window.top);
    if (sampledRow == wantedRow || ++samples > 60) {
        KillTimer(nullptr, timer);
        EndMenu();
    }
}

COLORREF EntryRowShown(TPopupMenu& menu, UINT position, COLORREF want)
{
    sampledMenu = menu.Handle();
    sampledPosition = position;
    wantedRow = want;
    sampledRow = CLR_INVALID;
    samples = 0;
    SetTimer(nullptr, 0, 50, SampleEntryRow);
    menu.Popup(300, 300);
    return sampledRow;
}

}  // namespace

TEST_F(MenuSkinTest, TheSystemMenuAndTheFormsPopupsShowTheSkinnedSeparator)
{
    // The bottom rows of the separator are those of frame 2 of the menu-item image.
    const COLORREF line = RGB(90, 10, 90);
    auto* popup = TComponent::Make<TPopupMenu>(form);
    Add(popup->Items(), "复制");
    Add(popup->Items(), "-");
    Add(popup->Items(), "粘贴");
    TWinSkinForm& skin = Skin();
    EXPECT_EQ(EntryRowShown(*skin.SysMenu(), 3, line), line);
    EXPECT_EQ(EntryRowShown(*popup, 1, line), line);
}

// ---------------------------------------------------------------------------------------------
// An MDI frame with a main menu, skinned by the skin manager: a child's menu merged into the
// frame's shows on the bar until the last child has gone.

namespace {

std::vector<std::string> BarCaptions(const TWinSkinForm& skin)
{
    std::vector<std::string> captions;
    for (const auto& button : skin.SkinMenu()->FButtons)
        captions.push_back(button->FCaption);
    return captions;
}

}  // namespace

TEST(MdiMenuBar, AChildsMergedMenuShowsUntilTheLastChildHasGone)
{
    static const bool registered = RegisterTestClass("MenuSkinMdiChild", TestMdiChildProc, nullptr);
    ASSERT_TRUE(registered);
    TComponent owner{nullptr};
    auto& data = *TComponent::Make<TSkinData>(&owner);
    data.SetState(csLoading | csReading, true);
    data.SetActive(true);
    LoadSkinFile(data, LEXDRILL_FORMSKIN_FIXTURE);
    data.SetState(csReading, false);
    data.Loaded();
    ASSERT_TRUE(SkinManage && SkinManage->FActive);
    // Off at attach: the frame gets back what it had, not the default.
    data.SetMenuUpdate(false);

    auto* frame = TComponent::Make<TForm>(&owner);
    frame->SetBounds(150, 120, 500, 300);
    auto* menu = TComponent::Make<TMainMenu>(frame);
    for (const char* caption : {"文件", "帮助"}) {
        auto* item = TComponent::Make<TMenuItem>(frame);
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    frame->SetMenu(menu);
    HWND f = frame->Handle();
    std::vector<WPARAM> commands;
    frame->HookWindowProc([&commands](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_COMMAND)
            commands.push_back(message.WParam);
        next(message);
    });
    CLIENTCREATESTRUCT clientCreate{nullptr, 1000};
    HWND client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 480, 200,
                                  f, nullptr, GetModuleHandleA(nullptr), &clientCreate);
    ASSERT_NE(client, nullptr);
    frame->Show();
    ASSERT_TRUE(Pump([f] {
        const TWinSkinForm* skin = SkinManage->FindFormSkin(f);
        return skin && skin->SkinState() == fssSkinned;
    }, 3000));
    TWinSkinForm& skin = *SkinManage->FindFormSkin(f);
    ASSERT_EQ(skin.MDIKind(), mkFrame);
    ASSERT_TRUE(skin.SkinMenu());
    EXPECT_EQ(BarCaptions(skin), (std::vector<std::string>{"文件", "帮助"}));

    // A child comes and merges its menu: the bar shows it and a click runs its command.
    MDICREATESTRUCTA create{"MenuSkinMdiChild", "Child", GetModuleHandleA(nullptr), 10, 10, 200, 120, 0, 0};
    HWND child = reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    ASSERT_NE(child, nullptr);
    SendMessageA(client, WM_MDIREFRESHMENU, 0, 0);
    ASSERT_EQ(SkinManage->MdiChildCount(), 1);
    HMENU merged = CreateMenu();
    HMENU window = CreatePopupMenu();
    AppendMenuA(window, MF_STRING, 40001, "平铺");
    AppendMenuA(merged, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "窗口");
    SendMessageA(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(merged), 0);
    EXPECT_EQ(GetMenu(f), nullptr);
    EXPECT_EQ(BarCaptions(skin), (std::vector<std::string>{"窗口"}));
    Seen(f, 0, 0);
    const POINT item = MenuSkinTest::Middle(*skin.SkinMenu()->FButtons[0]);
    TInput().MoveTo(f, item.x, item.y).Click().Until(MenuShown).Key("Return").Run();
    EXPECT_TRUE(Pump([&] { return std::count(commands.begin(), commands.end(), WPARAM{40001}) > 0; }, 2000));

    // The last child goes: the frame's own bar is back and follows its menu again.
    SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
    DestroyMenu(merged);  // gone with its child
    EXPECT_EQ(SkinManage->MdiChildCount(), 0);
    EXPECT_EQ(BarCaptions(skin), (std::vector<std::string>{"文件", "帮助"}));
    EXPECT_EQ(skin.SkinMenu()->FMenuHandle, menu->Handle()) << "the menu the frame would get back";
    EXPECT_FALSE(data.MenuUpdate());
    auto* added = TComponent::Make<TMenuItem>(frame);
    added->SetCaption("新增");
    menu->Items()->Add(added);
    EXPECT_EQ(BarCaptions(skin), (std::vector<std::string>{"文件", "帮助"}));
    // Switched on, the bar follows the frame's menu again.
    data.SetMenuUpdate(true);
    added->SetCaption("新增项");
    EXPECT_EQ(BarCaptions(skin), (std::vector<std::string>{"文件", "帮助", "新增项"}));

    // Switched off, the frame keeps the menu it has now.
    data.SetActive(false);
    ASSERT_TRUE(Pump([f] { return !SkinManage->FindFormSkin(f); }, 3000));
    EXPECT_EQ(GetMenu(f), menu->Handle());
}

// ---------------------------------------------------------------------------------------------
// The client's own main window, skinned by the skin manager from the skin its layout carries.

TEST(MainWindowMenuBar, TheSkinnedBarOpensByMouseSwitchesByMouseAndKeysAndRunsItsCommands)
{
    TTempCurrentDir dir;
    CreateClientIn(dir);
    Form10->Show();
    HWND w = Form10->Handle();
    Form10->SkinData1->SetActive(true);  // what the client's layout stores, once it ships skinned
    ASSERT_TRUE(Pump([w] {
        const TWinSkinForm* formSkin = SkinManage->FindFormSkin(w);
        return formSkin && formSkin->SkinState() == fssSkinned;
    }, 3000));
    TWinSkinForm& skin = *SkinManage->FindFormSkin(w);
    ASSERT_TRUE(skin.SkinMenu());
    EXPECT_EQ(GetMenu(w), nullptr);
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    const auto& items = skin.SkinMenu()->FButtons;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[2]->FCaption, "联系我们");

    // Hot under the mouse; a click opens 区域空间, the mouse moves on to 联系我们, whose first
    // item Enter runs: the about window opens.
    walked.clear();
    const UINT_PTR sampler = SetTimer(nullptr, 0, 100, SampleWalk);
    TInput input;
    input.menuTimeout = 4000;
    const POINT first = MenuSkinTest::Middle(*items[0]), third = MenuSkinTest::Middle(*items[2]);
    const auto walkedTo = [](size_t n) { return [n] { return walked.size() == n && MenuShown(); }; };
    input.MoveTo(w, first.x, first.y).Until([&] { return items[0]->FState == ncsHot; }).Click();
    input.Until(walkedTo(1)).MoveTo(w, third.x, third.y).Until(walkedTo(2)).Key("Return");
    input.Run();
    KillTimer(nullptr, sampler);
    EXPECT_EQ(walked, (std::vector<int>{0, 2}));
    EXPECT_TRUE(Pump([] { return About->Visible(); }, 3000));
    About->Hide();

    // The keys: Left from 更新升级 to 区域空间, Escape closes; the bar is given back on detach.
    walked.clear();
    const UINT_PTR again = SetTimer(nullptr, 0, 100, SampleWalk);
    const POINT second = MenuSkinTest::Middle(*items[1]);
    TInput keys;
    keys.menuTimeout = 4000;
    keys.MoveTo(w, second.x, second.y).Click().Until(walkedTo(1)).Key("Left").Until(walkedTo(2)).Key("Escape");
    keys.Run();
    KillTimer(nullptr, again);
    EXPECT_EQ(walked, (std::vector<int>{1, 0}));
    EXPECT_FALSE(skin.InMenuLoop());
    Form10->SkinData1->SetActive(false);
    ASSERT_TRUE(Pump([w] { return !SkinManage->FindFormSkin(w); }, 3000));
    EXPECT_EQ(GetMenu(w), Form10->MainMenu1->Handle());
}
