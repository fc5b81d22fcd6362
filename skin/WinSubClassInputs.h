// The skins of the input controls (up-down, check box, radio button, track bar, edit and combo
// box) and of the progress bar.
#pragma once

#include "WinSubClass.h"

// Up-down controls, also the scrollers of tab controls and the spin buttons of edits: the skin
// paints the whole control, its two halves from [UpDown.Vert] or [UpDown.Horz], or plainly.
class TSkinUpDown : public TSkinControl {
    LEXDRILL_CLASS(TSkinUpDown)
public:
    explicit TSkinUpDown(TComponent* owner) : TSkinControl(owner) {}

    TSkinPaintPolicy PaintPolicy() const override { return ppInstead; }
    bool BeforeMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;

    // A spin button inside its edit's border: the halves are drawn one pixel in on every side.
    bool FInset = false;
    // 1: the halves lie side by side whatever the window's style says.
    int FForceHorz = 0;
};

// Check boxes: the control draws itself, then its glyph is drawn over from [Buttons]
// CheckButton: 1 unchecked, 2 checked, 3 and 4 the same disabled; 4 also indeterminate.
class TSkinCheckBox : public TSkinControl {
    LEXDRILL_CLASS(TSkinCheckBox)
public:
    explicit TSkinCheckBox(TComponent* owner) : TSkinControl(owner) {}

    TSkinPaintPolicy PaintPolicy() const override { return ppOver; }
    void AfterMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;
};

// Radio buttons: likewise from [Buttons] RadioButton.
class TSkinRadioButton : public TSkinControl {
    LEXDRILL_CLASS(TSkinRadioButton)
public:
    explicit TSkinRadioButton(TComponent* owner) : TSkinControl(owner) {}

    TSkinPaintPolicy PaintPolicy() const override { return ppOver; }
    void AfterMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;
};

// Track bars: only the thumb, drawn from [Trackbar.ThumbVert] or [Trackbar.ThumbHorz] through
// the control's custom-draw notifications; channel and ticks stay the control's.
class TSkinTrackBar : public TSkinControl {
    LEXDRILL_CLASS(TSkinTrackBar)
public:
    explicit TSkinTrackBar(TComponent* owner) : TSkinControl(owner) {}

    // The control paints its background itself, the thumb through the skin.
    TSkinPaintPolicy PaintPolicy() const override { return ppOverUnerased; }
    bool BeforeMessage(TMessage& message) override;

private:
    LRESULT CustomDraw(const NMCUSTOMDRAW& draw);
    void DrawThumb(HDC dc);
};

// Progress bars: the background and the bar from [Progress], or chunks of its Chunk image.
class TSkinProgress : public TSkinControl {
    LEXDRILL_CLASS(TSkinProgress)
public:
    explicit TSkinProgress(TComponent* owner) : TSkinControl(owner) {}

    TSkinPaintPolicy PaintPolicy() const override { return ppOver; }
    void DrawControl(HDC dc, const TRect& rect) override;
};

// Edits: a flat two-pixel border over the edit's own; a spin button inside gets its skin.
class TSkinEdit : public TSkinControl {
    LEXDRILL_CLASS(TSkinEdit)
public:
    explicit TSkinEdit(TComponent* owner) : TSkinControl(owner) {}

    TSkinPaintPolicy PaintPolicy() const override { return ppFrame; }
    bool BeforeMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;

    TSkinUpDown* FUpDown = nullptr;  // the spin button's skin, once found; not owned

private:
    void FindSpinButton();
    void PrintFrame(HDC dc);
};

// Combo boxes: the border from [SunkEdge], the button from [ComboButton] (mirrored on the left
// with WS_EX_LEFTSCROLLBAR) and the arrow from [ExtraImages].
class TSkinComBox : public TSkinControl {
    LEXDRILL_CLASS(TSkinComBox)
public:
    explicit TSkinComBox(TComponent* owner) : TSkinControl(owner) {}

    TSkinPaintPolicy PaintPolicy() const override { return ppOver; }
    void AfterMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;

private:
    int State() const;
    void DrawSimple(HDC dc, const TRect& rect);

    LONG FStyle = 0;
    LONG FExStyle = 0;
};
