#include "Menus.h"

#include "Controls.h"

namespace {

const bool registered = [] {
    RegisterComponentClass(TMenuItem::StaticClass());
    RegisterComponentClass(TMainMenu::StaticClass());
    RegisterComponentClass(TPopupMenu::StaticClass());
    return true;
}();

// Indexed by command number. A plain table has no destructor, so items that the application
// object frees while the program exits still find it, whatever the order of static destruction.
TMenuItem* commands[0x10000];

WORD NewCommand()
{
    static WORD next = 0;
    do {
        ++next;
    } while (next == 0 || commands[next]);
    return next;
}

}  // namespace

const TClassInfo& TMenuItem::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TMenuItem>("TMenuItem", TComponent::StaticClass())
        .Creatable()
        .Str("Caption", [](TMenuItem& m, const std::string& v) { m.SetCaption(v); })
        .Bool("Enabled", [](const TMenuItem& m) { return m.Enabled(); }, [](TMenuItem& m, bool v) { m.SetEnabled(v); })
        .Bool("Visible", [](const TMenuItem& m) { return m.Visible(); }, [](TMenuItem& m, bool v) { m.SetVisible(v); })
        .Bool("Checked", [](const TMenuItem& m) { return m.Checked(); }, [](TMenuItem& m, bool v) { m.SetChecked(v); })
        .Int("ShortCut", [](TMenuItem& m, int v) { m.SetShortCut(static_cast<TShortCut>(v)); })
        .Int("ImageIndex", [](TMenuItem& m, int v) { m.SetImageIndex(v); })
        .Event("OnClick", &TMenuItem::OnClick)
        .Event("OnDrawItem", &TMenuItem::OnDrawItem)
        .Event("OnMeasureItem", &TMenuItem::OnMeasureItem)
        .Build();
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand())
{
    commands[command_] = this;
}

TMenuItem::~TMenuItem()
{
    commands[command_] = nullptr;
    for (TMenuItem* item : items_)
        item->parent_ = nullptr;
    if (parent_)
        parent_->Remove(this);
    if (handle_)
        DestroyMenu(handle_);
}

TMenuItem* TMenuItem::FindByCommand(WORD command)
{
    return commands[command];
}

void TMenuItem::SetCaption(const std::string& caption)
{
    caption_ = caption;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Changed();
}

void TMenuItem::SetVisible(bool visible)
{
    visible_ = visible;
    Changed();
}

void TMenuItem::SetChecked(bool checked)
{
    checked_ = checked;
    Changed();
}

void TMenuItem::Add(TMenuItem* item)
{
    if (item->parent_)
        item->parent_->Remove(item);
    items_.push_back(item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item)
{
    std::erase(items_, item);
    item->parent_ = nullptr;
    Changed();
}

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* item = this;
    while (item->parent_)
        item = item->parent_;
    return item->menu_;
}

void TMenuItem::SetParentComponent(TComponent* parent)
{
    if (auto* menu = dynamic_cast<TMenu*>(parent))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(parent))
        item->Add(this);
    else
        throw Exception(Name() + " belongs in a menu");
}

void TMenuItem::Click()
{
    if (enabled_ && OnClick)
        OnClick(this);
}

HMENU TMenuItem::Handle()
{
    if (!handle_ && !items_.empty()) {
        handle_ = CreatePopupMenu();
        RebuildHandle();
    }
    return handle_;
}

void TMenuItem::RebuildHandle()
{
    if (!handle_)
        return;
    while (GetMenuItemCount(handle_) > 0)
        RemoveMenu(handle_, 0, MF_BYPOSITION);
    const TMenu* menu = GetParentMenu();
    for (TMenuItem* item : items_)
        item->AppendTo(handle_, menu && menu->OwnerDraw());
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw)
{
    if (!visible_)
        return;
    UINT flags = enabled_ ? MF_ENABLED : MF_GRAYED;
    if (checked_)
        flags |= MF_CHECKED;
    if (caption_ == "-")
        flags |= MF_SEPARATOR;
    else if (ownerDraw)
        flags |= MF_OWNERDRAW;
    else
        flags |= MF_STRING;
    HMENU sub = Handle();
    if (sub)
        flags |= MF_POPUP;
    const UINT_PTR id = sub ? reinterpret_cast<UINT_PTR>(sub) : command_;
    AppendMenuA(menu, flags, id, ownerDraw ? reinterpret_cast<LPCSTR>(this) : caption_.c_str());
}

void TMenuItem::Changed()
{
    if (parent_)
        parent_->RebuildHandle();
    if (TMenu* menu = GetParentMenu())
        menu->Changed();
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TMenu::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TMenu>("TMenu", TComponent::StaticClass())
        .Bool("OwnerDraw", [](const TMenu& m) { return m.OwnerDraw(); }, [](TMenu& m, bool v) { m.SetOwnerDraw(v); })
        .Build();
    return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(TComponent::Make<TMenuItem>(this))
{
    items_->menu_ = this;
}

TMenu::~TMenu()
{
    // A menu shown on a window's menu bar is destroyed with that window.
    if (handle_ && !(window_ && IsWindow(window_) && GetMenu(window_) == handle_))
        DestroyMenu(handle_);
}

HMENU TMenu::Handle()
{
    if (!handle_) {
        handle_ = CreateMenuHandle();
        for (TMenuItem* item : items_->items_)
            item->AppendTo(handle_, ownerDraw_);
    }
    return handle_;
}

void TMenu::SetOwnerDraw(bool on)
{
    ownerDraw_ = on;
    Changed();
}

void TMenu::Changed()
{
    if (!handle_ || ComponentState() & csLoading)
        return;
    while (GetMenuItemCount(handle_) > 0)
        RemoveMenu(handle_, 0, MF_BYPOSITION);
    for (TMenuItem* item : items_->items_)
        item->AppendTo(handle_, ownerDraw_);
    if (window_) {
        DrawMenuBar(window_);
        SendMessageA(window_, CM_MENUCHANGED, 0, 0);
    }
}

const TClassInfo& TMainMenu::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TMainMenu>("TMainMenu", TMenu::StaticClass()).Creatable().Build();
    return info;
}

const TClassInfo& TPopupMenu::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TPopupMenu>("TPopupMenu", TMenu::StaticClass()).Creatable().Build();
    return info;
}

void TPopupMenu::Popup(int x, int y)
{
    HWND owner = GetActiveWindow();
    const UINT command = TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_LEFTALIGN, x, y, 0, owner, nullptr);
    if (command)
        DispatchMenuCommand(static_cast<WORD>(command));
}

bool DispatchMenuCommand(WORD command)
{
    TMenuItem* item = TMenuItem::FindByCommand(command);
    if (!item)
        return false;
    item->Click();
    return true;
}

bool MeasureMenuItem(MEASUREITEMSTRUCT& measure)
{
    TMenuItem* item = TMenuItem::FindByCommand(static_cast<WORD>(measure.itemID));
    if (!item || !item->OnMeasureItem)
        return false;
    WindowDC screen(nullptr);
    TCanvas canvas;
    canvas.SetHandle(screen.Get());
    int width = static_cast<int>(measure.itemWidth);
    int height = static_cast<int>(measure.itemHeight);
    item->OnMeasureItem(item, canvas, width, height);
    canvas.SetHandle(nullptr);
    measure.itemWidth = static_cast<UINT>(width);
    measure.itemHeight = static_cast<UINT>(height);
    return true;
}

bool DrawMenuItem(const DRAWITEMSTRUCT& draw)
{
    TMenuItem* item = TMenuItem::FindByCommand(static_cast<WORD>(draw.itemID));
    if (!item || !item->OnDrawItem)
        return false;
    TCanvas canvas;
    canvas.SetHandle(draw.hDC);
    const RECT& r = draw.rcItem;
    item->OnDrawItem(item, canvas, Rect(r.left, r.top, r.right, r.bottom), (draw.itemState & ODS_SELECTED) != 0);
    canvas.SetHandle(nullptr);
    return true;
}
