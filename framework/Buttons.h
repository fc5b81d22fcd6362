// Buttons with a glyph: the bit button (a push button window) and the speed button (a graphic
// control, drawn by its parent's window). The glyph bitmap holds NumGlyphs pictures side by
// side: up, disabled, down and (fourth) held down.
#pragma once

#include "StdCtrls.h"

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// What the two button kinds share: the glyph and how it sits beside the caption. Margin and
// Spacing -1 mean: worked out from the size.
struct TButtonGlyph {
    TBitmap Glyph;
    int NumGlyphs = 1;
    TButtonLayout Layout = TButtonLayout::blGlyphLeft;
    int Margin = -1;
    int Spacing = 4;
};

class TBitBtn : public TButton {
    LEXDRILL_CLASS(TBitBtn)
public:
    explicit TBitBtn(TComponent* owner) : TButton(owner) {}
    TButtonGlyph& Glyph() { return glyph_; }

private:
    TButtonGlyph glyph_;
};

class TSpeedButton : public TGraphicControl {
    LEXDRILL_CLASS(TSpeedButton)
public:
    explicit TSpeedButton(TComponent* owner);
    TButtonGlyph& Glyph() { return glyph_; }
    bool Down() const { return down_; }
    void SetDown(bool down);
    void Paint(TCanvas& canvas) override;

protected:
    void WndProc(TMessage& message) override;

private:
    TButtonGlyph glyph_;
    bool down_ = false;
    bool pressed_ = false;  // the left button is held on it
};
