// Header, list view, size grip and scroll bar control skins.
#include <algorithm>

#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSubClassLists.h"

LEXDRILL_PLAIN_CLASS(TSkinHeader, TSkinControl)

TSkinPaintPolicy TSkinHeader::PaintPolicy() const
{
    return FSkinData->Headerbar && !FSkinData->Headerbar->Image.Empty() ? ppOverUnerased : ppOver;
}

void TSkinHeader::DrawControl(HDC dc, const TRect& r)
{
    TDataSkinObject* header = FSkinData->Headerbar.get();
    if (!header || header->Image.Empty() || r.Width() <= 0 || r.Height() <= 0)
        return;
    TBitmap bitmap(r.Width(), r.Height());
    HDC work = bitmap.Canvas().Handle();
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
    const SelectionGuard selected(work, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(work, TRANSPARENT);
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(FHandle, HDM_GETIMAGELIST, 0, 0));
    const int count = static_cast<int>(SendMessageA(FHandle, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int i = 0; i < count; ++i) {
        RECT item;
        if (!SendMessageA(FHandle, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
            continue;
        DrawItem(images, work, i, Rect(item.left, item.top, item.right, item.bottom));
        right = std::max(right, static_cast<int>(item.right));
    }
    const TRect margins = Rect(header->LeftWidth, header->TopHeight, header->RightWidth, header->BottomHeight);
    // The header's unused remainder gets the same face as its items.
    if (right < r.Right)
        DrawSkinImage(work, Rect(right, r.Top, r.Right, r.Bottom), header->Image, margins, 1,
                      header->FrameCount, false, header->Tile != 0, false);
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), work, 0, 0, SRCCOPY);
}

void TSkinHeader::DrawItem(HIMAGELIST images, HDC dc, int index, const TRect& rect)
{
    TDataSkinObject& header = *FSkinData->Headerbar;
    char text[201] = "";
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    item.iImage = -1;
    SendMessageA(FHandle, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    DrawSkinImage(dc, rect, header.Image, Rect(header.LeftWidth, header.TopHeight, header.RightWidth, header.BottomHeight),
                  1, header.FrameCount, false, header.Tile != 0, false);
    if (!text[0])
        return;  // not even a glyph
    const int glyph = item.fmt & (HDF_IMAGE | HDF_OWNERDRAW) ? item.iImage : -1;
    const int low = item.fmt & 0xFF;
    const int alignment = low == HDF_RIGHT ? 2 : low == HDF_CENTER ? 1 : 0;
    SetTextColor(dc, ColorToRGB(header.NormalColour2));
    DrawGlyphText(dc, rect, images, glyph, text, alignment, FEnabled);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinListView, TSkinScrollBar)

void TSkinListView::AttachScrollBars(TWinControl* control, TSkinData* skinData, bool handleNCButton,
                                     TWinSkinForm* form, TCanvas* canvas)
{
    TSkinScrollBar::AttachScrollBars(control, skinData, handleNCButton, form, canvas);
    HWND header = reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0));
    if (!header || FHeader)
        return;
    FHeader = TComponent::Make<TSkinHeader>(Owner());
    FHeader->AttachWindow(header, skinData, canvas, form);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinSizer, TSkinControl)

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinScControl, TSkinControl)

bool TSkinScControl::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_NCMOUSEMOVE:
        return message.WParam != HTHSCROLL && message.WParam != HTVSCROLL;
    case SBM_SETSCROLLINFO:
        if (CallOldProc(message))
            PaintControl(nullptr);
        return false;
    case CN_HSCROLL:
    case CN_VSCROLL: {
        const bool horizontal = message.Msg == CN_HSCROLL;
        FPressedPart = PressedScrollPart(LOWORD(message.WParam), horizontal);
        if (CallOldProc(message))
            PaintControl(nullptr);
        return false;
    }
    default:
        return TSkinControl::BeforeMessage(message);
    }
}

void TSkinScControl::DrawControl(HDC dc, const TRect& r)
{
    if (!FSkinData->Scrollbar || FSkinData->Scrollbar->Image.Empty())
        return;
    const bool vertical = GetWindowLongA(FHandle, GWL_STYLE) & SBS_VERT;
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    if (GetScrollInfo(FHandle, SB_CTL, &info))
        ComputeThumbGeometry(vertical ? r.Height() : r.Width(), info.nMin, info.nMax, static_cast<int>(info.nPage),
                             info.nPos, true, FGeometry);
    DrawScrollBarImage(*FSkinData, dc, r, vertical, FGeometry, FPressedPart, true);
}
