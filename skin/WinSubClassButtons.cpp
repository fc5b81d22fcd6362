// Push, bit and speed buttons drawn from the skin's [Buttons] element: five frames, of which
// these draw 1 normal, 2 pressed, 3 disabled and 4 hot or focused.
#include "Buttons.h"
#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSubClassButtons.h"

namespace {

constexpr int kButtonFrames = 5;
enum : int { bsNormal = 1, bsPressed = 2, bsDisabled = 3, bsHot = 4 };

bool HasButtonImage(const TSkinData* data)
{
    return data && data->Buttons.Image.Width() > 0 && data->Buttons.Image.Height() > 0;
}

// The text colour of a state; keyedOnly: a state colour only where the skin gives its key.
TColor StateTextColour(const TSkinData& data, int state, TColor fallback, bool keyedOnly)
{
    const TDataSkinButton& b = data.Buttons;
    switch (state) {
    case bsNormal: return !keyedOnly || b.HasNormalColour2 ? b.NormalColour2 : fallback;
    case bsHot: return !keyedOnly || b.HasMouseOverColour2 ? b.MouseOverColour2 : fallback;
    case bsPressed: return !keyedOnly || b.HasPressedColour2 ? b.PressedColour2 : fallback;
    default: return clBtnShadow;
    }
}

// Puts a font into a DC for the life of the object.

TPoint MeasureText(HDC dc, const std::string& text, const TRect& within)
{
    if (text.empty())
        return {};
    RECT r{within.Left, within.Top, within.Right, within.Bottom};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

TPoint GlyphSize(TButtonGlyph& glyph)
{
    if (glyph.Glyph.Width() <= 0)
        return {};
    return {glyph.Glyph.Width() / std::max(1, glyph.NumGlyphs & 0x7F), glyph.Glyph.Height()};
}

// The glyph and the caption of a glyph button laid out into dc, whose font is selected.
void DrawGlyphAndCaption(HDC dc, TCanvas& canvas, const TRect& r, TButtonGlyph* glyph,
                         const std::string& caption, int state, TColor textColour, bool speedButton)
{
    const TPoint clientSize{r.Width(), r.Height()};
    const TPoint glyphSize = glyph ? GlyphSize(*glyph) : TPoint{};
    const TPoint textSize = MeasureText(dc, caption, r);
    const TGlyphLayout layout = glyph
        ? LayoutGlyphButton(clientSize, glyphSize, textSize, static_cast<int>(glyph->Layout), glyph->Margin,
                            glyph->Spacing, speedButton)
        : LayoutGlyphButton(clientSize, glyphSize, textSize, 0, -1, -1, speedButton);
    if (glyph && glyphSize.X > 0) {
        const TRect at = Bounds(layout.GlyphPos.X, layout.GlyphPos.Y, glyphSize.X, glyphSize.Y);
        DrawGlyphFrame(canvas, at, glyph->Glyph, GlyphIndexOfState(state), glyph->NumGlyphs & 0x7F);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(textColour));
    RECT text{layout.TextPos.X, layout.TextPos.Y, layout.TextPos.X + textSize.X, layout.TextPos.Y + textSize.Y};
    DrawTextA(dc, caption.c_str(), -1, &text, layout.TextFlag);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinButton, TSkinControl)

TSkinButton::~TSkinButton()
{
    // The form must not go on naming a freed button as its hot one.
    if (FSkinForm)
        FSkinForm->HotTrack().Forget(this);
}

void SendMouseLeave(TSkinButton* button)
{
    if (!button)
        return;
    if (button->Handle())
        SendMessageA(button->Handle(), CM_MOUSELEAVE, 0, 0);
    else if (button->GraphicControl())
        button->GraphicControl()->Perform(CM_MOUSELEAVE);
}

int TSkinButton::ButtonState(bool focused, bool enabled) const
{
    int state = focused ? bsHot : bsNormal;
    if (FMouseState & kMousePressed)
        state = bsPressed;
    else if (FMouseState & kMouseHot)
        state = bsHot;
    return enabled ? state : bsDisabled;
}

void TSkinButton::BecomeHot()
{
    FMouseState |= kMouseHot;
    if (!FSkinForm)
        return;
    TSkinHotTrack& hot = FSkinForm->HotTrack();
    TSkinButton* previous = hot.Button();
    if (previous && previous != this)
        SendMouseLeave(previous);
    if (hot.Button() != this) {
        Redraw();
        hot.SetButton(this);
    }
}

bool TSkinButton::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The control never sees the press: the skin clicks on the release.
        if (!FFocused)
            SetFocus(FHandle);
        FMouseState |= kMousePressed;
        PaintControl(nullptr);
        return false;
    case WM_NCDESTROY:
        // A window that is going is nobody's hot button: the mouse leaving it would be told to
        // a dead handle, or to another window that gets the handle next.
        if (FSkinForm)
            FSkinForm->HotTrack().Forget(this);
        return TSkinControl::BeforeMessage(message);
    default:
        return TSkinControl::BeforeMessage(message);
    }
}

void TSkinButton::AfterMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (message.WParam == VK_SPACE) {
            if (message.Msg == WM_KEYDOWN)
                FMouseState |= kMousePressed;
            else
                FMouseState &= ~kMousePressed;
            Redraw();
        }
        break;
    case WM_MOUSEMOVE:
        if (!(FMouseState & kMouseHot))
            BecomeHot();
        break;
    case WM_LBUTTONUP:
        if (FMouseState & kMousePressed) {
            FMouseState &= ~kMousePressed;
            Redraw();
            // The click comes last: its handler may free this skin with its control.
            if (FControl)
                FControl->Click();
            else
                PostMessageA(GetParent(FHandle), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(FHandle), BN_CLICKED),
                             reinterpret_cast<LPARAM>(FHandle));
        }
        break;
    case CM_MOUSEENTER:
        if (FEnabled) {
            FMouseState |= kMouseHot;
            Redraw();
            if (FSkinForm)
                FSkinForm->HotTrack().SetButton(this);
        }
        break;
    case CM_MOUSELEAVE:
        if (FEnabled) {
            FMouseState &= ~(kMouseHot | kMousePressed);
            Redraw();
            if (FSkinForm)
                FSkinForm->HotTrack().Forget(this);
        }
        break;
    default:
        TSkinControl::AfterMessage(message);
        break;
    }
}

void TSkinButton::DrawControl(HDC dc, const TRect& rect)
{
    if (!HasButtonImage(FSkinData))
        return;
    FFocused = GetFocus() == FHandle;
    FEnabled = !(GetWindowLongA(FHandle, GWL_STYLE) & WS_DISABLED);
    FText = GetWindowCaption(FHandle);
    if (FText.empty() && FControl)
        FText = FControl->Text();
    const int state = ButtonState(FFocused, FEnabled);

    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    FBitmap.SetSize(r.Width(), r.Height());
    HDC bitmapDC = FBitmap.Canvas().Handle();
    FillFace(bitmapDC, r);
    DrawSkinFrame(bitmapDC, r, FSkinData->Buttons, state, kButtonFrames);
    {
        const SelectionGuard font(bitmapDC, reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0)));
        SetTextColor(bitmapDC, ColorToRGB(StateTextColour(*FSkinData, state, FSkinData->Colours.ButtonText, false)));
        DrawControlText(bitmapDC, r, FText, FEnabled, DT_CENTER);
        BitBlt(dc, rect.Left, rect.Top, r.Width(), r.Height(), bitmapDC, 0, 0, SRCCOPY);
    }
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinBitButton, TSkinButton)

void TSkinBitButton::DrawControl(HDC dc, const TRect& rect)
{
    if (!HasButtonImage(FSkinData))
        return;
    FFocused = GetFocus() == FHandle;
    FEnabled = !(GetWindowLongA(FHandle, GWL_STYLE) & WS_DISABLED);
    FText = GetWindowCaption(FHandle);
    const bool enabled = FControl ? FControl->Enabled() && FEnabled : FEnabled;
    const int state = ButtonState(FFocused, enabled);

    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    FBitmap.SetSize(r.Width(), r.Height());
    HDC bitmapDC = FBitmap.Canvas().Handle();
    FillFace(bitmapDC, r);
    DrawSkinFrame(bitmapDC, r, FSkinData->Buttons, state, kButtonFrames);
    auto* bitBtn = dynamic_cast<TBitBtn*>(FControl);
    HFONT font = FControl ? FControl->Font().Handle()
                          : reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
    const TColor fallback = FControl ? FControl->Font().Color() : FSkinData->Colours.ButtonText;
    const SelectionGuard selected(bitmapDC, font);
    const TRect client = FControl ? FControl->ClientRect() : r;
    DrawGlyphAndCaption(bitmapDC, FBitmap.Canvas(), Rect(0, 0, client.Width(), client.Height()),
                        bitBtn ? &bitBtn->Glyph() : nullptr, FText, state,
                        StateTextColour(*FSkinData, state, fallback, true), false);
    BitBlt(dc, rect.Left, rect.Top, r.Width(), r.Height(), bitmapDC, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinSpeedButton, TSkinBitButton)

void TSkinSpeedButton::AttachGraphicControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* canvas)
{
    FSkinData = skinData;
    FCanvas = canvas;
    FSkinForm = form;
    FGraphicControl = dynamic_cast<TControl*>(Owner());
    if (!FGraphicControl)
        throw Exception("A speed-button skin belongs to a control");
    HookControl(FGraphicControl);
    form->AddControl(this);
    FAttached = true;
    FSkinState = cssAttached;
}

bool TSkinSpeedButton::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_PAINT: {
        // A graphic control has no window: it paints on its parent's DC, which the message
        // brings. Without one the skin paints where it can once the control has had the message.
        if (!message.WParam) {
            if (CallOldProc(message))
                PaintControl(nullptr);
            return false;
        }
        TCanvas canvas;
        canvas.SetHandle(reinterpret_cast<HDC>(message.WParam));
        const TRect client = FGraphicControl->ClientRect();
        try {
            DrawSpeedButton(canvas, client);
        } catch (...) {
            canvas.SetHandle(nullptr);
            throw;
        }
        canvas.SetHandle(nullptr);
        message.Result = 1;
        return false;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The speed button does its own down and click handling.
        if (!CallOldProc(message))
            return false;
        FMouseState |= kMousePressed;
        PaintControl(nullptr);
        return false;
    default:
        return TSkinButton::BeforeMessage(message);
    }
}

void TSkinSpeedButton::AfterMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_NCDESTROY:
    case CM_RELEASE:
        UnhookControl();
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (message.WParam == VK_SPACE) {
            if (message.Msg == WM_KEYDOWN)
                FMouseState |= kMousePressed;
            else
                FMouseState &= ~kMousePressed;
            PaintControl(nullptr);
        }
        break;
    case WM_LBUTTONUP:
        FMouseState &= ~kMousePressed;
        PaintControl(nullptr);
        break;
    case CM_MOUSEENTER:
        FMouseState |= kMouseHot;
        PaintControl(nullptr);
        break;
    case CM_MOUSELEAVE:
        FMouseState &= ~(kMouseHot | kMousePressed);
        if (FSkinForm)
            FSkinForm->HotTrack().Forget(this);
        if (FGraphicControl->Visible())
            PaintControl(nullptr);
        break;
    default:
        TSkinButton::AfterMessage(message);
        break;
    }
}

void TSkinSpeedButton::PaintControl(HDC)
{
    if (!FGraphicControl)
        return;
    auto* graphic = dynamic_cast<TGraphicControl*>(FGraphicControl);
    if (graphic && graphic->Canvas().HandleAllocated())
        DrawSpeedButton(graphic->Canvas(), FGraphicControl->ClientRect());
    else
        FGraphicControl->Invalidate();  // outside its painting: the next paint shows the state
}

void TSkinSpeedButton::DrawSpeedButton(TCanvas& canvas, const TRect& rect)
{
    if (!HasButtonImage(FSkinData) || !SkinWorkBitmap)
        return;
    auto* speed = dynamic_cast<TSpeedButton*>(FGraphicControl);
    const bool enabled = FGraphicControl->Enabled();
    int state = ButtonState(false, enabled);
    if (speed && speed->Down())
        state = bsPressed;

    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    TBitmap& work = *SkinWorkBitmap;
    work.SetSize(r.Width(), r.Height());
    HDC workDC = work.Canvas().Handle();
    FillFace(workDC, r);
    DrawSkinFrame(workDC, r, FSkinData->Buttons, state, kButtonFrames);
    {
        const SelectionGuard font(workDC, FGraphicControl->Font().Handle());
        const std::string& caption = FGraphicControl->Caption();
        TButtonGlyph* glyph = speed && speed->Glyph().Glyph.Width() > 0 ? &speed->Glyph() : nullptr;
        if (glyph) {
            DrawGlyphAndCaption(workDC, work.Canvas(), r, glyph, caption, state,
                                StateTextColour(*FSkinData, state, FGraphicControl->Font().Color(), true), true);
        } else {
            SetTextColor(workDC, ColorToRGB(FGraphicControl->Font().Color()));
            DrawControlText(workDC, r, caption, enabled, DT_CENTER);
        }
    }
    BitBlt(canvas.Handle(), rect.Left, rect.Top, r.Width(), r.Height(), workDC, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------

TGlyphLayout LayoutGlyphButton(TPoint clientSize, TPoint glyphSize, TPoint textSize, int layout, int margin,
                               int spacing, bool speedButton)
{
    TGlyphLayout result;
    const bool horizontal = layout == 0 || layout == 1;
    // Across the layout's axis both are centred.
    if (horizontal) {
        result.GlyphPos.Y = (clientSize.Y - glyphSize.Y + 1) / 2;
        result.TextPos.Y = (clientSize.Y - textSize.Y + 1) / 2;
    } else {
        result.GlyphPos.X = (clientSize.X - glyphSize.X + 1) / 2;
        result.TextPos.X = (clientSize.X - textSize.X + 1) / 2;
    }
    if (textSize.X == 0 || glyphSize.X == 0)
        spacing = 0;
    const int client = horizontal ? clientSize.X : clientSize.Y;
    const int glyph = horizontal ? glyphSize.X : glyphSize.Y;
    const int text = horizontal ? textSize.X : textSize.Y;
    if (margin == -1 && spacing == -1) {
        margin = (client - (glyph + text)) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (client - (glyph + spacing + text)) / 2 + (speedButton ? 1 : 0);
    } else if (spacing == -1) {
        spacing = (client - (margin + glyph) - text) / 2;
    }
    switch (layout) {
    case 1:
        result.GlyphPos.X = clientSize.X - margin - glyphSize.X;
        result.TextPos.X = result.GlyphPos.X - spacing - textSize.X;
        result.TextFlag = DT_RIGHT;
        break;
    case 2:
        result.GlyphPos.Y = margin;
        result.TextPos.Y = result.GlyphPos.Y + glyphSize.Y + spacing;
        result.TextFlag = DT_CENTER;
        break;
    case 3:
        result.GlyphPos.Y = clientSize.Y - margin - glyphSize.Y;
        result.TextPos.Y = result.GlyphPos.Y - spacing - textSize.Y;
        result.TextFlag = DT_CENTER;
        break;
    default:
        result.GlyphPos.X = margin;
        result.TextPos.X = result.GlyphPos.X + glyphSize.X + spacing;
        result.TextFlag = DT_LEFT;
        break;
    }
    return result;
}

int GlyphIndexOfState(int state)
{
    switch (state) {
    case bsPressed: return 3;
    case bsDisabled: return 2;
    default: return 1;
    }
}

void DrawGlyphFrame(TCanvas& canvas, const TRect& rect, TBitmap& glyph, int index, int numGlyphs)
{
    if (numGlyphs != 4)
        index = 1;
    const int frameWidth = glyph.Width() / std::max(1, numGlyphs);
    if (frameWidth <= 0 || glyph.Height() <= 0)
        return;
    TBitmap frame(frameWidth, glyph.Height());
    frame.Canvas().CopyRect(Rect(0, 0, frameWidth, glyph.Height()), glyph.Canvas(),
                            Bounds((index - 1) * frameWidth, 0, frameWidth, glyph.Height()));
    frame.SetTransparentColor(frame.Canvas().Pixel(0, 0));
    frame.SetTransparent(true);
    canvas.Draw(rect.Left, rect.Top, frame);
}
