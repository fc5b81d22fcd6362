// The skinned menu bar: its items built from the window's menu, laid out and painted in the
// non-client area, and the menu loop that follows the keyboard and the mouse from one bar item
// to the next while a drop-down is open.
#include "WinSkinMenu.h"

#include <algorithm>

#include "Forms.h"
#include "Menus.h"
#include "SkinPaint.h"
#include "WinSkinData.h"

TMenuLoopState MenuLoop;

namespace {

bool Holds(const TRect& r, TPoint p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// The menu-bar element when it has an image to draw.
TDataSkinObject* BarElement(TSkinData& data)
{
    TDataSkinObject* bar = data.MenuBar.get();
    return bar && !bar->Image.Empty() ? bar : nullptr;
}

// The framework item of the open drop-down that WM_MENUSELECT reported last; looked up by its
// command each time, so an item freed meanwhile is never touched.
TMenuItem* TrackedItem()
{
    return MenuLoop.TrackedItem ? TMenuItem::FindByCommand(MenuLoop.TrackedItem) : nullptr;
}

// The item a WM_MENUSELECT names: a command, or the position of an entry with a sub-menu.
// Every entry of a framework menu carries its item's command as identifier.
TMenuItem* SelectedItem(WPARAM wParam, LPARAM lParam)
{
    UINT command = LOWORD(wParam);
    if (HIWORD(wParam) & MF_POPUP) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        if (!GetMenuItemInfoA(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), TRUE, &info))
            return nullptr;
        command = info.wID;
    }
    return command <= 0xFFFF ? TMenuItem::FindByCommand(static_cast<WORD>(command)) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Bar items.

void TMenuBtn::Draw()
{
    TWinSkinMenu* bar = FSkinForm->SkinMenu();
    if (!bar)
        return;
    const WindowDC dc(FSkinForm->Handle(), WindowDC::WholeWindow);
    if (!dc.Get())
        return;
    const TRect& b = bar->FBarRect;
    // Only this item's column is repainted, from the bar as painted without captions.
    if (!bar->FBackground.Empty())
        BitBlt(dc.Get(), FBoundsRect.Left, b.Top, FBoundsRect.Width(), b.Height(),
               bar->FBackground.Canvas().Handle(), FBoundsRect.Left - b.Left, 0, SRCCOPY);
    if (FState == ncsPressed || FState == ncsHot) {
        const UniqueBrush frame(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FSkinData->Colours.ButtonHilight))));
        const RECT r = WinRect(FBoundsRect);
        FrameRect(dc.Get(), &r, frame.get());
    }
    const SelectionGuard font(dc.Get(), bar->FFont.Handle());
    SetTextColor(dc.Get(), static_cast<COLORREF>(ColorToRGB(FSkinData->Colours.MenuBarText)));
    DrawCenteredText(dc.Get(), FBoundsRect, FCaption, FEnabled, DT_CENTER);
}

// ---------------------------------------------------------------------------------------------
// The bar.

TWinSkinMenu::TWinSkinMenu(TWinSkinForm* skinForm, TSkinData* skinData)
    : FSkinData(skinData), FSkinForm(skinForm)
{
    AssignMenuFont(FFont);
}

TMenu* TWinSkinMenu::Menu() const
{
    return FSkinForm->Form() ? FSkinForm->Form()->Menu() : nullptr;
}

bool TWinSkinMenu::RightToLeft() const
{
    const TMenu* menu = Menu();
    return menu && menu->RightToLeft();
}

void TWinSkinMenu::BuildFromWindowMenu(bool takeOff)
{
    Build(GetMenu(FSkinForm->Handle()), false, takeOff);
}

void TWinSkinMenu::BuildFromMenuHandle(HMENU newMenu)
{
    Build(newMenu, true, true);
}

void TWinSkinMenu::Build(HMENU menu, bool byCommand, bool takeOff)
{
    if (menu)
        FMenuHandle = menu;
    if (!FMenuHandle)
        return;
    FButtons.clear();
    FCount = std::max(GetMenuItemCount(FMenuHandle), 0);
    TMenu* mainMenu = Menu();
    for (int i = 0; i < FCount; ++i) {
        char text[81] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 80;
        GetMenuItemInfoA(FMenuHandle, static_cast<UINT>(i), TRUE, &info);
        auto button = std::make_unique<TMenuBtn>(FSkinForm);
        button->FSkinData = FSkinData;
        button->FPosition = i;
        button->FSubMenu = info.hSubMenu;
        button->FEnabled = (info.fState & (MFS_GRAYED | MFS_DISABLED)) == 0;
        button->FVisible = true;
        button->FCommand = info.wID;
        button->FCaption = text;
        // An owner-drawn entry has no text: the framework item tells what it shows.
        TMenuItem* item = nullptr;
        if (button->FCaption.empty() && mainMenu) {
            TMenuItem& root = *mainMenu->Items();
            if (!byCommand && i < root.Count())
                item = root.Items(i);
            for (int j = 0; byCommand && j < root.Count(); ++j)
                if (root.Items(j)->Command() == info.wID)
                    item = root.Items(j);
        }
        if (item) {
            button->FCaption = item->Caption();
            button->FEnabled = item->Enabled();
            button->FCommand = byCommand ? item->Command() : GetMenuItemID(FMenuHandle, i);
            button->FSubMenu = item->Count() > 0 ? item->Handle() : nullptr;
        }
        FButtons.push_back(std::move(button));
    }
    if (takeOff)
        SetMenu(FSkinForm->Handle(), nullptr);
}

void TWinSkinMenu::BuildFromMainMenu()
{
    // The bar stands for the main menu from now on: that is the menu the window gets back, not
    // a merged menu that may be gone with its child.
    TMenu* mainMenu = Menu();
    if (HMENU menu = GetMenu(FSkinForm->Handle()))
        FMenuHandle = menu;
    else if (mainMenu)
        FMenuHandle = mainMenu->Handle();
    FButtons.clear();
    FCount = 0;
    if (mainMenu) {
        TMenuItem& root = *mainMenu->Items();
        FCount = root.Count();
        for (int i = 0; i < FCount; ++i) {
            TMenuItem& item = *root.Items(i);
            auto button = std::make_unique<TMenuBtn>(FSkinForm);
            button->FSkinData = FSkinData;
            button->FPosition = i;
            button->FCaption = item.Caption();
            button->FEnabled = item.Enabled();
            button->FVisible = item.Visible();
            button->FCommand = item.Command();
            button->FSubMenu = item.Count() > 0 ? item.Handle() : nullptr;
            FButtons.push_back(std::move(button));
        }
    }
    SetMenu(FSkinForm->Handle(), nullptr);
}

void TWinSkinMenu::Paint(HDC dc, const TRect& rect)
{
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0 || !SkinWorkBitmap)
        return;
    TBitmap& work = *SkinWorkBitmap;
    work.SetSize(w, h);
    HDC canvas = work.Canvas().Handle();
    const TRect r = Rect(0, 0, w, h);
    const bool rightToLeft = RightToLeft();
    int a = 6;
    if (TDataSkinObject* bar = BarElement(*FSkinData)) {
        const int frame = FSkinForm->Active() ? 1 : 2;
        const TRect margins = Rect(bar->LeftWidth, 0, bar->RightWidth, 0);
        if (bar->Tile == 1)
            DrawSkinImage(canvas, r, bar->Image, margins, frame, 2, false, false, true);
        else
            DrawSkinBar(work.Canvas(), r, bar->Image, margins, frame, 2, false, true);
        a = rightToLeft ? bar->RightWidth + 8 : bar->LeftWidth + 4;
        if (a > w)
            a = 12;
    } else {
        const UniqueBrush fill(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(FSkinData->Colours.Menubar))));
        const RECT all = WinRect(r);
        FillRect(canvas, &all, fill.get());
    }
    FBarRect = rect;
    FBackground.SetSize(w, h);
    BitBlt(FBackground.Canvas().Handle(), 0, 0, w, h, canvas, 0, 0, SRCCOPY);

    {
        const SelectionGuard font(canvas, FFont.Handle());
        int x = rightToLeft ? w - a : a;
        for (const auto& button : FButtons) {
            int width = 0;
            if (!button->FCaption.empty()) {
                SIZE size{};
                GetTextExtentPoint32A(canvas, button->FCaption.c_str(), static_cast<int>(button->FCaption.size()), &size);
                width = size.cx > 0 ? size.cx + 10 : 0;
            }
            const TRect item = rightToLeft ? Rect(x - width, 0, x, h - 1) : Rect(x, 0, x + width, h - 1);
            x += rightToLeft ? -width : width;
            SetTextColor(canvas, static_cast<COLORREF>(ColorToRGB(FSkinData->Colours.MenuBarText)));
            DrawCenteredText(canvas, item, button->FCaption, button->FEnabled, DT_CENTER);
            button->FBoundsRect = Rect(item.Left + rect.Left, item.Top + rect.Top, item.Right + rect.Left, rect.Bottom - 1);
        }
    }

    // The buttons of a maximised MDI child sit in the frame's menu bar.
    if (FSkinForm->MDIKind() == mkFrame && FSkinForm->IsMDIChildMaximized()) {
        for (const auto& button : FSkinForm->SysButtons()) {
            TDataSkinSysButton& d = *button->FSkinButton;
            if (d.Visibility != 100 || d.Image.Empty())
                continue;
            const TRect& b = button->FBoundsRect;
            DrawSkinGlyph(canvas, Rect(b.Left - FSkinForm->FrameLeft(), b.Top - FSkinForm->FrameTop(),
                                       b.Right - FSkinForm->FrameLeft(), b.Bottom - FSkinForm->FrameTop()),
                          d.Image, 1, d.FrameCount, true);
        }
        if (!SkinMdiState.FMdiMaximized)
            SetSkinMdiMaximized(true);
    }
    BitBlt(dc, rect.Left, rect.Top, w, h, canvas, 0, 0, SRCCOPY);
}

TMenuBtn* TWinSkinMenu::ButtonAt(TPoint p) const
{
    for (const auto& button : FButtons)
        if (Holds(button->FBoundsRect, p) && !button->FCaption.empty())
            return button.get();
    return nullptr;
}

TMenuBtn* TWinSkinMenu::NeighbourButton(bool next) const
{
    if (FButtons.empty())
        return nullptr;
    const int last = static_cast<int>(FButtons.size()) - 1;
    // The open item's command may have shortened the bar while its drop-down is open: an item
    // beyond the end counts as just past the last.
    int i = std::min(MenuLoop.OpenButtonIndex, last + 1);
    if (next)
        i = i >= last ? 0 : i + 1;
    else
        i = i <= 0 ? last : i - 1;
    return FButtons[static_cast<size_t>(i)].get();
}

// ---------------------------------------------------------------------------------------------
// The menu loop.

void InstallMenuHook()
{
    MenuLoop.SwitchingMenu = false;
    MenuLoop.DownKeyPosted = false;
    GetCursorPos(&MenuLoop.LastMousePos);
    if (!MenuLoop.MenuHook)
        MenuLoop.MenuHook.reset(SetWindowsHookExA(WH_MSGFILTER, MenuFilterHook, nullptr, GetCurrentThreadId()));
}

void RemoveMenuHook()
{
    MenuLoop.MenuHook.reset();
    MenuLoop.TrackedItem = 0;
    MenuLoop.OpenButtonIndex = -1;
    MenuLoop.DownKeyPosted = false;
}

namespace {

// What the hook does with one message of the open drop-down's loop; the bar item to switch
// to, or nullptr.
TMenuBtn* FilterMenuMessage(const MSG& msg)
{
    TWinSkinForm* form = MenuLoop.MenuLoopForm;
    TWinSkinMenu* bar = form ? form->SkinMenu() : nullptr;
    if (!bar)
        return nullptr;
    switch (msg.message) {
    case WM_KEYDOWN: {
        TMenuItem* tracked = TrackedItem();
        if (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE) {
            MenuLoop.SwitchingMenu = false;
        } else if (msg.wParam == VK_RIGHT) {
            // On an item with a sub-menu the key opens the sub-menu.
            if (!tracked || tracked->Count() == 0)
                return bar->NeighbourButton(true);
        } else if (msg.wParam == VK_LEFT) {
            // Deeper in a sub-menu the key closes the sub-menu.
            if (!tracked || (tracked->Parent() && tracked->Parent()->Handle() == form->TrackedMenu()) ||
                (tracked->Count() > 0 && tracked->Handle() == form->TrackedMenu()))
                return bar->NeighbourButton(false);
        }
        return nullptr;
    }
    case WM_MOUSEMOVE:
        // The menu repeats the last position now and then: only a real move switches.
        if (msg.pt.x == MenuLoop.LastMousePos.x && msg.pt.y == MenuLoop.LastMousePos.y)
            return nullptr;
        MenuLoop.LastMousePos = msg.pt;
        return bar->ButtonAt(form->ScreenToWindowPoint(msg.pt.x, msg.pt.y));
    default:
        return nullptr;
    }
}

}  // namespace

void MenuSelected(WPARAM wParam, LPARAM lParam)
{
    TWinSkinForm* form = MenuLoop.MenuLoopForm;
    if (!form || !form->SkinMenu())
        return;
    if (HIWORD(wParam) == 0xFFFF && !lParam) {
        // The menu closed.
        if (!MenuLoop.SwitchingMenu)
            form->EndMenuLoop();
        return;
    }
    MenuLoop.SwitchingMenu = false;
    if (const TMenu* menu = form->SkinMenu()->Menu()) {
        TMenuItem* item = SelectedItem(wParam, lParam);
        MenuLoop.TrackedItem = item && item->GetParentMenu() == menu ? item->Command() : 0;
    }
}

LRESULT CALLBACK MenuFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    try {
        // A right-to-left menu opens leftwards: the arrow keys swap before anyone sees them.
        if (code >= 0 && msg && (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT)) {
            const TMenuItem* tracked = TrackedItem();
            const TMenu* menu = tracked ? tracked->GetParentMenu() : nullptr;
            if (menu && menu->RightToLeft())
                msg->wParam = msg->wParam == VK_LEFT ? VK_RIGHT : VK_LEFT;
        }
        const LRESULT result = CallNextHookEx(MenuLoop.MenuHook.get(), code, wParam, lParam);
        if (result || code != MSGF_MENU || !msg)
            return result;
        if (!MenuLoop.DownKeyPosted) {
            // Highlights the drop-down's first item, as a native menu bar does.
            MenuLoop.DownKeyPosted = true;
            PostMessageA(msg->hwnd, WM_KEYDOWN, VK_DOWN, 0);
        }
        TWinSkinForm* form = MenuLoop.MenuLoopForm;
        if (msg->message == WM_SYSKEYDOWN && msg->wParam == VK_MENU) {
            if (form)
                form->EndMenuLoop();
            return result;
        }
        if (msg->message == WM_MENUSELECT) {
            MenuSelected(msg->wParam, msg->lParam);
            return result;
        }
        TMenuBtn* target = FilterMenuMessage(*msg);
        if (form && target && target->FPosition != MenuLoop.OpenButtonIndex) {
            MenuLoop.SwitchingMenu = true;
            // The open drop-down closes before the posted press opens the next: a menu does
            // not close for a message posted to its owner, and a second one cannot open. The
            // message that switched is the menu's no more, so that it closes only once.
            EndMenu();
            form->PostMenuBarClick(*target);
            return 1;
        }
        return result;
    } catch (...) {
        HandleCurrentException();
        return 0;
    }
}

namespace {

void AddOwnerDraw(HMENU menu, std::vector<TOwnerDrawnItem>& changed)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID | MIIM_DATA;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        if (!(info.fType & MFT_OWNERDRAW)) {
            // Only the type changes: the text stays for measuring and the item data names the
            // framework item.
            changed.push_back({menu, static_cast<UINT>(i), info.wID, info.dwItemData});
            info.fMask = MIIM_FTYPE;
            info.fType |= MFT_OWNERDRAW;
            SetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        }
        if (info.hSubMenu)
            AddOwnerDraw(info.hSubMenu, changed);
    }
}

}  // namespace

std::vector<TOwnerDrawnItem> SetMenuOwnerDraw(HMENU menu)
{
    std::vector<TOwnerDrawnItem> changed;
    AddOwnerDraw(menu, changed);
    return changed;
}

void ClearMenuOwnerDraw(const std::vector<TOwnerDrawnItem>& items)
{
    for (const TOwnerDrawnItem& item : items) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
        // The menu may have changed or gone while it was open.
        if (!IsMenu(item.Menu) || !GetMenuItemInfoA(item.Menu, item.Position, TRUE, &info) || info.wID != item.Id ||
            info.dwItemData != item.Data)
            continue;
        info.fMask = MIIM_FTYPE;
        info.fType &= ~MFT_OWNERDRAW;
        SetMenuItemInfoA(item.Menu, item.Position, TRUE, &info);
    }
}
