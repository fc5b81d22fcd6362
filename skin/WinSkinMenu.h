// The skinned menu bar of a skinned window, drawn in its non-client area below the caption, the
// menu loop that moves between its items while a drop-down is open, and the skin of the pop-up
// windows ("#32768") every menu is shown in. Main (GUI) thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"
#include "SubClass.h"
#include "WinSkinForm.h"

class TMenu;
class TSkinData;

// One item of the skinned menu bar.
class TMenuBtn : public TNCObject {
public:
    using TNCObject::TNCObject;
    void Draw() override;

    TSkinData* FSkinData = nullptr;
    int FPosition = 0;  // in the bar, from 0
    std::string FCaption;
    bool FEnabled = true;
    HMENU FSubMenu = nullptr;  // the item's drop-down; nullptr when it has none
    UINT FCommand = 0;
};

class TWinSkinMenu {
public:
    TWinSkinMenu(TWinSkinForm* skinForm, TSkinData* skinData);
    TWinSkinMenu(const TWinSkinMenu&) = delete;
    TWinSkinMenu& operator=(const TWinSkinMenu&) = delete;

    // The items from the window's menu (the framework menu fills in the owner-drawn captions),
    // then the native menu taken off the window unless kept for now (takeOff false).
    void BuildFromWindowMenu(bool takeOff = true);
    // As BuildFromWindowMenu from newMenu (when not 0), framework items found by command.
    void BuildFromMenuHandle(HMENU newMenu);
    // The items from the framework menu alone.
    void BuildFromMainMenu();

    // Lays the items out and paints the whole bar into rect (window coordinates) of dc.
    void Paint(HDC dc, const TRect& rect);
    // The item under a window point with a caption, or nullptr.
    TMenuBtn* ButtonAt(TPoint p) const;
    // The item after (or before) the open one, going round; nullptr without items.
    TMenuBtn* NeighbourButton(bool next) const;
    bool RightToLeft() const;
    // The framework form's main menu as it is now (freed or replaced while skinned); nullptr
    // for other windows and for a form without one.
    TMenu* Menu() const;

    std::vector<std::unique_ptr<TMenuBtn>> FButtons;
    TRect FBarRect;
    TSkinData* FSkinData;
    TWinSkinForm* FSkinForm;
    TBitmap FBackground;  // the bar as painted without captions, to repaint one item
    int FCount = 0;
    HMENU FMenuHandle = nullptr;  // the window's menu, given back when the skin lets go
    TFont FFont;                  // the platform's menu font

private:
    void Build(HMENU menu, bool byCommand, bool takeOff);
};

// The menu loop of one open drop-down of a bar (one at a time in the process).
struct TMenuLoopState {
    UniqueHook MenuHook;
    TWinSkinForm* MenuLoopForm = nullptr;
    int OpenButtonIndex = -1;
    WORD TrackedItem = 0;  // command of the framework item WM_MENUSELECT reported last
    POINT LastMousePos{};
    bool DownKeyPosted = false;
    bool SwitchingMenu = false;  // another bar item's drop-down has been asked for
};
extern TMenuLoopState MenuLoop;

void InstallMenuHook();
void RemoveMenuHook();
LRESULT CALLBACK MenuFilterHook(int code, WPARAM wParam, LPARAM lParam);
// WM_MENUSELECT of the open drop-down: the item the keys now act on, or the menu closed. The
// menu sends it to its owner, so the filter may never see it: the owner's procedure passes it.
void MenuSelected(WPARAM wParam, LPARAM lParam);

// An item made owner-drawn for the skin: where it was, and what it was, to be sure it is the
// same item when the skin gives it back.
struct TOwnerDrawnItem {
    HMENU Menu;
    UINT Position;
    UINT Id;
    ULONG_PTR Data;
};

// Gives every item of menu and its sub-menus the owner-drawn type, keeping texts and item data;
// returns the items that did not have it already.
std::vector<TOwnerDrawnItem> SetMenuOwnerDraw(HMENU menu);
// Takes the owner-drawn type away again from those items; items owner-drawn by the application
// keep it.
void ClearMenuOwnerDraw(const std::vector<TOwnerDrawnItem>& items);

// The border and background of one pop-up menu window, from the skin's [MenuBackground].
class TWinSkinPopMenu {
public:
    TWinSkinPopMenu() = default;
    ~TWinSkinPopMenu();
    TWinSkinPopMenu(const TWinSkinPopMenu&) = delete;
    TWinSkinPopMenu& operator=(const TWinSkinPopMenu&) = delete;

    void Attach(HWND window, TSkinData* skinData, HMENU menu);
    void Detach();
    bool Attached() const { return FSubclass != nullptr; }
    // The background of the attached skin that shows menu, or nullptr.
    static TBitmap* PopupBitmap(HMENU menu);

    HWND FHandle = nullptr;
    TSkinData* FSkinData = nullptr;
    TBitmap FBitmap;  // the background at the window's size, as last built
    HMENU FMenuHandle = nullptr;  // nullptr until the item painter tells it
    int FOrigin = 0;  // where the window's top-left corner lies in FBitmap (both ways)

private:
    void SkinWndProc(TMessage& message);
    bool SkinDraws() const;
    bool HasFrame() const;
    bool BuildBackground();
    bool PaintBorder();  // false when the skin has nothing to draw
    void PrintMenu(TMessage& message);

    std::unique_ptr<TWindowSubclass> FSubclass;
};

// The pop-up skin that has painted before it knew its menu; the next owner-drawn item tells it.
extern TWinSkinPopMenu* PendingPopMenu;
// Gives PendingPopMenu its menu, if one waits.
void ResolvePendingPopMenu(HMENU menu);
