// Tab, scroll-bar, header, list-view, size-grip and scroll-bar-control skins on real controls
// under Wine, probed on the flat-colour fixture: tabs in the four positions, the scroller left
// to paint itself, a real thumb drag and real arrow and page clicks, headers and their unused
// remainder, and skinning on and off repeated without a leak.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "ComCtrls.h"
#include "ControlSkinTesting.h"
#include "Forms.h"
#include "InputTesting.h"
#include "ProcessUsage.h"
#include "SkinTesting.h"
#include "StdCtrls.h"
#include "Tabs.h"
#include "WinSubClass.h"
#include "WinSubClassInputs.h"
#include "WinSubClassLists.h"
#include "WinSubClassScroll.h"
#include "WinSubClassTabs.h"
#include "WindowTesting.h"

// Controls of other makers that the Skin3rd list maps to the tab and scroll-bar kinds.
TEST_CONTROL_CLASS(TThirdTabs, TPageControl)
TEST_CONTROL_CLASS(TThirdMemo, TMemo)

namespace {

const COLORREF kParentBrush = RGB(7, 77, 177);

HWND MakeParent(int width = 520, int height = 400)
{
    static const bool registered =
        RegisterTestClass("ListSkinParent", DefWindowProcA, Arrow(), CreateSolidBrush(kParentBrush));
    EXPECT_TRUE(registered);
    HWND hwnd = CreateWindowExA(0, "ListSkinParent", "Bare parent", WS_OVERLAPPEDWINDOW, 100, 60, width, height,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    return hwnd;
}

// A bare tab control with count tabs, named "<name> 1", "<name> 2" and so on.
HWND MakeTabs(HWND parent, DWORD style, int x, int y, int width, int height, int count, const std::string& name)
{
    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < count; ++i) {
        std::string caption = name + " " + std::to_string(i + 1);
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    return tabs;
}

struct ListSkinTest : ControlSkinFixture {
    ListSkinTest() : ControlSkinFixture(100, 60, 520, 400) {}
    void SetUp() override
    {
        ControlSkinFixture::SetUp();
        ASSERT_TRUE(data.Tabs && data.Scrollbar && data.Headerbar && data.VertScrollThumb);
    }
    HWND Parent(int width = 520, int height = 400)
    {
        windows.push_back(MakeParent(width, height));
        return windows.back();
    }
    // Tab frames: the top three rows are the edge, the rest the body.
    COLORREF TabEdge(int frame) { return FramePixel(data.Tabs->Image, frame, 5, 10, 1); }
    COLORREF TabBody(int frame) { return FramePixel(data.Tabs->Image, frame, 5, 10, 12); }
    COLORREF Arrow(int frame) { return FramePixel(data.Scrollbar->Image, frame, 23, 8, 8); }
    COLORREF VertTrack() { return FramePixel(data.VertScroll->Image, 1, 4, 8, 8); }
    COLORREF HorzTrack() { return FramePixel(data.HorzScroll->Image, 1, 4, 8, 8); }
    COLORREF VertThumb(int frame) { return FramePixel(data.VertScrollThumb->Image, frame, 3, 8, 8); }
    COLORREF HorzThumb(int frame) { return FramePixel(data.HorzScrollThumb->Image, frame, 3, 8, 8); }
    COLORREF HeaderFace() { return FramePixel(data.Headerbar->Image, 1, 5, 8, 8); }
};

TEST_F(ListSkinTest, TheScanGivesEachKindItsSkinAndOnlyWithItsGate)
{
    TForm* form = Form();
    TWinSkinForm& scan = Scanner(form);
    auto* pages = Control<TPageControl>(form, 0, 0, 200, 100);
    auto* tabSet = Control<TTabSet>(form, 0, 110, 200, 20);
    auto* bar = Control<TScrollBar>(form, 0, 140, 200, 17);
    auto* list = Control<TListView>(form, 210, 0, 200, 100);
    auto* memo = TComponent::Make<TMemo>(form);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    memo->SetParent(form);
    EXPECT_EQ(scan.MappingRow(pages), 7);
    EXPECT_EQ(scan.MappingRow(tabSet), 4);
    EXPECT_EQ(scan.MappingRow(bar), 18);
    EXPECT_EQ(scan.MappingRow(list), 27);
    EXPECT_EQ(scan.MappingRow(memo), 30);

    scan.SkinComponents(form);
    EXPECT_TRUE(dynamic_cast<TSkinTab*>(scan.FindControlByHandle(pages->Handle())));
    EXPECT_TRUE(dynamic_cast<TSkinTab31*>(scan.FindControlByHandle(tabSet->Handle())));
    EXPECT_TRUE(dynamic_cast<TSkinScControl*>(scan.FindControlByHandle(bar->Handle())));
    auto* listSkin = dynamic_cast<TSkinListView*>(scan.FindControlByHandle(list->Handle()));
    ASSERT_TRUE(listSkin);
    ASSERT_TRUE(listSkin->Header());
    EXPECT_EQ(listSkin->Header()->Handle(), reinterpret_cast<HWND>(SendMessageA(list->Handle(), LVM_GETHEADER, 0, 0)));
    EXPECT_TRUE(dynamic_cast<TSkinScrollBar*>(scan.FindControlByHandle(memo->Handle())));
    // The page control's skin is the form skin's; the others their controls'.
    EXPECT_EQ(scan.FindControlByHandle(pages->Handle())->Owner(), &scan);
    EXPECT_EQ(scan.FindControlByHandle(memo->Handle())->Owner(), memo);
    EXPECT_EQ(scan.Controls().size(), 6u);  // the header's too
    scan.SkinComponents(form);
    EXPECT_EQ(scan.Controls().size(), 6u);
    scan.UnskinControls();

    // Listed in Skin3rd as a tab and as scroll bars: skins owned by the controls.
    auto* thirdTabs = Control<TThirdTabs>(form, 0, 300, 100, 60);
    auto* thirdMemo = Control<TThirdMemo>(form, 110, 300, 100, 60);
    data.Skin3rd().Add("TThirdTabs=Tab");
    data.Skin3rd().Add("tthirdmemo=ScrollBar");
    scan.SkinComponents(form);
    TSkinControl* tabSkin = scan.FindControlByHandle(thirdTabs->Handle());
    TSkinControl* memoSkin = scan.FindControlByHandle(thirdMemo->Handle());
    EXPECT_TRUE(dynamic_cast<TSkinTab*>(tabSkin));
    EXPECT_TRUE(dynamic_cast<TSkinScrollBar*>(memoSkin));
    EXPECT_EQ(tabSkin ? tabSkin->Owner() : nullptr, thirdTabs);
    EXPECT_EQ(memoSkin ? memoSkin->Owner() : nullptr, thirdMemo);
    scan.UnskinControls();

    // Without xcTab the tab controls fall through; without xcScrollbar the memo is an edit.
    data.SetSkinControls(TSkinData::kDefaultSkinControls & ~SkinControlBit(xcTab) & ~SkinControlBit(xcScrollbar));
    EXPECT_EQ(scan.MappingRow(pages), 0);
    EXPECT_EQ(scan.MappingRow(tabSet), 0);
    EXPECT_EQ(scan.MappingRow(bar), 0);
    EXPECT_EQ(scan.MappingRow(memo), 32);
    data.SetSkinControls(TSkinData::kDefaultSkinControls);
}

TEST_F(ListSkinTest, TabsInFourPositionsLieWithTheirEdgeOutsideAndOnlyTheFocusedTabSelected)
{
    HWND parent = Parent();
    const DWORD styles[] = {0, TCS_BOTTOM, TCS_VERTICAL | TCS_MULTILINE, TCS_VERTICAL | TCS_BOTTOM | TCS_MULTILINE};
    const POINT at[] = {{10, 10}, {260, 10}, {10, 180}, {260, 180}};
    HWND tabs[4];
    for (int k = 0; k < 4; ++k) {
        tabs[k] = MakeTabs(parent, styles[k], at[k].x, at[k].y, 230, 150, 3, "Tab");
        SendMessageA(tabs[k], TCM_SETCURSEL, 0, 0);
        SendMessageA(tabs[k], TCM_SETCURFOCUS, 1, 0);  // the focused tab differs from the selected
    }
    auto& skin = SkinWindow(&owner, parent, data);
    for (int k = 0; k < 4; ++k) {
        auto* tab = dynamic_cast<TSkinTab*>(skin.FindControlByHandle(tabs[k]));
        ASSERT_TRUE(tab) << k;
        EXPECT_EQ(tab->TabPosition(), k);
        EXPECT_FALSE(tab->SkinScroller());
        RECT w;
        GetWindowRect(tabs[k], &w);
        RECT page{0, 0, w.right - w.left, w.bottom - w.top};
        SendMessageA(tabs[k], TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
        InflateRect(&page, 4, 4);
        const int cx = (page.left + page.right) / 2, cy = (page.top + page.bottom) / 2;
        Seen(tabs[k], 0, 0);
        const COLORREF band = static_cast<COLORREF>(data.Tabs->Image2.Canvas().Pixel(10, 1));
        const COLORREF rest = static_cast<COLORREF>(data.Tabs->Image2.Canvas().Pixel(10, 15));
        for (int i = 0; i < 3; ++i) {
            RECT r;
            ASSERT_TRUE(SendMessageA(tabs[k], TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)));
            const int frame = i == 1 ? 2 : 1;
            // The edge probe lies in the tab's outer three rows, the body probe well inside.
            POINT edge, body;
            switch (k) {
            case 0: edge = {r.left + 3, r.top + 2}; body = {r.left + 3, r.bottom - 2}; break;
            case 1: edge = {r.left + 3, r.bottom - 3}; body = {r.left + 3, r.top + 1}; break;
            case 2: edge = {r.left + 1, r.top + 3}; body = {r.right - 4, r.top + 3}; break;
            default: edge = {r.right - 2, r.top + 3}; body = {r.left + 3, r.top + 3}; break;
            }
            EXPECT_EQ(Shown(tabs[k], edge.x, edge.y), TabEdge(frame)) << "position " << k << " tab " << i;
            EXPECT_EQ(Shown(tabs[k], body.x, body.y), TabBody(frame)) << "position " << k << " tab " << i;
        }
        // The page frame: the border's top band on the tabs' side, drawn with margins of 4, 5, 4
        // and 4 whatever the skin's (3 in the fixture): the probes lie past the skin's margins.
        POINT bandAt, restAt;
        switch (k) {
        case 0: bandAt = {cx, page.top + 1 + 4}; restAt = {page.left + 3, cy}; break;
        case 1: bandAt = {cx, page.bottom - 1 - 4}; restAt = {cx, page.top + 4}; break;
        case 2: bandAt = {page.left + 1 + 3, cy}; restAt = {page.right - 4, cy}; break;
        default: bandAt = {page.right - 1 - 4, cy}; restAt = {page.left + 3, cy}; break;
        }
        EXPECT_EQ(Shown(tabs[k], bandAt.x, bandAt.y), band) << "position " << k;
        EXPECT_EQ(Shown(tabs[k], restAt.x, restAt.y), rest) << "position " << k;
    }
    skin.Detach();
}

TEST_F(ListSkinTest, OverflowingTabsShowTheScrollerWhichTheStripNeverPaintsOver)
{
    HWND parent = Parent();
    HWND tabs = MakeTabs(parent, 0, 10, 10, 200, 120, 12, "Subject");
    auto& skin = SkinWindow(&owner, parent, data);
    auto* tab = dynamic_cast<TSkinTab*>(skin.FindControlByHandle(tabs));
    ASSERT_TRUE(tab);
    HWND scroller = FindWindowExA(tabs, nullptr, UPDOWN_CLASSA, nullptr);
    ASSERT_TRUE(scroller);
    EXPECT_TRUE(tab->SkinScroller());
    // The scroller has a skin of its own, once.
    ASSERT_TRUE(dynamic_cast<TSkinUpDown*>(skin.FindControlByHandle(scroller)));
    const size_t skins = skin.Controls().size();
    tab->SkinScroller();
    EXPECT_EQ(skin.Controls().size(), skins);
    RECT s, w;
    GetWindowRect(scroller, &s);
    GetWindowRect(tabs, &w);
    // What the scroller shows after a repaint of the tab control alone is its own picture.
    Seen(tabs, 0, 0);
    HDC dc = GetWindowDC(scroller);
    const COLORREF own = GetPixel(dc, 2, 2);
    ReleaseDC(scroller, dc);
    RedrawWindow(tabs, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    for (int x = s.left - w.left + 1; x < s.right - w.left - 1; x += 4) {
        const COLORREF c = Shown(tabs, x, s.top - w.top + 2);
        EXPECT_NE(c, TabBody(1)) << x;
        EXPECT_NE(c, TabEdge(1)) << x;
    }
    EXPECT_EQ(Shown(tabs, s.left - w.left + 2, s.top - w.top + 2), own);
    // ... drawn from the skin's horizontal up-down halves.
    ASSERT_TRUE(data.UpDownHorz);
    bool skinned = false;
    for (int f = 1; f <= 8; ++f)
        skinned |= own == FramePixel(data.UpDownHorz->Image, f, 8, 2, 2);
    EXPECT_TRUE(skinned) << std::hex << own;
    // Left of the scroller the strip is the skin's.
    RECT first;
    SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(Shown(tabs, first.left + 3, first.top + 2), TabEdge(2));
    skin.Detach();
}

TEST_F(ListSkinTest, TheExamPaperPageControlAndATabSetAreDrawnFromTheSkin)
{
    TForm* form = Form();
    auto* pages = Control<TPageControl>(form, 0, 0, 300, 200);
    for (const char* caption : {"试题练习", "错题"}) {
        auto* sheet = TComponent::Make<TTabSheet>(form);
        sheet->SetParent(pages);
        sheet->SetCaption(caption);
    }
    auto* tabSet = Control<TTabSet>(form, 0, 220, 300, 24);
    // The second tab is too wide: the third, shorter, takes its place.
    tabSet->SetTabs({"One", std::string(60, 'W'), "Two"});
    tabSet->SetTabIndex(2);
    auto& skin = Skin(form);
    ASSERT_TRUE(dynamic_cast<TSkinTab*>(skin.FindControlByHandle(pages->Handle())));
    ASSERT_TRUE(dynamic_cast<TSkinTab31*>(skin.FindControlByHandle(tabSet->Handle())));

    RECT r;
    SendMessageA(pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(Seen(pages->Handle(), r.left + 3, r.top + 2), TabEdge(2));
    SendMessageA(pages->Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(Shown(pages->Handle(), r.left + 3, r.top + 2), TabEdge(1));
    // Choosing the second page selects its tab.
    pages->SetActivePage(pages->Pages(1));
    SendMessageA(pages->Handle(), TCM_SETCURFOCUS, 1, 0);
    EXPECT_EQ(Seen(pages->Handle(), r.left + 3, r.top + 2), TabEdge(2));

    // The tab set hangs its tabs from the top: flipped, their edge at the bottom.
    HWND set = tabSet->Handle();
    const int start = tabSet->StartMargin();
    EXPECT_EQ(Seen(set, start + 2, 23 - 1), TabEdge(1));
    EXPECT_EQ(Shown(set, start + 2, 2), TabBody(1));
    HDC dc = GetDC(set);
    SelectObject(dc, tabSet->Font().Handle());
    SIZE one;
    GetTextExtentPoint32A(dc, "One", 3, &one);
    ReleaseDC(set, dc);
    const int second = start + one.cx + TTabSet::kTabPadding;
    EXPECT_EQ(Shown(set, second + 2, 2), TabBody(2));  // "Two", the selected one
    EXPECT_EQ(Shown(set, second + 2, 23 - 1), TabEdge(2));
    skin.Detach();
}

TEST_F(ListSkinTest, TabsWithoutABorderDrawTheirStripAndATabSetTakesAChangedSkinsTabs)
{
    // [Tabs] with an image but no border: the strip is drawn, only the page goes unframed.
    HWND parent = Parent();
    HWND tabs = MakeTabs(parent, 0, 10, 10, 230, 150, 2, "Tab");
    const COLORREF band = static_cast<COLORREF>(data.Tabs->Image2.Canvas().Pixel(10, 1));
    data.Tabs->Image2.SetSize(0, 0);
    auto& bare = SkinWindow(&owner, parent, data);
    ASSERT_TRUE(dynamic_cast<TSkinTab*>(bare.FindControlByHandle(tabs)));
    RECT first, second;
    SendMessageA(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    EXPECT_EQ(Seen(tabs, first.left + 3, first.top + 2), TabEdge(2));
    EXPECT_EQ(Shown(tabs, second.left + 3, second.bottom - 2), TabBody(1));
    RECT page{0, 0, 230, 150};
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    InflateRect(&page, 4, 4);
    EXPECT_NE(Shown(tabs, (page.left + page.right) / 2, page.top + 1 + 2), band);
    bare.Detach();

    // A tab set re-skinned draws the new skin's tabs, not those it was attached with.
    TForm* form = Form();
    auto* tabSet = Control<TTabSet>(form, 0, 0, 300, 24);
    tabSet->SetTabs({"One", "Two"});
    auto& skin = Skin(form);
    const int at = tabSet->StartMargin() + 2;
    ASSERT_EQ(Seen(tabSet->Handle(), at, 2), TabBody(1));
    const TColor changed = static_cast<TColor>(RGB(9, 99, 199));
    TCanvas& image = data.Tabs->Image.Canvas();
    image.Brush().SetColor(changed);
    image.FillRect(Rect(0, 0, data.Tabs->Image.Width(), data.Tabs->Image.Height()));
    skin.ReSkin();
    EXPECT_EQ(Seen(tabSet->Handle(), at, 2), static_cast<COLORREF>(changed));
    skin.Detach();
}

// A memo of numbered lines whose vertical scroll messages are recorded.
struct TScrolledMemo {
    TMemo* memo;
    std::vector<std::pair<int, int>> scrolls;  // code, position
    std::vector<int> pressed;                  // the skin's pressed part at each
    TSkinScrollBar* skin = nullptr;

    TScrolledMemo(TForm* form, TScrollStyle bars, int lines)
    {
        memo = TComponent::Make<TMemo>(form);
        memo->SetScrollBars(bars);
        memo->SetParent(form);
        memo->SetBounds(20, 20, 260, 220);
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += "Question " + std::to_string(i + 1) + " of the day's paper\r\n";
        memo->SetText(text);
        memo->HookWindowProc([this](TMessage& message, const TWndMethod& next) {
            if (message.Msg == WM_VSCROLL) {
                scrolls.emplace_back(LOWORD(message.WParam), static_cast<short>(HIWORD(message.WParam)));
                pressed.push_back(skin ? skin->PressedPart() : -1);
            }
            next(message);
        });
    }
    int FirstLine() { return static_cast<int>(SendMessageA(memo->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0)); }
};

TEST_F(ListSkinTest, ScrollBarsOfAMemoAreDrawnFromTheSkinWithTheCornerInTheFace)
{
    TForm* form = Form();
    TScrolledMemo m(form, TScrollStyle::ssBoth, 100);
    auto& skin = Skin(form);
    auto* bars = dynamic_cast<TSkinScrollBar*>(skin.FindControlByHandle(m.memo->Handle()));
    ASSERT_TRUE(bars);
    HWND w = m.memo->Handle();
    Seen(w, 0, 0);
    const TRect v = bars->BarRect(SB_VERT), h = bars->BarRect(SB_HORZ), box = bars->SizeBox();
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    ASSERT_EQ(v.Width(), s);
    const TScrollGeometry& g = bars->Geometry(SB_VERT);
    EXPECT_EQ(Shown(w, v.Left + s / 2, v.Top + 2), Arrow(9));
    EXPECT_EQ(Shown(w, v.Left + s / 2, v.Bottom - 2), Arrow(13));
    EXPECT_EQ(Shown(w, v.Left + s / 2, v.Top + s + g.ThumbOffset + g.ThumbSize / 2), VertThumb(1));
    EXPECT_EQ(Shown(w, v.Left + s / 2, v.Bottom - s - 2), VertTrack());
    EXPECT_EQ(Shown(w, h.Left + 2, h.Top + s / 2), Arrow(1));
    EXPECT_EQ(Shown(w, h.Right - 2, h.Top + s / 2), Arrow(5));
    EXPECT_EQ(Shown(w, box.Left + s / 2, box.Top + s / 2), static_cast<COLORREF>(ColorToRGB(data.Colours.ButtonFace)));

    // With the bars on the left the vertical one and the corner move there.
    SetWindowLongA(w, GWL_EXSTYLE, GetWindowLongA(w, GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
    SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    Seen(w, 0, 0);
    const TRect lv = bars->BarRect(SB_VERT), lh = bars->BarRect(SB_HORZ), lbox = bars->SizeBox();
    const int b = v.Top;
    EXPECT_EQ(lv.Left, b);
    EXPECT_EQ(lbox.Left, b);
    EXPECT_EQ(lh.Left, b + s);
    EXPECT_EQ(lh.Right, h.Right + s);
    EXPECT_EQ(Shown(w, lv.Left + s / 2, lv.Top + 2), Arrow(9));

    // Printed (a parent's WM_PRINT, AnimateWindow's picture): the bars as on screen, outside the
    // client clip the memo leaves on the DC, and the DC's stretch mode given back.
    RECT r;
    GetWindowRect(w, &r);
    TBitmap printed(r.right - r.left, r.bottom - r.top);
    HDC dc = printed.Canvas().Handle();
    SetStretchBltMode(dc, HALFTONE);
    SendMessageA(w, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(GetStretchBltMode(dc), HALFTONE);
    EXPECT_EQ(GetPixel(dc, lv.Left + s / 2, lv.Top + 2), Arrow(9));
    EXPECT_EQ(GetPixel(dc, lv.Left + s / 2, lv.Bottom - 2), Arrow(13));
    EXPECT_EQ(GetPixel(dc, lh.Right - 2, lh.Top + s / 2), Arrow(5));
    skin.Detach();
}

TEST_F(ListSkinTest, ThumbGeometryKeepsTheThumbInsideItsTrack)
{
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    TScrollGeometry g;
    // A page the size of the range: the thumb fills the track less one pixel.
    ASSERT_TRUE(ComputeThumbGeometry(200, 0, 50, 50, 0, false, g));
    EXPECT_EQ(g.TrackLength, 200 - 2 * s);
    EXPECT_EQ(g.ThumbSize, g.TrackLength - 1);
    EXPECT_EQ(g.ThumbOffset, 0);
    // A scroll bar control counts its maximum too.
    ASSERT_TRUE(ComputeThumbGeometry(200, 0, 49, 50, 0, true, g));
    EXPECT_EQ(g.ThumbSize, g.TrackLength - 1);
    // A page larger than the range: the thumb at the start of the track, not before it.
    ASSERT_TRUE(ComputeThumbGeometry(200, 0, 50, 80, 30, false, g));
    EXPECT_EQ(g.ThumbSize, g.TrackLength);
    EXPECT_EQ(g.ThumbOffset, 0);
    // At the end of a paged range the thumb ends at the track's end.
    ASSERT_TRUE(ComputeThumbGeometry(200, 0, 100, 10, 90, false, g));
    EXPECT_EQ(g.ThumbOffset + g.ThumbSize, g.TrackLength);
    // An empty range keeps the geometry as it was.
    const TScrollGeometry before = g;
    EXPECT_FALSE(ComputeThumbGeometry(200, 5, 5, 0, 5, false, g));
    EXPECT_EQ(g.ThumbOffset, before.ThumbOffset);
    EXPECT_EQ(g.ThumbSize, before.ThumbSize);
    // No page: the platform's thumb size; a tiny page: at least 8 pixels.
    ASSERT_TRUE(ComputeThumbGeometry(200, 0, 100, 0, 0, false, g));
    EXPECT_EQ(g.ThumbSize, GetSystemMetrics(SM_CXHTHUMB));
    ASSERT_TRUE(ComputeThumbGeometry(200, 0, 100000, 1, 0, false, g));
    EXPECT_EQ(g.ThumbSize, 8);
}

TEST_F(ListSkinTest, ARealThumbDragReportsTheTrackAndMovesTheMemoAndArrowsAndPagesMoveItToo)
{
    TForm* form = Form();
    TScrolledMemo m(form, TScrollStyle::ssVertical, 200);
    auto& skin = Skin(form);
    auto* bars = dynamic_cast<TSkinScrollBar*>(skin.FindControlByHandle(m.memo->Handle()));
    ASSERT_TRUE(bars);
    m.skin = bars;
    HWND w = m.memo->Handle();
    Seen(w, 0, 0);
    const TRect v = bars->BarRect(SB_VERT);
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    const int x = v.Left + s / 2;
    auto thumbMiddle = [&] {
        const TScrollGeometry& g = bars->Geometry(SB_VERT);
        return v.Top + s + g.ThumbOffset + g.ThumbSize / 2;
    };
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(w, SB_VERT, &info);
    ASSERT_GT(info.nMax, static_cast<int>(info.nPage));

    // A press and release without moving: the unchanged position, then the end.
    TInput input;
    input.MoveTo(w, x, thumbMiddle()).Down().Up().Run();
    ASSERT_EQ(m.scrolls.size(), 2u);
    EXPECT_EQ(m.scrolls[0], std::make_pair(static_cast<int>(SB_THUMBPOSITION), 0));
    EXPECT_EQ(m.scrolls[1].first, SB_ENDSCROLL);
    m.scrolls.clear();
    m.pressed.clear();

    // A drag a third of the way down: track positions rising, the last one reported again,
    // the end; the memo shows the line the thumb stands for.
    const int y0 = thumbMiddle();
    // (One gesture: the drag's loop holds this thread until the release.)
    input.MoveTo(w, x, y0).Down().MoveTo(w, x, y0 + 20).MoveTo(w, x, y0 + 45).MoveTo(w, x, y0 + 70).Up().Run();
    std::string sequence;
    for (const auto& [code, position] : m.scrolls)
        sequence.append(" ").append(std::to_string(code)).append(":").append(std::to_string(position));
    SCOPED_TRACE(sequence);
    ASSERT_GE(m.scrolls.size(), 4u);
    int previous = 0;
    size_t tracks = 0;
    for (; tracks < m.scrolls.size() && m.scrolls[tracks].first == SB_THUMBTRACK; ++tracks) {
        EXPECT_GE(m.scrolls[tracks].second, previous);
        EXPECT_EQ(m.pressed[tracks], spVertThumb);  // the thumb shows pressed while held
        previous = m.scrolls[tracks].second;
    }
    ASSERT_GE(tracks, 2u);
    EXPECT_GT(previous, m.scrolls[0].second);
    ASSERT_EQ(m.scrolls.size(), tracks + 2);
    EXPECT_EQ(m.scrolls[tracks], std::make_pair(static_cast<int>(SB_THUMBPOSITION), previous));
    EXPECT_EQ(m.scrolls[tracks + 1].first, SB_ENDSCROLL);
    EXPECT_EQ(m.FirstLine(), previous);
    EXPECT_EQ(bars->PressedPart(), spNone);
    EXPECT_EQ(Seen(w, x, thumbMiddle()), VertThumb(1));
    m.scrolls.clear();
    m.pressed.clear();

    // Dragged past the end: the last position of the paged bar.
    const int y1 = thumbMiddle();
    input.MoveTo(w, x, y1).Down().MoveTo(w, x, y1 + 400).Up().Run();
    GetScrollInfo(w, SB_VERT, &info);
    ASSERT_GE(m.scrolls.size(), 2u);
    EXPECT_EQ(m.scrolls[m.scrolls.size() - 2].second, info.nMax - static_cast<int>(info.nPage) + 1);
    EXPECT_EQ(m.FirstLine(), info.nMax - static_cast<int>(info.nPage) + 1);

    // The up arrow and the track above the thumb: the platform scrolls a line and a page.
    const int end = m.FirstLine();
    input.MoveTo(w, x, v.Top + 3).Click().Run();
    EXPECT_EQ(m.FirstLine(), end - 1);
    input.MoveTo(w, x, v.Top + s + 3).Click().Run();
    EXPECT_LT(m.FirstLine(), end - 1 - 5);
    EXPECT_EQ(Seen(w, x, v.Top + 2), Arrow(9));  // no arrow stays pressed
    skin.Detach();
}

TEST_F(ListSkinTest, AThumbDraggedFarPastTheEndIsDrawnInsideItsTrack)
{
    TForm* form = Form();
    TScrolledMemo m(form, TScrollStyle::ssVertical, 200);
    auto& skin = Skin(form);
    auto* bars = dynamic_cast<TSkinScrollBar*>(skin.FindControlByHandle(m.memo->Handle()));
    ASSERT_TRUE(bars);
    HWND w = m.memo->Handle();
    Seen(w, 0, 0);
    const TRect v = bars->BarRect(SB_VERT);
    const TScrollGeometry g = bars->Geometry(SB_VERT);
    const int x = v.Left + v.Width() / 2, y = v.Top + g.ArrowSize + g.ThumbOffset + g.ThumbSize / 2;
    // The thumb as the skin holds it while each track message is handled.
    std::vector<TScrollGeometry> during;
    m.memo->HookWindowProc([&](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_VSCROLL && LOWORD(message.WParam) == SB_THUMBTRACK)
            during.push_back(bars->Geometry(SB_VERT));
        next(message);
    });
    TInput input;
    input.MoveTo(w, x, y).Down().MoveTo(w, x, 2 * v.Height()).Up().Run();
    ASSERT_FALSE(during.empty());
    for (const TScrollGeometry& held : during)
        EXPECT_LE(held.ThumbOffset + held.ThumbSize, held.TrackLength);
    EXPECT_EQ(during.back().ThumbOffset + during.back().ThumbSize, during.back().TrackLength);
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(w, SB_VERT, &info);
    EXPECT_EQ(m.FirstLine(), info.nMax - static_cast<int>(info.nPage) + 1);
    skin.Detach();
}

TEST_F(ListSkinTest, AListViewsHeaderFillsItsRemainderAndTheListNeverStartsTheSkinsDrag)
{
    TForm* form = Form();
    auto* list = Control<TListView>(form, 10, 10, 400, 200);
    list->AddColumn("题号", 60);
    list->AddColumn("", 60);
    list->AddColumn("得分", 100);
    for (int i = 0; i < 60; ++i)
        list->AddItem("第" + std::to_string(i + 1) + "题");
    HWND header = reinterpret_cast<HWND>(SendMessageA(list->Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    // The empty column has a glyph: nothing of it is drawn. The last one is right-aligned.
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR24, 1, 0);
    {
        TBitmap glyph(16, 16);
        glyph.Canvas().Brush().SetColor(static_cast<TColor>(RGB(250, 1, 1)));
        glyph.Canvas().FillRect(Rect(0, 0, 16, 16));
        ImageList_Add(images, glyph.Handle(), nullptr);
    }
    SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt = HDF_LEFT | HDF_IMAGE;
    item.iImage = 0;
    SendMessageA(header, HDM_SETITEMA, 1, reinterpret_cast<LPARAM>(&item));
    item.mask = HDI_FORMAT;
    item.fmt = HDF_RIGHT | HDF_STRING;
    SendMessageA(header, HDM_SETITEMA, 2, reinterpret_cast<LPARAM>(&item));
    auto& skin = Skin(form);
    auto* listSkin = dynamic_cast<TSkinListView*>(skin.FindControlByHandle(list->Handle()));
    ASSERT_TRUE(listSkin && listSkin->Header());

    RECT h;
    GetClientRect(header, &h);
    Seen(list->Handle(), 0, 0);
    // Every item and the remainder right of the last one have the skin's face.
    EXPECT_EQ(Shown(header, 2, 2), HeaderFace());
    EXPECT_EQ(Shown(header, 300, 2), HeaderFace());
    EXPECT_EQ(Shown(header, h.right - 2, h.bottom / 2), HeaderFace());
    for (int x = 61; x < 120; ++x)
        for (int y = 1; y < h.bottom - 1; ++y)
            ASSERT_EQ(Shown(header, x, y), HeaderFace()) << x << "," << y;
    // The right-aligned caption is drawn, in its colour, in the right half of its column.
    const auto text = static_cast<COLORREF>(ColorToRGB(data.Headerbar->NormalColour2));
    int leftmost = 1000, inText = 0;
    for (int x = 121; x < 220; ++x)
        for (int y = 1; y < h.bottom - 1; ++y) {
            const COLORREF c = Shown(header, x, y);
            if (c != HeaderFace())
                leftmost = std::min(leftmost, x);
            inText += c == text;
        }
    EXPECT_GT(leftmost, 170);
    EXPECT_LT(leftmost, 220) << "no caption";
    EXPECT_GT(inText, 0);

    // A press on the list view's thumb is the platform's: the skin passes it on.
    const TRect v = listSkin->BarRect(SB_VERT);
    ASSERT_GT(v.Height(), 0);
    RECT wr;
    GetWindowRect(list->Handle(), &wr);
    const TScrollGeometry& g = listSkin->Geometry(SB_VERT);
    const int y = v.Top + g.ArrowSize + g.ThumbOffset + g.ThumbSize / 2;
    TMessage press{WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(wr.left + v.Left + 4, wr.top + y), 0};
    EXPECT_TRUE(listSkin->BeforeMessage(press));
    EXPECT_EQ(listSkin->PressedPart(), spNone);
    skin.Detach();
    ImageList_Destroy(images);
}

TEST_F(ListSkinTest, ABareSizeGripShowsNothingOfItsOwn)
{
    HWND parent = Parent();
    HWND grip = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 100, 100, 40, 40, parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    // What the parent paints just beside the grip; the parent does not clip its children.
    SetWindowLongA(parent, GWL_STYLE, GetWindowLongA(parent, GWL_STYLE) & ~WS_CLIPCHILDREN);
    const auto beside = [&] {
        RedrawWindow(parent, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC dc = GetDC(parent);
        const COLORREF c = GetPixel(dc, 95, 120);
        ReleaseDC(parent, dc);
        return c;
    };
    // Unskinned the grip paints a face of its own there.
    EXPECT_NE(Seen(grip, 20, 20), beside());
    auto& skin = SkinWindow(&owner, parent, data);
    ASSERT_TRUE(dynamic_cast<TSkinSizer*>(skin.FindControlByHandle(grip)));
    // Skinned, only what the parent painted under it shows.
    const COLORREF parentColour = beside();
    for (int xy = 2; xy < 40; xy += 6)
        EXPECT_EQ(Seen(grip, xy, xy), parentColour) << xy;
    // The swallowed paint is validated: no paint waits.
    InvalidateRect(grip, nullptr, TRUE);
    UpdateWindow(grip);
    EXPECT_FALSE(GetUpdateRect(grip, nullptr, FALSE));
    skin.Detach();
}

TEST_F(ListSkinTest, APressedThumbOfOneFrameShowsThatFrame)
{
    TDataSkinObject& thumb = *data.VertScrollThumb;
    thumb.Image.SetSize(20, 20);
    thumb.Image.Canvas().Brush().SetColor(static_cast<TColor>(RGB(30, 160, 90)));
    thumb.Image.Canvas().FillRect(Rect(0, 0, 20, 20));
    thumb.FrameCount = 1;
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    TBitmap bar(s, 200);
    const TScrollGeometry geometry{s, 200 - 2 * s, 40, 20};
    DrawScrollBarImage(data, bar.Canvas().Handle(), Rect(0, 0, s, 200), true, geometry, spVertThumb, true);
    EXPECT_EQ(GetPixel(bar.Canvas().Handle(), s / 2, s + 40), RGB(30, 160, 90));
}

TEST_F(ListSkinTest, AStandAloneScrollBarIsOneSkinnedBarThatFollowsItsClicks)
{
    TForm* form = Form();
    auto* bar = Control<TScrollBar>(form, 20, 20, 300, GetSystemMetrics(SM_CYHSCROLL));
    bar->SetParams(0, 0, 100, 10);
    auto& skin = Skin(form);
    auto* barSkin = dynamic_cast<TSkinScControl*>(skin.FindControlByHandle(bar->Handle()));
    ASSERT_TRUE(barSkin);
    HWND w = bar->Handle();
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    const int y = GetSystemMetrics(SM_CYHSCROLL) / 2;
    EXPECT_EQ(Seen(w, s + 2, y), HorzThumb(1));
    EXPECT_EQ(Shown(w, 2, y), Arrow(1));
    EXPECT_EQ(Shown(w, 300 - 2, y), Arrow(5));
    EXPECT_EQ(Shown(w, 300 - s - 1, y), HorzTrack());

    // A real click on the right arrow moves the bar by one; the thumb follows.
    TInput input;
    input.MoveTo(w, 300 - 4, y).Click().Run();
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_EQ(barSkin->PressedPart(), spNone);
    const TScrollGeometry& g = barSkin->Geometry();
    EXPECT_GT(g.ThumbOffset, 0);
    EXPECT_EQ(Seen(w, s + g.ThumbOffset + g.ThumbSize / 2, y), HorzThumb(1));
    EXPECT_EQ(Shown(w, s + 1, y), HorzTrack());

    // A page of the whole range: the thumb fills the track less one pixel.
    bar->SetParams(0, 0, 49, 50);
    EXPECT_EQ(Seen(w, s + 2, y), HorzThumb(1));
    EXPECT_EQ(barSkin->Geometry().ThumbSize, barSkin->Geometry().TrackLength - 1);
    EXPECT_EQ(barSkin->Geometry().ThumbOffset, 0);
    skin.Detach();
}

TEST_F(ListSkinTest, SkinningOnAndOffRepeatedLeavesNoSkinAndNoMemoryBehind)
{
    TForm* form = Form();
    auto* pages = Control<TPageControl>(form, 0, 0, 200, 120);
    auto* sheet = TComponent::Make<TTabSheet>(form);
    sheet->SetParent(pages);
    sheet->SetCaption("试题练习");
    auto* tabSet = Control<TTabSet>(form, 0, 130, 200, 22);
    tabSet->SetTabs({"One", "Two"});
    auto* bar = Control<TScrollBar>(form, 0, 160, 200, 17);
    auto* list = Control<TListView>(form, 210, 0, 200, 120);
    list->AddColumn("题号", 60);
    TScrolledMemo m(form, TScrollStyle::ssBoth, 50);
    m.memo->SetBounds(210, 130, 200, 120);
    form->Show();
    TWinControl* controls[] = {pages, tabSet, bar, list, m.memo};
    const int rounds = 3 * SoakCycles() / 2;
    TUsage before{};
    for (int i = 0; i < rounds; ++i) {
        if (i == 30)
            before = Usage();  // once every cache has grown to its size
        auto& skin = AttachSkin(form, form->Handle(), data, form);
        ASSERT_EQ(skin.Controls().size(), 6u) << i;
        RedrawWindow(form->Handle(), nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        skin.Detach();
        TComponent::Free(&skin);
        for (TWinControl* control : controls)
            ASSERT_EQ(control->ComponentCount(), 0) << control->ClassName() << " " << i;
    }
    ExpectNoGrowth("Skinning the tabs, scroll bars and list view on and off", before, Usage());
    // The controls draw themselves again.
    RECT r;
    SendMessageA(pages->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_NE(Seen(pages->Handle(), r.left + 3, r.top + 2), TabEdge(2));
}

}  // namespace
