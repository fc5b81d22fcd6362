// A tab set: a strip of text tabs hanging down from its top edge, drawn by the control itself.
#pragma once

#include <string>
#include <vector>

#include "Controls.h"

class TTabSet : public TCustomControl {
    LEXDRILL_CLASS(TTabSet)
public:
    explicit TTabSet(TComponent* owner);

    const std::vector<std::string>& Tabs() const { return tabs_; }
    void SetTabs(const std::vector<std::string>& tabs);
    // -1: none selected.
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index);
    // The first tab shown at the start margin.
    int FirstIndex() const { return firstIndex_; }
    void SetFirstIndex(int index);
    int StartMargin() const { return startMargin_; }
    int EndMargin() const { return endMargin_; }
    void SetMargins(int start, int end);
    // Each tab is its caption's width plus 9 pixels wide.
    static constexpr int kTabPadding = 9;

    TNotifyEvent OnChange;

protected:
    void Paint(TCanvas& canvas) override;
    void WndProc(TMessage& message) override;

private:
    // The tabs shown from the first one on: each that still fits between the margins.
    std::vector<std::pair<int, TRect>> Layout(TCanvas& canvas);

    std::vector<std::string> tabs_;
    int tabIndex_ = -1;
    int firstIndex_ = 0;
    int startMargin_ = 5;
    int endMargin_ = 5;
};
