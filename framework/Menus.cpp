#include "Menus.h"

#include <algorithm>
#include <cctype>
#include <cstddef>

#include "Forms.h"
#include "ImgList.h"

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

std::string KeyName(unsigned key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    if (key >= VK_F1 && key <= VK_F24)
        return Format("F%u", key - VK_F1 + 1);
    static const struct {
        unsigned key;
        const char* name;
    } names[] = {
        {VK_BACK, "Backspace"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
        {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"},
        {VK_HOME, "Home"}, {VK_LEFT, "Left"}, {VK_UP, "Up"}, {VK_RIGHT, "Right"},
        {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
    };
    for (const auto& entry : names)
        if (entry.key == key)
            return entry.name;
    return {};
}

unsigned UpperAscii(unsigned c)
{
    return c < 0x80 ? static_cast<unsigned>(std::toupper(static_cast<int>(c))) : c;
}

// A caption as the menu shows it: "&x" is x underlined, "&&" a plain '&'.
std::string VisibleText(const std::string& caption)
{
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

LRESULT CALLBACK PopupWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    try {
        if (msg == WM_MEASUREITEM) {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure->CtlType == ODT_MENU && MeasureMenuItem(*measure))
                return TRUE;
        } else if (msg == WM_DRAWITEM) {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw->CtlType == ODT_MENU && DrawMenuItem(*draw))
                return TRUE;
        }
    } catch (const std::exception& e) {
        Application->HandleException(e);
        return 0;
    } catch (...) {
        return 0;  // nothing may unwind through the menu loop
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The owner of every pop-up menu: the active form may carry a skin that must not take the
// menu's messages for its own.
HWND PopupWindow()
{
    static const UniqueWindow window = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = PopupWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "LexdrillPopupMenu";
        RegisterClassA(&wc);
        return UniqueWindow(CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                                            nullptr, nullptr, wc.hInstance, nullptr));
    }();
    if (!window)
        throw Exception("Cannot create the pop-up menu window");
    return window.get();
}

}  // namespace

TShortCut ShortCut(WORD key, unsigned shift)
{
    if (key > 0xFF)
        return 0;
    TShortCut result = key;
    if (shift & ssShift)
        result |= scShift;
    if (shift & ssCtrl)
        result |= scCtrl;
    if (shift & ssAlt)
        result |= scAlt;
    return result;
}

std::string ShortCutToText(TShortCut shortCut)
{
    const std::string key = KeyName(shortCut & 0xFF);
    if (key.empty())
        return {};
    std::string text;
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scAlt)
        text += "Alt+";
    if (shortCut & scShift)
        text += "Shift+";
    return text + key;
}

bool IsAccel(unsigned key, const std::string& caption)
{
    // '&' is never the second byte of a GBK character, so a byte scan finds only real ones.
    for (size_t i = caption.find('&'); i != std::string::npos && i + 1 < caption.size(); i = caption.find('&', i + 2)) {
        const unsigned next = static_cast<unsigned char>(caption[i + 1]);
        if (next != '&')
            return UpperAscii(next) == UpperAscii(key);
    }
    return false;
}

void AssignMenuFont(TFont& font)
{
    // The size without the last field: systems before Vista refuse the longer structure.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return;
    if (HFONT handle = CreateFontIndirectA(&metrics.lfMenuFont))
        font.SetHandle(handle);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TMenuItem::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TMenuItem>("TMenuItem", TComponent::StaticClass())
        .Creatable()
        .Str("Caption", [](TMenuItem& m, const std::string& v) { m.SetCaption(v); })
        .Bool("Enabled", [](const TMenuItem& m) { return m.Enabled(); }, [](TMenuItem& m, bool v) { m.SetEnabled(v); })
        .Bool("Visible", [](const TMenuItem& m) { return m.Visible(); }, [](TMenuItem& m, bool v) { m.SetVisible(v); })
        .Bool("Checked", [](const TMenuItem& m) { return m.Checked(); }, [](TMenuItem& m, bool v) { m.SetChecked(v); })
        .Bool("Default", [](const TMenuItem& m) { return m.Default(); }, [](TMenuItem& m, bool v) { m.SetDefault(v); })
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
    items_.clear();
    if (parent_)
        parent_->Remove(this);
    DestroyHandle();
}

TMenuItem* TMenuItem::FindByCommand(WORD command)
{
    return commands[command];
}

TMenuItem* TMenuItem::FindByItemData(UINT itemID, ULONG_PTR itemData)
{
    // Item data of another menu may be anything: it counts only when it is the very item that
    // the entry's identifier names.
    if (itemID > 0xFFFF || !itemData)
        return nullptr;
    TMenuItem* item = commands[itemID];
    return reinterpret_cast<ULONG_PTR>(item) == itemData ? item : nullptr;
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

void TMenuItem::SetDefault(bool on)
{
    default_ = on;
    Changed();
}

TImageList* TMenuItem::ImageList() const
{
    const TMenu* menu = GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

void TMenuItem::SetBitmap(const TBitmap* bitmap)
{
    std::unique_ptr<TBitmap> copy;
    UniqueBitmap native;
    if (bitmap && !bitmap->Empty()) {
        copy = std::make_unique<TBitmap>();
        copy->Assign(*bitmap);
        // The native entry needs a picture of its own (drawing ours selects it into our DC) in
        // 24 bits: native menus blend a 32-bit one by its alpha, which GDI leaves at zero.
        TBitmap entry;
        entry.Assign(*bitmap);
        entry.SetPixelFormat(TPixelFormat::pf24bit);
        native.reset(entry.ReleaseHandle());
    }
    bitmap_.swap(copy);
    nativeBitmap_.swap(native);
    Changed();  // the old pictures go only once no entry shows them
}

void TMenuItem::Add(TMenuItem* item)
{
    if (item->parent_)
        item->parent_->Remove(item);
    items_.push_back(item);
    item->parent_ = this;
    RebuildHandle();
    Changed();
}

void TMenuItem::Remove(TMenuItem* item)
{
    std::erase(items_, item);
    item->parent_ = nullptr;
    RebuildHandle();
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

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height)
{
    const int menuHeight = GetSystemMetrics(SM_CYMENU);
    if (IsLine()) {
        width = 0;
        height = menuHeight / 2;
    } else {
        const SIZE text = canvas.TextExtent(VisibleText(caption_));
        width = text.cx;
        height = std::max(menuHeight, static_cast<int>(text.cy) + 4);
        if (shortCut_)
            width += text.cy + canvas.TextWidth(ShortCutToText(shortCut_));
        if (const TImageList* images = ImageList()) {
            width += images->Width() + 4;
            height = std::max(height, images->Height() + 2);
        }
    }
    if (OnMeasureItem)
        OnMeasureItem(this, canvas, width, height);
}

HMENU TMenuItem::Handle()
{
    if (menu_)
        return menu_->Handle();
    if (!handle_ && !items_.empty()) {
        handle_ = CreatePopupMenu();
        RebuildHandle();
    }
    return handle_;
}

void TMenuItem::DestroyHandle()
{
    if (!handle_)
        return;
    // Sub-menus belong to their own items: taken out first, DestroyMenu leaves them alone.
    while (GetMenuItemCount(handle_) > 0)
        RemoveMenu(handle_, 0, MF_BYPOSITION);
    DestroyMenu(handle_);
    handle_ = nullptr;
}

void TMenuItem::RebuildHandle()
{
    if (!handle_)
        return;
    while (GetMenuItemCount(handle_) > 0)
        RemoveMenu(handle_, 0, MF_BYPOSITION);
    const TMenu* menu = GetParentMenu();
    for (TMenuItem* item : items_)
        item->AppendTo(handle_, menu);
}

void TMenuItem::RebuildTree()
{
    for (TMenuItem* item : items_)
        item->RebuildTree();
    RebuildHandle();
}

void TMenuItem::AppendTo(HMENU menu, const TMenu* owner)
{
    if (!visible_)
        return;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    // The command is the identifier of an entry with a sub-menu too, so that every entry names
    // its item; only entries without one are ever chosen.
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    info.wID = command_;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    info.hSubMenu = items_.empty() ? nullptr : Handle();
    info.fState = (enabled_ ? MFS_ENABLED : MFS_GRAYED) | (checked_ ? MFS_CHECKED : 0u) | (default_ ? MFS_DEFAULT : 0u);
    if (owner && owner->RightToLeft())
        info.fType |= MFT_RIGHTORDER;
    if (IsLine()) {
        // An owner-drawn menu draws its separators too.
        info.fType |= MFT_SEPARATOR | (owner && owner->OwnerDraw() ? MFT_OWNERDRAW : 0u);
    } else if (owner && owner->OwnerDraw()) {
        info.fType |= MFT_OWNERDRAW;
    } else {
        info.fMask |= MIIM_STRING;
        info.dwTypeData = const_cast<char*>(caption_.c_str());
        if (nativeBitmap_) {
            info.fMask |= MIIM_BITMAP;
            info.hbmpItem = nativeBitmap_.get();
        }
    }
    InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
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

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr))
{
    items_->menu_ = this;
}

TMenu::~TMenu()
{
    HMENU handle = items_->handle_;
    if (handle && window_ && IsWindow(window_) && GetMenu(window_) == handle)
        ::SetMenu(window_, nullptr);
    // The items may outlive this part of the menu: they no longer reach it.
    items_->menu_ = nullptr;
    items_->DestroyHandle();
}

HMENU TMenu::Handle()
{
    if (!items_->handle_) {
        items_->handle_ = CreateMenuHandle();
        items_->RebuildHandle();
    }
    return items_->handle_;
}

void TMenu::SetOwnerDraw(bool on)
{
    ownerDraw_ = on;
    items_->RebuildTree();
    Changed();
}

void TMenu::SetRightToLeft(bool on)
{
    rightToLeft_ = on;
    items_->RebuildTree();
    Changed();
}

void TMenu::Changed()
{
    if (!items_->handle_ || !window_ || ComponentState() & csLoading)
        return;
    DrawMenuBar(window_);
    SendMessageA(window_, CM_MENUCHANGED, 0, 0);
}

LEXDRILL_PLAIN_CLASS(TMainMenu, TMenu, .Creatable())

LEXDRILL_PLAIN_CLASS(TPopupMenu, TMenu, .Creatable())

void TPopupMenu::Popup(int x, int y)
{
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_LEFTALIGN, x, y, 0, PopupWindow(), nullptr));
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
    TMenuItem* item = TMenuItem::FindByItemData(measure.itemID, measure.itemData);
    if (!item)
        return false;
    WindowDC screen(nullptr);
    TCanvas canvas;
    canvas.SetHandle(screen.Get());
    AssignMenuFont(canvas.Font());
    int width = static_cast<int>(measure.itemWidth);
    int height = static_cast<int>(measure.itemHeight);
    item->MeasureItem(canvas, width, height);
    canvas.SetHandle(nullptr);
    measure.itemWidth = static_cast<UINT>(std::max(width, 0));
    measure.itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
}

bool DrawMenuItem(const DRAWITEMSTRUCT& draw)
{
    TMenuItem* item = TMenuItem::FindByItemData(draw.itemID, draw.itemData);
    if (!item || !item->OnDrawItem)
        return false;
    TCanvas canvas;
    canvas.SetHandle(draw.hDC);
    AssignMenuFont(canvas.Font());
    const RECT& r = draw.rcItem;
    item->OnDrawItem(item, canvas, Rect(r.left, r.top, r.right, r.bottom), (draw.itemState & ODS_SELECTED) != 0);
    canvas.SetHandle(nullptr);
    return true;
}
