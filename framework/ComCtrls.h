// Progress bars, up-down controls, track bars, status bars and page controls with their tab
// sheets, over the common controls.
#pragma once

#include <vector>

#include "Controls.h"

class TProgressBar : public TWinControl {
    LEXDRILL_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* owner);

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void Update();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

// An up-down control (two arrow buttons) over the common control; nothing added.
class TUpDown : public TWinControl {
    LEXDRILL_CLASS(TUpDown)
public:
    explicit TUpDown(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};

// A track bar over the common control; its orientation is its window's style.
class TTrackBar : public TWinControl {
    LEXDRILL_CLASS(TTrackBar)
public:
    explicit TTrackBar(TComponent* owner);

    bool Vertical() const { return vertical_; }
    void SetVertical(bool on);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    bool vertical_ = false;
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };

struct TStatusPanel {
    std::string Text;
    int Width = 50;
    TAlignment Alignment = TAlignment::taLeftJustify;
    TStatusPanelBevel Bevel = TStatusPanelBevel::pbLowered;
    bool RightToLeft = false;  // the text's reading order
};

// A status bar over the common control: panels, or one simple panel; at the bottom of its parent.
class TStatusBar : public TWinControl {
    LEXDRILL_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* owner);

    const std::vector<TStatusPanel>& Panels() const { return panels_; }
    void SetPanels(const std::vector<TStatusPanel>& panels);
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool on);
    const std::string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& text);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool on);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void Update();

    std::vector<TStatusPanel> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
};

class TPageControl;

class TTabSheet : public TCustomControl {
    LEXDRILL_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* owner);
    TPageControl* PageControl() const;
    void SetParent(TWinControl* parent) override;
    void SetText(const std::string& text) override;

    TNotifyEvent OnShow;
};

class TPageControl : public TWinControl {
    LEXDRILL_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* owner);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const { return active_; }
    void SetActivePage(TTabSheet* page);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void AlignControls(TRect& rect) override;

private:
    friend class TTabSheet;
    void AddPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void UpdateTabs();

    std::vector<TTabSheet*> pages_;
    TTabSheet* active_ = nullptr;
};

// A list view in report form: columns under its header, and rows of one caption each.
class TListView : public TWinControl {
    LEXDRILL_CLASS(TListView)
public:
    explicit TListView(TComponent* owner);

    void AddColumn(const std::string& caption, int width);
    void AddItem(const std::string& caption);
    int ItemCount() const { return static_cast<int>(items_.size()); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    void InsertColumn(size_t index);
    void InsertItem(size_t index);

    std::vector<std::pair<std::string, int>> columns_;
    std::vector<std::string> items_;
};

class TToolBar;
// Asked before each button of a tool bar is drawn, on the tool bar's canvas: bounds in the tool
// bar's client coordinates, state the platform's custom-draw item state (CDIS_*). The handler
// paints the button's face; the tool bar then draws its image and text over it (in the canvas
// font's colour), or nothing more when the handler clears defaultDraw.
using TToolBarCustomDrawButtonEvent =
    std::function<void(TToolBar* sender, const TRect& bounds, UINT state, bool& defaultDraw)>;

// A tool bar of text buttons, over the common control.
class TToolBar : public TWinControl {
    LEXDRILL_CLASS(TToolBar)
public:
    explicit TToolBar(TComponent* owner);

    bool Flat() const { return flat_; }
    void SetFlat(bool on);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    // Adds a button with a caption; its command id is its index.
    void AddButton(const std::string& caption);
    int ButtonCount() const { return static_cast<int>(captions_.size()); }
    // The canvas of the drawing under way (no DC outside it).
    TCanvas& Canvas() { return canvas_; }

    TToolBarCustomDrawButtonEvent OnCustomDrawButton;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    void InsertButton(size_t index);

    bool flat_ = false;
    bool transparent_ = false;
    std::vector<std::string> captions_;
    TCanvas canvas_;
};
