#include "Tabs.h"

#include <algorithm>

LEXDRILL_PLAIN_CLASS(TTabSet, TCustomControl)

TTabSet::TTabSet(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 185, 21);
}

void TTabSet::SetTabs(const std::vector<std::string>& tabs)
{
    tabs_ = tabs;
    tabIndex_ = std::min(tabIndex_, static_cast<int>(tabs_.size()) - 1);
    firstIndex_ = std::clamp(firstIndex_, 0, std::max(0, static_cast<int>(tabs_.size()) - 1));
    Invalidate();
}

void TTabSet::SetTabIndex(int index)
{
    if (index < -1 || index >= static_cast<int>(tabs_.size()) || index == tabIndex_)
        return;
    tabIndex_ = index;
    Invalidate();
    if (OnChange)
        OnChange(this);
}

void TTabSet::SetFirstIndex(int index)
{
    firstIndex_ = std::clamp(index, 0, std::max(0, static_cast<int>(tabs_.size()) - 1));
    Invalidate();
}

void TTabSet::SetMargins(int start, int end)
{
    startMargin_ = start;
    endMargin_ = end;
    Invalidate();
}

std::vector<std::pair<int, TRect>> TTabSet::Layout(TCanvas& canvas)
{
    std::vector<std::pair<int, TRect>> shown;
    const int limit = Width() - endMargin_;
    int x = startMargin_;
    for (int i = firstIndex_; i < static_cast<int>(tabs_.size()); ++i) {
        const int w = canvas.TextWidth(tabs_[static_cast<size_t>(i)]) + kTabPadding;
        if (x + w > limit)
            continue;  // a shorter later tab may still fit
        shown.emplace_back(i, Rect(x, 0, x + w, Height()));
        x += w;
    }
    return shown;
}

void TTabSet::Paint(TCanvas& canvas)
{
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    canvas.Pen().SetColor(clBtnShadow);
    canvas.MoveTo(0, 0);
    canvas.LineTo(Width(), 0);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    for (const auto& [index, r] : Layout(canvas)) {
        canvas.MoveTo(r.Left, 0);
        canvas.LineTo(r.Left, r.Bottom - 1);
        canvas.LineTo(r.Right, r.Bottom - 1);
        canvas.LineTo(r.Right, -1);
        const std::string& caption = tabs_[static_cast<size_t>(index)];
        canvas.TextOut(r.Left + kTabPadding / 2, (r.Height() - canvas.TextHeight(caption)) / 2, caption);
    }
}

void TTabSet::WndProc(TMessage& message)
{
    if (message.Msg == WM_LBUTTONDOWN) {
        // The tab under the press becomes the selected one.
        const int x = static_cast<short>(LOWORD(message.LParam));
        TCanvas canvas;
        const WindowDC dc(Handle());
        canvas.SetHandle(dc.Get());
        canvas.Font().Assign(Font());
        for (const auto& [index, r] : Layout(canvas))
            if (x >= r.Left && x < r.Right)
                SetTabIndex(index);
        canvas.SetHandle(nullptr);
    }
    TCustomControl::WndProc(message);
}
