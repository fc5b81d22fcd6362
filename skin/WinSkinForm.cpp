// The form skin's life: attaching to a framework form or a bare window, the frame metrics
// taken from the skin, fitting the window to the skinned frame, re-skinning and the three ways
// of giving the window back.
#include "WinSkinForm.h"

#include <algorithm>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "WinSkinData.h"
#include "WinSkinDataManage.h"
#include "WinSkinMenu.h"
#include "WinSubClass.h"

TSkinMdiState SkinMdiState;

void SetSkinMdiMaximized(bool value)
{
    if (SkinManage)
        SkinManage->SetMdiMaximized(value);
    else
        SkinMdiState.FMdiMaximized = value;
}

const TClassInfo& TWinSkinForm::StaticClass()
{
    static const TClassInfo info =
        TClassBuilder<TWinSkinForm>("TWinSkinForm", TComponent::StaticClass())
            .Int("DisableTag", [](TWinSkinForm& f, int v) { f.SetDisableTag(v); })
            .Build();
    return info;
}

TWinSkinForm::TWinSkinForm(TComponent* owner)
    : TComponent(owner), FDoubleClickTime(GetDoubleClickTime())
{
}

TWinSkinForm::~TWinSkinForm()
{
    // Freed inside the menu loop of one of its drop-downs (the loop dispatches the manager's
    // timer): the loop closes and forgets it.
    if (MenuLoop.MenuLoopForm == this) {
        MenuLoop.MenuLoopForm = nullptr;
        EndMenu();
    }
    // A skin freed with its form, or while its window lives on, lets go of both.
    GiveBackMenuPainters();
    UnskinControls();
    UnhookForm();
    ReleaseAlign();
    UnhookMDIClient();
    FSubclass.reset();
    // The caption buttons and the bar's items forget themselves in FHotTrack as they go.
    FreeSysButtons();
    FSkinMenu.reset();
    if (SkinManage)
        SkinManage->RemoveFormSkin(this);
}

bool TWinSkinForm::FrameSkinned() const
{
    return FSkinData && (FSkinData->SkinControls() & SkinControlBit(xcMainMenu));
}

void TWinSkinForm::CreateCaptionFont()
{
    FCaptionFont = std::make_unique<TFont>();
    // The record's size before the padded border width: every Windows version accepts it.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        FCaptionFont->SetHandle(CreateFontIndirectA(&metrics.lfCaptionFont));
}

void TWinSkinForm::AttachForm(TSkinData* skinData, TCustomForm* form)
{
    FForm = form;
    AttachWindow(skinData, form->Handle());
    if (FrameSkinned() && !FFormHook)
        FFormHook = form->HookWindowProc(
            [this](TMessage& message, const TWndMethod& next) { FormWindowProc(message, next); });
    FOldColor = form->Color();
    form->SetColor(skinData->Colours.ButtonFace);
    if (FrameSkinned())
        SkinPopupMenus(form, true);
}

void TWinSkinForm::AttachWindow(TSkinData* skinData, HWND handle)
{
    if (FSubclass)
        return;
    FHandle = handle;
    FSkinData = skinData;
    skinData->FreeNotification(this);
    FTimer = TComponent::Make<TTimer>(this);
    FTimer->SetEnabled(false);
    FTimer->SetInterval(250);
    FTimer->OnTimer = [this](TObject*) { CheckMouseLeave(); };
    CreateCaptionFont();

    FStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_EXSTYLE));
    FRightToLeft = exStyle & WS_EX_LEFTSCROLLBAR;
    FSystemMenuHandle = GetSystemMenu(FHandle, FALSE);
    GetWindowIcon(FIconBitmap);
    FCaption = GetWindowCaption(FHandle);
    FClassName = GetWindowClass(FHandle);

    FOwnerWnd = GetWindow(FHandle, GW_OWNER);
    RECT client, window;
    GetClientRect(FHandle, &client);
    GetWindowRect(FHandle, &window);
    FClientRect = Rect(0, 0, client.right, client.bottom);
    FOrgFrameSize = Rect(0, 0, (window.right - window.left) - client.right,
                         (window.bottom - window.top) - client.bottom);

    FBorderIcons = 0;
    if ((FStyle & WS_SYSMENU) || FSystemMenuHandle)
        FBorderIcons |= kIconSystemMenu;
    if (FStyle & WS_MINIMIZEBOX)
        FBorderIcons |= kIconMinimize;
    if (FStyle & WS_MAXIMIZEBOX)
        FBorderIcons |= kIconMaximize;
    BuildSysMenu();

    ReadShowState();
    FindMDIClient();
    if (exStyle & WS_EX_MDICHILD)
        FMDIKind = mkChild;

    FBorderKind = bkOther;
    if ((FStyle & WS_POPUP) && (FStyle & WS_CAPTION) != WS_CAPTION)
        FBorderKind = bkPopup;
    else if ((exStyle & WS_EX_WINDOWEDGE) || (FStyle & WS_THICKFRAME))
        FBorderKind = bkSizing;

    if (FMDIKind == mkFrame) {
        FSavedMenuUpdate = skinData->MenuUpdate();
        HookMDIClient();
    }
    if (FrameSkinned()) {
        // The client area keeps its size from here to the first fit, which takes the menu off
        // inside the skinned frame: the form places its controls once, after the fit.
        if (FForm && !FAlignHeld) {
            FForm->DisableAlign();
            FAlignHeld = true;
        }
        FMenuHandle = GetMenu(FHandle);
        // A pop-up that keeps its native border has no skinned bar: its menu stays on it.
        if (FMenuHandle && FMDIKind != mkChild && FBorderKind != bkPopup) {
            FSkinMenu = std::make_unique<TWinSkinMenu>(this, skinData);
            FMenuHeight = GetSystemMetrics(SM_CYMENU);
            // Kept on until the first fit: taken off now, it would grow the client area and
            // move every control on the screen, and the fit bring them back.
            FSkinMenu->BuildFromWindowMenu(false);
        }
        if (!(FMDIKind == mkChild && SkinMdiState.FMdiMaximized) && FShowState != ssMinimized)
            SetSystemStyles(false);
        LoadFrameMetrics();
    }
    try {
        FSubclass = std::make_unique<TWindowSubclass>(
            FHandle, [this](TMessage& message) { WndProc(message); });
    } catch (...) {
        // A window that cannot be subclassed is left as it was, its menu back on it.
        if (FrameSkinned())
            SetSystemStyles(true);
        if (FSkinMenu) {
            SetMenu(FHandle, FSkinMenu->FMenuHandle);
            FSkinMenu.reset();
            FMenuHeight = 0;
        }
        UnhookMDIClient();
        ReleaseAlign();
        throw;
    }
    InvalidateRect(FHandle, nullptr, TRUE);
    if (FForm)
        SkinComponents(FForm);
    else
        SkinChildWindows();
}

void TWinSkinForm::SetSystemStyles(bool restore)
{
    if (FMDIKind == mkChild && SkinMdiState.FMdiMaximized && !restore)
        return;
    LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    if (restore) {
        if (FBorderIcons & kIconSystemMenu)
            style |= WS_SYSMENU;
        if (FBorderIcons & kIconMinimize)
            style |= WS_MINIMIZEBOX;
        if (FBorderIcons & kIconMaximize)
            style |= WS_MAXIMIZEBOX;
        if (FBorderIcons & kIconCaptionTaken)
            style |= WS_CAPTION;
    } else if (FOwnerWnd) {
        // An owned window keeps its caption style; only the native buttons go.
        style &= ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    } else if ((style & WS_CAPTION) == WS_CAPTION) {
        // Only a whole caption is taken, so that giving it back restores what was there: a
        // pop-up's lone border (which keeps its native frame) stays.
        FBorderIcons |= kIconCaptionTaken;
        style &= ~WS_CAPTION;
    }
    SetWindowLongA(FHandle, GWL_STYLE, style);
}

void TWinSkinForm::FollowMdiMaximized(bool maximized)
{
    if (maximized) {
        if (FHasRegion)
            RemoveRegion();
        SetSystemStyles(true);
    } else if (FShowState == ssMinimized) {
        SetSystemStyles(true);
    } else {
        FShowState = ssNormal;
        BuildRegion();
        SetSystemStyles(false);
        if (!FHasRegion)
            RefreshFrame();
    }
}

void TWinSkinForm::LoadFrameMetrics()
{
    TSkinData& d = *FSkinData;
    if (!d.FSkinLoaded)
        return;
    if (FBorderKind == bkPopup) {
        FFrameLeft = FFrameTop = FFrameRight = FFrameBottom = FMenuHeight = 0;
    } else {
        // The skin reader keeps every frame count at 1 or more.
        FFrameTop = d.Top.Image.Height() / d.Top.FrameCount;
        FFrameLeft = d.Left.Image.Width() / d.Left.FrameCount;
        FFrameRight = d.Right.Image.Width() / d.Right.FrameCount;
        FFrameBottom = d.Bottom.Image.Height() / d.Bottom.FrameCount;
    }
    FreeSysButtons();
    for (const auto& description : d.FTitleButtons)
        FSysButtons.push_back(std::make_unique<TWinSysButton>(this, description.get()));
    // The icon buttons show the window's icon; the first window to fill the skin's
    // descriptions decides the icon later windows find there.
    for (const auto& description : d.FTitleButtons) {
        if (description->Action != 3 && description->Action != 11)
            continue;
        if (description->Image.Empty())
            description->Image.Assign(FIconBitmap);
        if (d.FIconImage.Empty())
            d.FIconImage.Assign(FIconBitmap);
        description->FrameCount = 1;
    }
}

void TWinSkinForm::FreeSysButtons()
{
    FSysButtons.clear();
}

void TWinSkinForm::FitWindowToSkin(bool refresh)
{
    if (FShowState == ssMaximized) {
        RefreshFrame();
        return;
    }
    RECT r;
    GetWindowRect(FHandle, &r);
    if (refresh) {
        // The client as it is now: the user may have resized the window since it was skinned.
        RECT client;
        GetClientRect(FHandle, &client);
        FClientRect = Rect(0, 0, client.right, client.bottom);
    }
    int width = FClientRect.Right + FFrameLeft + FFrameRight;
    const int height = FClientRect.Bottom + FFrameTop + FFrameBottom + FMenuHeight;

    if (!refresh && (FClassName == "TMessageForm" || FClassName == "#32770")) {
        // A message box is widened to show its whole caption, its contents kept centred.
        {
            const WindowDC dc(FHandle, WindowDC::WholeWindow);
            const SelectionGuard font(dc.Get(), FCaptionFont->Handle());
            SIZE space{};
            GetTextExtentPoint32A(dc.Get(), " ", 1, &space);
            FSpaceWidth = space.cx;
        }
        FCaption = GetWindowCaption(FHandle);
        const TDataSkinTitle& title = FSkinData->Title;
        const int needed = (static_cast<int>(FCaption.size()) + 7) * FSpaceWidth + FFrameLeft +
                           FFrameRight + title.LeftWidth + title.RightWidth + title.TXTBackleft +
                           title.TXTBackRight;
        if (width < needed) {
            const int shift = (needed - width) / 2;
            HWND child = GetTopWindow(FHandle);
            while (child) {
                HWND next = GetWindow(child, GW_HWNDNEXT);
                RECT bounds;
                GetWindowRect(child, &bounds);
                MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&bounds), 2);
                // Z order kept: it is the dialog's tab order.
                SetWindowPos(child, nullptr, bounds.left + shift, bounds.top, bounds.right - bounds.left,
                             bounds.bottom - bounds.top,
                             SWP_NOSENDCHANGING | SWP_NOOWNERZORDER | SWP_NOZORDER | SWP_NOACTIVATE);
                child = next;
            }
            width = needed;
        }
    }
    // The activation stays where it is: the first fit comes after the window's activation, with
    // a window activated since then, and a new skin is applied to every window in turn.
    SetWindowPos(FHandle, nullptr, r.left, r.top, width, height,
                 SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void TWinSkinForm::RefreshFrame()
{
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinSkinForm::RedrawWindowNow(HWND wnd)
{
    InvalidateRect(wnd, nullptr, TRUE);
    UpdateWindow(wnd);
}

void TWinSkinForm::ReSkin()
{
    if (FForm) {
        const TColor face = FSkinData->Colours.ButtonFace;
        FForm->SetColor(face);
        for (int i = 0; i < FForm->ComponentCount(); ++i)
            if (auto* form = dynamic_cast<TCustomForm*>(FForm->Components(i)))
                form->SetColor(face);
    }
    for (TSkinControl* control : FControls)
        control->RefreshSkin();
    FSkinState = fssReskinning;
    if (FrameSkinned()) {
        if (FForm)
            SkinPopupMenus(FForm, true);
        // Fitted only where the first application fits: a minimised window, a pop-up that keeps
        // its native border and an MDI child shown maximised keep their size. Fitted unpainted,
        // as the first fit is: the region's redraw paints the window once, in its new shape.
        if (FShowState != ssMinimized && FBorderKind != bkPopup && !(FMDIKind == mkChild && SkinMdiState.FMdiMaximized)) {
            FSkinState = fssFitting;
            FitWindowToSkin(true);
            FSkinState = fssReskinning;
        }
        // Asked before the first application, which takes the bar's menu off the window: the
        // menu is still on, and the start skips a skin applied already.
        TakeMenuOff();
        // Built while still re-skinning: a new skin of the same size shapes the window anew.
        BuildRegion();
    }
    FSkinState = fssSkinned;
}

void TWinSkinForm::TakeMenuOff()
{
    if (FSkinMenu && GetMenu(FHandle))
        SetMenu(FHandle, nullptr);
}

void TWinSkinForm::UnhookForm()
{
    if (FFormHook && FForm)
        FForm->UnhookWindowProc(FFormHook);
    FFormHook = 0;
}

void TWinSkinForm::ReleaseAlign()
{
    if (FAlignHeld && FForm)
        FForm->EnableAlign();
    FAlignHeld = false;
}

void TWinSkinForm::HookMDIClient()
{
    FClientSubclass = std::make_unique<TWindowSubclass>(
        FMDIClient, [this](TMessage& message) { ClientWndProc(message); });
}

void TWinSkinForm::UnhookMDIClient()
{
    FClientSubclass.reset();
}

void TWinSkinForm::Detach()
{
    if (!FrameSkinned()) {
        DetachControls();
        return;
    }
    TComponent::Free(FSysMenu);
    FSysMenu = nullptr;
    if (FTimer)
        FTimer->SetEnabled(false);
    if (!FSubclass)
        return;
    // The client area keeps its size: the window loses the frame it has now and gets back the
    // native frame it had at attach (a frame never fitted to the skin changes nothing).
    RECT window, client;
    GetWindowRect(FHandle, &window);
    GetClientRect(FHandle, &client);
    const int frameWidth = (window.right - window.left) - client.right;
    const int frameHeight = (window.bottom - window.top) - client.bottom;

    UnhookForm();
    ReleaseAlign();
    FSubclass.reset();
    UnskinControls();
    if (FForm)
        SkinPopupMenus(FForm, false);
    if (FForm && FSkinState != fssDestroying)
        FForm->SetColor(FOldColor);
    SetSystemStyles(true);
    if (FSkinMenu) {
        SetMenu(FHandle, FSkinMenu->FMenuHandle);
        FSkinMenu.reset();
    }
    UnhookMDIClient();
    FFrameBitmap.SetSize(0, 0);

    POINT position{window.left, window.top};
    if (FMDIKind == mkChild)
        ScreenToClient(SkinMdiState.FMdiClient, &position);
    if (FSkinState != fssDestroying && (FMDIKind == mkChild || !(FStyle & WS_CHILD)))
        SetWindowPos(FHandle, nullptr, position.x, position.y,
                     (window.right - window.left) - (frameWidth - FOrgFrameSize.Right),
                     (window.bottom - window.top) - (frameHeight - FOrgFrameSize.Bottom),
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
    SetWindowRgn(FHandle, nullptr, TRUE);
    FHasRegion = false;
}

void TWinSkinForm::DetachDestroyed()
{
    FSkinState = fssDestroying;
    if (!FrameSkinned()) {
        DetachControls();
        return;
    }
    TComponent::Free(FSysMenu);
    FSysMenu = nullptr;
    if (FTimer)
        FTimer->SetEnabled(false);
    if (!FSubclass)
        return;
    UnhookForm();
    ReleaseAlign();
    FSubclass.reset();
    FSkinMenu.reset();  // the window is going: its menu goes with it
    UnskinControls();
    // The form and its pop-up menus may outlive the window.
    if (FForm)
        SkinPopupMenus(FForm, false);
    FFrameBitmap.SetSize(0, 0);
}

void TWinSkinForm::DetachControls()
{
    if (FTimer)
        FTimer->SetEnabled(false);
    UnskinControls();
    if (FForm)
        SkinPopupMenus(FForm, false);
    if (FForm && FSkinState != fssDestroying)
        FForm->SetColor(FOldColor);
    FSubclass.reset();
    UnhookMDIClient();
    if (FForm && FSkinState != fssDestroying)
        for (int i = 0; i < FForm->ComponentCount(); ++i)
            if (auto* control = dynamic_cast<TControl*>(FForm->Components(i)))
                control->Invalidate();
}

void TWinSkinForm::ReadShowState()
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(FHandle, &placement);
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        FShowState = ssMinimized;
        break;
    case SW_SHOWMAXIMIZED:
        FShowState = ssMaximized;
        break;
    default:
        FShowState = ssNormal;
        break;
    }
}

void TWinSkinForm::FindMDIClient()
{
    FMDIKind = mkNone;
    for (HWND child = GetTopWindow(FHandle); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowClass(child) == "MDIClient") {
            FMDIKind = mkFrame;
            FMDIClient = child;
            SkinMdiState.FMdiClient = child;
            return;
        }
    }
}

bool TWinSkinForm::IsMDIChildMaximized()
{
    if (FMDIKind != mkFrame || !FMDIClient)
        return false;
    BOOL maximized = FALSE;
    const LRESULT active =
        SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
    return active && maximized;
}

std::string GetWindowCaption(HWND wnd)
{
    char text[1000];
    const LRESULT length =
        SendMessageA(wnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, static_cast<size_t>(std::clamp<LRESULT>(length, 0, sizeof text - 1)));
}

std::string GetWindowClass(HWND wnd)
{
    char name[100];
    const int length = GetClassNameA(wnd, name, sizeof name);
    return std::string(name, static_cast<size_t>(std::max(length, 0)));
}
