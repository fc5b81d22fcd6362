// The input controls' skins (check box, radio button, track bar, up-down, edit and combo box)
// and the progress bar's.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "SkinPaint.h"
#include "WinSkinData.h"
#include "SysUtils.h"
#include "WinSkinForm.h"
#include "WinSubClassInputs.h"

namespace {

constexpr UINT CM_GLYPHREDRAW = 0xB0D0;  // asks a check box or radio button to repaint

// Messages after which a check box or radio button draws its glyph again: the control has
// just painted its own.
bool RedrawsGlyph(UINT msg)
{
    switch (msg) {
    case BM_SETCHECK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case CM_EXIT:
    case CM_GLYPHREDRAW:
        return true;
    default:
        return false;
    }
}

// The glyph of a check box or radio button: frame state of the strip, in a 14-pixel box at the
// left (or at the right with BS_RIGHTBUTTON), centred vertically, on the face colour.
void DrawGlyph(TSkinControl& skin, HDC dc, const TRect& r, TBitmap& strip, int frameCount, int state)
{
    const int gw = strip.Width() / std::max(1, frameCount), gh = strip.Height();
    const int top = r.Top + (r.Height() - gh) / 2;
    const int inset = gw <= 14 ? (14 - gw) / 2 : 0;
    int left;
    if (GetWindowLongA(skin.Handle(), GWL_STYLE) & BS_RIGHTBUTTON)
        left = (gw > 14 ? r.Right - 1 : r.Right - inset) - gw;
    else
        left = r.Left + inset;
    const TRect glyph = Bounds(left, top, gw, gh);
    skin.FillFace(dc, glyph);
    DrawSkinGlyph(dc, glyph, strip, state, frameCount, true);
}

// A strip without frames for the disabled states shows a disabled button as an enabled one,
// rather than the nearest frame of another state.
int DisabledFrame(int frame, int frameCount)
{
    return frame + 2 <= frameCount ? frame + 2 : frame;
}

// A published Checked property, where the control has one, decides over the window's state.
bool CheckedOf(TWinControl* control, bool windowChecked)
{
    if (!control)
        return windowChecked;
    const std::string value = GetEnumPropName(*control, "Checked");
    return value.empty() ? windowChecked : LowerCase(value) == "true";
}

// Directions of an arrow: up, down, left, right.
enum : int { adUp = 0, adDown = 1, adLeft = 2, adRight = 3 };
// Button states: their frames within a half's four.
enum : int { udNormal = 1, udPressed = 2, udDisabled = 3, udHot = 4 };
constexpr int kUpDownFrames = 8;

void Line(TCanvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

// A small arrow at (x, y) in the canvas pen: chevrons up and down, triangle outlines left and right.
void DrawArrow(TCanvas& canvas, int x, int y, int kind)
{
    switch (kind) {
    case adUp:
        Line(canvas, x, y, x, y - 1);
        Line(canvas, x + 1, y + 1, x + 4, y + 4);
        Line(canvas, x, y + 1, x + 3, y + 4);
        Line(canvas, x, y + 2, x + 2, y + 4);
        Line(canvas, x - 1, y + 1, x - 4, y + 4);
        Line(canvas, x, y + 2, x - 3, y + 4);
        Line(canvas, x, y + 1, x - 2, y + 4);
        break;
    case adDown:
        Line(canvas, x, y + 3, x, y + 4);
        Line(canvas, x + 1, y + 2, x + 4, y - 1);
        Line(canvas, x, y + 2, x + 3, y - 1);
        Line(canvas, x, y + 1, x + 2, y);
        Line(canvas, x - 1, y + 2, x - 4, y - 1);
        Line(canvas, x, y + 2, x - 3, y - 1);
        Line(canvas, x, y + 1, x - 2, y);
        break;
    case adLeft:
    case adRight: {
        const int s = kind == adLeft ? 1 : -1;
        canvas.MoveTo(x, y);
        canvas.LineTo(x + s, y + 2);
        canvas.LineTo(x + s, y - 2);
        canvas.LineTo(x - s, y);
        canvas.LineTo(x + s, y + 2);
        break;
    }
    default:
        break;
    }
}

// One half from the element: its frame of Image stretched, then GlyphImage's at its own size,
// centred.
void DrawImageButton(HDC dc, const TRect& rect, int direction, int state, TDataSkinBorder& element)
{
    const int frame = (direction < adLeft ? direction : direction - adLeft) * 4 + state;
    DrawSkinGlyph(dc, rect, element.Image, frame, kUpDownFrames, true);
    if (element.Image2.Empty())
        return;
    const int w = element.Image2.Width() / kUpDownFrames, h = element.Image2.Height();
    DrawSkinGlyph(dc, Bounds(rect.Left + (rect.Width() - w) / 2, rect.Top + (rect.Height() - h) / 2, w, h),
                  element.Image2, frame, kUpDownFrames, true);
}

// One half without images: a box in the face or shadow colour with an arrow.
void DrawPlainButton(TCanvas& canvas, const TSkinColours& colours, const TRect& rect, int direction, int state)
{
    canvas.Brush().SetColor(state == udNormal || state == udDisabled ? colours.ButtonFace : colours.ButtonShadow);
    canvas.Pen().SetColor(colours.ButtonDkShadow);
    canvas.Rectangle(rect);
    const int lift = direction < adLeft ? 2 : 0;
    DrawArrow(canvas, rect.Left + rect.Width() / 2, rect.Top + rect.Height() / 2 - lift, direction);
}

}  // namespace

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinUpDown, TSkinControl)

bool TSkinUpDown::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (CallOldProc(message)) {
            FMouseState |= kMousePressed;
            PaintControl(nullptr);
        }
        return false;
    case WM_LBUTTONUP:
        FMouseState &= ~kMousePressed;
        if (CallOldProc(message))
            PaintControl(nullptr);
        return false;
    default:
        return TSkinControl::BeforeMessage(message);
    }
}

void TSkinUpDown::DrawControl(HDC dc, const TRect& rect)
{
    RECT client;
    if (!GetClientRect(FHandle, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    TBitmap work(client.right, client.bottom);
    FillFace(work.Canvas().Handle(), Rect(0, 0, client.right, client.bottom));
    TRect c = Rect(0, 0, client.right, client.bottom);
    if (FInset)
        c = Rect(1, 1, c.Right - 1, c.Bottom - 1);
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(FHandle, &cursor);
    const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    FEnabled = !(style & WS_DISABLED);

    const bool horizontal = FForceHorz == 1 || (style & UDS_HORZ);
    TRect first, second;
    int firstDirection, secondDirection;
    bool overSecond;  // the cursor lies on the second half's side of the split
    if (horizontal) {
        const int split = c.Left + c.Width() / 2;
        first = Rect(c.Left, c.Top, split, c.Bottom);
        second = Rect(split, c.Top, c.Right, c.Bottom);
        firstDirection = adLeft;
        secondDirection = adRight;
        overSecond = cursor.x >= split;
    } else {
        const int split = c.Top + c.Height() / 2;
        first = Rect(c.Left, c.Top, c.Right, split);
        second = Rect(c.Left, split, c.Right, c.Bottom);
        firstDirection = adUp;
        secondDirection = adDown;
        overSecond = cursor.y >= split;
    }
    auto stateOf = [&](bool cursorOnOtherHalf) {
        if (!FEnabled)
            return udDisabled;
        if (cursorOnOtherHalf)
            return udNormal;
        if (FMouseState & kMousePressed)
            return udPressed;
        return FMouseState & kMouseHot ? udHot : udNormal;
    };
    TDataSkinBorder* element = (horizontal ? FSkinData->UpDownHorz : FSkinData->UpDownVert).get();
    HDC workDC = work.Canvas().Handle();
    if (element && !element->Image.Empty() && !element->Image2.Empty()) {
        DrawImageButton(workDC, first, firstDirection, stateOf(overSecond), *element);
        DrawImageButton(workDC, second, secondDirection, stateOf(!overSecond), *element);
    } else {
        DrawPlainButton(work.Canvas(), FSkinData->Colours, first, firstDirection, stateOf(overSecond));
        DrawPlainButton(work.Canvas(), FSkinData->Colours, second, secondDirection, stateOf(!overSecond));
    }
    BitBlt(dc, rect.Left, rect.Top, client.right, client.bottom, workDC, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinCheckBox, TSkinControl)

void TSkinCheckBox::AfterMessage(TMessage& message)
{
    if (RedrawsGlyph(message.Msg))
        Redraw();
    else
        TSkinControl::AfterMessage(message);
}

void TSkinCheckBox::DrawControl(HDC dc, const TRect& rect)
{
    TDataSkinButton& buttons = FSkinData->Buttons;
    if (buttons.CheckImage.Empty())
        return;
    const LRESULT state = SendMessageA(FHandle, BM_GETSTATE, 0, 0);
    int frame = CheckedOf(FControl, state & BST_CHECKED) ? 2 : 1;
    if (GetWindowLongA(FHandle, GWL_STYLE) & WS_DISABLED)
        frame = DisabledFrame(frame, buttons.CheckButtonFrame);
    if (state & BST_INDETERMINATE)
        frame = 4;
    DrawGlyph(*this, dc, rect, buttons.CheckImage, buttons.CheckButtonFrame, frame);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinRadioButton, TSkinControl)

void TSkinRadioButton::AfterMessage(TMessage& message)
{
    if (RedrawsGlyph(message.Msg))
        Redraw();
    else
        TSkinControl::AfterMessage(message);
}

void TSkinRadioButton::DrawControl(HDC dc, const TRect& rect)
{
    TDataSkinButton& buttons = FSkinData->Buttons;
    if (buttons.RadioImage.Empty())
        return;
    int frame = CheckedOf(FControl, SendMessageA(FHandle, BM_GETCHECK, 0, 0) & 1) ? 2 : 1;
    if (GetWindowLongA(FHandle, GWL_STYLE) & WS_DISABLED)
        frame = DisabledFrame(frame, buttons.RadioButtonFrame);
    DrawGlyph(*this, dc, rect, buttons.RadioImage, buttons.RadioButtonFrame, frame);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinTrackBar, TSkinControl)

bool TSkinTrackBar::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_NOTIFY:
    case CN_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
        if (!header || header->code != static_cast<UINT>(NM_CUSTOMDRAW))
            return true;
        message.Result = CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(message.LParam));
        return false;
    }
    default:
        return TSkinControl::BeforeMessage(message);
    }
}

LRESULT TSkinTrackBar::CustomDraw(const NMCUSTOMDRAW& draw)
{
    if (draw.dwDrawStage == CDDS_PREPAINT)
        return CDRF_NOTIFYITEMDRAW;
    if (draw.dwDrawStage == CDDS_ITEMPREPAINT && draw.dwItemSpec == TBCD_THUMB) {
        DrawThumb(draw.hdc);
        return CDRF_SKIPDEFAULT;
    }
    return CDRF_DODEFAULT;
}

void TSkinTrackBar::DrawThumb(HDC dc)
{
    RECT r{};
    SendMessageA(FHandle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
    const TRect thumb = Rect(r.left, r.top, r.right, r.bottom);
    // An element whose image is empty (missing or damaged in the skin) counts as missing.
    auto usable = [](const std::unique_ptr<TDataSkinObject>& e) { return e && !e->Image.Empty() ? e.get() : nullptr; };
    TDataSkinObject* element = nullptr;
    if (GetWindowLongA(FHandle, GWL_STYLE) & TBS_VERT)
        element = usable(FSkinData->TrackbarThumbVert);
    if (!element)
        element = usable(FSkinData->TrackbarThumbHorz);
    if (element) {
        DrawSkinGlyph(dc, thumb, element->Image, 2, 5, true);
        return;
    }
    // The canvas sets the background of the control's DC, which goes on drawing after the thumb.
    const SavedDC saved(dc);
    FCanvas->SetHandle(dc);
    FCanvas->Pen().SetColor(FSkinData->Colours.ButtonShadow);
    FCanvas->Rectangle(thumb);
    FCanvas->SetHandle(nullptr);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinProgress, TSkinControl)

void TSkinProgress::DrawControl(HDC dc, const TRect& rect)
{
    TDataSkinBorder* element = FSkinData->Progress.get();
    if (!element || element->Image.Empty() || !SkinWorkBitmap || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const bool chunks = element->Style == 1;
    if (chunks && element->Image2.Empty())
        return;
    const int pos = static_cast<int>(SendMessageA(FHandle, PBM_GETPOS, 0, 0));
    const int max = static_cast<int>(SendMessageA(FHandle, PBM_GETRANGE, 0, 0));
    // A vertical bar fills from the bottom up.
    const bool vertical = GetWindowLongA(FHandle, GWL_STYLE) & PBS_VERTICAL;
    const int length = vertical ? rect.Height() : rect.Width();
    const int filled = pos > 0 && max > 0 ? static_cast<int>(static_cast<int64_t>(pos) * length / max) : 0;
    const TRect margins = Rect(element->LeftWidth, element->TopHeight, element->RightWidth, element->BottomHeight);

    TBitmap& work = *SkinWorkBitmap;
    work.SetSize(rect.Right, rect.Bottom);
    HDC workDC = work.Canvas().Handle();
    FillFace(workDC, rect);
    DrawSkinImage(workDC, rect, element->Image, margins, 1, chunks ? 1 : 2, true, element->Tile != 0, false);
    if (filled > 0 && !chunks) {
        const TRect bar = vertical ? Rect(rect.Left, rect.Bottom - filled, rect.Right, rect.Bottom)
                                   : Rect(rect.Left, rect.Top, rect.Left + filled, rect.Bottom);
        DrawSkinImage(workDC, bar, element->Image, margins, 2, 2, true, element->Tile != 0, false);
    } else if (filled > 0) {
        // Copies of the chunk side by side (one above the other, vertically), the last one cut.
        TBitmap& chunk = element->Image2;
        const int cw = chunk.Width(), ch = chunk.Height();
        TBitmap row(vertical ? cw : filled, vertical ? filled : ch);
        HDC rowDC = row.Canvas().Handle();
        for (int i = 0; i <= filled / (vertical ? ch : cw); ++i) {
            if (vertical)
                BitBlt(rowDC, 0, filled - (i + 1) * ch, cw, ch, chunk.Canvas().Handle(), 0, 0, SRCCOPY);
            else
                BitBlt(rowDC, i * cw, 0, cw, ch, chunk.Canvas().Handle(), 0, 0, SRCCOPY);
        }
        const TRect at = vertical
            ? Bounds(rect.Left + (rect.Width() - cw) / 2, rect.Bottom - element->BottomHeight - filled, cw, filled)
            : Bounds(rect.Left + element->LeftWidth, rect.Top + (rect.Height() - ch) / 2, filled, ch);
        TransparentBlit(workDC, at, row, SkinKeyColor);
    }
    BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), workDC, rect.Left, rect.Top, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinEdit, TSkinControl)

bool TSkinEdit::BeforeMessage(TMessage& message)
{
    if (message.Msg != WM_PRINT)
        return TSkinControl::BeforeMessage(message);
    if (PrintItself(message))
        PrintFrame(reinterpret_cast<HDC>(message.WParam));
    return false;
}

void TSkinEdit::FindSpinButton()
{
    for (HWND child = GetWindow(FHandle, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = GetWindowClass(child);
        if (LowerCase(cls) != "msctls_updown32" && cls != "TSpinButton")
            continue;
        auto* spin = TComponent::Make<TSkinUpDown>(Owner());
        try {
            spin->AttachWindow(child, FSkinData, FCanvas, FSkinForm);
        } catch (const std::exception&) {
            TComponent::Free(spin);
            return;
        }
        spin->FInset = true;
        FUpDown = spin;
        return;
    }
}

void TSkinEdit::DrawControl(HDC dc, const TRect& rect)
{
    if (!FUpDown)
        FindSpinButton();
    RECT client;
    GetClientRect(FHandle, &client);
    if (client.right == rect.Right || client.bottom == rect.Bottom)
        return;  // no border
    UniqueBrush shadow(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonShadow)));
    UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255)));
    const RECT outer{rect.Left, rect.Top, rect.Right, rect.Bottom};
    const RECT inner{rect.Left + 1, rect.Top + 1, rect.Right - 1, rect.Bottom - 1};
    FrameRect(dc, &outer, shadow.get());
    FrameRect(dc, &inner, white.get());
}

void TSkinEdit::PrintFrame(HDC dc)
{
    RECT window, client;
    if (!GetWindowRect(FHandle, &window) || !GetClientRect(FHandle, &client))
        return;
    const int w = window.right - window.left, h = window.bottom - window.top;
    if (client.right + 2 >= w || client.bottom + 2 >= h)
        return;
    std::optional<WindowDC> own;
    if (!dc)
        own.emplace(FHandle, WindowDC::WholeWindow);
    HDC target = dc ? dc : own->Get();
    const RECT outer{0, 0, w, h};
    const RECT inner{1, 1, w - 1, h - 1};
    FrameRect(target, &inner, static_cast<HBRUSH>(GetCurrentObject(target, OBJ_BRUSH)));
    UniqueBrush shadow(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonShadow)));
    FrameRect(target, &outer, shadow.get());
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TSkinComBox, TSkinControl)

void TSkinComBox::AfterMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        FMouseState |= kMousePressed;
        PaintControl(nullptr);
        break;
    case WM_LBUTTONUP:
        FMouseState &= ~kMousePressed;
        PaintControl(nullptr);
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (FEnabled) {
            if (message.Msg == CM_MOUSEENTER)
                FMouseState |= kMouseHot;
            else
                FMouseState &= ~kMouseHot;
            PaintControl(nullptr);
        }
        break;
    default:
        TSkinControl::AfterMessage(message);
        break;
    }
}

int TSkinComBox::State() const
{
    if (FMouseState & kMousePressed)
        return 2;
    if (FFocused || (FMouseState & kMouseHot))
        return 4;
    return FEnabled ? 1 : 3;
}

void TSkinComBox::DrawControl(HDC dc, const TRect& rect)
{
    TDataSkinBorder* button = FSkinData->ComboButton.get();
    if (!button || button->Image.Empty())
        return;
    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    FStyle = GetWindowLongA(FHandle, GWL_STYLE);
    FExStyle = GetWindowLongA(FHandle, GWL_EXSTYLE);
    FFocused = GetFocus() == FHandle || (GetFocus() && IsChild(FHandle, GetFocus()));
    FEnabled = !(FStyle & WS_DISABLED);
    if (button->Style == 1) {
        DrawSimple(dc, r);
        return;
    }
    TDataSkinObject* edge = FSkinData->SunkEdge.get();
    if (!edge || edge->Image.Empty())
        return;
    const int state = State();
    const int b = GetSystemMetrics(SM_CXHSCROLL);
    TRect edit, face, glyphBox;
    TBitmap* image;
    if (FExStyle & WS_EX_LEFTSCROLLBAR) {
        edit = Rect(b + r.Left + 4, r.Top + 2, r.Right - 2, r.Bottom - 2);
        face = Rect(r.Left, r.Top, r.Left + b + 2, r.Bottom);
        glyphBox = Rect(2, r.Top, b + 2, r.Bottom);
        image = &button->Image2;
    } else {
        edit = Rect(r.Left + 2, r.Top + 2, r.Right - b - 4, r.Bottom - 2);
        face = Rect(r.Right - b - 2, r.Top, r.Right, r.Bottom);
        glyphBox = Rect(r.Right - b - 2, r.Top, r.Right - 2, r.Bottom);
        image = &button->Image;
    }
    {
        const ClipGuard clip(dc);
        ExcludeClipRect(dc, edit.Left, edit.Top, edit.Right, edit.Bottom);
        DrawSkinFrame(dc, r, *edge, state, 4);
    }
    DrawSkinGlyph(dc, face, *image, state, 4, true);
    TDataSkinObject* extra = FSkinData->ExtraImages.get();
    if (extra && !extra->Image.Empty()) {
        const int w = extra->Image.Width() / 5, h = extra->Image.Height();
        DrawSkinGlyph(dc,
                      Bounds(glyphBox.Left + (glyphBox.Width() - w) / 2, glyphBox.Top + (glyphBox.Height() - h) / 2, w, h),
                      extra->Image, state, 5, true);
    }
}

void TSkinComBox::DrawSimple(HDC dc, const TRect& r)
{
    TDataSkinBorder& button = *FSkinData->ComboButton;
    HBRUSH brush = static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH));
    const RECT frame{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    FrameRect(dc, &frame, brush);
    RECT face{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    face.left = face.right - GetSystemMetrics(SM_CYVTHUMB);
    FillRect(dc, &face, brush);
    DrawSkinGlyph(dc, Rect(face.left, face.top, face.right, face.bottom), button.Image, State(), 4, false);
    UniqueBrush shadow(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonShadow)));
    const RECT outer{r.Left, r.Top, r.Right, r.Bottom};
    FrameRect(dc, &outer, shadow.get());
}
