#include "ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const bool registered = [] {
    RegisterComponentClass(TProgressBar::StaticClass());
    RegisterComponentClass(TPageControl::StaticClass());
    RegisterComponentClass(TTabSheet::StaticClass());
    RegisterComponentClass(TToolBar::StaticClass());
    return true;
}();

void InitCommonControlsOnce()
{
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_PROGRESS_CLASS | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS |
                                              ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

}  // namespace

const TClassInfo& TProgressBar::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TProgressBar>("TProgressBar", TWinControl::StaticClass())
        .Creatable()
        .Int("Min", [](TProgressBar& p, int v) { p.SetMin(v); })
        .Int("Max", [](TProgressBar& p, int v) { p.SetMax(v); })
        .Int("Position", [](TProgressBar& p, int v) { p.SetPosition(v); })
        .Build();
    return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& params)
{
    InitCommonControlsOnce();
    TWinControl::CreateParams(params);
    params.className = PROGRESS_CLASSA;
}

void TProgressBar::CreateWnd()
{
    TWinControl::CreateWnd();
    Update();
}

void TProgressBar::SetMin(int value)
{
    min_ = value;
    Update();
}

void TProgressBar::SetMax(int value)
{
    max_ = value;
    Update();
}

void TProgressBar::SetPosition(int value)
{
    // The bar holds its position within its range, as the platform's control does.
    position_ = std::clamp(value, min_, std::max(min_, max_));
    if (HandleAllocated())
        SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::Update()
{
    position_ = std::clamp(position_, min_, std::max(min_, max_));
    if (!HandleAllocated())
        return;
    SendMessageA(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SendMessageA(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TUpDown, TWinControl)

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 17, 25);
}

void TUpDown::CreateParams(TCreateParams& params)
{
    InitCommonControlsOnce();
    TWinControl::CreateParams(params);
    params.className = UPDOWN_CLASSA;
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TTrackBar, TWinControl)

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 150, 45);
}

void TTrackBar::CreateParams(TCreateParams& params)
{
    InitCommonControlsOnce();
    TWinControl::CreateParams(params);
    params.className = TRACKBAR_CLASSA;
    params.style |= TBS_AUTOTICKS | WS_TABSTOP | (vertical_ ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::SetVertical(bool on)
{
    vertical_ = on;
    if (!HandleAllocated())
        return;
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    SetWindowLongA(Handle(), GWL_STYLE, on ? style | TBS_VERT : style & ~TBS_VERT);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TStatusBar::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TStatusBar>("TStatusBar", TWinControl::StaticClass())
        .Bool("SimplePanel", [](const TStatusBar& s) { return s.SimplePanel(); },
              [](TStatusBar& s, bool v) { s.SetSimplePanel(v); })
        .Bool("SizeGrip", [](const TStatusBar& s) { return s.SizeGrip(); }, [](TStatusBar& s, bool v) { s.SetSizeGrip(v); })
        .Build();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 150, 19);
    SetAlign(TAlign::alBottom);
}

void TStatusBar::CreateParams(TCreateParams& params)
{
    InitCommonControlsOnce();
    TWinControl::CreateParams(params);
    params.className = STATUSCLASSNAMEA;
    // The framework places it: the control neither moves nor sizes itself.
    params.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | (sizeGrip_ ? SBARS_SIZEGRIP : 0);
}

void TStatusBar::CreateWnd()
{
    TWinControl::CreateWnd();
    Update();
}

void TStatusBar::SetPanels(const std::vector<TStatusPanel>& panels)
{
    panels_ = panels;
    Update();
}

void TStatusBar::SetSimplePanel(bool on)
{
    simplePanel_ = on;
    Update();
}

void TStatusBar::SetSimpleText(const std::string& text)
{
    simpleText_ = text;
    Update();
}

void TStatusBar::SetSizeGrip(bool on)
{
    sizeGrip_ = on;
    if (!HandleAllocated())
        return;
    const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    SetWindowLongA(Handle(), GWL_STYLE, on ? style | SBARS_SIZEGRIP : style & ~SBARS_SIZEGRIP);
    Invalidate();
}

void TStatusBar::Update()
{
    if (!HandleAllocated())
        return;
    HWND h = Handle();
    std::vector<int> rights;
    int right = 0;
    for (const TStatusPanel& panel : panels_)
        rights.push_back(right += panel.Width);
    if (!rights.empty())
        SendMessageA(h, SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    for (size_t i = 0; i < panels_.size(); ++i) {
        const TStatusPanel& panel = panels_[i];
        WPARAM how = i;
        if (panel.Bevel == TStatusPanelBevel::pbNone)
            how |= SBT_NOBORDERS;
        else if (panel.Bevel == TStatusPanelBevel::pbRaised)
            how |= SBT_POPOUT;
        if (panel.RightToLeft)
            how |= SBT_RTLREADING;
        SendMessageA(h, SB_SETTEXTA, how, reinterpret_cast<LPARAM>(panel.Text.c_str()));
    }
    SendMessageA(h, SB_SIMPLE, simplePanel_ || panels_.empty(), 0);
    SendMessageA(h, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TTabSheet::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TTabSheet>("TTabSheet", TCustomControl::StaticClass())
        .Creatable()
        .Event("OnShow", &TTabSheet::OnShow)
        .Build();
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner)
{
    SetAlign(TAlign::alClient);
}

TPageControl* TTabSheet::PageControl() const
{
    return dynamic_cast<TPageControl*>(Parent());
}

void TTabSheet::SetParent(TWinControl* parent)
{
    if (TPageControl* old = PageControl())
        old->RemovePage(this);
    TCustomControl::SetParent(parent);
    if (TPageControl* control = PageControl())
        control->AddPage(this);
}

void TTabSheet::SetText(const std::string& text)
{
    TCustomControl::SetText(text);
    if (TPageControl* control = PageControl())
        control->UpdateTabs();
}

const TClassInfo& TPageControl::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TPageControl>("TPageControl", TWinControl::StaticClass())
        .Creatable()
        .Component<TTabSheet>("ActivePage", [](TPageControl& p, TTabSheet* v) { p.SetActivePage(v); })
        .Build();
    return info;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 289, 193);
}

void TPageControl::CreateParams(TCreateParams& params)
{
    InitCommonControlsOnce();
    TWinControl::CreateParams(params);
    params.className = WC_TABCONTROLA;
}

void TPageControl::CreateWnd()
{
    TWinControl::CreateWnd();
    UpdateTabs();
}

void TPageControl::AddPage(TTabSheet* page)
{
    pages_.push_back(page);
    page->SetVisible(active_ == nullptr);
    if (!active_)
        active_ = page;
    UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* page)
{
    std::erase(pages_, page);
    if (active_ == page)
        active_ = pages_.empty() ? nullptr : pages_.front();
    UpdateTabs();
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->PageControl() != this)
        return;
    if (page == active_)
        return;
    TTabSheet* previous = active_;
    active_ = page;
    if (page) {
        page->SetVisible(true);
        if (page->OnShow)
            page->OnShow(page);
    }
    if (previous)
        previous->SetVisible(false);
    UpdateTabs();
}

void TPageControl::UpdateTabs()
{
    if (!HandleAllocated())
        return;
    SendMessageA(Handle(), TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < pages_.size(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        std::string caption = pages_[i]->Text();
        item.pszText = caption.data();
        SendMessageA(Handle(), TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    const auto found = std::find(pages_.begin(), pages_.end(), active_);
    if (found != pages_.end())
        SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(found - pages_.begin()), 0);
    Realign();
}

void TPageControl::AlignControls(TRect& rect)
{
    // Pages fill the display area inside the tabs.
    if (HandleAllocated()) {
        RECT r = WinRect(rect);
        SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        rect = Rect(r.left, r.top, r.right, r.bottom);
    }
    TWinControl::AlignControls(rect);
}

void TPageControl::WndProc(TMessage& message)
{
    if (message.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(message.LParam)->code == TCN_SELCHANGE) {
        const auto index = static_cast<size_t>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
        if (index < pages_.size())
            SetActivePage(pages_[index]);
        return;
    }
    TWinControl::WndProc(message);
}

// ---------------------------------------------------------------------------------------------

LEXDRILL_PLAIN_CLASS(TListView, TWinControl)

TListView::TListView(TComponent* owner) : TWinControl(owner)
{
    SetColor(clWindow);
    SetBounds(0, 0, 250, 150);
}

void TListView::CreateParams(TCreateParams& params)
{
    InitCommonControlsOnce();
    TWinControl::CreateParams(params);
    params.className = WC_LISTVIEWA;
    params.style |= LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP;
    params.exStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWnd()
{
    TWinControl::CreateWnd();
    for (size_t i = 0; i < columns_.size(); ++i)
        InsertColumn(i);
    for (size_t i = 0; i < items_.size(); ++i)
        InsertItem(i);
}

void TListView::AddColumn(const std::string& caption, int width)
{
    columns_.emplace_back(caption, width);
    if (HandleAllocated())
        InsertColumn(columns_.size() - 1);
}

void TListView::AddItem(const std::string& caption)
{
    items_.push_back(caption);
    if (HandleAllocated())
        InsertItem(items_.size() - 1);
}

void TListView::InsertColumn(size_t index)
{
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = columns_[index].first.data();
    column.cx = columns_[index].second;
    SendMessageA(Handle(), LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void TListView::InsertItem(size_t index)
{
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(index);
    item.pszText = items_[index].data();
    SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TToolBar::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TToolBar>("TToolBar", TWinControl::StaticClass())
        .Creatable()
        .Bool("Flat", [](const TToolBar& t) { return t.Flat(); }, [](TToolBar& t, bool v) { t.SetFlat(v); })
        .Bool("Transparent", [](const TToolBar& t) { return t.Transparent(); },
              [](TToolBar& t, bool v) { t.SetTransparent(v); })
        .Build();
    return info;
}

TToolBar::TToolBar(TComponent* owner) : TWinControl(owner)
{
    SetBounds(0, 0, 150, 29);
}

void TToolBar::CreateParams(TCreateParams& params)
{
    InitCommonControlsOnce();
    TWinControl::CreateParams(params);
    params.className = TOOLBARCLASSNAMEA;
    params.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | TBSTYLE_LIST;
    if (flat_)
        params.style |= TBSTYLE_FLAT;
    if (transparent_)
        params.style |= TBSTYLE_TRANSPARENT;
}

void TToolBar::CreateWnd()
{
    TWinControl::CreateWnd();
    SendMessageA(Handle(), TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    for (size_t i = 0; i < captions_.size(); ++i)
        InsertButton(i);
}

void TToolBar::InsertButton(size_t index)
{
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = static_cast<int>(index);
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
    button.iString = reinterpret_cast<INT_PTR>(captions_[index].c_str());
    SendMessageA(Handle(), TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
}

void TToolBar::SetFlat(bool on)
{
    flat_ = on;
    if (HandleAllocated())
        SetWindowLongA(Handle(), GWL_STYLE, on ? GetWindowLongA(Handle(), GWL_STYLE) | TBSTYLE_FLAT
                                               : GetWindowLongA(Handle(), GWL_STYLE) & ~TBSTYLE_FLAT);
    Invalidate();
}

void TToolBar::SetTransparent(bool on)
{
    transparent_ = on;
    if (HandleAllocated())
        SetWindowLongA(Handle(), GWL_STYLE, on ? GetWindowLongA(Handle(), GWL_STYLE) | TBSTYLE_TRANSPARENT
                                               : GetWindowLongA(Handle(), GWL_STYLE) & ~TBSTYLE_TRANSPARENT);
    Invalidate();
}

void TToolBar::AddButton(const std::string& caption)
{
    captions_.push_back(caption);
    if (HandleAllocated())
        InsertButton(captions_.size() - 1);
}

void TToolBar::WndProc(TMessage& message)
{
    auto* header = reinterpret_cast<NMHDR*>(message.LParam);
    if (message.Msg != CN_NOTIFY || header->code != NM_CUSTOMDRAW || !OnCustomDrawButton) {
        TWinControl::WndProc(message);
        return;
    }
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(message.LParam);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        message.Result = CDRF_NOTIFYITEMDRAW;
        return;
    }
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) {
        message.Result = CDRF_DODEFAULT;
        return;
    }
    // The canvas holds the DC during the handler only, even when it fails.
    struct TRelease {
        TCanvas& canvas;
        ~TRelease() { canvas.SetHandle(nullptr); }
    } release{canvas_};
    canvas_.SetHandle(draw->nmcd.hdc);
    canvas_.Font().Assign(Font());
    const RECT& r = draw->nmcd.rc;
    bool defaultDraw = true;
    OnCustomDrawButton(this, Rect(r.left, r.top, r.right, r.bottom), draw->nmcd.uItemState, defaultDraw);
    draw->clrText = ColorToRGB(canvas_.Font().Color());
    // The handler has painted the face: the tool bar draws the image and text only.
    message.Result = defaultDraw ? CDRF_DODEFAULT | TBCDRF_NOEDGES | TBCDRF_NOBACKGROUND : CDRF_SKIPDEFAULT;
}
