// The status bar's skin, composed off-screen and copied in one go, and the colour-only skin of
// panels and group boxes.
#include <windows.h>
#include <commctrl.h>

#include "ComCtrls.h"
#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSubClassBoxes.h"

namespace {

enum : int { sfLowered = 1, sfRaised = 2, sfFlat = 3 };
constexpr int kStatusFrames = 3;
constexpr int kGripFrame = 5, kExtraFrames = 5;

UINT TextFlag(TAlignment alignment)
{
    switch (alignment) {
    case TAlignment::taRightJustify: return DT_RIGHT;
    case TAlignment::taCenter: return DT_CENTER;
    default: return DT_LEFT;
    }
}

// The text of a panel, two pixels in from its sides; an empty one is a blank.
void DrawPanelText(HDC dc, const TRect& rect, const std::string& text, TAlignment alignment)
{
    DrawControlText(dc, Rect(rect.Left + 2, rect.Top, rect.Right - 2, rect.Bottom), text.empty() ? " " : text, true,
                    TextFlag(alignment));
}

void DrawPanelSkinned(HDC dc, TDataSkinObject& element, const TRect& rect, int frame, const std::string& text,
                      TAlignment alignment)
{
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const TRect margins = Rect(element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight);
    auto picture = StretchSkinFrame(Rect(0, 0, rect.Width(), rect.Height()), element.Image, margins, frame,
                                    kStatusFrames, element.Tile != 0, false);
    BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), picture->Canvas().Handle(), 0, 0, SRCCOPY);
    DrawPanelText(dc, rect, text, alignment);
}

// A one-pixel bevel: lowered has its shadow top and left, raised the other way round.
void DrawPanelPlain(HDC dc, const TRect& rect, int frame, const std::string& text, TAlignment alignment)
{
    if (rect.Width() <= 0 || rect.Height() <= 0)
        return;
    TRect inner = rect;
    if (frame != sfFlat) {
        const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
        const COLORREF topLeft = frame == sfLowered ? shadow : light, bottomRight = frame == sfLowered ? light : shadow;
        UniqueBrush first(CreateSolidBrush(topLeft)), second(CreateSolidBrush(bottomRight));
        const RECT top{rect.Left, rect.Top, rect.Right, rect.Top + 1}, left{rect.Left, rect.Top, rect.Left + 1, rect.Bottom};
        const RECT bottom{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom};
        const RECT right{rect.Right - 1, rect.Top, rect.Right, rect.Bottom};
        FillRect(dc, &top, first.get());
        FillRect(dc, &left, first.get());
        FillRect(dc, &bottom, second.get());
        FillRect(dc, &right, second.get());
        inner = Rect(rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1);
    }
    DrawPanelText(dc, inner, text, alignment);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinStatusBar, TSkinControl)

void TSkinStatusBar::DrawControl(HDC dc, const TRect& rect)
{
    if (!SkinWorkBitmap || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    TBitmap& work = *SkinWorkBitmap;
    work.SetSize(r.Right, r.Bottom);
    HDC workDC = work.Canvas().Handle();
    FillFace(workDC, r);
    auto font = reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
    const SelectionGuard selected(workDC, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    // An element whose image is empty counts as missing, its text colour too.
    TDataSkinObject* edges = FSkinData->StatusBarEdges.get();
    const bool skinned = edges && !edges->Image.Empty();
    SetTextColor(workDC, ColorToRGB(skinned ? edges->NormalColour2 : FSkinData->Colours.ButtonText));
    auto paint = [&](const TRect& at, int frame, const std::string& text, TAlignment alignment) {
        if (skinned)
            DrawPanelSkinned(workDC, *edges, at, frame, text, alignment);
        else
            DrawPanelPlain(workDC, at, frame, text, alignment);
    };

    auto* bar = dynamic_cast<TStatusBar*>(FControl);
    if (!bar || bar->SimplePanel() || bar->Panels().empty()) {
        paint(r, sfLowered, bar ? bar->SimpleText() : FText, TAlignment::taLeftJustify);
    } else {
        const auto& panels = bar->Panels();
        for (size_t i = 0; i < panels.size(); ++i) {
            const TStatusPanel& panel = panels[i];
            TAlignment alignment = panel.Alignment;
            if (panel.RightToLeft && alignment != TAlignment::taCenter)
                alignment = alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify
                                                                    : TAlignment::taLeftJustify;
            const int frame = panel.Bevel == TStatusPanelBevel::pbLowered ? sfLowered
                : panel.Bevel == TStatusPanelBevel::pbRaised              ? sfRaised
                                                                          : sfFlat;
            RECT part;
            if (!SendMessageA(FHandle, SB_GETRECT, i, reinterpret_cast<LPARAM>(&part)))
                continue;
            if (i + 1 == panels.size())
                part.right = r.Right;
            paint(Rect(part.left, part.top, part.right, part.bottom), frame, panel.Text, alignment);
        }
    }

    TDataSkinObject* extra = FSkinData->ExtraImages.get();
    if ((GetWindowLongA(FHandle, GWL_STYLE) & SBARS_SIZEGRIP) && extra && !extra->Image.Empty()) {
        const int w = extra->Image.Width() / kExtraFrames, h = extra->Image.Height();
        DrawSkinGlyph(workDC, Rect(r.Right - 1 - w, r.Bottom - 1 - h, r.Right - 1, r.Bottom - 1), extra->Image,
                      kGripFrame, kExtraFrames, true);
    }
    BitBlt(dc, rect.Left, rect.Top, r.Right, r.Bottom, workDC, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinBox, TSkinControl)

void TSkinBox::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas, bool setColour)
{
    FSkinForm = form;
    FSkinData = skinData;
    FCanvas = canvas;
    FSetColor = setColour;
    FControl = dynamic_cast<TWinControl*>(Owner());
    if (!FControl)
        throw Exception("A box skin belongs to a windowed control");
    FHandle = FControl->Handle();
    form->AddControl(this);
    if (setColour) {
        FOldColor = FControl->Color();
        FControl->SetColor(skinData->Colours.ButtonFace);
    }
}

void TSkinBox::RestoreColor()
{
    TSkinControl::RestoreColor();
    FSkinState = cssColourBack;
}
