#include "Buttons.h"

LEXDRILL_PLAIN_CLASS(TBitBtn, TButton)

LEXDRILL_PLAIN_CLASS(TSpeedButton, TGraphicControl)

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetDown(bool down)
{
    down_ = down;
    Invalidate();
}

void TSpeedButton::WndProc(TMessage& message)
{
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONUP) {
        pressed_ = message.Msg == WM_LBUTTONDOWN && Enabled();
        Invalidate();
    }
    TGraphicControl::WndProc(message);
}

void TSpeedButton::Paint(TCanvas& canvas)
{
    RECT r{0, 0, Width(), Height()};
    HDC dc = canvas.Handle();
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, pressed_ || down_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int glyphWidth = glyph_.NumGlyphs > 0 ? glyph_.Glyph.Width() / glyph_.NumGlyphs : 0;
    if (glyphWidth > 0) {
        // The up picture, its bottom-left pixel transparent.
        TBitmap up(glyphWidth, glyph_.Glyph.Height());
        up.Canvas().CopyRect(Rect(0, 0, glyphWidth, up.Height()), glyph_.Glyph.Canvas(),
                             Rect(0, 0, glyphWidth, up.Height()));
        up.SetTransparent(true);
        canvas.Draw(4, (Height() - up.Height()) / 2, up);
        r.left += 4 + glyphWidth;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? clBtnText : clGrayText));
    const SelectionGuard font(dc, canvas.Font().Handle());
    DrawTextA(dc, Caption().c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
