// Panels, pictures, splitters and timers.
#pragma once

#include <memory>

#include "Controls.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
    LEXDRILL_CLASS(TPanel)
public:
    explicit TPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut bevel);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut bevel);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on) { transparent_ = on; Invalidate(); }

protected:
    void Paint(TCanvas& canvas) override;
    void AlignControls(TRect& rect) override;

private:
    int BevelWidth() const;

    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    bool transparent_ = false;
};

class TImage : public TGraphicControl {
    LEXDRILL_CLASS(TImage)
public:
    explicit TImage(TComponent* owner);

    TPicture& Picture() { return picture_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool on) { stretch_ = on; Invalidate(); }
    void Paint(TCanvas& canvas) override;

private:
    TPicture picture_;
    bool stretch_ = false;
};

// Dragging it resizes the control aligned beside it on the same side.
class TSplitter : public TGraphicControl {
    LEXDRILL_CLASS(TSplitter)
public:
    explicit TSplitter(TComponent* owner);
    void Paint(TCanvas& canvas) override;

    TNotifyEvent OnMoved;

protected:
    void WndProc(TMessage& message) override;

private:
    TControl* FindSibling() const;

    TControl* sibling_ = nullptr;
    int downX_ = 0;
    int startSize_ = 0;
};

class TTimer : public TComponent {
    LEXDRILL_CLASS(TTimer)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);

    TNotifyEvent OnTimer;

    void Loaded() override;

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    void Update();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    HWND window_ = nullptr;
};
