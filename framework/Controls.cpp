#include "Controls.h"

#include <algorithm>
#include <set>

#include "Forms.h"

namespace {

const char kControlProperty[] = "LexdrillControl";
const char kWindowClass[] = "LexdrillWindow";

bool IsMouseMessage(UINT msg)
{
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL;
}

unsigned ShiftFromKeys(WPARAM keys)
{
    unsigned shift = 0;
    if (keys & MK_SHIFT) shift |= ssShift;
    if (keys & MK_CONTROL) shift |= ssCtrl;
    if (keys & MK_LBUTTON) shift |= ssLeft;
    if (keys & MK_RBUTTON) shift |= ssRight;
    if (keys & MK_MBUTTON) shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// Our window classes differ only in name and icon: the skin engine tells windows apart by
// their class names, so each form class has one of its own.
void RegisterWindowClass(const std::string& name, HICON icon)
{
    static std::set<std::string> registered;
    if (registered.contains(name))
        return;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = FrameworkWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = name.c_str();
    if (!RegisterClassA(&wc))
        throw Exception(Format("Cannot register the window class %s (error %lu)", name.c_str(), GetLastError()));
    registered.insert(name);
}

}  // namespace

HCURSOR CursorHandle(TCursor cursor)
{
    LPCSTR id = reinterpret_cast<LPCSTR>(IDC_ARROW);
    switch (cursor) {
    case crHSplit: id = reinterpret_cast<LPCSTR>(IDC_SIZEWE); break;
    case crHandPoint: id = reinterpret_cast<LPCSTR>(IDC_HAND); break;
    default: break;
    }
    return LoadCursorA(nullptr, id);
}

LRESULT CALLBACK FrameworkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWinControl* control = TWinControl::FindControl(hwnd);
    if (!control && msg == WM_NCCREATE) {
        control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (control) {
            SetPropA(hwnd, kControlProperty, control);
            control->handle_ = hwnd;
        }
    }
    if (!control)
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    TMessage message{msg, wParam, lParam, 0};
    const std::shared_ptr<bool> alive = control->alive_;  // the control may be freed meanwhile
    if (msg == WM_DESTROY && control->handle_ == hwnd)
        control->windowDying_ = true;
    try {
        control->WindowProc(message);
    } catch (...) {
        HandleCurrentException();
    }
    if (msg == WM_NCDESTROY) {
        RemovePropA(hwnd, kControlProperty);
        if (*alive && control->handle_ == hwnd) {
            control->handle_ = nullptr;
            control->windowDying_ = false;
        }
    }
    return message.Result;
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TControl::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TControl>("TControl", TComponent::StaticClass())
        .Int("Left", [](TControl& c, int v) { c.SetLeft(v); })
        .Int("Top", [](TControl& c, int v) { c.SetTop(v); })
        .Int("Width", [](TControl& c, int v) { c.SetWidth(v); })
        .Int("Height", [](TControl& c, int v) { c.SetHeight(v); })
        .Int("ClientWidth", [](TControl& c, int v) { c.SetClientSize(v, c.ClientRect().Height()); })
        .Int("ClientHeight", [](TControl& c, int v) { c.SetClientSize(c.ClientRect().Width(), v); })
        .Enum<TAlign>("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"},
                      [](const TControl& c) { return c.Align(); }, [](TControl& c, TAlign v) { c.SetAlign(v); })
        .Bool("Visible", [](const TControl& c) { return c.Visible(); }, [](TControl& c, bool v) { c.SetVisible(v); })
        .Bool("Enabled", [](const TControl& c) { return c.Enabled(); }, [](TControl& c, bool v) { c.SetEnabled(v); })
        .Int("Color", [](TControl& c, int v) { c.SetColor(static_cast<TColor>(v)); })
        .Bool("ParentColor", [](const TControl& c) { return c.ParentColor(); },
              [](TControl& c, bool v) { c.SetParentColor(v); })
        .Bool("ParentFont", [](const TControl& c) { return c.ParentFont(); },
              [](TControl& c, bool v) { c.SetParentFont(v); })
        .Str("Font.Name", [](TControl& c, const std::string& v) { c.SetParentFont(false); c.Font().SetName(v); })
        .Int("Font.Height", [](TControl& c, int v) { c.SetParentFont(false); c.Font().SetHeight(v); })
        .Int("Font.Color", [](TControl& c, int v) { c.SetParentFont(false); c.Font().SetColor(static_cast<TColor>(v)); })
        .Int("Font.Charset", [](TControl& c, int v) { c.SetParentFont(false); c.Font().SetCharset(static_cast<BYTE>(v)); })
        .Set("Font.Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
             [](TControl& c, unsigned v) { c.SetParentFont(false); c.Font().SetStyle(static_cast<TFontStyles>(v)); })
        .Str("Caption", [](TControl& c, const std::string& v) { c.SetText(v); })
        .Str("Text", [](TControl& c, const std::string& v) { c.SetText(v); })
        .Str("Hint", [](TControl& c, const std::string& v) { c.hint_ = v; })
        .Int("Cursor", [](TControl& c, int v) { c.SetCursor(v); })
        .Event("OnClick", &TControl::OnClick)
        .Event("OnMouseDown", &TControl::OnMouseDown)
        .Event("OnMouseUp", &TControl::OnMouseUp)
        .Event("OnMouseMove", &TControl::OnMouseMove)
        .Event("OnMouseEnter", &TControl::OnMouseEnter)
        .Event("OnMouseLeave", &TControl::OnMouseLeave)
        .Build();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner)
{
    // A font change arrives before the new font is in place: act on it once it is.
    font_.OnChange = [this] {
        if (!fontPending_) {
            fontPending_ = true;
            Perform(CM_FONTCHANGED);
        }
    };
}

TControl::~TControl()
{
    BeforeDestruction();
    if (parent_)
        parent_->RemoveControl(this);
    *alive_ = false;
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_)
        return;
    if (parent == this)
        throw Exception("A control cannot be its own parent");
    if (parent_)
        parent_->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        ParentFontChanged();
        ParentColorChanged();
    }
}

void TControl::SetParentComponent(TComponent* parent)
{
    auto* control = dynamic_cast<TWinControl*>(parent);
    if (!control) {
        if (parent == Owner())
            return;  // a control at the top of a layout has no parent yet
        throw Exception(Name() + " cannot be placed inside " + parent->Name());
    }
    SetParent(control);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    const bool changed = left != left_ || top != top_ || width != width_ || height != height_;
    if (!changed)
        return;
    if (parent_ && visible_)
        parent_->InvalidateRect(BoundsRect());
    left_ = left;
    top_ = top;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    if (parent_) {
        if (visible_)
            parent_->InvalidateRect(BoundsRect());
        if (align_ != TAlign::alNone)
            parent_->Realign();
    }
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    p.X += left_;
    p.Y += top_;
    return parent_ ? parent_->ClientToScreen(p) : p;
}

void TControl::SetAlign(TAlign align)
{
    align_ = align;
    if (parent_)
        parent_->Realign();
}

void TControl::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (parent_) {
        parent_->InvalidateRect(BoundsRect());
        if (align_ != TAlign::alNone)
            parent_->Realign();
    }
    Perform(CM_VISIBLECHANGED, visible);
}

void TControl::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Invalidate();
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color)
{
    color_ = color;
    parentColor_ = false;
    Invalidate();
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentFont(bool on)
{
    parentFont_ = on;
    if (on)
        ParentFontChanged();
}

void TControl::SetParentColor(bool on)
{
    parentColor_ = on;
    if (on)
        ParentColorChanged();
}

void TControl::ParentFontChanged()
{
    if (parentFont_ && parent_) {
        font_.Assign(parent_->Font());
        parentFont_ = true;
    }
}

void TControl::ParentColorChanged()
{
    if (parentColor_ && parent_) {
        color_ = parent_->Color();
        Invalidate();
    }
}

void TControl::SetText(const std::string& text)
{
    if (text == text_)
        return;
    text_ = text;
    Invalidate();
    Perform(CM_TEXTCHANGED);
}

// What one dispatch through the hooks holds on to. The copy of the list keeps each hook's
// closure alive while it runs, whoever unhooks it meanwhile.
struct TControl::TDispatch {
    std::vector<std::shared_ptr<THook>> chain;
    TControl* control;
    std::shared_ptr<bool> alive;
};

void TControl::WindowProc(TMessage& message)
{
    if (hooks_.empty()) {
        WndProc(message);
        return;
    }
    const TDispatch dispatch{hooks_, this, alive_};
    CallHooks(dispatch, dispatch.chain.size(), message);
}

void TControl::CallHooks(const TDispatch& dispatch, size_t count, TMessage& message)
{
    // A hook may have freed the control: then nothing of it may run any more.
    if (!*dispatch.alive)
        return;
    while (count > 0 && !dispatch.chain[count - 1]->installed)
        --count;
    if (count == 0) {
        dispatch.control->WndProc(message);
        return;
    }
    dispatch.chain[count - 1]->proc(message, [&dispatch, count](TMessage& passed) {
        CallHooks(dispatch, count - 1, passed);
    });
}

THookId TControl::HookWindowProc(TWndHook hook)
{
    if (!hook)
        throw Exception("An empty hook cannot be installed");
    // Unique in the process: an id never unhooks another control's hook.
    static THookId lastId = 0;
    if (++lastId == 0)
        ++lastId;
    hooks_.push_back(std::make_shared<THook>(THook{lastId, std::move(hook), true}));
    return lastId;
}

void TControl::UnhookWindowProc(THookId id)
{
    const auto found = std::find_if(hooks_.begin(), hooks_.end(), [id](const auto& hook) { return hook->id == id; });
    if (found == hooks_.end())
        return;
    (*found)->installed = false;
    hooks_.erase(found);
}

bool TControl::WindowProcHooked(THookId id) const
{
    return std::any_of(hooks_.begin(), hooks_.end(), [id](const auto& hook) { return hook->id == id; });
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam)
{
    TMessage message{msg, wParam, lParam, 0};
    WindowProc(message);
    return message.Result;
}

void TControl::Invalidate()
{
    if (parent_ && visible_)
        parent_->InvalidateRect(BoundsRect());
}

void TControl::Click()
{
    if (OnClick)
        OnClick(this);
}

void TControl::WndProc(TMessage& message)
{
    if (IsMouseMessage(message.Msg)) {
        MouseMessage(message);
        DefaultHandler(message);
        return;
    }
    switch (message.Msg) {
    case CM_FONTCHANGED:
        fontPending_ = false;
        FontChanged();
        break;
    case CM_MOUSEENTER:
        if (OnMouseEnter)
            OnMouseEnter(this);
        break;
    case CM_MOUSELEAVE:
        if (OnMouseLeave)
            OnMouseLeave(this);
        break;
    default:
        DefaultHandler(message);
    }
}

void TControl::MouseMessage(TMessage& message)
{
    const int x = static_cast<short>(LOWORD(message.LParam));
    const int y = static_cast<short>(HIWORD(message.LParam));
    const unsigned shift = ShiftFromKeys(message.WParam);
    switch (message.Msg) {
    case WM_MOUSEMOVE:
        if (OnMouseMove)
            OnMouseMove(this, shift, x, y);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        mouseDown_ = true;
        if (OnMouseDown)
            OnMouseDown(this, TMouseButton::mbLeft, shift, x, y);
        break;
    case WM_LBUTTONUP:
        if (OnMouseUp)
            OnMouseUp(this, TMouseButton::mbLeft, shift, x, y);
        if (mouseDown_ && clickOnMouseUp_ && x >= 0 && y >= 0 && x < width_ && y < height_) {
            mouseDown_ = false;
            Click();
        }
        mouseDown_ = false;
        break;
    case WM_RBUTTONDOWN:
        if (OnMouseDown)
            OnMouseDown(this, TMouseButton::mbRight, shift, x, y);
        break;
    case WM_RBUTTONUP:
        if (OnMouseUp)
            OnMouseUp(this, TMouseButton::mbRight, shift, x, y);
        break;
    default:
        break;
    }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::FontChanged()
{
    Invalidate();
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TGraphicControl, TControl)

void TGraphicControl::WndProc(TMessage& message)
{
    if (message.Msg != WM_PAINT || !message.WParam) {
        TControl::WndProc(message);
        return;
    }
    // The canvas holds the DC while the control paints, and gives it back even when painting fails.
    struct TRelease {
        TCanvas& canvas;
        ~TRelease() { canvas.SetHandle(nullptr); }
    } release{canvas_};
    canvas_.SetHandle(reinterpret_cast<HDC>(message.WParam));
    canvas_.Font().Assign(Font());
    Paint(canvas_);
}


// ---------------------------------------------------------------------------------------------

const TClassInfo& TWinControl::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TWinControl>("TWinControl", TControl::StaticClass())
        .Bool("DoubleBuffered", [](const TWinControl& c) { return c.DoubleBuffered(); },
              [](TWinControl& c, bool v) { c.SetDoubleBuffered(v); })
        .Build();
    return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    BeforeDestruction();
    // Children outlive this part of the object only until the owner frees them: let go first.
    for (TControl* child : std::vector<TControl*>(controls_))
        child->parent_ = nullptr;
    controls_.clear();
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND handle)
{
    // Another program's window (under the mouse, say) may carry the same property, holding an
    // address in that program.
    DWORD process = 0;
    if (!handle || !GetWindowThreadProcessId(handle, &process) || process != GetCurrentProcessId())
        return nullptr;
    return static_cast<TWinControl*>(GetPropA(handle, kControlProperty));
}

HWND TWinControl::Handle()
{
    if (!handle_) {
        if (Parent())
            Parent()->Handle();
        if (!handle_)
            CreateWnd();
    }
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (Visible())
        params.style |= WS_VISIBLE;
    if (Parent())
        params.parent = Parent()->Handle();
}

void TWinControl::CreateWnd()
{
    TCreateParams params;
    CreateParams(params);
    const bool ours = params.className.empty();
    if (ours) {
        if (params.ownClassName.empty())
            params.ownClassName = kWindowClass;
        RegisterWindowClass(params.ownClassName, params.icon);
        defaultProc_ = DefWindowProcA;  // the procedure serves messages sent during creation
    }
    const std::string& className = ours ? params.ownClassName : params.className;
    HWND hwnd = CreateWindowExA(params.exStyle, className.c_str(), Text().c_str(), params.style, Left(), Top(),
                                Width(), Height(), params.parent, params.menu, GetModuleHandleA(nullptr),
                                ours ? this : nullptr);
    if (!hwnd)
        throw Exception(Format("Cannot create the window of %s (error %lu)", Name().c_str(), GetLastError()));
    if (!ours) {
        handle_ = hwnd;
        SetPropA(hwnd, kControlProperty, this);
        defaultProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameworkWindowProc)));
    }
    // Later siblings lie above earlier ones, as they were created.
    if (params.style & WS_CHILD)
        SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    if (!Enabled())
        EnableWindow(hwnd, FALSE);
    for (TControl* child : controls_)
        if (auto* window = dynamic_cast<TWinControl*>(child))
            window->Handle();
    UpdateBounds();
    Realign();
}

void TWinControl::DestroyWnd()
{
    DestroyWindow(handle_);
}

void TWinControl::DestroyHandle()
{
    if (handle_) {
        // A window already on its way (freed in its own WM_DESTROY, say) must not be destroyed twice.
        if (!windowDying_)
            DestroyWnd();
        handle_ = nullptr;
        windowDying_ = false;
    }
}

void TWinControl::InsertControl(TControl* control)
{
    controls_.push_back(control);
    control->parent_ = this;
    if (auto* window = dynamic_cast<TWinControl*>(control); window && handle_)
        window->Handle();
    InvalidateRect(control->BoundsRect());
    Realign();
}

void TWinControl::RemoveControl(TControl* control)
{
    if (control->parent_ != this)
        return;
    InvalidateRect(control->BoundsRect());
    if (captureControl_ == control) {
        captureControl_ = nullptr;
        ReleaseCapture();
    }
    std::erase(controls_, control);
    control->parent_ = nullptr;
    if (auto* window = dynamic_cast<TWinControl*>(control))
        window->DestroyHandle();
    if (!(ComponentState() & csDestroying))
        Realign();
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    if (left == Left() && top == Top() && width == Width() && height == Height())
        return;
    TControl::SetBounds(left, top, width, height);
    if (handle_)
        SetWindowPos(handle_, nullptr, Left(), Top(), Width(), Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    else
        Realign();
}

void TWinControl::UpdateBounds()
{
    if (!handle_)
        return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
    TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

TRect TWinControl::ClientRect() const
{
    if (!handle_)
        return TControl::ClientRect();
    RECT r;
    GetClientRect(handle_, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
}

void TWinControl::SetClientSize(int width, int height)
{
    const TRect client = ClientRect();
    SetBounds(Left(), Top(), Width() - client.Width() + width, Height() - client.Height() + height);
}

void TWinControl::SetVisible(bool visible)
{
    if (visible == Visible())
        return;
    TControl::SetVisible(visible);
    if (handle_)
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::SetEnabled(bool enabled)
{
    if (handle_)
        EnableWindow(handle_, enabled);
    TControl::SetEnabled(enabled);
}

void TWinControl::SetText(const std::string& text)
{
    if (text == Text())
        return;
    TControl::SetText(text);
    if (handle_)
        SetWindowTextA(handle_, text.c_str());
}

void TWinControl::Invalidate()
{
    if (handle_)
        ::InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::InvalidateRect(const TRect& rect)
{
    if (handle_) {
        const RECT r = WinRect(rect);
        ::InvalidateRect(handle_, &r, TRUE);
    }
}

void TWinControl::Realign()
{
    if (aligning_ || alignLocks_ > 0)
        return;
    aligning_ = true;
    TRect rect = ClientRect();
    try {
        AlignControls(rect);
    } catch (...) {
        aligning_ = false;
        throw;
    }
    aligning_ = false;
}

void TWinControl::EnableAlign()
{
    if (alignLocks_ > 0 && --alignLocks_ == 0)
        Realign();
}

void TWinControl::AlignControls(TRect& rect)
{
    // Each side takes its controls in the order they lie from that edge inwards.
    const auto place = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == align && c->Visible())
                list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case TAlign::alTop: return a->Top() < b->Top();
            case TAlign::alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
            case TAlign::alLeft: return a->Left() < b->Left();
            case TAlign::alRight: return a->Left() + a->Width() > b->Left() + b->Width();
            default: return false;
            }
        });
        for (TControl* c : list) {
            switch (align) {
            case TAlign::alTop:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), c->Height());
                rect.Top += c->Height();
                break;
            case TAlign::alBottom:
                c->SetBounds(rect.Left, rect.Bottom - c->Height(), rect.Width(), c->Height());
                rect.Bottom -= c->Height();
                break;
            case TAlign::alLeft:
                c->SetBounds(rect.Left, rect.Top, c->Width(), rect.Height());
                rect.Left += c->Width();
                break;
            case TAlign::alRight:
                c->SetBounds(rect.Right - c->Width(), rect.Top, c->Width(), rect.Height());
                rect.Right -= c->Width();
                break;
            default:
                c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
                break;
            }
        }
    };
    for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
        place(align);
}

TControl* TWinControl::ControlAtPos(TPoint p) const
{
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (c->Visible() && p.X >= c->Left() && p.Y >= c->Top() && p.X < c->Left() + c->Width() &&
            p.Y < c->Top() + c->Height())
            return c;
    }
    return nullptr;
}

void TWinControl::PaintControls(HDC dc)
{
    for (TControl* c : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(c);
        if (!graphic || !graphic->Visible() || graphic->Width() == 0 || graphic->Height() == 0)
            continue;
        // The DC's whole state, not one setting at a time: a graphic control paints with the
        // origin moved to its corner and clipped to its bounds, and its Paint may leave any
        // colour, mode or object behind, all of which must be gone before the next control.
        const int saved = SaveDC(dc);
        POINT origin;
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + graphic->Left(), origin.y + graphic->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, graphic->Width(), graphic->Height());
        graphic->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintWindow(HDC dc)
{
    // A platform control paints itself; a window of our class has only its background.
    if (defaultProc_ != DefWindowProcA)
        CallWindowProcA(defaultProc_, handle_, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void TWinControl::WMPaint(TMessage& message)
{
    if (message.Msg == WM_PRINTCLIENT && !message.WParam)
        return;  // nothing to print into
    if (message.WParam) {
        // The caller's DC: whatever the painting sets on it is put back.
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        const SavedDC saved(dc);
        PaintWindow(dc);
        PaintControls(dc);
        return;
    }
    const PaintDC paint(handle_);
    HDC dc = paint.Get();
    if (doubleBuffered_) {
        const TRect client = ClientRect();
        UniqueDC memory(CreateCompatibleDC(dc));
        UniqueBitmap bitmap(CreateCompatibleBitmap(dc, std::max(1, client.Width()), std::max(1, client.Height())));
        {
            SelectionGuard select(memory.get(), bitmap.get());
            TMessage erase{WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.get()), 0, 0};
            WindowProc(erase);
            PaintWindow(memory.get());
            PaintControls(memory.get());
            BitBlt(dc, 0, 0, client.Width(), client.Height(), memory.get(), 0, 0, SRCCOPY);
        }
    } else {
        PaintWindow(dc);
        PaintControls(dc);
    }
}

void TWinControl::WMEraseBkgnd(TMessage& message)
{
    RECT r;
    GetClientRect(handle_, &r);
    FillRect(reinterpret_cast<HDC>(message.WParam), &r, ColorBrush());
    message.Result = 1;
}

HBRUSH TWinControl::ColorBrush()
{
    if (!brush_ || brushColor_ != Color()) {
        brush_.reset(CreateSolidBrush(ColorToRGB(Color())));
        brushColor_ = Color();
    }
    return brush_.get();
}

void TWinControl::Reflect(TMessage& message, HWND child)
{
    TWinControl* control = FindControl(child);
    if (control && control != this)
        message.Result = control->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    else
        DefaultHandler(message);
}

void TWinControl::WndProc(TMessage& message)
{
    const bool ours = defaultProc_ == DefWindowProcA;
    switch (message.Msg) {
    case WM_COMMAND:
        if (message.LParam) {
            Reflect(message, reinterpret_cast<HWND>(message.LParam));
            return;
        }
        break;
    case WM_NOTIFY:
        Reflect(message, reinterpret_cast<NMHDR*>(message.LParam)->hwndFrom);
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
        if (message.LParam) {
            Reflect(message, reinterpret_cast<HWND>(message.LParam));
            return;
        }
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
        if (item->CtlType != ODT_MENU) {
            Reflect(message, item->hwndItem);
            return;
        }
        break;
    }
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(Font().Color()));
        SetBkColor(dc, ColorToRGB(Color()));
        message.Result = reinterpret_cast<LRESULT>(ColorBrush());
        return;
    }
    case WM_PAINT:
    case WM_PRINTCLIENT:
        // A print (AnimateWindow's picture, a parent's WM_PRINT) paints as the screen does.
        if (ours) {
            WMPaint(message);
            return;
        }
        break;
    case WM_ERASEBKGND:
        if (ours) {
            WMEraseBkgnd(message);
            return;
        }
        break;
    case WM_SIZE:
    case WM_MOVE:
        DefaultHandler(message);
        UpdateBounds();
        if (message.Msg == WM_SIZE)
            Realign();
        return;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(message.WParam) == handle_ && LOWORD(message.LParam) == HTCLIENT) {
            TCursor cursor = Screen->Cursor();
            if (cursor == crDefault) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(handle_, &p);
                TControl* child = ControlAtPos({p.x, p.y});
                cursor = child && dynamic_cast<TGraphicControl*>(child) ? child->Cursor() : Cursor();
            }
            if (cursor != crDefault) {
                ::SetCursor(CursorHandle(cursor));
                message.Result = TRUE;
                return;
            }
        }
        break;
    case WM_SYSCHAR: {
        // The form sees the character before the focused control's own handling: it may be the
        // accelerator of one of its menus.
        TWinControl* form = this;
        while (form->Parent())
            form = form->Parent();
        if (form->Perform(CM_DIALOGCHAR, message.WParam, message.LParam)) {
            message.Result = 0;
            return;
        }
        break;
    }
    case CM_FONTCHANGED:
        TControl::WndProc(message);
        for (TControl* child : controls_)
            child->ParentFontChanged();
        return;
    case CM_COLORCHANGED:
        for (TControl* child : controls_)
            child->ParentColorChanged();
        break;
    default:
        if (ours && IsMouseMessage(message.Msg)) {
            // Mouse input over a graphic child is that child's, and stays so while a button is held.
            if (message.Msg == WM_MOUSEMOVE) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle_, 0};
                TrackMouseEvent(&track);
            }
            TControl* target = captureControl_;
            if (!target) {
                TControl* child = ControlAtPos({static_cast<short>(LOWORD(message.LParam)),
                                               static_cast<short>(HIWORD(message.LParam))});
                if (dynamic_cast<TGraphicControl*>(child) && child->Enabled())
                    target = child;
            }
            if (target) {
                if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
                    captureControl_ = target;
                    SetCapture(handle_);
                }
                const LPARAM local = MAKELPARAM(static_cast<short>(LOWORD(message.LParam)) - target->Left(),
                                                static_cast<short>(HIWORD(message.LParam)) - target->Top());
                message.Result = target->Perform(message.Msg, message.WParam, local);
                if (message.Msg == WM_LBUTTONUP && captureControl_) {
                    captureControl_ = nullptr;
                    ReleaseCapture();
                }
                return;
            }
        }
        break;
    }
    TControl::WndProc(message);
}

void TWinControl::DefaultHandler(TMessage& message)
{
    // The framework's own messages mean nothing to the platform's procedures.
    if (message.Msg >= CM_BASE && message.Msg < CN_BASE + 0x400)
        return;
    if (handle_)
        message.Result = CallWindowProcA(defaultProc_, handle_, message.Msg, message.WParam, message.LParam);
}

void TWinControl::FontChanged()
{
    if (handle_) {
        SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        Invalidate();
    }
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TCustomControl, TWinControl)

void TCustomControl::Paint(TCanvas&) {}

void TCustomControl::PaintWindow(HDC dc)
{
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.Font().Assign(Font());
    canvas.Brush().SetColor(Color());
    Paint(canvas);
    canvas.SetHandle(nullptr);
}
