#include "StdCtrls.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const bool registered = [] {
    RegisterComponentClass(TLabel::StaticClass());
    RegisterComponentClass(TButton::StaticClass());
    RegisterComponentClass(TEdit::StaticClass());
    RegisterComponentClass(TGroupBox::StaticClass());
    return true;
}();

}  // namespace

const TClassInfo& TLabel::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TLabel>("TLabel", TGraphicControl::StaticClass())
        .Creatable()
        .Bool("Transparent", [](const TLabel& c) { return c.Transparent(); }, [](TLabel& c, bool v) { c.SetTransparent(v); })
        .Bool("AutoSize", [](const TLabel& c) { return c.AutoSize(); }, [](TLabel& c, bool v) { c.SetAutoSize(v); })
        .Build();
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner)
{
    SetParentColor(true);
    SetBounds(0, 0, 65, 17);
}

void TLabel::SetTransparent(bool on)
{
    transparent_ = on;
    Invalidate();
}

void TLabel::SetAutoSize(bool on)
{
    autoSize_ = on;
    AdjustSize();
}

void TLabel::SetText(const std::string& text)
{
    TGraphicControl::SetText(text);
    AdjustSize();
}

void TLabel::Loaded()
{
    TGraphicControl::Loaded();
    AdjustSize();
}

void TLabel::FontChanged()
{
    AdjustSize();
    TGraphicControl::FontChanged();
}

void TLabel::AdjustSize()
{
    if (!autoSize_ || (ComponentState() & csReading))
        return;
    WindowDC screen(nullptr);
    TCanvas canvas;
    canvas.SetHandle(screen.Get());
    canvas.Font().Assign(Font());
    const SIZE size = canvas.TextExtent(Text().empty() ? std::string(" ") : Text());
    canvas.SetHandle(nullptr);
    SetBounds(Left(), Top(), size.cx, size.cy);
}

void TLabel::Paint(TCanvas& canvas)
{
    const TRect client = ClientRect();
    if (!transparent_) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(client);
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    HDC dc = canvas.Handle();
    const SelectionGuard font(dc, canvas.Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    RECT r = WinRect(client);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font().Color() : clGrayText));
    DrawTextA(dc, Text().c_str(), static_cast<int>(Text().size()), &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TButton, TWinControl, .Creatable())

TButton::TButton(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 75, 25);
}

void TButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_PUSHBUTTON | WS_TABSTOP;
}

void TButton::WndProc(TMessage& message)
{
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        Click();
        return;
    }
    TWinControl::WndProc(message);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TEdit::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TEdit>("TEdit", TWinControl::StaticClass())
        .Creatable()
        .Bool("ReadOnly", [](const TEdit& c) { return c.ReadOnly(); }, [](TEdit& c, bool v) { c.SetReadOnly(v); })
        .Build();
    return info;
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner)
{
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

void TEdit::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.className = "EDIT";
    params.style |= ES_AUTOHSCROLL | WS_TABSTOP | (readOnly_ ? ES_READONLY : 0);
    params.exStyle |= WS_EX_CLIENTEDGE;
}

std::string TEdit::Text()
{
    if (!HandleAllocated())
        return TWinControl::Text();
    const int length = GetWindowTextLengthA(Handle());
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(Handle(), text.data(), length + 1)));
    return text;
}

void TEdit::SetText(const std::string& text)
{
    TWinControl::SetText(text);
    // What was typed may differ from the text last set: always write it.
    if (HandleAllocated())
        SetWindowTextA(Handle(), text.c_str());
}

void TEdit::SetReadOnly(bool on)
{
    readOnly_ = on;
    if (HandleAllocated())
        SendMessageA(Handle(), EM_SETREADONLY, on, 0);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TMemo, TEdit)

TMemo::TMemo(TComponent* owner) : TEdit(owner)
{
    SetBounds(0, 0, 185, 89);
}

void TMemo::CreateParams(TCreateParams& params)
{
    TEdit::CreateParams(params);
    params.style &= ~ES_AUTOHSCROLL;
    params.style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth)
        params.style |= WS_HSCROLL | ES_AUTOHSCROLL;
    if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth)
        params.style |= WS_VSCROLL;
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TScrollBar, TWinControl)

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
}

void TScrollBar::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.className = "SCROLLBAR";
    params.style |= kind_ == TScrollBarKind::sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd()
{
    TWinControl::CreateWnd();
    Update();
}

void TScrollBar::SetParams(int position, int min, int max, int pageSize)
{
    min_ = min;
    max_ = std::max(min, max);
    pageSize_ = std::clamp(pageSize, 0, max_ - min_ + 1);
    position_ = std::clamp(position, min_, std::max(min_, max_ - std::max(pageSize_ - 1, 0)));
    Update();
}

void TScrollBar::Update()
{
    if (!HandleAllocated())
        return;
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, min_, max_, static_cast<UINT>(pageSize_), position_, 0};
    SetScrollInfo(Handle(), SB_CTL, &info, TRUE);
}

void TScrollBar::WndProc(TMessage& message)
{
    if (message.Msg != CN_HSCROLL && message.Msg != CN_VSCROLL) {
        TWinControl::WndProc(message);
        return;
    }
    const int page = std::max(pageSize_, 1);
    int position = position_;
    switch (LOWORD(message.WParam)) {
    case SB_LINEUP: position -= 1; break;
    case SB_LINEDOWN: position += 1; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_TOP: position = min_; break;
    case SB_BOTTOM: position = max_; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit track position: the message carries only 16 bits of it.
        SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        position = GetScrollInfo(Handle(), SB_CTL, &info) ? info.nTrackPos : HIWORD(message.WParam);
        break;
    }
    default: return;
    }
    SetPosition(position);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TGroupBox, TCustomControl, .Creatable())

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::AlignControls(TRect& rect)
{
    // Aligned children stay inside the frame and below the caption.
    rect.Left += 2;
    rect.Right -= 2;
    rect.Bottom -= 2;
    rect.Top += std::max(2, static_cast<int>(-Font().Height()));
    TCustomControl::AlignControls(rect);
}

void TGroupBox::Paint(TCanvas& canvas)
{
    const SIZE text = canvas.TextExtent(Text().empty() ? std::string(" ") : Text());
    RECT frame = WinRect(ClientRect());
    frame.top += text.cy / 2;
    DrawEdge(canvas.Handle(), &frame, EDGE_ETCHED, BF_RECT);
    if (!Text().empty()) {
        canvas.Brush().SetColor(Color());
        HDC dc = canvas.Handle();
        SetTextColor(dc, ColorToRGB(Font().Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        SetBkMode(dc, OPAQUE);
        canvas.TextOut(8, 0, Text());
    }
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TCheckBox, TWinControl)

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_AUTOCHECKBOX | WS_TABSTOP;
}

LEXDRILL_PLAIN_CLASS(TRadioButton, TWinControl)

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.className = "BUTTON";
    params.style |= BS_AUTORADIOBUTTON | WS_TABSTOP;
}

LEXDRILL_PLAIN_CLASS(TComboBox, TWinControl)

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 145, 150);
}

void TComboBox::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.className = "COMBOBOX";
    params.style |= CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL;
}
