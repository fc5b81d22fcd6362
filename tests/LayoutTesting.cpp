#include "LayoutTesting.h"

#include <algorithm>
#include <cstdlib>

#include "Controls.h"
#include "ExtCtrls.h"
#include "GdiHandles.h"
#include "StdCtrls.h"

namespace {

// A rectangle of the parent's client area in screen coordinates.
RECT OnScreen(TWinControl& parent, const TRect& r)
{
    RECT screen = WinRect(r);
    MapWindowPoints(parent.Handle(), nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return screen;
}

// The part of the screen where control's parent shows its children: every ancestor's client area.
RECT ShownArea(TControl& control)
{
    RECT area{-32768, -32768, 32767, 32767};
    for (TWinControl* p = control.Parent(); p; p = p->Parent()) {
        const RECT client = OnScreen(*p, p->ClientRect());
        IntersectRect(&area, &area, &client);
    }
    return area;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    RECT both;
    return IntersectRect(&both, &inner, &outer) && EqualRect(&both, &inner);
}

bool Meet(const RECT& a, const RECT& b)
{
    RECT both;
    return IntersectRect(&both, &a, &b) != FALSE;
}

// Where the label's text puts ink, in the label's own coordinates: the cell of a character is
// wider than its glyph (a full-width colon inks only its left half).
RECT InkRect(TLabel& label)
{
    const std::string& text = label.Text();
    if (text.empty())
        return {};
    SIZE size{};
    {
        const WindowDC screen(nullptr);
        const SelectionGuard font(screen.Get(), label.Font().Handle());
        GetTextExtentPoint32A(screen.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    TBitmap picture(size.cx, size.cy);
    HDC dc = picture.Canvas().Handle();
    const RECT all{0, 0, size.cx, size.cy};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const SelectionGuard font(dc, label.Font().Handle());
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 0, 0, text.c_str(), static_cast<int>(text.size()));
    RECT ink{size.cx, size.cy, 0, 0};
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            if (GetPixel(dc, x, y) != RGB(255, 255, 255)) {
                ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
                       std::max<LONG>(ink.bottom, y + 1)};
            }
    return ink;
}

void CheckLabel(TLabel& label, std::vector<std::string>& faults)
{
    TWinControl& parent = *label.Parent();
    const RECT bounds = OnScreen(parent, label.BoundsRect());
    const RECT area = ShownArea(label);
    if (!Meet(bounds, area))
        return;
    for (int i = 0; i < parent.ControlCount(); ++i) {
        auto* window = dynamic_cast<TWinControl*>(parent.Controls(i));
        if (window && window->Visible() && Inside(bounds, OnScreen(parent, window->BoundsRect())))
            return;
    }
    const std::string name = label.Name() + " \"" + label.Text() + "\"";
    RECT ink = InkRect(label);
    if (IsRectEmpty(&ink))
        return;
    if (!Inside(ink, RECT{0, 0, label.Width(), label.Height()}))
        faults.push_back(name + ": its text reaches " + std::to_string(ink.right) + "x" + std::to_string(ink.bottom) +
                         ", it has " + std::to_string(label.Width()) + "x" + std::to_string(label.Height()));
    OffsetRect(&ink, bounds.left, bounds.top);
    if (!Inside(ink, area))
        faults.push_back(name + ": cut by the edge of " + parent.Name() + " or a window it lies in");
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* other = parent.Controls(i);
        if (other == &label || !other->Visible() || dynamic_cast<TImage*>(other))
            continue;
        RECT otherRect = OnScreen(parent, other->BoundsRect());
        if (auto* otherLabel = dynamic_cast<TLabel*>(other)) {
            const POINT at{otherRect.left, otherRect.top};
            otherRect = InkRect(*otherLabel);
            OffsetRect(&otherRect, at.x, at.y);
        }
        if (Meet(ink, otherRect))
            faults.push_back(name + ": overlaps " + other->Name());
    }
}

void Check(TWinControl& parent, std::vector<std::string>& faults)
{
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        if (!control->Visible())
            continue;
        if (auto* label = dynamic_cast<TLabel*>(control); label && !label->Text().empty())
            CheckLabel(*label, faults);
        if (auto* window = dynamic_cast<TWinControl*>(control))
            Check(*window, faults);
    }
}

}  // namespace

std::vector<std::string> TextClashes(TWinControl& root)
{
    std::vector<std::string> faults;
    Check(root, faults);
    return faults;
}

int ScreenDpi()
{
    const WindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

int ExpectedDpi()
{
    const char* dpi = std::getenv("LEXDRILL_EXPECT_DPI");
    return dpi ? std::atoi(dpi) : ScreenDpi();
}
