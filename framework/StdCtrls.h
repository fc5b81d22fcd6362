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
