// The form skin's menus: the skinned system menu that stands in for the window's own, the
// window's small icon for the caption, and the way into the skinned menu bar by the keyboard
// (Alt with an item's accelerator) and by a press on an item, which runs the item's drop-down.
#include <functional>
#include <memory>

#include "ExtCtrls.h"
#include "Menus.h"
#include "WinSkinData.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"

namespace {

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// The window's own icon, small or big; nullptr when it has none.
HICON OwnWindowIcon(HWND window)
{
    if (auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)))
        return icon;
    return reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
}

HICON ClassIcon(HWND window)
{
    if (auto icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM)))
        return icon;
    return reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON));
}

// The icon a skin stores for windows without one: its own, else that of the last main-form
// skin that has one; nullptr when none does.
const TBitmap* StoredIcon(const TSkinData& skinData)
{
    if (!skinData.FIconImage.Empty())
        return &skinData.FIconImage;
    const TBitmap* stored = nullptr;
    if (SkinManage)
        for (const TSkinData* other : SkinManage->FSkinDatas)
            if (other->SkinFormtype() == sfMainform && !other->FIconImage.Empty())
                stored = &other->FIconImage;
    return stored;
}

}  // namespace

void TWinSkinForm::GetWindowIcon(TBitmap& bitmap)
{
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    TBitmap work(cx, cy);
    HDC dc = work.Canvas().Handle();
    const UniqueBrush key(CreateSolidBrush(static_cast<COLORREF>(clFuchsia)));
    const RECT all{0, 0, cx, cy};
    FillRect(dc, &all, key.get());
    bitmap.Assign(work);
    HICON icon = OwnWindowIcon(FHandle);
    if (!icon) {
        if (const TBitmap* stored = StoredIcon(*FSkinData)) {
            bitmap.Assign(*stored);
            return;
        }
        // Nothing stored either: the class's icon rather than an empty square.
        icon = ClassIcon(FHandle);
    }
    if (icon) {
        UniqueIcon copy(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE)));
        if (!copy)
            copy.reset(static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, 0)));
        DrawIconEx(dc, 0, 0, copy ? copy.get() : icon, cx, cy, 0, nullptr, DI_NORMAL);
        bitmap.Assign(work);
    }
}

void TWinSkinForm::BuildSysMenu()
{
    TComponent::Free(FSysMenu);
    FSysMenu = TComponent::Make<TPopupMenu>(this);
    FSysMenu->SetTag(33333);
    FSysMenu->SetOwnerDraw(true);
    FSysMenu->SetImages(&FSkinData->FMenuGlyphs);
    AddSysMenuItem(" Restore ", 0);
    if (FBorderIcons & kIconMaximize)
        AddSysMenuItem(" Maximize ", 1);
    if (FBorderIcons & kIconMinimize)
        AddSysMenuItem(" Minimize ", 2);
    AddSysMenuItem("-", 100);
    AddSysMenuItem(" Close ", 3);
}

void TWinSkinForm::AddSysMenuItem(const std::string& caption, int kind)
{
    auto* item = TComponent::Make<TMenuItem>(FSysMenu);
    item->SetCaption(caption);
    item->SetTag(kind);
    item->SetImageIndex(kind);
    if (kind == 3)
        item->SetShortCut(ShortCut(VK_F4, ssShift));
    item->OnClick = [this](TObject* sender) { SysMenuClick(*static_cast<TMenuItem*>(sender)); };
    item->OnDrawItem = [this](TObject* sender, TCanvas& canvas, TRect rect, bool selected) {
        MenuDrawItem(sender, canvas, rect, selected);
    };
    item->OnMeasureItem = [this](TObject* sender, TCanvas& canvas, int& width, int& height) {
        MenuMeasureItem(sender, canvas, width, height);
    };
    FSysMenu->Items()->Add(item);
}

void TSkinItemDrawer::operator()(TObject* sender, TCanvas& canvas, TRect rect, bool selected) const
{
    Skin->MenuDrawItem(sender, canvas, rect, selected);
}

void TSkinItemMeasurer::operator()(TObject* sender, TCanvas& canvas, int& width, int& height) const
{
    Skin->MenuMeasureItem(sender, canvas, width, height);
}

void TWinSkinForm::SkinPopupMenus(TComponent* container, bool enable)
{
    if (!enable)
        GiveBackMenuPainters();
    if (!FSkinData || !(FSkinData->SkinControls() & SkinControlBit(xcPopupMenu)))
        return;
    const std::function<void(TMenuItem&)> skinItems = [&](TMenuItem& item) {
        for (int i = 0; i < item.Count(); ++i) {
            TMenuItem& sub = *item.Items(i);
            const auto* drawer = sub.OnDrawItem.target<TSkinItemDrawer>();
            if (enable && (!sub.OnDrawItem || drawer)) {
                const bool mine = drawer && drawer->Skin == this;
                const auto* measurer = sub.OnMeasureItem.target<TSkinItemMeasurer>();
                TMenuMeasureItemEvent own = measurer ? measurer->Own : sub.OnMeasureItem;
                sub.OnDrawItem = TSkinItemDrawer{this};
                sub.OnMeasureItem = TSkinItemMeasurer{this, std::move(own)};
                if (!mine)
                    FSkinnedMenuItems.push_back(sub.Command());
            }
            skinItems(sub);
        }
    };
    for (int i = 0; i < container->ComponentCount(); ++i) {
        auto* popup = dynamic_cast<TPopupMenu*>(container->Components(i));
        if (!popup || popup->Tag() % 100 == FSkinData->DisableTag())
            continue;
        popup->SetOwnerDraw(enable);
        if (enable)
            skinItems(*popup->Items());
    }
}

void TWinSkinForm::GiveBackMenuPainters()
{
    // Found by command: an item freed meanwhile is not found, and only this skin's painters go.
    for (WORD command : FSkinnedMenuItems) {
        TMenuItem* item = TMenuItem::FindByCommand(command);
        if (!item)
            continue;
        if (const auto* drawer = item->OnDrawItem.target<TSkinItemDrawer>(); drawer && drawer->Skin == this)
            item->OnDrawItem = nullptr;
        if (const auto* measurer = item->OnMeasureItem.target<TSkinItemMeasurer>(); measurer && measurer->Skin == this) {
            TMenuMeasureItemEvent own = measurer->Own;
            item->OnMeasureItem = std::move(own);
        }
    }
    FSkinnedMenuItems.clear();
}

void TWinSkinForm::SysMenuClick(TMenuItem& item)
{
    switch (item.Tag()) {
    case 0:
        RestoreWindow();
        break;
    case 1:
        ToggleMaximize();
        break;
    case 2:
        ToggleMinimize();
        break;
    case 3:
        FTimer->SetEnabled(false);
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

bool TWinSkinForm::HandleDialogChar(TMessage& message)
{
    TMenuBtn* item = FindAccelButton(static_cast<unsigned>(message.WParam));
    const auto down = [](int key) { return GetKeyState(key) < 0; };
    // Alt alone: with Shift, Ctrl or a mouse button the character is someone else's.
    const bool altOnly = down(VK_MENU) && !down(VK_SHIFT) && !down(VK_CONTROL) && !down(VK_LBUTTON) &&
                         !down(VK_RBUTTON) && !down(VK_MBUTTON);
    if (!item || !altOnly)
        return false;
    PostMenuBarClick(*item);
    message.Result = 1;
    return true;
}

TMenuBtn* TWinSkinForm::FindAccelButton(unsigned ch)
{
    if (!FSkinMenu)
        return nullptr;
    for (const auto& button : FSkinMenu->FButtons)
        if (button->FEnabled && IsAccel(ch, button->FCaption))
            return button.get();
    return nullptr;
}

void TWinSkinForm::PostMenuBarClick(const TMenuBtn& item)
{
    RECT r;
    GetWindowRect(FHandle, &r);
    FWindowRect = Rect(r.left, r.top, r.right, r.bottom);
    const int x = item.FBoundsRect.Left + FWindowRect.Left + 1;
    const int y = item.FBoundsRect.Top + FWindowRect.Top + 1;
    PostMessageA(FHandle, WM_NCLBUTTONDOWN, HTCLIENT, MAKELPARAM(x, y));
}

bool TWinSkinForm::TrackMenuButton(TMenuBtn* item)
{
    if (!item)
        return false;
    PostMessageA(FHandle, WM_COMMAND, item->FCommand, 0);
    // Copied now: the bar may be rebuilt while the menu is open.
    HMENU dropDown = item->FSubMenu;
    if (!dropDown)
        return false;
    MenuLoop.OpenButtonIndex = item->FPosition;
    MenuLoop.MenuLoopForm = this;
    RECT r;
    GetWindowRect(FHandle, &r);
    FWindowRect = Rect(r.left, r.top, r.right, r.bottom);
    const int x = item->FBoundsRect.Left + FWindowRect.Left, y = item->FBoundsRect.Bottom + FWindowRect.Top;
    const bool enabled = item->FEnabled;
    const int position = item->FPosition;
    const std::vector<TOwnerDrawnItem> ownerDrawn = SetMenuOwnerDraw(dropDown);
    FInMenuLoop = true;
    FTrackedMenu = dropDown;
    InstallMenuHook();
    if (enabled)
        TrackPopupMenu(dropDown, TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, 0, FHandle, nullptr);
    // A skin freed inside the loop has forgotten it there: nothing of it may be touched.
    const bool alive = MenuLoop.MenuLoopForm == this;
    RemoveMenuHook();
    // The menu is the window's again once the skin lets go: it must draw itself then.
    ClearMenuOwnerDraw(ownerDrawn);
    if (!alive)
        return true;
    MenuLoop.MenuLoopForm = nullptr;
    FInMenuLoop = false;
    FClosedButton = position;
    FMenuClosedTime = GetTickCount();
    return true;
}

void TWinSkinForm::EndMenuLoop()
{
    FInMenuLoop = false;
}
