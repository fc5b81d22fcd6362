// The skins of headers, list views, bare size grips and stand-alone scroll bar controls.
#pragma once

#include "WinSubClass.h"
#include "WinSubClassScroll.h"

// A header control: each item on [Headerbar] frame 1 with its glyph and caption, and the rest
// of the header right of the last item filled with the same frame.
class TSkinHeader : public TSkinControl {
    LEXDRILL_CLASS(TSkinHeader)
public:
    explicit TSkinHeader(TComponent* owner) : TSkinControl(owner) {}
    // Unerased while the skin has a header image: the skin then paints the whole header over.
    TSkinPaintPolicy PaintPolicy() const override;
    void DrawControl(HDC dc, const TRect& rect) override;

private:
    void DrawItem(HIMAGELIST images, HDC dc, int item, const TRect& rect);
};

// A list view's scroll bars (the platform drags its thumbs), and its header.
class TSkinListView : public TSkinScrollBar {
    LEXDRILL_CLASS(TSkinListView)
public:
    explicit TSkinListView(TComponent* owner) : TSkinScrollBar(owner) {}
    void AttachScrollBars(TWinControl* control, TSkinData* skinData, bool handleNCButton, TWinSkinForm* form,
                          TCanvas* canvas) override;
    TSkinHeader* Header() const { return FHeader; }

private:
    TSkinHeader* FHeader = nullptr;  // owned by this skin's owner
};

// A bare dialog's "scrollbar" child (a size grip): it paints nothing at all.
class TSkinSizer : public TSkinControl {
    LEXDRILL_CLASS(TSkinSizer)
public:
    explicit TSkinSizer(TComponent* owner) : TSkinControl(owner) {}
    TSkinPaintPolicy PaintPolicy() const override { return ppNone; }
};

// A stand-alone scroll bar control, its whole client area drawn as one bar.
class TSkinScControl : public TSkinControl {
    LEXDRILL_CLASS(TSkinScControl)
public:
    explicit TSkinScControl(TComponent* owner) : TSkinControl(owner) {}
    TSkinPaintPolicy PaintPolicy() const override { return ppOver; }
    bool BeforeMessage(TMessage& message) override;
    void DrawControl(HDC dc, const TRect& rect) override;
    TScrollPart PressedPart() const { return FPressedPart; }
    const TScrollGeometry& Geometry() const { return FGeometry; }

private:
    TScrollPart FPressedPart = spNone;
    TScrollGeometry FGeometry;
};
