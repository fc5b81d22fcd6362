// The form skin on real windows under Wine: a bare window, an owned window, a framework form, a
// message box and an MDI frame with children, drawn from a fixture skin whose every frame is a
// flat colour of its own, probed pixel by pixel, and driven with real mouse and key input.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "SkinPaint.h"
#include "InputTesting.h"
#include "SkinTesting.h"
#include "WinSkinMenu.h"
#include "WindowTesting.h"

namespace {

// Messages the window's own procedure (the one under the skin) saw.
std::vector<UINT> seen;
// When set, the window's own procedure places nothing outside the client area, leaving every
// non-client answer to the skin.
bool hitNowhere = false;

LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    seen.push_back(msg);
    if (msg == WM_SYSCOMMAND)
        seen.push_back(static_cast<UINT>(wParam & 0xFFF0));
    if (msg == WM_NCHITTEST && hitNowhere) {
        const LRESULT platform = DefWindowProcA(hwnd, msg, wParam, lParam);
        return platform == HTCLIENT ? HTCLIENT : HTNOWHERE;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool Saw(UINT msg)
{
    return std::find(seen.begin(), seen.end(), msg) != seen.end();
}

HWND MakeWindow(DWORD style, HWND owner = nullptr, int clientWidth = 300, int clientHeight = 200)
{
    static const bool registered = RegisterTestClass("FormSkinTest", TestWindowProc, Arrow(), nullptr, CS_DBLCLKS);
    EXPECT_TRUE(registered);
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    HWND hwnd = CreateWindowExA(0, "FormSkinTest", "Skinned window", style, 200, 150, r.right - r.left,
                                r.bottom - r.top, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    Pump([hwnd] { return GetForegroundWindow() == hwnd; }, 5000);
    return hwnd;
}

SIZE WindowSize(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE ClientSize(HWND w)
{
    RECT r;
    GetClientRect(w, &r);
    return SIZE{r.right, r.bottom};
}

bool operator==(SIZE a, SIZE b)
{
    return a.cx == b.cx && a.cy == b.cy;
}

LONG Style(HWND w)
{
    return GetWindowLongA(w, GWL_STYLE);
}

COLORREF ButtonColour(TSkinData& data, size_t button, int frame)
{
    return FrameColour(data.FTitleButtons.at(button)->Image, frame, 4, false);
}

// Fixture buttons, in section order.
enum { kClose, kMax, kRestore, kMin, kLeftButton, kBeforeText, kAfterText };

struct FormSkinTest : ::testing::Test {
    void SetUp() override
    {
        // The fixture of flat colours (tests/data/formskin, packed by the build).
        LoadSkinFile(data, LEXDRILL_FORMSKIN_FIXTURE);
        ASSERT_TRUE(data.FSkinLoaded);
        seen.clear();
        SetCursorPos(0, 0);
    }
    void TearDown() override
    {
        for (HWND w : windows)
            if (IsWindow(w))
                DestroyWindow(w);
        SkinMdiState = TSkinMdiState();
    }
    HWND Window(DWORD style = WS_OVERLAPPEDWINDOW, HWND ownerWindow = nullptr)
    {
        windows.push_back(MakeWindow(style, ownerWindow));
        return windows.back();
    }
    TWinSkinForm& Skin(HWND w) { return SkinWindow(&owner, w, data); }

    TComponent owner{nullptr};
    TSkinData& data = *TComponent::Make<TSkinData>(&owner);
    std::vector<HWND> windows;
};

}  // namespace

TEST_F(FormSkinTest, BareWindowLosesItsCaptionStyleKeepsItsClientAndGetsEverythingBack)
{
    HWND w = Window();
    const LONG style = Style(w);
    const SIZE client = ClientSize(w), window = WindowSize(w);
    EXPECT_NE(SendMessageA(w, WM_SKINQUERY, 0, 0), 1);

    auto& skin = *TComponent::Make<TWinSkinForm>(&owner);
    skin.AttachWindow(&data, w);
    // Attached but not started: the native frame and size stay, the caption style is gone.
    EXPECT_EQ(SendMessageA(w, WM_SKINQUERY, 0, 0), 1);
    EXPECT_TRUE(WindowSize(w) == window);
    EXPECT_EQ(Style(w), style & ~WS_CAPTION);
    EXPECT_NE(Seen(w, 3, 50), FrameColour(data.Left.Image, 1, 2, false)) << "painted before WM_SKINSTART";

    PostMessageA(w, WM_SKINSTART, 0, 1000);
    ASSERT_TRUE(Pump([&] { return skin.SkinState() == fssSkinned; }));
    EXPECT_TRUE(ClientSize(w) == client);
    EXPECT_EQ(WindowSize(w).cx, client.cx + 12);
    EXPECT_EQ(WindowSize(w).cy, client.cy + 24 + 5);

    skin.Detach();
    EXPECT_EQ(Style(w), style);
    EXPECT_TRUE(ClientSize(w) == client);
    EXPECT_TRUE(WindowSize(w) == window);
    EXPECT_NE(SendMessageA(w, WM_SKINQUERY, 0, 0), 1);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w, region), ERROR) << "the window keeps no region";
    DeleteObject(region);
}

TEST_F(FormSkinTest, OwnedWindowKeepsItsCaptionStyleAndLosesOnlyTheNativeButtons)
{
    HWND ownerWindow = Window();
    HWND w = Window(WS_OVERLAPPEDWINDOW, ownerWindow);
    const LONG style = Style(w);
    const SIZE client = ClientSize(w);
    auto& skin = Skin(w);
    EXPECT_EQ(Style(w), style & ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(ClientSize(w) == client);
    skin.Detach();
    EXPECT_EQ(Style(w), style);
    EXPECT_TRUE(ClientSize(w) == client);
}

TEST_F(FormSkinTest, FrameworkFormIsHookedRecolouredAndGivenBack)
{
    auto* form = TComponent::Make<TForm>(&owner);
    form->SetBounds(150, 120, 400, 300);
    form->SetCaption("Form caption");
    form->Show();
    Wait(100);
    const TColor colour = form->Color();
    const SIZE client = ClientSize(form->Handle());
    auto& skin = SkinWindow(form, form->Handle(), data, form);
    EXPECT_TRUE(form->WindowProcHooked(TFormSkinTesting::FormHook(skin)));
    EXPECT_EQ(form->Color(), data.Colours.ButtonFace);
    EXPECT_TRUE(ClientSize(form->Handle()) == client);

    // A new caption is drawn at once: wider text, wider text background.
    Seen(form->Handle(), 0, 0);
    const int narrow = TFormSkinTesting::TitleTextRect(skin).Width();
    form->SetCaption("A much longer caption for the same form");
    EXPECT_EQ(TFormSkinTesting::Caption(skin), "A much longer caption for the same form");
    Seen(form->Handle(), 0, 0);
    EXPECT_GT(TFormSkinTesting::TitleTextRect(skin).Width(), narrow);

    skin.Detach();
    EXPECT_EQ(form->Color(), colour);
    EXPECT_EQ(TFormSkinTesting::FormHook(skin), 0u);
    EXPECT_EQ(SendMessageA(form->Handle(), WM_SKINQUERY, 0, 0), 0);
    EXPECT_TRUE(ClientSize(form->Handle()) == client);
}

TEST_F(FormSkinTest, ActiveAndInactiveFramesCaptionAndButtonsAreDrawnWhereTheSkinSays)
{
    HWND w = Window();
    auto& skin = Skin(w);
    const int width = WindowSize(w).cx, height = WindowSize(w).cy;
    struct Probe {
        int x, y;
        TBitmap& image;
        bool vertical;
    };
    const Probe probes[] = {
        {3, 60, data.Left.Image, false}, {width - 3, 60, data.Right.Image, false},
        {width / 2, height - 2, data.Bottom.Image, true}, {26, 2, data.Top.Image, true},
        {48, 2, data.Title.Image, true}};
    for (const Probe& p : probes)
        EXPECT_EQ(Seen(w, p.x, p.y), FrameColour(p.image, 1, 2, p.vertical)) << p.x << "," << p.y;

    // The buttons, from the skin's positions: from the right edge, from the left edge, and
    // beside the caption text; the restore button only on a maximised window.
    const TRect text = TFormSkinTesting::TitleTextRect(skin);
    EXPECT_EQ(text.Left, 6 + 40);
    const std::pair<size_t, TRect> layout[] = {
        {kClose, Bounds(width - 22, 5, 16, 14)}, {kMax, Bounds(width - 40, 5, 16, 14)},
        {kMin, Bounds(width - 58, 5, 16, 14)}, {kLeftButton, Bounds(8, 5, 16, 14)},
        {kBeforeText, Bounds(text.Left - 18, 5, 16, 14)}, {kAfterText, Bounds(text.Right + 2, 5, 16, 14)}};
    for (const auto& [button, bounds] : layout) {
        EXPECT_TRUE(skin.SysButtons()[button]->FVisible) << button;
        EXPECT_EQ(skin.SysButtons()[button]->FBoundsRect, bounds) << button;
        EXPECT_EQ(Seen(w, bounds.Left + 8, bounds.Top + 7), ButtonColour(data, button, 1)) << button;
    }
    EXPECT_FALSE(skin.SysButtons()[kRestore]->FVisible);
    EXPECT_EQ(Seen(w, text.Left + 20, 12), data.Colours.TitleTextActive) << "caption text";

    // Another window active: second frames, the buttons' inactive frame, the inactive text.
    HWND other = Window();
    SetWindowPos(other, nullptr, 700, 500, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(Pump([&] { return !skin.Active(); }));
    for (const Probe& p : probes)
        EXPECT_EQ(Seen(w, p.x, p.y), FrameColour(p.image, 2, 2, p.vertical)) << p.x << "," << p.y;
    for (const auto& [button, bounds] : layout)
        EXPECT_EQ(Seen(w, bounds.Left + 8, bounds.Top + 7), ButtonColour(data, button, 4)) << button;
    bool inactiveText = false;
    for (int x = text.Left; x < text.Right && !inactiveText; ++x)
        for (int y = 5; y < 19 && !inactiveText; ++y)
            inactiveText = Shown(w, x, y) == static_cast<COLORREF>(data.Colours.TitleTextNoActive);
    EXPECT_TRUE(inactiveText);
    DestroyWindow(other);
}

TEST_F(FormSkinTest, CaptionTextIsPlacedByTheSkinsAlignmentAndCutAtItsRightLimit)
{
    HWND w = Window();
    auto& skin = Skin(w);
    const int width = WindowSize(w).cx;
    const int bandLeft = 6, bandRight = width - 6, rightClip = 70;
    data.Title.TextAlignment = 1;
    Seen(w, 0, 0);
    const TRect centred = TFormSkinTesting::TitleTextRect(skin);
    EXPECT_EQ(centred.Left - bandLeft, (bandRight - bandLeft - centred.Width()) / 2);
    data.Title.TextAlignment = 2;
    Seen(w, 0, 0);
    EXPECT_EQ(TFormSkinTesting::TitleTextRect(skin).Right, bandRight - rightClip);
    EXPECT_EQ(TFormSkinTesting::TitleTextRect(skin).Width(), centred.Width());

    // Centred in a band narrower than itself: it starts left of the band and ends, cut short
    // with an ellipsis, at the right limit; no text lies beyond.
    data.Title.TextAlignment = 1;
    SetWindowTextA(w, "A caption far too long for the narrow caption band of this window");
    TFormSkinTesting::Caption(skin) = GetWindowCaption(w);
    Seen(w, 0, 0);
    const TRect cut = TFormSkinTesting::TitleTextRect(skin);
    EXPECT_LT(cut.Left, bandLeft);
    EXPECT_EQ(cut.Right, bandRight - rightClip);
    const COLORREF text = static_cast<COLORREF>(data.Colours.TitleTextActive);
    for (int x = cut.Right; x < bandRight; ++x)
        for (int y = 5; y < 19; ++y)
            ASSERT_NE(Shown(w, x, y), text) << x << "," << y;
}

namespace {

// Which of the points (window coordinates) lie in the window's region.
std::vector<bool> InRegion(HWND w, const std::vector<POINT>& points)
{
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    std::vector<bool> inside;
    const bool has = GetWindowRgn(w, region.get()) != ERROR;
    for (const POINT& p : points)
        inside.push_back(has && PtInRegion(region.get(), p.x, p.y));
    return inside;
}

// The corners the fixture cuts at a window size, and the frame just inside them.
std::vector<POINT> Corners(SIZE s)
{
    return {{0, 0}, {1, 1}, {s.cx - 1, 0}, {s.cx - 2, 1}, {0, s.cy - 1}, {s.cx - 1, s.cy - 1},
            {6, 0}, {s.cx - 7, 0}};
}

std::vector<POINT> InsideCorners(SIZE s)
{
    return {{2, 0}, {0, 2}, {s.cx - 3, 0}, {s.cx - 1, 2}, {2, s.cy - 1}, {s.cx - 3, s.cy - 1},
            {7, 0}, {s.cx - 8, 0}, {3, 60}, {s.cx / 2, s.cy / 2}};
}

}  // namespace

TEST_F(FormSkinTest, RegionCutsTheKeyColourAndIsRebuiltOnResizeMaximiseAndRestore)
{
    HWND w = Window();
    Skin(w);
    const SIZE size = WindowSize(w);
    EXPECT_EQ(InRegion(w, Corners(size)), std::vector<bool>(8, false));
    EXPECT_EQ(InRegion(w, InsideCorners(size)), std::vector<bool>(10, true));

    SetWindowPos(w, nullptr, 0, 0, size.cx + 60, size.cy + 40, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE wider = WindowSize(w);
    EXPECT_EQ(InRegion(w, Corners(wider)), std::vector<bool>(8, false));
    EXPECT_EQ(InRegion(w, InsideCorners(wider)), std::vector<bool>(10, true));
    EXPECT_TRUE(InRegion(w, {{size.cx - 7, 0}})[0]) << "the old caption end is no corner now";

    ShowWindow(w, SW_MAXIMIZE);
    Wait(100);
    const SIZE maximised = WindowSize(w);
    EXPECT_GT(maximised.cx, wider.cx);
    EXPECT_EQ(InRegion(w, Corners(maximised)), std::vector<bool>(8, false));
    EXPECT_EQ(InRegion(w, InsideCorners(maximised)), std::vector<bool>(10, true));
    ShowWindow(w, SW_RESTORE);
    Wait(100);
    EXPECT_TRUE(WindowSize(w) == wider);
    EXPECT_EQ(InRegion(w, Corners(wider)), std::vector<bool>(8, false));
    EXPECT_EQ(InRegion(w, InsideCorners(wider)), std::vector<bool>(10, true));
}

TEST_F(FormSkinTest, HitTestsAtEveryEdgeCornerTheCaptionAndTheButtons)
{
    HWND w = Window();
    auto& skin = Skin(w);
    RECT r;
    GetWindowRect(w, &r);
    const int W = r.right - r.left, H = r.bottom - r.top;
    const auto hit = [&](int x, int y) {
        return SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
    };
    EXPECT_EQ(hit(1, 1), HTTOPLEFT);
    EXPECT_EQ(hit(W / 2, 1), HTTOP);
    EXPECT_EQ(hit(W - 2, 1), HTTOPRIGHT);
    EXPECT_EQ(hit(1, H / 2), HTLEFT);
    EXPECT_EQ(hit(W - 2, H / 2), HTRIGHT);
    EXPECT_EQ(hit(1, H - 2), HTBOTTOMLEFT);
    EXPECT_EQ(hit(W / 2, H - 2), HTBOTTOM);
    EXPECT_EQ(hit(W - 2, H - 2), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(W / 2, 12), HTCAPTION);
    EXPECT_EQ(hit(W / 2, H / 2), HTCLIENT);
    // A button is caption to the platform; the skin finds the button when it is pressed.
    for (const auto& button : skin.SysButtons()) {
        if (button->FVisible) {
            EXPECT_EQ(hit(button->FBoundsRect.Left + 4, button->FBoundsRect.Top + 4), HTCAPTION);
        }
    }
    // Where the platform places nothing, the skin answers: nothing in the top 3 rows, caption
    // down to the caption band's bottom, menu below it.
    hitNowhere = true;
    EXPECT_EQ(hit(W / 2, 3), HTNOWHERE);
    EXPECT_EQ(hit(W / 2, 4), HTCAPTION);
    EXPECT_EQ(hit(1, skin.FrameTop()), HTCAPTION);
    EXPECT_EQ(hit(1, skin.FrameTop() + 1), HTMENU);
    EXPECT_EQ(hit(W - 2, H - 2), HTMENU);
    EXPECT_EQ(hit(W / 2, H / 2), HTCLIENT);
    hitNowhere = false;
}

TEST_F(FormSkinTest, TheMouseMovesSizesMaximisesAndRestoresThroughTheSkinnedFrame)
{
    HWND w = Window();
    Skin(w);
    RECT start;
    GetWindowRect(w, &start);
    const SIZE size = WindowSize(w);
    TInput input;
    input.MoveTo(w, 120, 12).Down().MoveTo(w, 140, 22).MoveTo(w, 160, 42).Up().Run();
    RECT moved;
    GetWindowRect(w, &moved);
    EXPECT_EQ(moved.left - start.left, 40);
    EXPECT_EQ(moved.top - start.top, 30);
    EXPECT_TRUE(WindowSize(w) == size);

    // The corner's outer pixels are cut away: the drag starts just inside them.
    input.MoveTo(w, size.cx - 3, size.cy - 3).Down().MoveTo(w, size.cx + 10, size.cy + 5)
        .MoveTo(w, size.cx + 27, size.cy + 17).Up().Run();
    EXPECT_EQ(WindowSize(w).cx, size.cx + 30);
    EXPECT_EQ(WindowSize(w).cy, size.cy + 20);

    input.MoveTo(w, 120, 12).DoubleClick().Run();
    EXPECT_TRUE(Pump([&] { return IsZoomed(w); }, 2000));
    input.MoveTo(w, 120, 12).DoubleClick().Run();
    EXPECT_TRUE(Pump([&] { return !IsZoomed(w); }, 2000));
    EXPECT_EQ(WindowSize(w).cx, size.cx + 30);
}

TEST_F(FormSkinTest, CaptionButtonsLightUpPressAndActOnlyOnReleaseOverAButton)
{
    HWND w = Window();
    auto& skin = Skin(w);
    const auto centre = [&](size_t button) {
        const TRect b = skin.SysButtons()[button]->FBoundsRect;
        return POINT{b.Left + 8, b.Top + 7};
    };
    const auto shows = [&](size_t button, int frame) {
        const POINT c = centre(button);
        return Shown(w, c.x, c.y) == ButtonColour(data, button, frame);
    };
    TInput input;
    input.MoveTo(w, centre(kClose).x, centre(kClose).y).Run();
    EXPECT_TRUE(shows(kClose, 3)) << "hot";
    input.Down().Run();
    EXPECT_TRUE(shows(kClose, 2)) << "pressed";
    // Off the button onto the caption: back to normal, and the release there does nothing.
    input.MoveTo(w, 120, 12).Run();
    EXPECT_TRUE(shows(kClose, 1));
    input.Up().Run();
    EXPECT_TRUE(IsWindow(w));

    // Pressed on one button, released on another that the move made hot: the other acts.
    input.MoveTo(w, centre(kMin).x, centre(kMin).y).Down().MoveTo(w, centre(kMax).x, centre(kMax).y).Run();
    EXPECT_TRUE(shows(kMin, 1));
    EXPECT_TRUE(shows(kMax, 3));
    input.Up().Run();
    EXPECT_TRUE(Pump([&] { return IsZoomed(w); }, 2000));
    EXPECT_TRUE(skin.SysButtons()[kRestore]->FVisible);
    EXPECT_FALSE(skin.SysButtons()[kMax]->FVisible);
    input.MoveTo(w, centre(kRestore).x, centre(kRestore).y).Click().Run();
    EXPECT_TRUE(Pump([&] { return !IsZoomed(w); }, 2000));

    // Minimised, the window shows the native caption; restored, the skinned one again.
    input.MoveTo(w, centre(kMin).x, centre(kMin).y).Click().Run();
    EXPECT_TRUE(Pump([&] { return IsIconic(w); }, 2000));
    EXPECT_EQ(Style(w) & WS_CAPTION, WS_CAPTION);
    ShowWindow(w, SW_RESTORE);
    SetForegroundWindow(w);
    Wait(100);
    EXPECT_EQ(Style(w) & WS_CAPTION, 0);
    EXPECT_EQ(Seen(w, 3, 60), FrameColour(data.Left.Image, 1, 2, false));

    input.MoveTo(w, centre(kClose).x, centre(kClose).y).Click().Run();
    EXPECT_TRUE(Pump([&] { return !IsWindow(w); }, 2000));
    EXPECT_EQ(skin.SkinState(), fssDestroyed);
}

namespace {

// What a message box looked like when it was activated, and when its skin had been applied.
struct TBoxRecord {
    TComponent* owner = nullptr;
    TSkinData* data = nullptr;
    TWinSkinForm* skin = nullptr;
    int clientWidth = 0, width = 0;
    std::vector<std::pair<HWND, RECT>> children, childrenAfter;  // in Z order, client coordinates
} box;

std::vector<std::pair<HWND, RECT>> Children(HWND w)
{
    std::vector<std::pair<HWND, RECT>> children;
    for (HWND child = GetTopWindow(w); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
        children.emplace_back(child, r);
    }
    return children;
}

// Once the box is laid out it is skinned; once the skin is applied it is measured and closed.
void CALLBACK SkinAndCloseTheBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    const std::vector<HWND> boxes = ShownThreadWindows("#32770");
    if (boxes.empty())
        return;
    HWND w = boxes.front();
    if (!box.skin) {
        box.clientWidth = ClientSize(w).cx;
        box.children = Children(w);
        box.skin = &AttachSkin(box.owner, w, *box.data);
    } else if (box.skin->SkinState() == fssSkinned) {
        KillTimer(nullptr, timer);
        box.width = WindowSize(w).cx;
        box.childrenAfter = Children(w);
        PostMessageA(w, WM_COMMAND, IDOK, 0);
    }
}

}  // namespace

TEST_F(FormSkinTest, AMessageBoxIsWidenedToItsCaptionAndDestroyedWhileSkinned)
{
    box = TBoxRecord();
    box.owner = &owner;
    box.data = &data;
    SetTimer(nullptr, 0, 50, SkinAndCloseTheBox);
    const std::string caption = "A caption that is much wider than the message it stands above";
    MessageBoxA(nullptr, "OK?", caption.c_str(), MB_OK);
    ASSERT_NE(box.skin, nullptr);

    const TWinSkinForm& skin = *box.skin;
    const int needed = (static_cast<int>(caption.size()) + 7) * TFormSkinTesting::SpaceWidth(skin) + 6 + 6 + 40 + 70 + 4 + 4;
    ASSERT_GT(needed, box.clientWidth + 12);
    EXPECT_EQ(box.width, needed);
    // The contents moved right by half the growth, in their Z (tab) order.
    const int shift = (needed - (box.clientWidth + 12)) / 2;
    ASSERT_EQ(box.childrenAfter.size(), box.children.size());
    for (size_t i = 0; i < box.children.size(); ++i) {
        EXPECT_EQ(box.childrenAfter[i].first, box.children[i].first) << i;
        EXPECT_EQ(box.childrenAfter[i].second.left, box.children[i].second.left + shift) << i;
        EXPECT_EQ(box.childrenAfter[i].second.top, box.children[i].second.top) << i;
    }
    EXPECT_EQ(skin.SkinState(), fssDestroyed);
}

namespace {

struct TClassCount {
    std::string name;
    int count = 0;
};

BOOL CALLBACK CountClass(HWND w, LPARAM p)
{
    auto& found = *reinterpret_cast<TClassCount*>(p);
    found.count += GetWindowClass(w) == found.name;
    return TRUE;
}

// This thread's windows of one class: a form's window left behind, or made again while the
// form was freed, counts.
int WindowsOfClass(const std::string& name)
{
    TClassCount found{name};
    EnumThreadWindows(GetCurrentThreadId(), CountClass, reinterpret_cast<LPARAM>(&found));
    return found.count;
}

}  // namespace

TEST_F(FormSkinTest, FormsAreFreedWhileSkinnedDirectlyAndByTheirOwnRelease)
{
    // Told when the form skin goes.
    struct TWatcher : TComponent {
        using TComponent::TComponent;
        int freed = 0;
        void Notification(TComponent* c, TOperation op) override
        {
            TComponent::Notification(c, op);
            freed += op == TOperation::opRemove;
        }
    };
    const size_t forms = Screen->Forms().size();
    for (bool released : {false, true}) {
        auto* form = TComponent::Make<TForm>(&owner);
        form->SetBounds(150, 120, 300, 200);
        form->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
        form->Show();
        auto& skin = SkinWindow(form, form->Handle(), data, form);
        ASSERT_EQ(skin.SkinState(), fssSkinned);
        TWatcher watcher(nullptr);
        skin.FreeNotification(&watcher);
        const HWND handle = form->Handle();
        const std::string windowClass = GetWindowClass(handle);
        const int shown = WindowsOfClass(windowClass);
        ASSERT_GE(shown, 1);
        if (released)
            form->Close();
        else
            TComponent::Free(form);
        // Released forms are freed by the application's message loop, which also handles what
        // either left posted.
        for (int i = 0; i < 100; ++i) {
            Application->ProcessMessages();
            if (Screen->Forms().size() == forms)
                break;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        EXPECT_EQ(Screen->Forms().size(), forms) << released;
        EXPECT_EQ(watcher.freed, 1) << released;
        EXPECT_FALSE(IsWindow(handle)) << released;
        EXPECT_EQ(WindowsOfClass(windowClass), shown - 1) << released;
    }
}

TEST_F(FormSkinTest, ASkinFreedBeforeTheFormSkinsAttachedToItGivesTheirWindowsBack)
{
    HWND w = Window();
    const LONG style = Style(w);
    const SIZE window = WindowSize(w);
    auto* form = TComponent::Make<TForm>(&owner);
    form->SetBounds(150, 120, 300, 200);
    form->Show();
    auto* own = TComponent::Make<TSkinData>(&owner);
    LoadSkinFile(*own, LEXDRILL_FORMSKIN_FIXTURE);
    TWinSkinForm& bare = SkinWindow(&owner, w, *own);
    TWinSkinForm& framework = SkinWindow(form, form->Handle(), *own, form);
    ASSERT_EQ(bare.SkinState(), fssSkinned);
    ASSERT_EQ(framework.SkinState(), fssSkinned);

    TComponent::Free(own);
    EXPECT_EQ(bare.SkinData(), nullptr);
    EXPECT_EQ(framework.SkinData(), nullptr);
    EXPECT_EQ(Style(w), style);
    EXPECT_TRUE(WindowSize(w) == window);
    for (HWND each : {w, form->Handle()}) {
        EXPECT_NE(SendMessageA(each, WM_SKINQUERY, 0, 0), 1);
        // Painted, resized and activated again with nothing of the skin left to read.
        SetWindowPos(each, nullptr, 0, 0, 420, 330, SWP_NOMOVE | SWP_NOZORDER);
        RedrawWindow(each, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        SetForegroundWindow(each);
        Wait(100);
    }
    TComponent::Free(form);
}

TEST_F(FormSkinTest, AltAloneIsSwallowedAndAltSpaceReachesTheWindow)
{
    HWND w = Window();
    Skin(w);
    seen.clear();
    TInput input;
    input.Key("alt").Run();
    ASSERT_TRUE(Saw(WM_SYSKEYUP)) << "the window's default handling made SC_KEYMENU of it";
    EXPECT_FALSE(Saw(SC_KEYMENU));
    input.Key("alt+space").Key("Escape").Run();
    EXPECT_TRUE(Saw(SC_KEYMENU));
}

namespace {

bool menuShown = false;

// Closes the native system menu once it shows; runs in the menu's own loop.
void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (ShownMenuWindow()) {
        menuShown = true;
        EndMenu();
    }
}

}  // namespace

TEST_F(FormSkinTest, ARightClickOnTheCaptionShowsTheNativeSystemMenuAndTwoWithinADoubleClickClose)
{
    HWND w = Window();
    Skin(w);
    RECT r;
    GetWindowRect(w, &r);
    const LPARAM caption = MAKELPARAM(r.left + 120, r.top + 12);
    menuShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseShownMenu);
    SendMessageA(w, WM_NCRBUTTONDOWN, HTCAPTION, caption);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(menuShown);
    EXPECT_TRUE(IsWindow(w));
    // Again within the double-click time: the window closes instead.
    SendMessageA(w, WM_NCRBUTTONDOWN, HTCAPTION, caption);
    EXPECT_TRUE(Pump([&] { return !IsWindow(w); }));

    // A choice made in that menu arrives as a command and becomes the system command.
    HWND other = Window();
    Skin(other);
    SendMessageA(other, WM_COMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(other)) << "posted, not sent";
    EXPECT_TRUE(Pump([&] { return !IsWindow(other); }));
}

TEST_F(FormSkinTest, WithoutTheFrameSkinAWindowOnlyAnswersTheQueryAndFillsItsBackground)
{
    data.SetSkinControls(TSkinData::kDefaultSkinControls & ~SkinControlBit(xcMainMenu));
    HWND w = Window();
    const LONG style = Style(w);
    const SIZE size = WindowSize(w);
    auto& skin = AttachSkin(&owner, w, data);
    Wait(100);
    EXPECT_EQ(skin.SkinState(), fssCreated) << "WM_SKINSTART goes on to the window";
    EXPECT_EQ(SendMessageA(w, WM_SKINQUERY, 0, 0), 1);
    EXPECT_EQ(Style(w), style);
    EXPECT_TRUE(WindowSize(w) == size);
    EXPECT_NE(Seen(w, 1, 60), FrameColour(data.Left.Image, 1, 2, false));
    const COLORREF face = static_cast<COLORREF>(data.Colours.ButtonFace);
    EXPECT_EQ(Seen(w, size.cx / 2, size.cy / 2), face);
    skin.Detach();
    EXPECT_NE(SendMessageA(w, WM_SKINQUERY, 0, 0), 1);
}

TEST_F(FormSkinTest, ChildWindowsAndPopupsWithoutAFullCaptionKeepTheirNativeFrame)
{
    // A child that is no MDI child: everything but the first stage goes straight on.
    HWND parent = Window();
    HWND child = CreateWindowExA(0, "FormSkinTest", "child", WS_CHILD | WS_VISIBLE | WS_CAPTION, 10, 10,
                                 120, 90, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    const SIZE childSize = WindowSize(child);
    auto& childSkin = AttachSkin(&owner, child, data);
    Wait(100);
    EXPECT_EQ(childSkin.SkinState(), fssCreated);
    EXPECT_TRUE(WindowSize(child) == childSize);
    EXPECT_EQ(SendMessageA(child, WM_SKINQUERY, 0, 0), 1);

    // A pop-up with a border only: no skinned frame, no resizing, a region of its rectangle,
    // and back at its own size when detached.
    HWND popup = Window(WS_POPUP | WS_BORDER);
    const SIZE size = WindowSize(popup), client = ClientSize(popup);
    const LONG style = Style(popup);
    auto& skin = Skin(popup);
    EXPECT_EQ(skin.BorderKind(), bkPopup);
    EXPECT_EQ(Style(popup), style);
    EXPECT_TRUE(WindowSize(popup) == size);
    EXPECT_NE(Seen(popup, 0, 0), FrameColour(data.Left.Image, 1, 2, false));
    SetWindowPos(popup, nullptr, 0, 0, size.cx + 20, size.cy + 10, SWP_NOMOVE | SWP_NOZORDER);
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(popup, region.get()), ERROR);
    RECT box;
    GetRgnBox(region.get(), &box);
    EXPECT_EQ(box.right, size.cx + 20);
    EXPECT_EQ(box.bottom, size.cy + 10);
    EXPECT_TRUE(InRegion(popup, {{0, 0}, {size.cx + 19, size.cy + 9}}) == std::vector<bool>(2, true));
    SetWindowPos(popup, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    skin.Detach();
    EXPECT_EQ(Style(popup), style);
    EXPECT_TRUE(WindowSize(popup) == size);
    EXPECT_TRUE(ClientSize(popup) == client);
}

TEST_F(FormSkinTest, ASkinReappliedAtTheSameSizeShapesTheWindowAnew)
{
    HWND w = Window();
    auto& skin = Skin(w);
    ASSERT_FALSE(InRegion(w, {{0, 0}})[0]);
    // A new skin whose left frame has no cut corner (as the manager reloads one).
    TBitmap& left = data.Left.Image;
    left.Canvas().Brush().SetColor(left.Canvas().Pixel(3, 20));
    left.Canvas().FillRect(Rect(0, 0, 2, 2));
    skin.FreeSysButtons();
    skin.LoadFrameMetrics();
    skin.ReSkin();
    EXPECT_TRUE(InRegion(w, {{0, 0}})[0]);
    EXPECT_FALSE(InRegion(w, {{WindowSize(w).cx - 1, 0}})[0]);

    // A skin without a left edge: a frame of no width, still a window region.
    left.SetSize(0, 0);
    skin.FreeSysButtons();
    skin.LoadFrameMetrics();
    skin.ReSkin();
    EXPECT_EQ(skin.FrameLeft(), 0);
    EXPECT_TRUE(InRegion(w, {{0, 60}, {WindowSize(w).cx / 2, 60}}) == std::vector<bool>(2, true));
}

// Mended: a reload took the width from the client recorded at attach and the height from the
// current one, and fitted windows the first application leaves alone.
TEST_F(FormSkinTest, AReloadFitsTheCurrentClientAndOnlyWhereTheFirstApplicationFits)
{
    const auto reload = [](TWinSkinForm& skin) {
        skin.FreeSysButtons();
        skin.LoadFrameMetrics();
        skin.ReSkin();
    };
    // Resized since it was skinned: the client keeps the size the user gave it.
    HWND w = Window();
    auto& skin = Skin(w);
    SetWindowPos(w, nullptr, 0, 0, WindowSize(w).cx + 60, WindowSize(w).cy + 40, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE client = ClientSize(w);
    reload(skin);
    EXPECT_TRUE(ClientSize(w) == client);
    EXPECT_EQ(WindowSize(w).cx, client.cx + 12);

    // Minimised: left as it is, and the next reload starts from the restored client.
    ShowWindow(w, SW_MINIMIZE);
    ASSERT_TRUE(Pump([&] { return skin.ShowState() == ssMinimized; }, 2000));
    const SIZE minimised = WindowSize(w);
    reload(skin);
    EXPECT_TRUE(WindowSize(w) == minimised);
    ShowWindow(w, SW_RESTORE);
    ASSERT_TRUE(Pump([&] { return skin.ShowState() == ssNormal; }, 2000));
    const SIZE restored = ClientSize(w);
    reload(skin);
    EXPECT_TRUE(ClientSize(w) == restored);
    EXPECT_EQ(WindowSize(w).cx, restored.cx + 12);

    // A pop-up that keeps its native border keeps its size however often it is reloaded.
    HWND popup = Window(WS_POPUP | WS_BORDER);
    const SIZE size = WindowSize(popup);
    auto& popupSkin = Skin(popup);
    for (int i = 0; i < 3; ++i)
        reload(popupSkin);
    EXPECT_TRUE(WindowSize(popup) == size);
}

// A framework form re-applies its skin when asked with WM_SKINRELOAD. Mended: asked before the
// skin's first application, it left the native menu on the window under the skinned bar.
TEST_F(FormSkinTest, AFormAskedToReloadReappliesItsSkinAlsoBeforeTheFirstApplication)
{
    auto* form = TComponent::Make<TForm>(&owner);
    form->SetBounds(200, 150, 320, 220);
    auto* menu = TComponent::Make<TMainMenu>(form);
    auto* file = TComponent::Make<TMenuItem>(form);
    file->SetCaption("File");
    menu->Items()->Add(file);
    form->SetMenu(menu);
    form->Show();
    HWND w = form->Handle();
    Pump([w] { return GetForegroundWindow() == w; }, 5000);
    const SIZE client = ClientSize(w);

    TWinSkinForm& skin = AttachSkin(&owner, w, data, form);  // its start waits in the queue
    ASSERT_EQ(skin.SkinState(), fssCreated);
    form->SetColor(clRed);
    SendMessageA(w, WM_SKINRELOAD, 0, 0);
    EXPECT_EQ(skin.SkinState(), fssSkinned);
    MSG message;
    while (PeekMessageA(&message, w, WM_SKINSTART, WM_SKINSTART, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_EQ(GetMenu(w), nullptr);
    ASSERT_TRUE(skin.SkinMenu());
    EXPECT_EQ(skin.SkinMenu()->FButtons.size(), 1u);
    EXPECT_EQ(form->Color(), data.Colours.ButtonFace);
    EXPECT_TRUE(ClientSize(w) == client);
    EXPECT_EQ(WindowSize(w).cx, client.cx + skin.FrameLeft() + skin.FrameRight());

    // Asked again once skinned: the form's colour and its size come from the skin anew.
    form->SetColor(clRed);
    SetWindowPos(w, nullptr, 0, 0, WindowSize(w).cx + 40, WindowSize(w).cy, SWP_NOMOVE | SWP_NOZORDER);
    const SIZE resized = ClientSize(w);
    SendMessageA(w, WM_SKINRELOAD, 0, 0);
    EXPECT_EQ(form->Color(), data.Colours.ButtonFace);
    EXPECT_TRUE(ClientSize(w) == resized);
    EXPECT_EQ(GetMenu(w), nullptr);
    skin.Detach();
    EXPECT_EQ(GetMenu(w), menu->Handle());
}

// Mended: the bar took the menu of a pop-up whose native frame the skin keeps, and the frame
// had no room to draw a bar; a window that could not be subclassed was left without its menu.
TEST_F(FormSkinTest, AWindowWhoseMenuTheSkinDrawsNoBarForKeepsItsMenu)
{
    const auto menuOf = [](HWND w) {
        HMENU menu = CreateMenu();
        AppendMenuA(menu, MF_STRING, 1, "File");
        SetMenu(w, menu);
        return menu;
    };
    HWND popup = Window(WS_POPUP | WS_BORDER);
    HMENU popupMenu = menuOf(popup);
    const SIZE size = WindowSize(popup), client = ClientSize(popup);
    auto& popupSkin = Skin(popup);
    EXPECT_FALSE(popupSkin.SkinMenu());
    EXPECT_EQ(GetMenu(popup), popupMenu);
    EXPECT_TRUE(WindowSize(popup) == size);
    EXPECT_TRUE(ClientSize(popup) == client);
    // Alt alone opens the native menu, which the window's own procedure runs.
    seen.clear();
    const UINT_PTR closer = SetTimer(nullptr, 0, 300, EndMenuNow);
    SendMessageA(popup, WM_SYSCOMMAND, SC_KEYMENU, 0);
    KillTimer(nullptr, closer);
    EXPECT_TRUE(Saw(WM_SYSCOMMAND));
    popupSkin.Detach();
    EXPECT_EQ(GetMenu(popup), popupMenu);

    // Every subclass of the window taken: the attach fails and leaves the window as it was.
    HWND w = Window();
    HMENU menu = menuOf(w);
    const LONG style = Style(w);
    std::vector<std::unique_ptr<TWindowSubclass>> taken;
    for (size_t i = 0; i < 64; ++i) {
        try {
            taken.push_back(std::make_unique<TWindowSubclass>(
                w, [&taken, i](TMessage& message) { taken[i]->CallPrevious(message); }));
        } catch (const std::exception&) {
            break;
        }
    }
    auto& skin = *TComponent::Make<TWinSkinForm>(&owner);
    EXPECT_THROW(skin.AttachWindow(&data, w), std::exception);
    EXPECT_EQ(GetMenu(w), menu);
    EXPECT_FALSE(skin.SkinMenu());
    EXPECT_EQ(Style(w), style);
    taken.clear();
}

// Mended: a skin giving its window back freed the bar and went on naming the freed item under
// the mouse as its hot object.
TEST_F(FormSkinTest, ABarItemIsNamedHotNoLongerThanItLives)
{
    HWND w = Window();
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "File");
    AppendMenuA(menu, MF_STRING, 2, "Edit");
    SetMenu(w, menu);
    auto& skin = Skin(w);
    ASSERT_TRUE(skin.SkinMenu());
    ASSERT_EQ(skin.SkinMenu()->FButtons.size(), 2u);
    Seen(w, 0, 0);
    skin.SkinMenu()->FButtons[1]->MouseEnter();
    ASSERT_EQ(skin.HotTrack().Object(), skin.SkinMenu()->FButtons[1].get());
    skin.Detach();
    EXPECT_FALSE(skin.SkinMenu());
    EXPECT_EQ(skin.HotTrack().Object(), nullptr);
}

TEST_F(FormSkinTest, SmallerRulesOfTheWindowProcedureAndTheButtons)
{
    HWND w = Window();
    auto& skin = Skin(w);
    // WM_NCCALCSIZE without the rectangles: what the window's own procedure answers.
    RECT mine{10, 10, 200, 200}, native = mine;
    EXPECT_EQ(SendMessageA(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&mine)), 0);
    DefWindowProcA(w, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&native));
    EXPECT_TRUE(EqualRect(&mine, &native));

    // With frame painting off, WM_NCPAINT draws nothing and goes nowhere: a mark on the caption
    // band stays.
    const COLORREF mark = RGB(1, 2, 3);
    ASSERT_NE(Seen(w, 60, 12), mark);
    {
        const WindowDC dc(w, GetWindowDC(w));
        const UniqueBrush brush(CreateSolidBrush(mark));
        const RECT band{0, 0, WindowSize(w).cx, skin.FrameTop()};
        FillRect(dc.Get(), &band, brush.get());
    }
    seen.clear();
    data.FFramePainting = false;
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    data.FFramePainting = true;
    EXPECT_FALSE(Saw(WM_NCPAINT));
    EXPECT_EQ(Shown(w, 60, 12), mark);

    // A button of a custom action posts WM_SKINQUERY with it.
    RECT r;
    GetWindowRect(w, &r);
    const TRect b = skin.SysButtons()[kLeftButton]->FBoundsRect;
    skin.DoButtonAction(r.left + b.Left + 2, r.top + b.Top + 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, w, WM_SKINQUERY, WM_SKINQUERY, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 40u);

    // Without a maximise box: no maximise button, and a double click changes nothing. The
    // fixture's maximise and restore buttons are made visible whatever the window's boxes, so
    // that only the window's missing box hides them.
    for (size_t button : {kMax, kRestore})
        data.FTitleButtons.at(button)->Visibility = data.FTitleButtons.at(button)->Visibility1 = 0;
    HWND fixed = Window(WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX);
    auto& fixedSkin = Skin(fixed);
    Seen(fixed, 0, 0);
    EXPECT_FALSE(fixedSkin.SysButtons()[kMax]->FVisible);
    EXPECT_FALSE(fixedSkin.SysButtons()[kRestore]->FVisible);
    GetWindowRect(fixed, &r);
    SendMessageA(fixed, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(r.left + 120, r.top + 12));
    Wait(100);
    EXPECT_FALSE(IsZoomed(fixed));

    // A maximised window is not resized when the skin is applied, only its frame refreshed.
    HWND maximised = Window();
    ShowWindow(maximised, SW_MAXIMIZE);
    Wait(100);
    const SIZE size = WindowSize(maximised);
    Skin(maximised);
    EXPECT_TRUE(WindowSize(maximised) == size);
    EXPECT_EQ(ClientSize(maximised).cx, size.cx - 12);
}

// Mended: the client area was computed from the WINDOWPOS, which Windows fills with the zeros
// SetWindowPos was given when the call keeps the place and the size (Wine fills in the window's
// place): the frame refreshes of the skin, SetMenu and SetWindowRgn.
TEST_F(FormSkinTest, AFrameChangeThatKeepsPlaceAndSizeLeavesTheClientInsideTheSkinnedFrame)
{
    HWND w = Window();
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "File");
    SetMenu(w, menu);
    auto& skin = Skin(w);
    ASSERT_GT(skin.MenuHeight(), 0);
    const auto inside = [&](const RECT& r) {
        return RECT{r.left + skin.FrameLeft(), r.top + skin.FrameTop() + skin.MenuHeight(),
                    r.right - skin.FrameRight(), r.bottom - skin.FrameBottom()};
    };
    RECT window, client;
    GetWindowRect(w, &window);

    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    GetClientRect(w, &client);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT expected = inside(window);
    EXPECT_TRUE(EqualRect(&client, &expected));

    // The message as Windows sends it for that call, and for a proposal elsewhere.
    for (const POINT shift : {POINT{0, 0}, POINT{30, 40}}) {
        WINDOWPOS pos{w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED};
        NCCALCSIZE_PARAMS params{{window, window, client}, &pos};
        OffsetRect(&params.rgrc[0], shift.x, shift.y);
        expected = inside(params.rgrc[0]);
        EXPECT_EQ(SendMessageA(w, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params)), WVR_VALIDRECTS);
        EXPECT_TRUE(EqualRect(&params.rgrc[0], &expected)) << shift.x;
        EXPECT_TRUE(EqualRect(&params.rgrc[1], &expected)) << shift.x;
    }
}

namespace {

constexpr COLORREF kBackdrop = RGB(1, 2, 3);  // in no picture of these tests
constexpr LPARAM kWholeWindow = PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN;

// A picture of four coloured quarters.
void Quarters(TBitmap& bitmap, int w, int h)
{
    bitmap.SetSize(w, h);
    const COLORREF colours[] = {RGB(200, 30, 30), RGB(30, 200, 30), RGB(30, 30, 200), RGB(220, 200, 40)};
    for (int i = 0; i < 4; ++i) {
        bitmap.Canvas().Brush().SetColor(static_cast<TColor>(colours[i]));
        bitmap.Canvas().FillRect(Bounds(i % 2 * w / 2, i / 2 * h / 2, w / 2, h / 2));
    }
}

}  // namespace

// Mended: framework windows painted on WM_PAINT only, and the skin left WM_PRINT to the
// platform, which drew no skinned frame: AnimateWindow's picture of a closing window had an
// empty caption band and panels without their pictures.
TEST_F(FormSkinTest, APrintedFormShowsWhatTheScreenShows)
{
    auto* form = TComponent::Make<TForm>(&owner);
    form->SetBounds(150, 120, 420, 300);
    form->SetCaption("Printed");
    auto* menu = TComponent::Make<TMainMenu>(form);
    for (const char* caption : {"File", "Edit"}) {
        auto* item = TComponent::Make<TMenuItem>(form);
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    form->SetMenu(menu);
    auto* panel = TComponent::Make<TPanel>(form);
    panel->SetParent(form);
    panel->SetBounds(20, 20, 300, 180);
    auto* image = TComponent::Make<TImage>(panel);
    image->SetParent(panel);
    image->SetBounds(10, 10, 120, 80);
    Quarters(image->Picture().Bitmap(), 120, 80);
    auto* label = TComponent::Make<TLabel>(panel);
    label->SetParent(panel);
    label->SetBounds(10, 100, 120, 20);
    label->SetCaption("A label");
    auto* inner = TComponent::Make<TPanel>(panel);
    inner->SetParent(panel);
    inner->SetBounds(150, 10, 130, 150);
    auto* innerImage = TComponent::Make<TImage>(inner);
    innerImage->SetParent(inner);
    innerImage->SetBounds(5, 5, 100, 100);
    innerImage->SetStretch(true);
    Quarters(innerImage->Picture().Bitmap(), 50, 50);
    form->Show();
    Pump([&] { return GetForegroundWindow() == form->Handle(); }, 5000);
    HWND w = form->Handle();

    // A framework window prints its client area, graphic children included, as it paints it.
    Seen(panel->Handle(), 0, 0);
    const TWindowPicture panelShown = ShownPicture(panel->Handle());
    const TWindowPicture panelPrinted = PrintedPicture(panel->Handle(), PRF_CLIENT | PRF_ERASEBKGND, kBackdrop);
    EXPECT_EQ(panelPrinted.At(20, 20), RGB(200, 30, 30));
    // (Left of the inner panel, a window that WM_PRINTCLIENT does not reach.)
    EXPECT_EQ(panelPrinted.Differences(panelShown, RECT{0, 0, 150, panelShown.Height}), 0);

    // Skinned: the frame, caption, menu bar and every child, inside the window's region.
    auto& skin = SkinWindow(form, w, data, form);
    ASSERT_TRUE(skin.SkinMenu());
    Seen(w, 0, 0);
    const TWindowPicture shown = ShownPicture(w);
    const TWindowPicture printed = PrintedPicture(w, kWholeWindow, kBackdrop);
    const auto [inside, outside] = PrintFaults(w, shown, printed, kBackdrop);
    EXPECT_EQ(inside, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_FALSE(InRegion(w, {{0, 0}})[0]);
    EXPECT_EQ(printed.At(200, skin.FrameTop() / 2), FrameColour(data.Top.Image, 1, 2, true));
    EXPECT_EQ(printed.At(skin.FrameLeft() + 2, skin.FrameTop() + skin.MenuHeight() / 2), RGB(60, 160, 60));
    // The inner picture's last quarter, in window coordinates.
    RECT at, windowRect;
    GetWindowRect(inner->Handle(), &at);
    GetWindowRect(w, &windowRect);
    const POINT picture{at.left - windowRect.left + 5 + 75, at.top - windowRect.top + 5 + 75};
    EXPECT_EQ(printed.At(picture.x, picture.y), RGB(220, 200, 40));

    // The frame alone, and the client alone at the client's place.
    const TWindowPicture frame = PrintedPicture(w, PRF_NONCLIENT, kBackdrop);
    EXPECT_EQ(frame.At(200, skin.FrameTop() / 2), printed.At(200, skin.FrameTop() / 2));
    EXPECT_EQ(frame.At(picture.x, picture.y), kBackdrop);
    const TWindowPicture client = PrintedPicture(w, PRF_CLIENT | PRF_CHILDREN, kBackdrop);
    EXPECT_EQ(client.At(200, skin.FrameTop() / 2), kBackdrop);
    EXPECT_EQ(client.At(picture.x, picture.y), RGB(220, 200, 40));
}

namespace {

RECT InClient(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, TestMdiClient, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST_F(FormSkinTest, AnMdiFrameAndItsChildren)
{
    static const bool registered =
        RegisterTestClass("FormSkinFrame", TestMdiFrameProc, nullptr) && RegisterTestClass("FormSkinChild", TestMdiChildProc, nullptr);
    ASSERT_TRUE(registered);
    HWND frame = CreateWindowExA(0, "FormSkinFrame", "MDI frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                 100, 80, 640, 480, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    windows.push_back(frame);
    CLIENTCREATESTRUCT clientCreate{nullptr, 1000};
    RECT area;
    GetClientRect(frame, &area);
    TestMdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, area.right,
                                area.bottom, frame, nullptr, GetModuleHandleA(nullptr), &clientCreate);
    auto& frameSkin = Skin(frame);
    EXPECT_EQ(frameSkin.MDIKind(), mkFrame);
    EXPECT_EQ(TFormSkinTesting::MDIClient(frameSkin), TestMdiClient);
    EXPECT_EQ(SkinMdiState.FMdiClient, TestMdiClient);

    // A child made through the client is noticed until the frame's menu is refreshed.
    MDICREATESTRUCTA create{"FormSkinChild", "Child", GetModuleHandleA(nullptr), 20, 20, 260, 180, 0, 0};
    HWND child = reinterpret_cast<HWND>(SendMessageA(TestMdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(TFormSkinTesting::NewMDIChild(frameSkin), child);
    EXPECT_FALSE(data.MenuUpdate());
    SendMessageA(TestMdiClient, WM_MDIREFRESHMENU, 0, 0);
    EXPECT_EQ(TFormSkinTesting::NewMDIChild(frameSkin), nullptr);

    const SIZE client = ClientSize(child);
    auto& childSkin = Skin(child);
    EXPECT_EQ(childSkin.MDIKind(), mkChild);
    EXPECT_TRUE(ClientSize(child) == client);
    EXPECT_EQ(WindowSize(child).cx, client.cx + 12);
    EXPECT_EQ(Seen(child, 3, 60), FrameColour(data.Left.Image, childSkin.Active() ? 1 : 2, 2, false));

    // Maximised, the child has the native frame and caption; restored, the skinned ones again.
    SendMessageA(TestMdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    Wait(100);
    EXPECT_EQ(childSkin.ShowState(), ssMaximized);
    EXPECT_TRUE(frameSkin.IsMDIChildMaximized());
    EXPECT_EQ(Style(child) & WS_CAPTION, WS_CAPTION);
    SendMessageA(TestMdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    Wait(100);
    EXPECT_EQ(childSkin.ShowState(), ssNormal);
    EXPECT_FALSE(frameSkin.IsMDIChildMaximized());
    EXPECT_EQ(WindowSize(child).cx - ClientSize(child).cx, 12);

    // A menu set through the client never shows natively on the skinned frame.
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "File");
    SendMessageA(TestMdiClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_EQ(GetMenu(frame), nullptr);
    DestroyMenu(menu);

    // Given back in the client's coordinates, where it was.
    const RECT before = InClient(child);
    childSkin.Detach();
    const RECT after = InClient(child);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_TRUE(ClientSize(child) == client);
    frameSkin.Detach();
}
