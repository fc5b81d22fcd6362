#include "ExtCtrls.h"

#include <algorithm>

#include "Forms.h"
#include "Streams.h"

namespace {

// Before the registration below, which reads it.
const std::vector<std::string> kBevels = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};

const bool registered = [] {
    RegisterComponentClass(TPanel::StaticClass());
    RegisterComponentClass(TImage::StaticClass());
    RegisterComponentClass(TSplitter::StaticClass());
    RegisterComponentClass(TTimer::StaticClass());
    return true;
}();

}  // namespace

const TClassInfo& TPanel::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TPanel>("TPanel", TCustomControl::StaticClass())
        .Creatable()
        .Enum<TBevelCut>("BevelOuter", kBevels, [](const TPanel& p) { return p.BevelOuter(); },
                         [](TPanel& p, TBevelCut v) { p.SetBevelOuter(v); })
        .Enum<TBevelCut>("BevelInner", kBevels, [](const TPanel& p) { return p.BevelInner(); },
                         [](TPanel& p, TBevelCut v) { p.SetBevelInner(v); })
        .Bool("Transparent", [](const TPanel& p) { return p.Transparent(); },
              [](TPanel& p, bool v) { p.SetTransparent(v); })
        .Build();
    return info;
}

TPanel::TPanel(TComponent* owner) : TCustomControl(owner)
{
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut bevel)
{
    bevelOuter_ = bevel;
    Realign();
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut bevel)
{
    bevelInner_ = bevel;
    Realign();
    Invalidate();
}

int TPanel::BevelWidth() const
{
    return (bevelOuter_ != TBevelCut::bvNone ? 1 : 0) + (bevelInner_ != TBevelCut::bvNone ? 1 : 0);
}

void TPanel::AlignControls(TRect& rect)
{
    const int inset = BevelWidth();
    rect.Left += inset;
    rect.Top += inset;
    rect.Right -= inset;
    rect.Bottom -= inset;
    TCustomControl::AlignControls(rect);
}

void TPanel::Paint(TCanvas& canvas)
{
    RECT r = WinRect(ClientRect());
    const auto edge = [&](TBevelCut bevel) {
        if (bevel == TBevelCut::bvLowered || bevel == TBevelCut::bvRaised) {
            DrawEdge(canvas.Handle(), &r, bevel == TBevelCut::bvLowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
            InflateRect(&r, -1, -1);
        } else if (bevel == TBevelCut::bvSpace) {
            InflateRect(&r, -1, -1);
        }
    };
    edge(bevelOuter_);
    edge(bevelInner_);
    if (!Text().empty()) {
        HDC dc = canvas.Handle();
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Font().Color()));
        DrawTextA(dc, Text().c_str(), static_cast<int>(Text().size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TImage::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TImage>("TImage", TGraphicControl::StaticClass())
        .Creatable()
        .Bool("Stretch", [](const TImage& c) { return c.Stretch(); }, [](TImage& c, bool v) { c.SetStretch(v); })
        .Binary("Picture", [](TImage& c, const std::vector<uint8_t>& bytes) {
            TMemoryStream stream;
            stream.WriteBuffer(bytes.data(), bytes.size());
            stream.SetPosition(0);
            c.Picture().LoadFromStream(stream);
            c.Invalidate();
        })
        .Build();
    return info;
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner)
{
    SetBounds(0, 0, 105, 105);
}

void TImage::Paint(TCanvas& canvas)
{
    TGraphic* graphic = picture_.Graphic();
    if (!graphic || graphic->Empty())
        return;
    canvas.StretchDraw(stretch_ ? ClientRect() : Bounds(0, 0, graphic->Width(), graphic->Height()), *graphic);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TSplitter::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TSplitter>("TSplitter", TGraphicControl::StaticClass())
        .Creatable()
        .Event("OnMoved", &TSplitter::OnMoved)
        .Build();
    return info;
}

TSplitter::TSplitter(TComponent* owner) : TGraphicControl(owner)
{
    SetAlign(TAlign::alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
    clickOnMouseUp_ = false;
}

void TSplitter::Paint(TCanvas& canvas)
{
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
}

TControl* TSplitter::FindSibling() const
{
    // The control that touches the splitter on the side it is aligned to.
    TWinControl* parent = Parent();
    if (!parent)
        return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this || !c->Visible() || c->Align() != Align())
            continue;
        if (Align() == TAlign::alLeft && c->Left() + c->Width() == Left())
            return c;
        if (Align() == TAlign::alRight && c->Left() == Left() + Width())
            return c;
    }
    return nullptr;
}

void TSplitter::WndProc(TMessage& message)
{
    const int x = static_cast<short>(LOWORD(message.LParam)) + Left();
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        sibling_ = FindSibling();
        downX_ = x;
        startSize_ = sibling_ ? sibling_->Width() : 0;
        break;
    case WM_MOUSEMOVE:
        if (sibling_ && (message.WParam & MK_LBUTTON)) {
            const int delta = Align() == TAlign::alLeft ? x - downX_ : downX_ - x;
            const int limit = Parent()->ClientRect().Width() - Width();
            sibling_->SetWidth(std::clamp(startSize_ + delta, 0, std::max(0, limit)));
        }
        break;
    case WM_LBUTTONUP:
        if (sibling_) {
            sibling_ = nullptr;
            if (OnMoved)
                OnMoved(this);
        }
        break;
    default:
        break;
    }
    TGraphicControl::WndProc(message);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TTimer::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TTimer>("TTimer", TComponent::StaticClass())
        .Creatable()
        .Bool("Enabled", [](const TTimer& t) { return t.Enabled(); }, [](TTimer& t, bool v) { t.SetEnabled(v); })
        .Int("Interval", [](TTimer& t, int v) { t.SetInterval(static_cast<unsigned>(std::max(0, v))); })
        .Event("OnTimer", &TTimer::OnTimer)
        .Build();
    return info;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner)
{
    static const bool classRegistered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "LexdrillTimer";
        return RegisterClassA(&wc) != 0;
    }();
    if (!classRegistered)
        throw Exception("Cannot register the timer window class");
    window_ = CreateWindowExA(0, "LexdrillTimer", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TTimer::~TTimer()
{
    DestroyWindow(window_);
}

void TTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(unsigned interval)
{
    interval_ = interval;
    Update();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    Update();
}

void TTimer::Update()
{
    KillTimer(window_, 1);
    if (enabled_ && interval_ > 0 && !(ComponentState() & csLoading))
        if (!SetTimer(window_, 1, interval_, nullptr))
            throw Exception("Not enough timers available");
}

LRESULT CALLBACK TTimer::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER) {
        auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (timer && timer->enabled_ && timer->OnTimer) {
            try {
                timer->OnTimer(timer);
            } catch (...) {
                HandleCurrentException();
            }
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
