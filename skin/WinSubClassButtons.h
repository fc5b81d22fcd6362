// The push, bit and speed button skins, and the layout of a glyph button's glyph and caption.
#pragma once

#include "WinSubClass.h"

// Push buttons: the framework's and bare "button" windows.
class TSkinButton : public TSkinControl {
    LEXDRILL_CLASS(TSkinButton)
public:
    explicit TSkinButton(TComponent* owner) : TSkinControl(owner) {}
    ~TSkinButton() override;

    TSkinPaintPolicy PaintPolicy() const override { return ppInstead; }
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;

protected:
    // 1 normal, 2 pressed, 3 disabled, 4 hot or focused.
    int ButtonState(bool focused, bool enabled) const;
    // Makes this the form's one hot button, un-hotting the one before.
    void BecomeHot();

    TBitmap FBitmap;
};

// Tells a skinned button that the mouse has left it.
void SendMouseLeave(TSkinButton* button);

struct TButtonGlyph;

// Bit buttons: the face, the glyph of the state and the caption laid out beside it.
class TSkinBitButton : public TSkinButton {
    LEXDRILL_CLASS(TSkinBitButton)
public:
    explicit TSkinBitButton(TComponent* owner) : TSkinButton(owner) {}
    void DrawControl(HDC dc, const TRect& rect) override;
};

// Speed buttons: graphic controls, drawn on their parent's DC through the shared work bitmap.
class TSkinSpeedButton : public TSkinBitButton {
    LEXDRILL_CLASS(TSkinSpeedButton)
public:
    explicit TSkinSpeedButton(TComponent* owner) : TSkinBitButton(owner) {}

    void AttachGraphicControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas);
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintControl(HDC dc) override;
    void DrawSpeedButton(TCanvas& canvas, const TRect& rect);
};

// Where the glyph and the caption of a glyph button go inside its client area. A speed
// button centres one pixel further when only the spacing is given.
struct TGlyphLayout {
    TPoint GlyphPos;
    TPoint TextPos;
    UINT TextFlag = DT_LEFT;
};
TGlyphLayout LayoutGlyphButton(TPoint clientSize, TPoint glyphSize, TPoint textSize, int layout,
                               int margin, int spacing, bool speedButton);
// The glyph index of a button state: 1 up, 2 disabled, 3 down.
int GlyphIndexOfState(int state);
// Frame index (from 1) of glyph, numGlyphs pictures side by side, onto canvas at rect's
// top-left, its top-left pixel transparent. Only a four-glyph bitmap shows frames other than 1.
void DrawGlyphFrame(TCanvas& canvas, const TRect& rect, TBitmap& glyph, int index, int numGlyphs);
