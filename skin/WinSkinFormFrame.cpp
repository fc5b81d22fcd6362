// The skinned frame: the client area inside it, its painting (frame, caption band with text
// and buttons) and the window region cut from the frame images' key colour.
#include <algorithm>
#include <optional>

#include "ExtCtrls.h"
#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"
#include "WinSubClassButtons.h"

namespace {

TRect Margins(const TDataSkinObject& element)
{
    return Rect(element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight);
}

// Sends one print message with the DC as it is now, and puts back whatever the handler leaves on it.
void SendPrint(HWND window, UINT message, HDC dc, LPARAM flags)
{
    const SavedDC saved(dc);
    SendMessageA(window, message, reinterpret_cast<WPARAM>(dc), flags);
}

// Prints the visible children of parent into dc, whose origin lies at parent's client origin:
// the lowest in the Z order first, each at its place. A child is asked for itself alone and its
// own children are printed here, so that every child is printed once, whether the platform's
// default printing draws children (Windows) or not (Wine). A DC means nothing to another
// process: its windows are left out.
void PrintChildren(HWND parent, HDC dc, LPARAM flags)
{
    HWND top = GetWindow(parent, GW_CHILD);
    for (HWND child = top ? GetWindow(top, GW_HWNDLAST) : nullptr; child; child = GetWindow(child, GW_HWNDPREV)) {
        DWORD process = 0;
        GetWindowThreadProcessId(child, &process);
        RECT window, client;
        if (process != GetCurrentProcessId() || !(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) ||
            !GetWindowRect(child, &window) || !GetClientRect(child, &client))
            continue;
        POINT place{window.left, window.top}, inside{0, 0};
        ScreenToClient(parent, &place);
        ClientToScreen(child, &inside);
        const SavedDC saved(dc);
        OffsetViewportOrgEx(dc, place.x, place.y, nullptr);
        IntersectClipRect(dc, 0, 0, window.right - window.left, window.bottom - window.top);
        SendPrint(child, WM_PRINT, dc, flags & ~PRF_CHILDREN);
        OffsetViewportOrgEx(dc, inside.x - window.left, inside.y - window.top, nullptr);
        IntersectClipRect(dc, 0, 0, client.right, client.bottom);
        PrintChildren(child, dc, flags);
    }
}

}  // namespace

void TWinSkinForm::WMNCCalcSize(TMessage& message)
{
    // The proposed window rectangle, before the window's own procedure makes it its client
    // area. The WINDOWPOS beside it holds what SetWindowPos was given, which is zeros where
    // the call keeps the place or the size (a frame refresh, SetMenu, SetWindowRgn).
    RECT proposed{};
    if (message.WParam)
        proposed = reinterpret_cast<const NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0];
    if (!CallOldProc(message))
        return;
    if (!message.WParam) {
        message.Result = 0;
        return;
    }
    auto& params = *reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam);
    if (!IsMDIChildNotNormal() && FBorderKind != bkPopup)
        params.rgrc[0] = RECT{proposed.left + FFrameLeft, proposed.top + FFrameTop + FMenuHeight,
                              proposed.right - FFrameRight, proposed.bottom - FFrameBottom};
    params.rgrc[1] = params.rgrc[0];
    message.Result = WVR_VALIDRECTS;
}

void TWinSkinForm::WMNCPaint(TMessage& message)
{
    if (!FSkinData->FFramePainting) {
        message.Result = 0;
        return;
    }
    if (IsMDIChildNotNormal() || FBorderKind == bkPopup) {
        CallOldProc(message);
        return;
    }
    // The update region passes to the system with the DC; without a DC the painter takes the
    // whole window's.
    HDC dc = GetDCEx(FHandle, reinterpret_cast<HRGN>(message.WParam), DCX_WINDOW | DCX_INTERSECTRGN);
    const WindowDC release(FHandle, dc);
    PaintNonClient(dc);
    message.Result = 0;
}

void TWinSkinForm::WMNCActivate(TMessage& message)
{
    FActive = message.WParam != 0;
    FTimer->SetEnabled(FActive);
    if (!FActive)
        SendMouseLeave(FHotTrack.TakeButton());
    if (!IsMDIChildNotNormal())
        PaintNonClient(nullptr);
    // Not passed on: the native caption is never drawn.
    message.Result = TRUE;
}

// A picture of the window as the screen shows it (AnimateWindow takes one): the skinned frame,
// then the client area and the children at the client's place, inside the window's region.
void TWinSkinForm::WMPrint(TMessage& message)
{
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    const LPARAM flags = message.LParam;
    // The handlers printed into may detach this skin: from there on only the window is used.
    HWND self = FHandle;
    message.Result = 0;
    RECT window;
    if (!dc || ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(self)) || !GetWindowRect(self, &window))
        return;
    const SavedDC saved(dc);
    if (UniqueRegion shape(CreateRectRgn(0, 0, 0, 0)); GetWindowRgn(self, shape.get()) != ERROR) {
        // The region is the window's; the DC clips in device units, from where the window's
        // corner lands.
        POINT corner{0, 0};
        LPtoDP(dc, &corner, 1);
        OffsetRgn(shape.get(), corner.x, corner.y);
        if (UniqueRegion current(CreateRectRgn(0, 0, 0, 0)); GetClipRgn(dc, current.get()) == 1)
            CombineRgn(shape.get(), shape.get(), current.get(), RGN_AND);
        SelectClipRgn(dc, shape.get());
    }
    if ((flags & PRF_NONCLIENT) && FBorderKind != bkPopup) {
        PaintNonClient(dc);
    } else if (flags & PRF_NONCLIENT) {
        // The native frame such a window keeps.
        const SavedDC frame(dc);
        TMessage native{WM_PRINT, message.WParam, PRF_NONCLIENT, 0};
        if (!CallOldProc(native))
            return;
    }
    POINT origin{0, 0};
    RECT client;
    if (!(flags & (PRF_ERASEBKGND | PRF_CLIENT | PRF_CHILDREN)) || !ClientToScreen(self, &origin) ||
        !GetClientRect(self, &client))
        return;
    OffsetViewportOrgEx(dc, origin.x - window.left, origin.y - window.top, nullptr);
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    if (flags & PRF_ERASEBKGND)
        SendPrint(self, WM_ERASEBKGND, dc, 0);
    if (flags & PRF_CLIENT)
        SendPrint(self, WM_PRINTCLIENT, dc, flags);
    if (flags & PRF_CHILDREN)
        PrintChildren(self, dc, flags);
}

void TWinSkinForm::PaintNonClient(HDC dc)
{
    if (!SkinWorkBitmap || (FSkinState != fssSkinned && FSkinState != fssReskinning) ||
        FBorderKind == bkPopup || IsMDIChildNotNormal())
        return;
    std::optional<WindowDC> own;
    if (!dc) {
        own.emplace(FHandle, WindowDC::WholeWindow);
        dc = own->Get();
    }
    try {
        RECT r;
        if (GetWindowRect(FHandle, &r)) {
            FWindowRect = Rect(r.left, r.top, r.right, r.bottom);
            const int w = FWindowRect.Width(), h = FWindowRect.Height();
            FPaintWidth = w;
            DrawFramePart(FSkinData->Left, Rect(0, 0, FFrameLeft, h), dc);
            DrawFramePart(FSkinData->Right, Rect(w - FFrameRight, 0, w, h), dc);
            DrawFramePart(FSkinData->Bottom, Rect(FFrameLeft, h - FFrameBottom, w - FFrameRight, h), dc);
            PaintCaption(dc);
            if (FSkinMenu)
                FSkinMenu->Paint(dc, Rect(FFrameLeft, FFrameTop, w - FFrameRight, FFrameTop + FMenuHeight));
        }
    } catch (const std::exception&) {
        // A frame that cannot be drawn leaves the window as it is; the next paint tries again.
    }
    FHotTrack.ClearObject();
}

void TWinSkinForm::PaintCaption(HDC dc)
{
    const int w = FPaintWidth;
    if (w <= 0 || FFrameTop <= 0)
        return;
    // Composed off-screen on what the window shows now, so that transparent pieces keep it.
    FFrameBitmap.SetSize(w, FFrameTop);
    HDC band = FFrameBitmap.Canvas().Handle();
    BitBlt(band, 0, 0, w, FFrameTop, dc, 0, 0, SRCCOPY);
    ComposeCaption();
    BitBlt(dc, 0, 0, w, FFrameTop, band, 0, 0, SRCCOPY);
}

void TWinSkinForm::ComposeCaption()
{
    TCanvas& band = FFrameBitmap.Canvas();
    const TRect rect = Rect(FFrameLeft, 0, FPaintWidth - FFrameRight, FFrameTop);
    DrawFramePart(FSkinData->Top, rect, band.Handle());
    DrawCaptionText(band, rect);
    LayoutSysButtons();
    DrawSysButtons(band.Handle());
}

void TWinSkinForm::DrawFramePart(TDataSkinBorder& part, const TRect& rect, HDC dc)
{
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0)
        return;
    const int frame = FActive || part.FrameCount == 1 ? 1 : 2;
    // The side images hold their frames side by side, the top and bottom ones stacked.
    const bool vertical = &part == &FSkinData->Top || &part == &FSkinData->Bottom;
    const auto image = StretchSkinFrame(Rect(0, 0, w, h), part.Image, Margins(part), frame,
                                        part.FrameCount, part.Tile != 1, vertical);
    BitBlt(dc, rect.Left, rect.Top, w, h, image->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TWinSkinForm::DrawCaptionText(TCanvas& canvas, const TRect& rect)
{
    TDataSkinTitle& title = FSkinData->Title;
    HDC dc = canvas.Handle();
    const SelectionGuard font(dc, FCaptionFont->Handle());
    const BackgroundModeGuard mode(dc, TRANSPARENT);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(
        FActive ? FSkinData->Colours.TitleTextActive : FSkinData->Colours.TitleTextNoActive)));

    // The extent is measured with one blank more than is drawn.
    const std::string measured = FCaptionPrefix + " " + FCaption;
    RECT extent = WinRect(rect);
    DrawTextA(dc, measured.c_str(), static_cast<int>(measured.size()), &extent, DT_CALCRECT | DT_NOCLIP);
    TRect r = Rect(extent.left, extent.top, extent.right, extent.bottom);
    r.Right += title.TXTBackleft + title.TXTBackRight;

    int dx = 0;
    switch (FRightToLeft ? 2 : title.TextAlignment) {
    case 0: dx = title.LeftWidth; break;  // TextShift
    case 1: dx = (rect.Width() - r.Width()) / 2; break;
    case 2: dx = rect.Width() - title.RightWidth - r.Width(); break;  // TextRightClip
    default: break;
    }
    const int dy = (rect.Height() - r.Height()) / 2 + title.TopHeight / 2;  // TextShiftVert
    r = Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
    if (FStyle & WS_POPUP)
        r.Right = std::max(r.Right, FRightButtonsLeft - 5);
    else
        r.Right = std::min(r.Right, rect.Right - title.RightWidth);
    FTitleTextRect = r;

    if (!title.Image.Empty())
        DrawSkinBar(canvas, Rect(r.Left, rect.Top, r.Right, rect.Bottom),
                    title.Image, Rect(title.TXTBackleft, 0, title.TXTBackRight, 0),
                    FActive ? 1 : 2, 2, true, true);

    const std::string text = FCaptionPrefix + FCaption;
    RECT textRect{r.Left + title.TXTBackleft, r.Top, r.Right - title.TXTBackRight, r.Bottom};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_END_ELLIPSIS | (FRightToLeft ? DT_RIGHT : 0));
}

void TWinSkinForm::BuildRegion()
{
    RECT r;
    if (!GetWindowRect(FHandle, &r))
        return;
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0 || IsMDIChildNotNormal())
        return;
    if (w == FRegionWidth && h == FRegionHeight && FMDIKind != mkChild && FSkinState != fssReskinning)
        return;
    // The window owns the region it was given and deletes it when it gets another.
    FHasRegion = false;
    TSkinData& d = *FSkinData;
    if (!d.Left.Trans && !d.Right.Trans && !d.Top.Trans && !d.Bottom.Trans) {
        SetWindowRgn(FHandle, CreateRectRgn(0, 0, w, h), TRUE);
        FHasRegion = true;
        return;
    }
    FRegionWidth = w;
    FRegionHeight = h;
    UniqueRegion region(CreateRectRgn(FFrameLeft, FFrameTop, w - FFrameRight, h - FFrameBottom));
    if (FBorderKind != bkPopup) {
        // A new skin's caption is shaped before anything has painted it: composed here as a
        // paint would compose it, so that its text and buttons count as in a painted band.
        if (FSkinState == fssReskinning && d.Top.Trans == 1 && FFrameTop > 1) {
            FPaintWidth = w;
            FFrameBitmap.SetSize(w, FFrameTop);
            ComposeCaption();
        }
        TBitmap work;
        // A part whose pixels shape it: drawn (or copied) into the work bitmap and cut by the
        // key colour. A part of fewer than two rows or no columns is its rectangle.
        const auto shape = [&](TDataSkinBorder& part, const TRect& rect, bool shaped,
                               bool fromBand) {
            if (!shaped || rect.Width() <= 0 || rect.Height() <= 1)
                return UniqueRegion(CreateRectRgn(rect.Left, rect.Top, rect.Right, rect.Bottom));
            work.SetSize(rect.Width(), rect.Height());
            if (fromBand)
                BitBlt(work.Canvas().Handle(), 0, 0, rect.Width(), rect.Height(),
                       FFrameBitmap.Canvas().Handle(), rect.Left, rect.Top, SRCCOPY);
            else
                DrawFramePart(part, Rect(0, 0, rect.Width(), rect.Height()), work.Canvas().Handle());
            return BitmapToRegion(work, rect.Left, rect.Top, SkinKeyColor, 1, 1, 1);
        };
        UniqueRegion left = shape(d.Left, Rect(0, 0, FFrameLeft, h), d.Left.Trans == 1, false);
        UniqueRegion right = shape(d.Right, Rect(w - FFrameRight, 0, w, h), d.Right.Trans == 1, false);
        UniqueRegion bottom = shape(d.Bottom, Rect(FFrameLeft, h - FFrameBottom, w - FFrameRight, h),
                                    d.Bottom.Trans == 1, false);
        // The caption as last painted, so that its text and buttons count.
        UniqueRegion top = shape(d.Top, Rect(FFrameLeft, 0, w - FFrameRight, FFrameTop),
                                 d.Top.Trans == 1, !FFrameBitmap.Empty());
        CombineRgn(left.get(), left.get(), right.get(), RGN_OR);
        CombineRgn(top.get(), top.get(), bottom.get(), RGN_OR);
        CombineRgn(top.get(), top.get(), left.get(), RGN_OR);
        CombineRgn(region.get(), region.get(), top.get(), RGN_OR);
    }
    SetWindowRgn(FHandle, region.release(), TRUE);
    FHasRegion = true;
}

void TWinSkinForm::RemoveRegion()
{
    if (!FHasRegion)
        return;
    FFrameBitmap.SetSize(0, 0);
    SetWindowRgn(FHandle, nullptr, FALSE);
    FHasRegion = false;
}
