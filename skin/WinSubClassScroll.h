// The skin of a scrolling control's window scroll bars, and the scroll-bar geometry and drawing
// it shares with the stand-alone scroll bar control's skin.
#pragma once

#include "WinSubClass.h"

// The geometry of one scroll bar along its length, in pixels; the offset counts from the end
// of the first arrow.
struct TScrollGeometry {
    int ArrowSize = 0;
    int TrackLength = 0;
    int ThumbSize = 0;
    int ThumbOffset = 0;
};

// The thumb of a bar of length pixels for a range, page and position: false (geometry
// unchanged) for an empty range. inclusiveMax: the range counts the maximum too (a scroll bar
// control), else it is max - min (a window's scroll bar).
bool ComputeThumbGeometry(int length, int min, int max, int page, int pos, bool inclusiveMax,
                          TScrollGeometry& geometry);

// The part of a scroll bar shown pressed.
enum TScrollPart : int {
    spNone = 0, spLeftArrow = 1, spRightArrow = 2, spUpArrow = 3, spDownArrow = 4, spHorzThumb = 5, spVertThumb = 6
};
// The part a scroll message's code (SB_LINEUP, ...) presses on a horizontal or vertical bar.
TScrollPart PressedScrollPart(int scrollCode, bool horizontal);

// One bar composed 16 pixels thick from the scroll-bar elements and stretched onto bar of dc:
// its track, arrows and thumb, one of them pressed.
// ownTrackTile: the vertical track tiles by its own element, not by [HorzScroll].
void DrawScrollBarImage(TSkinData& data, HDC dc, const TRect& bar, bool vertical, const TScrollGeometry& geometry,
                        TScrollPart pressedPart, bool ownTrackTile);

// The window scroll bars of a scrolling control, painted over the platform's after every
// message that changes them; the thumb is dragged by the skin's own loop when asked.
class TSkinScrollBar : public TSkinControl {
    LEXDRILL_CLASS(TSkinScrollBar)
public:
    explicit TSkinScrollBar(TComponent* owner) : TSkinControl(owner) {}

    // handleNCButton: a press on a thumb is tracked by the skin, not by the platform.
    virtual void AttachScrollBars(TWinControl* control, TSkinData* skinData, bool handleNCButton,
                                  TWinSkinForm* form, TCanvas* canvas);
    TSkinPaintPolicy PaintPolicy() const override { return ppFrame; }
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;

    TScrollPart PressedPart() const { return FPressedPart; }
    // The bars in window coordinates and their geometry, as last drawn (SB_HORZ, SB_VERT).
    const TRect& BarRect(int bar) const { return FBars[bar].Rect; }
    const TScrollGeometry& Geometry(int bar) const { return FBars[bar].Geometry; }
    const TRect& SizeBox() const { return FSizeBox; }
    // The SB_ code of a point along a bar in client coordinates; -1 for none.
    int HitTest(int p, int bar) const;

protected:
    struct TBar {
        SCROLLINFO Info{sizeof(SCROLLINFO), 0, 0, 0, 0, 0, 0};
        TRect Rect;
        TScrollGeometry Geometry;
    };

    void ComputeBars(const TRect& rect);
    void ComputeThumb(int bar);
    void DrawBar(HDC dc, int bar);
    bool NCButtonDown(const TMessage& message);
    void TrackThumb(int bar, UINT scrollMessage);

    TScrollPart FPressedPart = spNone;
    LONG FStyle = 0;
    LONG FExStyle = 0;
    TRect FSizeBox;
    bool FTracking = false;
    bool FHandleNCButton = false;
    bool FInVScroll = false;
    bool FInHScroll = false;
    TBar FBars[2];
};
