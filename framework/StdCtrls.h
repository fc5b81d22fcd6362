// Labels, push buttons, edit boxes and group boxes.
#pragma once

#include "Controls.h"

class TLabel : public TGraphicControl {
    LEXDRILL_CLASS(TLabel)
public:
    explicit TLabel(TComponent* owner);

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    void SetText(const std::string& text) override;
    void Paint(TCanvas& canvas) override;
    // A stored caption and font size the label once both are read.
    void Loaded() override;

protected:
    void FontChanged() override;

private:
    void AdjustSize();

    bool transparent_ = false;
    bool autoSize_ = true;
};

class TButton : public TWinControl {
    LEXDRILL_CLASS(TButton)
public:
    explicit TButton(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
};

class TEdit : public TWinControl {
    LEXDRILL_CLASS(TEdit)
public:
    explicit TEdit(TComponent* owner);
    // The text as the window holds it now (the candidate may have typed).
    std::string Text();
    void SetText(const std::string& text) override;
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    bool readOnly_ = false;
};

// A multi-line edit box, with the window scroll bars asked for.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TEdit {
    LEXDRILL_CLASS(TMemo)
public:
    explicit TMemo(TComponent* owner);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    // Before the window is made: its styles are fixed at its creation.
    void SetScrollBars(TScrollStyle value) { scrollBars_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
};

// A stand-alone scroll bar control: it moves its own position for the line, page and thumb
// scrolls it reports.
enum class TScrollBarKind { sbHorizontal, sbVertical };

class TScrollBar : public TWinControl {
    LEXDRILL_CLASS(TScrollBar)
public:
    explicit TScrollBar(TComponent* owner);

    TScrollBarKind Kind() const { return kind_; }
    // Before the window is made, as the memo's scroll bars.
    void SetKind(TScrollBarKind value) { kind_ = value; }
    int Min() const { return min_; }
    int Max() const { return max_; }
    int PageSize() const { return pageSize_; }
    int Position() const { return position_; }
    // The position is held inside the range the page leaves, as the platform holds it.
    void SetParams(int position, int min, int max, int pageSize);
    void SetPosition(int value) { SetParams(value, min_, max_, pageSize_); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    void Update();

    TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
    int min_ = 0;
    int max_ = 100;
    int pageSize_ = 0;
    int position_ = 0;
};

class TGroupBox : public TCustomControl {
    LEXDRILL_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void Paint(TCanvas& canvas) override;
    void AlignControls(TRect& rect) override;
};

// Check box, radio button and drop-down list: the platform's controls, nothing added.
class TCheckBox : public TWinControl {
    LEXDRILL_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};

class TRadioButton : public TWinControl {
    LEXDRILL_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};

class TComboBox : public TWinControl {
    LEXDRILL_CLASS(TComboBox)
public:
    explicit TComboBox(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};
