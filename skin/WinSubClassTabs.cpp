// The tab skins: a common-controls tab control's strip composed from [Tabs] in any of its four
// positions, and a tab set's tabs.
#include <algorithm>

#include "ImgUtil.h"
#include "SkinPaint.h"
#include "Tabs.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSubClassInputs.h"
#include "WinSubClassTabs.h"

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinTab, TSkinControl)

TSkinTab::TSkinTab(TComponent* owner) : TSkinControl(owner)
{
    FWorkBitmap.SetPixelFormat(TPixelFormat::pf24bit);
}

void TSkinTab::AttachWindow(HWND handle, TSkinData* skinData, TCanvas* canvas, TWinSkinForm* form)
{
    TSkinControl::AttachWindow(handle, skinData, canvas, form);
    FFocused = GetFocus() == handle;
    FEnabled = !(GetWindowLongA(handle, GWL_STYLE) & WS_DISABLED);
    FText = GetWindowCaption(handle);
    PrepareImages();
    SkinScroller();
}

void TSkinTab::RefreshSkin()
{
    TSkinControl::RefreshSkin();
    PrepareImages();
}

void TSkinTab::ReadTabPosition()
{
    const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    const bool bottom = style & TCS_BOTTOM, vertical = style & TCS_VERTICAL;
    FTabPosition = bottom && vertical ? tpRight : bottom ? tpBottom : vertical ? tpLeft : tpTop;
}

void TSkinTab::PrepareImages()
{
    ReadTabPosition();
    const TDataSkinBorder* tabs = FSkinData->Tabs.get();
    if (!tabs || tabs->Image.Empty())
        return;
    FTabBitmap.Assign(tabs->Image);
    FTabBitmap.SetPixelFormat(TPixelFormat::pf24bit);
    // Without a border the strip is still drawn; only the page goes unframed.
    FBorderBitmap.SetSize(0, 0);
    if (!tabs->Image2.Empty()) {
        FBorderBitmap.Assign(tabs->Image2);
        FBorderBitmap.SetPixelFormat(TPixelFormat::pf24bit);
    }
    switch (FTabPosition) {
    case tpBottom:
        FlipBitmap(FTabBitmap);
        FlipBitmap(FBorderBitmap);
        break;
    case tpLeft:
        RotateBitmapLeft(FBorderBitmap);
        break;
    case tpRight:
        RotateBitmapRight(FBorderBitmap);
        break;
    default:
        break;
    }
}

bool TSkinTab::SkinScroller()
{
    HWND scroller = FindWindowExA(FHandle, nullptr, UPDOWN_CLASSA, nullptr);
    if (!scroller)
        return false;
    // The scroller gets an up-down skin of its own once, kept in the form skin's list.
    if (!FSkinForm->FindControlByHandle(scroller)) {
        auto* upDown = TComponent::Make<TSkinUpDown>(Owner());
        try {
            upDown->AttachWindow(scroller, FSkinData, FCanvas, FSkinForm);
        } catch (const std::exception&) {
            TComponent::Free(upDown);
        }
    }
    return GetWindowLongA(scroller, GWL_STYLE) & WS_VISIBLE;
}

void TSkinTab::DrawTab(HDC dc, const TRect& rect, int state)
{
    const TDataSkinBorder& tabs = *FSkinData->Tabs;
    DrawSkinImage(dc, rect, FTabBitmap, Rect(tabs.LeftWidth, tabs.TopHeight, tabs.RightWidth, tabs.BottomHeight),
                  state, tabs.FrameCount, tabs.Trans != 0, tabs.Tile != 0, false);
}

void TSkinTab::DrawControl(HDC dc, const TRect& r)
{
    const TDataSkinBorder* tabs = FSkinData->Tabs.get();
    if (!tabs || tabs->Image.Empty() || FTabBitmap.Empty())
        return;
    RECT page{r.Left, r.Top, r.Right, r.Bottom};
    SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
    InflateRect(&page, 4, 4);
    TRect p = Rect(page.left, page.top, page.right, page.bottom);
    const int count = static_cast<int>(SendMessageA(FHandle, TCM_GETITEMCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageA(FHandle, TCM_GETCURFOCUS, 0, 0));
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(FHandle, TCM_GETIMAGELIST, 0, 0));
    switch (FTabPosition) {
    case tpTop: p.Top += 1; break;
    case tpBottom: p.Bottom -= 1; break;
    case tpLeft: p.Left += 1; break;
    default: p.Right -= 1; break;
    }

    const TRect strip = FTabPosition == tpTop      ? Rect(r.Left, r.Top, r.Right, p.Top)
                        : FTabPosition == tpBottom ? Rect(r.Left, p.Bottom, r.Right, r.Bottom)
                        : FTabPosition == tpLeft   ? Rect(r.Left, r.Top, p.Left, r.Bottom)
                                                   : Rect(p.Right, r.Top, r.Right, r.Bottom);
    // Side strips are composed lying down, as a top strip, and turned at the end.
    const bool lying = FTabPosition == tpLeft || FTabPosition == tpRight;
    const int w = lying ? strip.Height() : strip.Width(), h = lying ? strip.Width() : strip.Height();
    if (w > 0 && h > 0) {
        FWorkBitmap.SetSize(w, h);
        HDC work = FWorkBitmap.Canvas().Handle();
        FillFace(work, Rect(0, 0, w, h));
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
        {
            const SelectionGuard selectedFont(work, font ? font : GetStockObject(DEFAULT_GUI_FONT));
            for (int i = 0; i < count; ++i) {
                char text[80] = "";
                TCITEMA item{};
                item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
                item.pszText = text;
                item.cchTextMax = sizeof text;
                item.iImage = -1;
                SendMessageA(FHandle, TCM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                RECT ir;
                if (!SendMessageA(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&ir)))
                    continue;
                TRect at = Rect(ir.left, ir.top, ir.right, ir.bottom);
                switch (FTabPosition) {
                case tpTop: at = Rect(ir.left, ir.top + 1, ir.right, ir.bottom + 1); break;
                case tpBottom: at = Rect(ir.left, ir.top - p.Bottom - 1, ir.right, ir.bottom - p.Bottom - 1); break;
                case tpLeft: at = Rect(w - ir.bottom, ir.left, w - ir.top, ir.right); break;
                default: at = Rect(ir.top - 1, r.Right - ir.right, ir.bottom - 1, r.Right - ir.left); break;
                }
                const int state = i == selected ? 2 : 1;
                DrawTab(work, at, state);
                SetTextColor(work, ColorToRGB(state == 1 ? tabs->NormalColour2 : tabs->MouseOverColour2));
                DrawGlyphText(work, at, images, item.iImage, text, 1, FEnabled);
            }
        }
        if (FTabPosition == tpRight)
            RotateBitmapRight(FWorkBitmap);
        else if (FTabPosition == tpLeft)
            RotateBitmapLeft(FWorkBitmap);
        // The scroller draws itself: the strip goes around it.
        const ClipGuard clip(dc);
        if (SkinScroller()) {
            HWND scroller = FindWindowExA(FHandle, nullptr, UPDOWN_CLASSA, nullptr);
            RECT window, around;
            GetWindowRect(FHandle, &window);
            GetWindowRect(scroller, &around);
            OffsetRect(&around, -window.left, -window.top);
            ExcludeClipRect(dc, around.left, around.top, around.right, around.bottom);
        }
        BitBlt(dc, strip.Left, strip.Top, strip.Width(), strip.Height(), FWorkBitmap.Canvas().Handle(), 0, 0, SRCCOPY);
    }
    if (!tabs->Image2.Empty() && !FBorderBitmap.Empty())
        DrawSkinBorder(dc, p, FBorderBitmap, Rect(4, 5, 4, 4), 1, 1, false);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinTab31, TSkinControl)

void TSkinTab31::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas, bool)
{
    if (FAttached)
        return;
    FControl = dynamic_cast<TWinControl*>(Owner());
    if (!FControl)
        throw Exception("A tab-set skin belongs to a windowed control");
    // Subclassed as a bare window: the control's WindowProc and colour stay as they are.
    TSkinControl::AttachWindow(FControl->Handle(), skinData, canvas, form);
    PrepareImages();
}

void TSkinTab31::RefreshSkin()
{
    TSkinControl::RefreshSkin();
    PrepareImages();
}

void TSkinTab31::PrepareImages()
{
    FTabBitmap.SetSize(0, 0);
    if (FSkinData->Tabs && !FSkinData->Tabs->Image.Empty()) {
        FTabBitmap.Assign(FSkinData->Tabs->Image);
        FlipBitmap(FTabBitmap);
    }
}

bool TSkinTab31::BeforeMessage(TMessage& message)
{
    if (message.Msg != WM_PAINT)
        return TSkinControl::BeforeMessage(message);
    // The tab set keeps its own paint, after the skin's: with a DC the message brings, it draws
    // the graphic controls lying on it there. That paint puts its plain tabs over the skin's, so
    // the skin paints once more after it.
    HandlePaint(message);
    if (CallOldProc(message))
        PaintControl(reinterpret_cast<HDC>(message.WParam));
    return false;
}

void TSkinTab31::DrawControl(HDC dc, const TRect& r)
{
    const TDataSkinBorder* tabs = FSkinData->Tabs.get();
    auto* tabSet = dynamic_cast<TTabSet*>(FControl);
    if (!tabs || tabs->Image.Empty() || FTabBitmap.Empty() || !tabSet || r.Width() <= 0 || r.Height() <= 0)
        return;
    TBitmap bitmap(r.Width(), r.Height());
    TCanvas& canvas = bitmap.Canvas();
    HDC work = canvas.Handle();
    FillFace(work, Rect(0, 0, r.Width(), r.Height()));
    canvas.Font().Assign(tabSet->Font());
    const SelectionGuard selected(work, canvas.Font().Handle());
    const TRect margins = Rect(tabs->LeftWidth, tabs->TopHeight, tabs->RightWidth, tabs->BottomHeight);
    const int limit = r.Width() - tabSet->EndMargin();
    int x = tabSet->StartMargin();
    const std::vector<std::string>& captions = tabSet->Tabs();
    for (int i = std::max(0, tabSet->FirstIndex()); i < static_cast<int>(captions.size()); ++i) {
        const std::string& caption = captions[static_cast<size_t>(i)];
        const int w = canvas.TextWidth(caption) + TTabSet::kTabPadding;
        // A tab too wide is skipped; a shorter later one may still fit here.
        if (x + w > limit)
            continue;
        const int state = i == tabSet->TabIndex() ? 2 : 1;
        const TRect at = Rect(x, 0, x + w, r.Height());
        DrawSkinImage(work, at, FTabBitmap, margins, state, tabs->FrameCount, tabs->Trans != 0, tabs->Tile != 0, false);
        SetTextColor(work, ColorToRGB(state == 1 ? tabs->NormalColour2 : tabs->MouseOverColour2));
        DrawControlText(work, at, caption, FEnabled, DT_CENTER);
        x += w;
    }
    BitBlt(dc, r.Left, r.Top, r.Width(), r.Height(), work, 0, 0, SRCCOPY);
}
