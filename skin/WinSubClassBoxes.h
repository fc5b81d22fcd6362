// The status bar's skin, and the colour-only skin of panels, group boxes and other containers.
#pragma once

#include "WinSubClass.h"

// Status bars, painted whole from the skin: the background, every panel from [StatusBarEdges]
// (or with plain bevels) with its text, and the size grip from [ExtraImages].
class TSkinStatusBar : public TSkinControl {
    LEXDRILL_CLASS(TSkinStatusBar)
public:
    explicit TSkinStatusBar(TComponent* owner) : TSkinControl(owner) {}

    TSkinPaintPolicy PaintPolicy() const override { return ppInstead; }
    void DrawControl(HDC dc, const TRect& rect) override;
};

// Panels, group boxes and the other containers: only their colour comes from the skin, the
// control goes on drawing itself; no message reaches this skin.
class TSkinBox : public TSkinControl {
    LEXDRILL_CLASS(TSkinBox)
public:
    explicit TSkinBox(TComponent* owner) : TSkinControl(owner) {}

    void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas, bool setColour) override;
    void RestoreColor() override;
};
