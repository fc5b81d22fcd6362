// The skins of a common-controls tab control and of a tab set.
#pragma once

#include "WinSubClass.h"

enum TTabPosition : int { tpTop = 0, tpBottom = 1, tpLeft = 2, tpRight = 3 };

// A common-controls tab control (a page control, a bare tab control): the strip composed from
// [Tabs] in any of the four positions, the page framed by its Border.
class TSkinTab : public TSkinControl {
    LEXDRILL_CLASS(TSkinTab)
public:
    explicit TSkinTab(TComponent* owner);

    void AttachWindow(HWND handle, TSkinData* skinData, TCanvas* canvas, TWinSkinForm* form) override;
    TSkinPaintPolicy PaintPolicy() const override { return ppOver; }
    void DrawControl(HDC dc, const TRect& rect) override;
    void RefreshSkin() override;
    // From the window style at the last attach or refresh.
    TTabPosition TabPosition() const { return FTabPosition; }
    // Finds the tab control's scroller and gives it its skin: true when it is shown.
    bool SkinScroller();

private:
    void ReadTabPosition();
    void PrepareImages();
    void DrawTab(HDC dc, const TRect& rect, int state);

    TTabPosition FTabPosition = tpTop;
    TBitmap FTabBitmap;
    TBitmap FBorderBitmap;
    TBitmap FWorkBitmap;
};

// A tab set: its tabs drawn from [Tabs] turned upside down, hanging from the top edge.
class TSkinTab31 : public TSkinControl {
    LEXDRILL_CLASS(TSkinTab31)
public:
    explicit TSkinTab31(TComponent* owner) : TSkinControl(owner) {}

    void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas, bool setColour) override;
    TSkinPaintPolicy PaintPolicy() const override { return ppInstead; }
    bool BeforeMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;
    // Takes the changed skin's tab images.
    void RefreshSkin() override;

private:
    void PrepareImages();

    TBitmap FTabBitmap;
};
