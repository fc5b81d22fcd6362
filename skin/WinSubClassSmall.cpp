// The small controls' skins: up-down.
#include <windows.h>
#include <commctrl.h>

#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSubClass.h"

namespace {

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

const TClassInfo& TSkinUpDown::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TSkinUpDown>("TSkinUpDown", TSkinControl::StaticClass()).Build();
    return info;
}

bool TSkinUpDown::BeforeMessage(TMessage& message)
{
    switch (message.Msg) {
    case WM_PAINT:
        HandlePaint(message);
        return false;
    case WM_ERASEBKGND:
        message.Result = 1;
        return false;
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
    if (element && !element->Image2.Empty()) {
        DrawImageButton(workDC, first, firstDirection, stateOf(overSecond), *element);
        DrawImageButton(workDC, second, secondDirection, stateOf(!overSecond), *element);
    } else {
        DrawPlainButton(work.Canvas(), FSkinData->Colours, first, firstDirection, stateOf(overSecond));
        DrawPlainButton(work.Canvas(), FSkinData->Colours, second, secondDirection, stateOf(!overSecond));
    }
    BitBlt(dc, rect.Left, rect.Top, client.right, client.bottom, workDC, 0, 0, SRCCOPY);
}
