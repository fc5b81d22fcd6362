// The skin of one top-level window: its frame, caption, caption buttons and window region drawn
// from a skin, its non-client hit testing and mouse handling, and how it attaches to a window
// and gives the window back. Main (GUI) thread only.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Classes.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"
#include "SubClass.h"

class TCustomForm;
class TDataSkinBorder;
class TMenuBtn;
class TWinSkinMenu;
class TDataSkinSysButton;
class TSkinData;
class TTimer;
class TWinSkinForm;
class TSkinControl;
class TSkinButton;

// Private messages of a skinned window.
constexpr UINT WM_SKINRELOAD = 0x3401;   // a framework form re-applies its skin
constexpr UINT WM_SKINNCPAINT = 0x3502;  // repaint the whole skinned frame now
constexpr UINT WM_SKINSTART = 0x3503;    // posted after attaching: the skin's first application
constexpr UINT WM_SKINQUERY = 0x3504;    // answered 1 by a skinned window; also posted by a
                                         // caption button of a custom action (wParam)

// The MDI state every form skin of the program shares.
struct TSkinMdiState {
    bool FMdiMaximized = false;  // an MDI child is shown maximised
    HWND FMdiClient = nullptr;   // the "MDIClient" window of the skinned MDI frame
};
extern TSkinMdiState SkinMdiState;
// Changes FMdiMaximized through the skin manager, which fits every skinned MDI child to it;
// without a manager (a skin attached by hand) only the flag changes.
void SetSkinMdiMaximized(bool value);

// A non-client object's state; a caption button shows the frame of its state's number. None
// until the first operation.
enum TNCState : int { ncsNone = 0, ncsNormal = 1, ncsPressed = 2, ncsHot = 3 };

// One clickable object of the non-client area. Only a visible object reacts to the mouse.
class TNCObject : public TObject {
public:
    explicit TNCObject(TWinSkinForm* skinForm) : FSkinForm(skinForm) {}
    // The form skin stops naming it as its hot object.
    ~TNCObject() override;
    TNCObject(const TNCObject&) = delete;
    TNCObject& operator=(const TNCObject&) = delete;

    virtual void MouseDown();
    virtual void MouseUp();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Draw() {}

    TWinSkinForm* FSkinForm;
    TRect FBoundsRect;  // window coordinates; right and bottom edges excluded
    bool FVisible = false;
    TNCState FState = ncsNone;
};

// One caption button, shown from its description in the skin.
class TWinSysButton : public TNCObject {
public:
    TWinSysButton(TWinSkinForm* skinForm, TDataSkinSysButton* skinButton)
        : TNCObject(skinForm), FSkinButton(skinButton) {}
    void Draw() override;

    TDataSkinSysButton* FSkinButton;  // belongs to the skin data
};

// What the mouse is over in a skinned window: the one hot object of the non-client area (a
// caption button or a menu-bar item) and the one hot skinned button among its controls. Each
// forgets itself here when it is freed (a button also when its window goes), so that neither is
// named once it is gone.
class TSkinHotTrack {
public:
    TNCObject* Object() const { return FObject; }
    TSkinButton* Button() const { return FButton; }
    void SetObject(TNCObject* object) { FObject = object; }
    void SetButton(TSkinButton* button) { FButton = button; }
    // The frame is drawn anew: no object shows hot any more.
    void ClearObject() { FObject = nullptr; }
    // The mouse has left it, or it is going: forgotten when it is the hot one.
    void Forget(const TNCObject* object)
    {
        if (FObject == object)
            FObject = nullptr;
    }
    void Forget(const TSkinButton* button)
    {
        if (FButton == button)
            FButton = nullptr;
    }
    // The hot button, hot no more: the caller tells it that the mouse has left.
    TSkinButton* TakeButton() { return std::exchange(FButton, nullptr); }

private:
    TNCObject* FObject = nullptr;
    TSkinButton* FButton = nullptr;
};

// The painters a form skin gives the items of a form's pop-up menus. Each names its skin, so
// that a skin tells its own, another skin's and an item's own painter apart; the measuring one
// keeps the item's own measurer, which the item gets back when the skin lets go.
struct TSkinItemDrawer {
    TWinSkinForm* Skin;
    void operator()(TObject* sender, TCanvas& canvas, TRect rect, bool selected) const;
};
struct TSkinItemMeasurer {
    TWinSkinForm* Skin;
    TMenuMeasureItemEvent Own;
    void operator()(TObject* sender, TCanvas& canvas, int& width, int& height) const;
};

// Show states and skin states of a form skin.
enum TSkinShowState : int { ssNormal = 0, ssMaximized = 1, ssMinimized = 2 };
enum TFormSkinState : int {
    fssCreated = 0, fssSkinned = 1, fssReskinning = 3, fssDestroying = 4, fssFitting = 5,
    fssDestroyed = 6
};
enum TMDIKind : int { mkNone = 0, mkFrame = 1, mkChild = 2 };
// A sizing frame or raised edge, a pop-up without a full caption, any other border.
enum TBorderKind : int { bkSizing = 0, bkPopup = 2, bkOther = 3 };
// FBorderIcons bits.
constexpr unsigned kIconMaximize = 1, kIconMinimize = 2, kIconSystemMenu = 8, kIconCaptionTaken = 16;

class TWinSkinForm : public TComponent {
    LEXDRILL_CLASS(TWinSkinForm)
public:
    // A framework form's skin is owned by the form, any other window's by nobody.
    explicit TWinSkinForm(TComponent* owner);
    // Lets go of the window's procedures when still attached, and gives nothing else back:
    // Detach or DetachDestroyed comes first. The skin manager forgets it.
    ~TWinSkinForm() override;

    int DisableTag() const { return FDisableTag; }
    void SetDisableTag(int value) { FDisableTag = value; }

    // Attaching to a framework form (its window) or any other window. The window keeps its
    // native size until WM_SKINSTART arrives. Attaching a skin twice does nothing the second time.
    void AttachForm(TSkinData* skinData, TCustomForm* form);
    void AttachWindow(TSkinData* skinData, HWND handle);
    // Skinning switched off: the window gets its procedure, styles, size and region back.
    void Detach();
    // The window is being destroyed (the skin is fssDestroying from here on): only the
    // procedures are given back.
    void DetachDestroyed();
    // For a skin without the frame (xcMainMenu off): only what such a skin took.
    void DetachControls();
    // Re-applies a changed skin (after FreeSysButtons and LoadFrameMetrics).
    void ReSkin();

    // Frame widths and caption buttons from the skin.
    void LoadFrameMetrics();
    void FreeSysButtons();
    // Sizes the window so that its client area keeps its size inside the skinned frame; a
    // message box is also widened to fit its caption (not when refreshing).
    void FitWindowToSkin(bool refresh);
    // The native caption styles on (restore) or off.
    void SetSystemStyles(bool restore);
    // An MDI child's frame after SkinMdiState's FMdiMaximized changed: native while a child is
    // shown maximised, skinned again once none is.
    void FollowMdiMaximized(bool maximized);
    void RefreshFrame();
    static void RedrawWindowNow(HWND wnd);

    // Painting and the region.
    void PaintNonClient(HDC dc);  // dc 0: the window DC
    void BuildRegion();
    void RemoveRegion();

    // Caption buttons and the non-client mouse.
    void LayoutSysButtons();
    void DrawSysButtons(HDC dc);
    void DrawSysButton(TWinSysButton& button, TNCState state);
    void UpdateButtonVisible(size_t index);
    TWinSysButton* SysButtonAt(TPoint p);
    TPoint ScreenToWindowPoint(int x, int y);
    void DoButtonAction(int x, int y);
    void ShowSysMenu(TPoint p);
    void ToggleMaximize();
    void ToggleMinimize();
    void RestoreWindow();
    void MDIChildCommand(WPARAM command);
    void CheckMouseLeave();
    // What the mouse is over: the non-client objects and the button skins keep it here.
    TSkinHotTrack& HotTrack() { return FHotTrack; }

    void ReadShowState();
    bool IsMDIChildMaximized();

    // The system menu, the window icon and the way into the menu bar.
    void GetWindowIcon(TBitmap& bitmap);
    void BuildSysMenu();
    void AddSysMenuItem(const std::string& caption, int kind);
    void SysMenuClick(TMenuItem& item);
    // Alt with the accelerator of a bar item opens it: true when it did.
    bool HandleDialogChar(TMessage& message);
    TMenuBtn* FindAccelButton(unsigned ch);
    // A non-client press posted on the item, which opens it like the mouse.
    void PostMenuBarClick(const TMenuBtn& item);
    // Posts the item's command and runs its drop-down's loop; false when it has none.
    bool TrackMenuButton(TMenuBtn* item);
    void EndMenuLoop();

    // The container's pop-up menus drawn by the skin (enable) or by themselves again. Items
    // with a painter of their own keep it; a painter another skin left is replaced.
    void SkinPopupMenus(TComponent* container, bool enable);
    // The items this skin paints get their own painters back (none, or their own measurer).
    void GiveBackMenuPainters();

    // Owner-drawn menu items: drop-downs of the bar, pop-up menus and the system menu.
    void MeasureFormMenuItem(TMenuItem& item, TCanvas& canvas, int& width, int& height);
    void MenuMeasureItem(TObject* sender, TCanvas& canvas, int& width, int& height);
    void MenuDrawItem(TObject* sender, TCanvas& canvas, TRect rect, bool selected);
    void DrawNativeItemSkinned(HMENU menu, TMenuItem& item, bool selected, const TRect& rect, TCanvas& canvas);
    void DrawMenuItemPlain(TMenuItem& item, TCanvas& canvas, bool selected, const TRect& rect);
    void DrawMenuSeparator(TCanvas& canvas, const TRect& rect);
    void DrawMenuItemContent(TMenuItem& item, TCanvas& canvas, bool selected, const TRect& rect);
    void DrawMenuItemText(TMenuItem& item, TCanvas& canvas, UINT format, bool selected, TRect& rect,
                          std::string text);
    // The control skins (WinSkinFormScan.cpp). Every control of the window gets one of its
    // kind when the skin attaches; they are listed here and freed on detaching.
    void SkinComponents(TWinControl* container);
    void SkinControl(TComponent* component, TWinControl* container);
    // The number of the mapping row that decides a component's skin (3: the Skin3rd list);
    // 0 when none does.
    int MappingRow(TComponent* component);
    // Skins a component the Skin3rd list names by the kind it gives; true when the list names
    // the class, whether or not a skin was made.
    bool SkinBy3rdList(const std::string& upperClassName, TComponent* component);
    bool IsControlSkinned(TComponent* component) const;
    bool IsScrollingControl(TComponent* component);
    void SkinChildWindows();
    void SkinChildWindow(HWND wnd);
    TSkinControl* FindControlByHandle(HWND wnd) const;
    // True when the skin is listed already; else lists it.
    bool AddControl(TSkinControl* skin);
    void RemoveControl(TSkinControl* skin);
    // Frees the skins whose windows are gone.
    void PurgeDeadControls();
    // Gives each control its colour back and frees its skin.
    void UnskinControls();
    // Tool bars: their button faces drawn from the skin while skinned.
    void HookToolBar(TToolBar* toolBar);
    void DrawToolButton(TToolBar* toolBar, const TRect& bounds, UINT state);
    void Notification(TComponent* component, TOperation operation) override;

    // The window, the form (nullptr for any other window), the skin, and the state the skin
    // manager, the menu bar and its loop and the control scan go by.
    HWND Handle() const { return FHandle; }
    TCustomForm* Form() const { return FForm; }
    TSkinData* SkinData() const { return FSkinData; }
    int SkinState() const { return FSkinState; }
    bool Active() const { return FActive; }
    int ShowState() const { return FShowState; }
    TMDIKind MDIKind() const { return FMDIKind; }
    TBorderKind BorderKind() const { return FBorderKind; }
    // The skinned frame's widths and the bar's height, in the window.
    int FrameLeft() const { return FFrameLeft; }
    int FrameTop() const { return FFrameTop; }
    int FrameRight() const { return FFrameRight; }
    int FrameBottom() const { return FFrameBottom; }
    int MenuHeight() const { return FMenuHeight; }
    const std::vector<std::unique_ptr<TWinSysButton>>& SysButtons() const { return FSysButtons; }
    TWinSkinMenu* SkinMenu() const { return FSkinMenu.get(); }  // nullptr without a bar
    TPopupMenu* SysMenu() const { return FSysMenu; }
    HMENU TrackedMenu() const { return FTrackedMenu; }
    bool InMenuLoop() const { return FInMenuLoop; }
    const std::vector<TSkinControl*>& Controls() const { return FControls; }
    TCanvas& ControlCanvas() { return FControlCanvas; }  // the control skins draw with it

private:
    // The tests' view of what no other class needs (tests/SkinTesting.h).
    friend struct TFormSkinTesting;

    // A skinned tool bar and the button custom-draw handler it had, given back on detaching.
    struct TSkinnedToolBar {
        TToolBar* ToolBar;
        TToolBarCustomDrawButtonEvent OwnHandler;
    };

    TSkinHotTrack FHotTrack;
    std::vector<WORD> FSkinnedMenuItems;  // commands of the items given our painters
    std::vector<TSkinControl*> FControls;  // owned through their owners; freed here on detaching
    TCanvas FControlCanvas;
    std::vector<TSkinnedToolBar> FToolBars;
    TSkinData* FSkinData = nullptr;
    TCustomForm* FForm = nullptr;
    HWND FHandle = nullptr;
    std::unique_ptr<TWindowSubclass> FSubclass;        // the window, while subclassed
    std::unique_ptr<TWindowSubclass> FClientSubclass;  // the MDI client, while hooked
    THookId FFormHook = 0;                             // the form's WindowProc hook; 0: none
    bool FAlignHeld = false;  // the form's alignment waits for the first fit
    std::unique_ptr<TFont> FCaptionFont;
    TTimer* FTimer = nullptr;
    int FDisableTag = 0;
    std::string FCaptionPrefix = "  ";
    std::string FCaption;
    std::string FClassName;
    TRect FClientRect;
    DWORD FLastClickTime = 0;
    DWORD FDoubleClickTime;
    int FSpaceWidth = 0;
    HWND FOwnerWnd = nullptr;
    int FFrameLeft = 0, FFrameTop = 0, FFrameRight = 0, FFrameBottom = 0;
    TRect FWindowRect;
    TRect FTitleTextRect;
    TRect FOrgFrameSize;
    int FMenuHeight = 0;
    bool FRightToLeft = false;
    HWND FMDIClient = nullptr;
    HWND FNewMDIChild = nullptr;
    bool FSavedMenuUpdate = true;  // an MDI frame's MenuUpdate at attach, back once its children are gone
    HMENU FSystemMenuHandle = nullptr;
    TColor FOldColor = 0;
    DWORD FStyle = 0;
    bool FHasRegion = false;  // the window holds a region of ours (the window owns the handle)
    std::vector<std::unique_ptr<TWinSysButton>> FSysButtons;
    TBitmap FIconBitmap;   // the window's small icon on magenta
    TBitmap FFrameBitmap;  // the caption band as last painted
    bool FActive = true;
    TMDIKind FMDIKind = mkNone;
    TBorderKind FBorderKind = bkSizing;
    unsigned FBorderIcons = 0;
    int FShowState = ssNormal;
    int FSkinState = fssCreated;
    // Painting state: the window width at the latest painting, the window size at the latest
    // region built from the frame images, and the left edge of the right-aligned buttons.
    int FPaintWidth = 0;
    int FRegionWidth = 0, FRegionHeight = 0;
    int FRightButtonsLeft = 0;
    // The menus.
    std::unique_ptr<TWinSkinMenu> FSkinMenu;  // the skinned bar; nullptr when there is none
    TPopupMenu* FSysMenu = nullptr;           // the skinned system menu, owned
    HMENU FMenuHandle = nullptr;              // the window's menu at attach
    HMENU FTrackedMenu = nullptr;             // the drop-down open for a bar item
    bool FInMenuLoop = false;                 // while that drop-down is open
    int FClosedButton = -1;                   // the bar item whose drop-down closed last,
    DWORD FMenuClosedTime = 0;                // and when

    bool FrameSkinned() const;
    bool IsMDIChildNotNormal() const { return FMDIKind == mkChild && FShowState != ssNormal; }
    void FindMDIClient();
    void CreateCaptionFont();
    void HookMDIClient();
    void UnhookMDIClient();
    void UnhookForm();
    // The bar's menu off the window, where the bar stands for it.
    void TakeMenuOff();
    // Lets the form place its controls again (once the first fit is done or the skin goes).
    void ReleaseAlign();

    // The window procedures.
    void WndProc(TMessage& message);
    // Passes the message to the window's previous procedure. False when the window or this
    // skin is gone meanwhile: the caller then touches nothing of the skin.
    bool CallOldProc(TMessage& message);
    void ClientWndProc(TMessage& message);
    bool CallClientProc(TMessage& message);
    void FormWindowProc(TMessage& message, const TWndMethod& next);
    void WMEraseBkgnd(TMessage& message);
    void WMCtlColorStatic(TMessage& message);
    void WMSize(TMessage& message);
    void WMGetMinMaxInfo(TMessage& message);
    void WMCommand(TMessage& message);
    void WMSysCommand(TMessage& message);
    void WMSkinStart();
    void CMMenuChanged(TMessage& message);
    void WMMeasureItem(TMessage& message);
    void WMDrawItem(TMessage& message);
    void MeasureNativeItem(MEASUREITEMSTRUCT& measure);

    // Frame painting.
    void WMNCCalcSize(TMessage& message);
    void WMNCPaint(TMessage& message);
    void WMNCActivate(TMessage& message);
    void WMPrint(TMessage& message);
    void PaintCaption(HDC dc);
    void ComposeCaption();
    void DrawCaptionText(TCanvas& canvas, const TRect& rect);
    void DrawFramePart(TDataSkinBorder& part, const TRect& rect, HDC dc);

    // The non-client mouse.
    TNCObject* ObjectAt(LPARAM screenPoint);
    void WMNCHitTest(TMessage& message);
    void WMNCMouseMove(TMessage& message);
    void WMNCLButtonDown(TMessage& message);
    void WMNCLButtonUp(TMessage& message);
    void WMNCLButtonDblClk(TMessage& message);
    void WMNCRButtonDown(TMessage& message);
};

// The window's text (up to 1000 characters) and class name (up to 100).
std::string GetWindowCaption(HWND wnd);
std::string GetWindowClass(HWND wnd);

// The skin a bare child window gets by its class name and style.
enum class TBareSkinKind { None, Button, CheckBox, RadioButton, ComboBox, ComboBoxInner, Sizer, Tab, Edit };
TBareSkinKind BareSkinKind(const std::string& className, DWORD style);
