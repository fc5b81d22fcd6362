// The scroll-bar skin: the window scroll bars of a scrolling control painted from the skin over
// the platform's own after every message that changes them, and the thumb dragged by a loop of
// the skin's own. The platform keeps computing the bars and handles arrow and page clicks.
#include <algorithm>

#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "WinSubClassScroll.h"

namespace {

// The bars are composed this thick and stretched onto the screen.
constexpr int kComposedThickness = 16;

}  // namespace

bool ComputeThumbGeometry(int length, int min, int max, int page, int pos, bool inclusiveMax,
                          TScrollGeometry& geometry)
{
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    const int smallest = (WinVersion & 0x80000000) ? s / 2 : 8;
    const int track = length - 2 * s;
    const long long wide = static_cast<long long>(max) - min + (inclusiveMax ? 1 : 0);
    if (wide <= 0)
        return false;
    const int range = static_cast<int>(std::min<long long>(wide, INT_MAX));
    int thumb = page != 0 ? std::max(MulDiv(page, track, range), smallest) : GetSystemMetrics(SM_CXHTHUMB);
    if (thumb >= track)
        thumb = track;
    int offset = 0;
    if (page == range)
        thumb -= 1;
    else if (page < range)
        offset = MulDiv(pos - min, track - thumb, range - page);
    // A page larger than the range leaves the thumb at the start, not before the track.
    geometry.ArrowSize = s;
    geometry.TrackLength = track;
    geometry.ThumbSize = thumb;
    geometry.ThumbOffset = std::max(0, std::min(offset, track - thumb));
    return true;
}

TScrollPart PressedScrollPart(int scrollCode, bool horizontal)
{
    switch (scrollCode) {
    case SB_LINEUP: return horizontal ? spLeftArrow : spUpArrow;
    case SB_LINEDOWN: return horizontal ? spRightArrow : spDownArrow;
    case SB_THUMBTRACK: return horizontal ? spHorzThumb : spVertThumb;
    default: return spNone;
    }
}

void DrawScrollBarImage(TSkinData& data, HDC dc, const TRect& bar, bool vertical, const TScrollGeometry& geometry,
                        TScrollPart pressedPart, bool ownTrackTile)
{
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    const int length = vertical ? bar.Height() : bar.Width();
    if (length <= 0 || bar.Width() <= 0 || bar.Height() <= 0 || !data.Scrollbar)
        return;
    // Rectangles along the bar, from..to, across the whole composed thickness.
    const auto along = [vertical](int from, int to) {
        return vertical ? Rect(0, from, kComposedThickness, to) : Rect(from, 0, to, kComposedThickness);
    };
    TBitmap bitmap(vertical ? kComposedThickness : length, vertical ? length : kComposedThickness);
    HDC work = bitmap.Canvas().Handle();
    SetStretchBltMode(work, COLORONCOLOR);
    {
        UniqueBrush ground(CreateSolidBrush(ColorToRGB(data.Colours.Scrollbar)));
        const RECT all{0, 0, bitmap.Width(), bitmap.Height()};
        FillRect(work, &all, ground.get());
    }
    if (TDataSkinObject* track = (vertical ? data.VertScroll : data.HorzScroll).get(); track && !track->Image.Empty()) {
        const int tile = ownTrackTile || !data.HorzScroll ? track->Tile : data.HorzScroll->Tile;
        DrawSkinImage(work, along(s, length - s), track->Image,
                      Rect(track->LeftWidth, track->TopHeight, track->RightWidth, track->BottomHeight), 1,
                      track->FrameCount, track->Trans != 0, tile != 0, false);
    }
    const int a = length < 2 * s ? length / 2 : s;
    const int first = vertical ? (pressedPart == spUpArrow ? 10 : 9) : (pressedPart == spLeftArrow ? 2 : 1);
    const int second = vertical ? (pressedPart == spDownArrow ? 14 : 13) : (pressedPart == spRightArrow ? 6 : 5);
    TDataSkinObject& arrows = *data.Scrollbar;
    DrawSkinGlyph(work, along(0, a), arrows.Image, first, arrows.FrameCount, true);
    DrawSkinGlyph(work, along(length - a, length), arrows.Image, second, arrows.FrameCount, true);
    TDataSkinObject* thumb = (vertical ? data.VertScrollThumb : data.HorzScrollThumb).get();
    if (thumb && !thumb->Image.Empty() && geometry.ThumbSize > 0 && geometry.TrackLength >= geometry.ThumbSize) {
        const int start = a + geometry.ThumbOffset;
        const bool trans = data.HorzScrollThumb && data.HorzScrollThumb->Trans != 0;
        DrawSkinImage(work, along(start, start + geometry.ThumbSize), thumb->Image,
                      Rect(thumb->LeftWidth, thumb->TopHeight, thumb->RightWidth, thumb->BottomHeight),
                      pressedPart == (vertical ? spVertThumb : spHorzThumb) ? 2 : 1, thumb->FrameCount, trans, false,
                      false);
    }
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, bar.Left, bar.Top, bar.Width(), bar.Height(), work, 0, 0, bitmap.Width(), bitmap.Height(), SRCCOPY);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinScrollBar, TSkinControl)

void TSkinScrollBar::AttachScrollBars(TWinControl* control, TSkinData* skinData, bool handleNCButton,
                                      TWinSkinForm* form, TCanvas* canvas)
{
    FSkinForm = form;
    FSkinData = skinData;
    FCanvas = canvas;
    FControl = control;
    FHandle = control->Handle();
    HookControl(control);
    form->AddControl(this);
    FTracking = FInVScroll = FInHScroll = false;
    FBars[SB_HORZ].Info.cbSize = FBars[SB_VERT].Info.cbSize = sizeof(SCROLLINFO);
    FHandleNCButton = handleNCButton;
    FAttached = true;
    FSkinState = cssAttached;
    // The frame is worked out again, through the skin.
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

bool TSkinScrollBar::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_NCCALCSIZE:
        CallOldProc(message);
        return false;
    case WM_NCMOUSEMOVE:
        // The platform's bars would follow the mouse over the skin's.
        return message.WParam != HTHSCROLL && message.WParam != HTVSCROLL;
    case WM_NCLBUTTONDOWN:
        return !FHandleNCButton || !NCButtonDown(message);
    case WM_PRINT:
        // The bars lie outside the client clip a memo leaves on the DC.
        if (PrintItself(message))
            PaintControl(reinterpret_cast<HDC>(message.WParam));
        return false;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        const bool horizontal = message.Msg == WM_HSCROLL;
        FPressedPart = PressedScrollPart(LOWORD(message.WParam), horizontal);
        bool& inScroll = horizontal ? FInHScroll : FInVScroll;
        inScroll = true;
        auto alive = Alive();
        const bool stays = CallOldProc(message);
        if (!stays || !*alive)
            return false;
        inScroll = false;
        PaintControl(nullptr);
        return false;
    }
    default:
        return TSkinControl::BeforeMessage(message);
    }
}

void TSkinScrollBar::AfterMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_NCPAINT:
        PaintControl(nullptr);
        break;
    default:
        TSkinControl::AfterMessage(message);
        break;
    }
}

void TSkinScrollBar::ComputeBars(const TRect& r)
{
    RECT client;
    GetClientRect(FHandle, &client);
    const int s = GetSystemMetrics(SM_CXHSCROLL);
    const int w = r.Width(), h = r.Height();
    const bool horz = FStyle & WS_HSCROLL, vert = FStyle & WS_VSCROLL;
    const int b = vert ? (w - client.right - s) / 2 : horz ? (h - client.bottom - s) / 2 : GetSystemMetrics(SM_CXEDGE);
    FBars[SB_HORZ].Geometry.ArrowSize = FBars[SB_VERT].Geometry.ArrowSize = s;
    const bool left = FExStyle & WS_EX_LEFTSCROLLBAR;
    if (horz && vert) {
        FBars[SB_HORZ].Rect = left ? Rect(b + s, h - b - s, w - b, h - b) : Rect(b, h - b - s, w - b - s, h - b);
        FBars[SB_VERT].Rect = left ? Rect(b, b, b + s, h - b - s) : Rect(w - b - s, b, w - b, h - b - s);
        FSizeBox = left ? Rect(b, h - b - s, b + s, h - b) : Rect(w - b - s, h - b - s, w - b, h - b);
    } else if (horz) {
        FBars[SB_HORZ].Rect = Rect(b, h - b - s, w - b, h - b);
    } else if (vert) {
        FBars[SB_VERT].Rect = left ? Rect(b, b, b + s, h - b) : Rect(w - b - s, b, w - b, h - b);
    }
}

void TSkinScrollBar::ComputeThumb(int bar)
{
    if (FTracking)
        return;  // the drag owns the thumb
    TBar& b = FBars[bar];
    b.Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(FHandle, bar, &b.Info);
    const int length = bar == SB_VERT ? b.Rect.Height() : b.Rect.Width();
    ComputeThumbGeometry(length, b.Info.nMin, b.Info.nMax, static_cast<int>(b.Info.nPage), b.Info.nPos, false,
                         b.Geometry);
}

void TSkinScrollBar::DrawControl(HDC dc, const TRect& rect)
{
    if (!FSkinData->Scrollbar || FSkinData->Scrollbar->Image.Empty())
        return;
    FStyle = GetWindowLongA(FHandle, GWL_STYLE);
    FExStyle = GetWindowLongA(FHandle, GWL_EXSTYLE);
    if (FInVScroll)
        FStyle |= WS_VSCROLL;
    if (FInHScroll)
        FStyle |= WS_HSCROLL;
    const bool horz = FStyle & WS_HSCROLL, vert = FStyle & WS_VSCROLL;
    if (!horz && !vert)
        return;
    ComputeBars(rect);
    const auto present = [](const TRect& r) { return r.Width() > 0 && r.Height() > 0; };
    if (horz && present(FBars[SB_HORZ].Rect))
        DrawBar(dc, SB_HORZ);
    if (vert && present(FBars[SB_VERT].Rect))
        DrawBar(dc, SB_VERT);
    if (horz && vert && present(FSizeBox))
        FillFace(dc, FSizeBox);
}

void TSkinScrollBar::DrawBar(HDC dc, int bar)
{
    const bool vertical = bar == SB_VERT;
    if (vertical ? FInVScroll : FInHScroll)
        return;  // the platform is painting it
    const TRect& r = FBars[bar].Rect;
    const int length = vertical ? r.Height() : r.Width();
    if (length > 10000)
        return;
    ComputeThumb(bar);
    DrawScrollBarImage(*FSkinData, dc, r, vertical, FBars[bar].Geometry, FPressedPart, false);
}

int TSkinScrollBar::HitTest(int p, int bar) const
{
    const TScrollGeometry& g = FBars[bar].Geometry;
    const int a = g.ArrowSize;
    if (p < a)
        return SB_LINEUP;
    if (p < a + g.ThumbOffset)
        return SB_PAGEUP;
    if (p < a + g.ThumbOffset + g.ThumbSize)
        return SB_THUMBTRACK;
    if (p < a + g.TrackLength)
        return SB_PAGEDOWN;
    if (p < 2 * a + g.TrackLength)
        return SB_LINEDOWN;
    return -1;
}

bool TSkinScrollBar::NCButtonDown(const TMessage& message)
{
    if (message.WParam != HTHSCROLL && message.WParam != HTVSCROLL)
        return false;
    POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
    ScreenToClient(FHandle, &p);
    const int bar = message.WParam == HTHSCROLL ? SB_HORZ : SB_VERT;
    if (HitTest(bar == SB_HORZ ? p.x : p.y, bar) != SB_THUMBTRACK)
        return false;  // the platform's own scroll messages set the pressed part
    FPressedPart = PressedScrollPart(SB_THUMBTRACK, bar == SB_HORZ);
    PaintControl(nullptr);
    TrackThumb(bar, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL);
    return true;
}

void TSkinScrollBar::TrackThumb(int bar, UINT scrollMessage)
{
    const HWND window = FHandle;
    auto alive = Alive();
    FTracking = true;
    POINT start;
    GetCursorPos(&start);
    const int startOffset = FBars[bar].Geometry.ThumbOffset;
    int last = FBars[bar].Info.nPos;
    // Captured, so that a release outside the program's windows ends the drag too.
    SetCapture(window);
    while (*alive && FTracking) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            WaitMessage();  // wakes with the next mouse move: no delay, and no core spinning
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_NCLBUTTONUP) {
            FTracking = false;
            SendMessageA(window, scrollMessage, MAKEWPARAM(SB_THUMBPOSITION, last), 0);
            PostMessageA(window, scrollMessage, SB_ENDSCROLL, 0);
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (!*alive || !IsWindow(window))
            break;
        if (msg.message != WM_MOUSEMOVE && msg.message != WM_NCMOUSEMOVE)
            continue;
        TBar& b = FBars[bar];
        const TScrollGeometry& g = b.Geometry;
        POINT now;
        GetCursorPos(&now);
        int offset = std::max(0, startOffset + static_cast<int>(bar == SB_HORZ ? now.x - start.x : now.y - start.y));
        const int page = static_cast<int>(b.Info.nPage);
        int pos;
        if (page != 0) {
            offset = std::min(offset, g.TrackLength);
            pos = b.Info.nMin + MulDiv(offset, b.Info.nMax - b.Info.nMin, g.TrackLength);
            if (static_cast<long long>(pos) >= static_cast<long long>(b.Info.nMax) - page)
                pos = b.Info.nMax - page + 1;
        } else {
            offset = std::min(offset, g.TrackLength - g.ThumbSize);
            pos = b.Info.nMin + MulDiv(offset, b.Info.nMax - b.Info.nMin, g.TrackLength - g.ThumbSize);
            pos = std::min(pos, b.Info.nMax);
        }
        pos = std::max(pos, b.Info.nMin);
        if (pos == last)
            continue;
        b.Info.fMask = SIF_POS;
        b.Info.nPos = b.Info.nTrackPos = pos;
        // The thumb is drawn inside its track however far the mouse goes.
        b.Geometry.ThumbOffset = std::max(0, std::min(offset, g.TrackLength - g.ThumbSize));
        SetScrollInfo(window, bar, &b.Info, FALSE);
        SendMessageA(window, scrollMessage, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(pos)), 0);
        last = pos;
    }
    if (*alive)
        FTracking = false;
    if (GetCapture() == window)
        ReleaseCapture();
}
