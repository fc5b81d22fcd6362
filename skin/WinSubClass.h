// The control skins: one object per skinned control that sits in front of the control's message
// handling, lets the control paint and paints it over from the skin. A framework control is
// hooked through its WindowProc, a bare window through its window procedure. Main (GUI) thread
// only.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "SubClass.h"

class TDataSkinObject;
class TSkinData;
class TWinSkinForm;

// FSkinState values.
enum TControlSkinState : int { cssCreated = 0, cssAttached = 1, cssColourBack = 2, cssDestroyed = 6 };
// FMouseState bits.
constexpr unsigned kMouseHot = 1, kMousePressed = 2;

// How a control skin paints. The base skin handles WM_PAINT, WM_ERASEBKGND and WM_PRINTCLIENT
// (a paint into the DC the message brings) for every skin by it.
enum TSkinPaintPolicy : int {
    // The control erases and paints, then the skin paints over it.
    ppOver,
    // The control paints without being erased first (its whole face is painted anyway, by the
    // control or by the skin), then the skin paints over it.
    ppOverUnerased,
    // The control erases and paints its client area; the skin paints its frame outside that,
    // after a paint without a DC, through the window DC. A DC the message brings holds the client
    // area only and gets nothing from the skin.
    ppFrame,
    // The skin alone paints; the control neither erases nor paints.
    ppInstead,
    // Nothing is painted, neither by the control nor by the skin.
    ppNone
};

class TSkinControl : public TComponent {
    LEXDRILL_CLASS(TSkinControl)
public:
    // The owner is the skinned framework control, or for a bare window the form skin.
    explicit TSkinControl(TComponent* owner);
    // Unhooks the control or window and leaves the form skin's list.
    ~TSkinControl() override;

    // Attaches to the owner, a framework windowed control; a second call does nothing.
    virtual void AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas, bool setColour);
    // Attaches to a bare window. Raises when the window cannot be subclassed.
    virtual void AttachWindow(HWND handle, TSkinData* skinData, TCanvas* canvas, TWinSkinForm* form);
    // Gives the control the colour it had before attaching.
    virtual void RestoreColor();
    // After a failed attach: unhooked, off the form skin's list, and holding nothing of the form
    // skin, which may go before this skin's owner frees it.
    void LeaveForm();
    // Before the control's own handling: false consumes the message.
    virtual bool BeforeMessage(TMessage& message);
    // After the control's own handling, with its result in the message.
    virtual void AfterMessage(TMessage& message);
    // Paints the whole window; dc 0: the window DC.
    virtual void PaintControl(HDC dc);
    // Draws the skin into dc; rect is the window rectangle moved to (0, 0).
    virtual void DrawControl(HDC, const TRect&) {}
    // Applies the current skin again.
    virtual void RefreshSkin();
    // How this skin paints; a skin that draws nothing over the control changes nothing.
    virtual TSkinPaintPolicy PaintPolicy() const { return ppOver; }

    // Invalidates the window and paints it at once.
    void Redraw();
    // Fills rect of dc with the skin's button face.
    void FillFace(HDC dc, const TRect& rect);

    HWND Handle() const { return FHandle; }
    // The window rectangle (screen) at the latest paint.
    const TRect& WindowRect() const { return FWindowRect; }
    TControl* GraphicControl() const { return FGraphicControl; }
    int SkinState() const { return FSkinState; }
    unsigned MouseState() const { return FMouseState; }
    bool Focused() const { return FFocused; }
    bool EnabledState() const { return FEnabled; }
    const std::string& Text() const { return FText; }
    // Whether attaching gives the control the skin's face colour.
    bool SetColour() const { return FSetColor; }

protected:
    // The message chain: BeforeMessage, the control's own handling, AfterMessage.
    void SkinWndProc(TMessage& message);
    // The control's own handling. False when the skin was freed meanwhile: the caller then
    // touches nothing of it.
    bool CallOldProc(TMessage& message);
    // Hooks the framework control (windowed or graphic) through its WindowProc.
    void HookControl(TControl* control);
    void UnhookControl();
    // False once this skin is freed: for loops of a skin's own that dispatch messages.
    std::shared_ptr<bool> Alive() const { return FAlive; }
    // Draws the skin alone for WM_PAINT or WM_PRINTCLIENT: into the DC the message brings, else
    // between BeginPaint and EndPaint.
    void HandlePaint(TMessage& message);

    unsigned FMouseState = 0;
    TCanvas* FCanvas = nullptr;
    bool FEnabled = false;
    bool FFocused = false;
    std::string FText;
    std::unique_ptr<TWindowSubclass> FSubclass;  // a bare window's
    TSkinData* FSkinData = nullptr;
    HWND FHandle = nullptr;
    THookId FHookId = 0;  // the framework control's WindowProc hook
    TControl* FHookedControl = nullptr;
    TWinControl* FControl = nullptr;
    TRect FWindowRect;
    TControl* FGraphicControl = nullptr;
    bool FSetColor = false;
    TColor FOldColor = 0;
    bool FAttached = false;
    int FSkinState = cssCreated;
    TWinSkinForm* FSkinForm = nullptr;

private:
    const TWndMethod* FNext = nullptr;  // the hooked control's own handling, during a message
    // False once this skin is freed: a message it was freed in touches it no more.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// Shared drawing of the control skins.
// One frame of a horizontal strip of the element, nine-slice, into rect of dc; magenta is
// transparent when the element's Trans is 1.
void DrawSkinFrame(HDC dc, const TRect& rect, TDataSkinObject& element, int frame, int frameCount);
// Text in rect, centred vertically one pixel above the middle; alignment is DT_LEFT,
// DT_CENTER or DT_RIGHT. Disabled text is drawn in the button-shadow colour. The text is plain
// whatever the style of the DC's font, and the DC is left as it was.
void DrawControlText(HDC dc, const TRect& rect, const std::string& text, bool enabled, UINT alignment);

// A caption's DC state for one scope: transparent background, hollow brush, the selected font
// without bold, italic, underline or strike-out. Everything it or the caption changes (the text
// colour too) is put back at the end.
class TCaptionTextState {
public:
    explicit TCaptionTextState(HDC dc);

private:
    UniqueFont FPlainFont;  // freed after the DC has let go of it
    SavedDC FSaved;
};

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

// ---------------------------------------------------------------------------------------------
// The small controls (WinSubClassSmall.cpp) and the boxes (WinSubClassBoxes.cpp).

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

// ---------------------------------------------------------------------------------------------
// Tabs, scroll bars, headers, list views and size grips.

// The glyph of an image list (none for index -1 or no list) and a one-line caption in rect,
// left (0), centred (1) or right (2), both centred vertically; a disabled caption in the
// button-shadow colour.
void DrawGlyphText(HDC dc, const TRect& rect, HIMAGELIST images, int imageIndex, const std::string& text,
                   int alignment, bool enabled);

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
