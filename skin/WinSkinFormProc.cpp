// The window procedures of a skinned window, of its MDI client, and the framework form's
// WindowProc hook: what the skin answers itself, what it passes on, and what it swallows.
#include "ExtCtrls.h"
#include "WinSkinData.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"

namespace {

// Puts a skin's frame painting back on however the message ends.
class FramePaintingOff {
public:
    explicit FramePaintingOff(TSkinData& data) : data_(data), previous_(data.FFramePainting)
    {
        data_.FFramePainting = false;
    }
    ~FramePaintingOff() { data_.FFramePainting = previous_; }
    FramePaintingOff(const FramePaintingOff&) = delete;
    FramePaintingOff& operator=(const FramePaintingOff&) = delete;

private:
    TSkinData& data_;
    bool previous_;
};

bool IsSystemCommand(WORD id)
{
    switch (id) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
        return true;
    default:
        return false;
    }
}

}  // namespace

// A skin detached while one of its messages runs has nothing to pass the rest on to.
bool TWinSkinForm::CallOldProc(TMessage& message)
{
    return FSubclass && FSubclass->CallPrevious(message);
}

bool TWinSkinForm::CallClientProc(TMessage& message)
{
    return FClientSubclass && FClientSubclass->CallPrevious(message);
}

void TWinSkinForm::WndProc(TMessage& message)
{
    // For every skinned window, whatever the skin's settings.
    switch (message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(message);
        return;
    case WM_STYLECHANGED:
        if (message.WParam == static_cast<WPARAM>(GWL_STYLE))
            FStyle = reinterpret_cast<const STYLESTRUCT*>(message.LParam)->styleNew;
        CallOldProc(message);
        return;
    case WM_NCDESTROY:
        // The subclass, let go here, still hands the message on to the window's procedure.
        DetachDestroyed();
        FSkinState = fssDestroyed;
        return;
    case WM_CTLCOLORBTN:
        if (CallOldProc(message) && !FForm)
            SetBkMode(reinterpret_cast<HDC>(message.WParam), TRANSPARENT);
        return;
    case WM_CTLCOLORSTATIC:
        WMCtlColorStatic(message);
        return;
    case WM_SKINQUERY:
        message.Result = 1;
        return;
    default:
        break;
    }
    // Without the frame skin, and for a child window that is no MDI child, nothing more.
    if (!FrameSkinned() || (FMDIKind != mkChild && (FStyle & WS_CHILD))) {
        CallOldProc(message);
        return;
    }

    switch (message.Msg) {
    case WM_SIZE:
        WMSize(message);
        return;
    case WM_ACTIVATE:
        FActive = LOWORD(message.WParam) != WA_INACTIVE;
        break;
    case WM_GETMINMAXINFO:
        WMGetMinMaxInfo(message);
        return;
    case WM_WINDOWPOSCHANGED:
        ReadShowState();
        CallOldProc(message);
        return;
    case WM_NCACTIVATE:
        FActive = message.WParam != 0;
        break;
    case WM_COMMAND:
        WMCommand(message);
        return;
    case WM_SYSCOMMAND:
        WMSysCommand(message);
        return;
    case WM_SKINSTART:
        WMSkinStart();
        return;
    case CM_MENUCHANGED:
        CMMenuChanged(message);
        return;
    case WM_MENUSELECT:
        if (FInMenuLoop)
            MenuSelected(message.WParam, message.LParam);
        CallOldProc(message);
        return;
    default:
        break;
    }

    // The skinned frame itself: once applied, and while the window shows its normal frame
    // (a minimised window and a maximised or minimised MDI child keep the native one).
    if (FSkinState == fssCreated || FShowState == ssMinimized || IsMDIChildNotNormal()) {
        CallOldProc(message);
        return;
    }
    switch (message.Msg) {
    case WM_DRAWITEM:
        WMDrawItem(message);
        break;
    case WM_MEASUREITEM:
        WMMeasureItem(message);
        break;
    case WM_NCCALCSIZE:
        WMNCCalcSize(message);
        break;
    case WM_NCHITTEST:
        WMNCHitTest(message);
        break;
    case WM_NCPAINT:
        WMNCPaint(message);
        break;
    case WM_NCACTIVATE:
        WMNCActivate(message);
        break;
    case WM_PRINT:
        WMPrint(message);
        break;
    case WM_NCMOUSEMOVE:
        WMNCMouseMove(message);
        break;
    case WM_NCLBUTTONDOWN:
        WMNCLButtonDown(message);
        break;
    case WM_NCLBUTTONUP:
        WMNCLButtonUp(message);
        break;
    case WM_NCLBUTTONDBLCLK:
        WMNCLButtonDblClk(message);
        break;
    case WM_NCRBUTTONDOWN:
        WMNCRButtonDown(message);
        break;
    case WM_SKINNCPAINT:
        PaintNonClient(nullptr);
        break;
    default:
        CallOldProc(message);
        break;
    }
}

void TWinSkinForm::WMEraseBkgnd(TMessage& message)
{
    // A framework form paints its own colour; any other window gets the skin's face.
    if (CallOldProc(message) && !FForm) {
        RECT r;
        GetClientRect(FHandle, &r);
        FillRect(reinterpret_cast<HDC>(message.WParam), &r, FSkinData->FButtonFaceBrush.get());
        message.Result = 1;
    }
}

void TWinSkinForm::WMCtlColorStatic(TMessage& message)
{
    if (!CallOldProc(message))
        return;
    if (!FForm)
        SetBkMode(reinterpret_cast<HDC>(message.WParam), TRANSPARENT);
    message.Result = reinterpret_cast<LRESULT>(FSkinData->FButtonFaceBrush.get());
}

void TWinSkinForm::WMSize(TMessage& message)
{
    if (!CallOldProc(message))
        return;
    switch (message.WParam) {
    case SIZE_RESTORED: FShowState = ssNormal; break;
    case SIZE_MINIMIZED: FShowState = ssMinimized; break;
    case SIZE_MAXIMIZED: FShowState = ssMaximized; break;
    default: break;
    }
    if (FShowState == ssMinimized)
        return;
    if (FMDIKind == mkChild && (SkinMdiState.FMdiMaximized || FShowState != ssNormal))
        return;
    if (FSkinState == fssSkinned || FSkinState == fssReskinning)
        BuildRegion();
}

void TWinSkinForm::WMGetMinMaxInfo(TMessage& message)
{
    if (!CallOldProc(message))
        return;
    ReadShowState();
    // A minimised window, and a maximised MDI child, show the native caption.
    if (FShowState == ssMinimized) {
        SetSystemStyles(true);
    } else if (FMDIKind != mkChild) {
        SetSystemStyles(false);
    } else if (FShowState == ssNormal) {
        SetSkinMdiMaximized(false);
        SetSystemStyles(false);
    } else {
        SetSystemStyles(true);
    }
    auto& info = *reinterpret_cast<MINMAXINFO*>(message.LParam);
    info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
}

void TWinSkinForm::WMCommand(TMessage& message)
{
    // A choice in the system menu shown by TrackPopupMenu arrives as a command.
    const WORD id = LOWORD(message.WParam);
    if (IsSystemCommand(id)) {
        PostMessageA(FHandle, WM_SYSCOMMAND, id, 0);
        return;
    }
    CallOldProc(message);
}

void TWinSkinForm::WMSysCommand(TMessage& message)
{
    const WORD key = LOWORD(message.LParam);
    // Alt or F10 alone, or with a bar item's accelerator, would start the native menu loop on a
    // menu bar that is not there; a window that kept its native menu runs that menu.
    const bool nativeMenu = FMDIKind != mkChild && !FSkinMenu && GetMenu(FHandle);
    if (!FInMenuLoop && !nativeMenu && (message.WParam & 0xFFF0) == SC_KEYMENU && key != ' ' && key != '-' &&
        !GetCapture() && (key == 0 || FindAccelButton(key))) {
        message.Result = 1;
        return;
    }
    switch (message.WParam) {
    case SC_MINIMIZE:
        FShowState = ssMinimized;
        if (FMDIKind == mkChild)
            SetSystemStyles(true);
        break;
    case SC_MAXIMIZE:
        FShowState = ssMaximized;
        break;
    case SC_RESTORE:
        FShowState = ssNormal;
        if (FMDIKind == mkChild)
            SetSystemStyles(false);
        break;
    default:
        break;
    }
    CallOldProc(message);
}

void TWinSkinForm::WMSkinStart()
{
    if (FSkinState == fssCreated) {
        if (FMDIKind == mkChild && SkinMdiState.FMdiMaximized) {
            SetSystemStyles(true);
            RefreshFrame();
        } else if (FShowState != ssMinimized && FBorderKind != bkPopup) {
            FSkinState = fssFitting;
            FitWindowToSkin(false);
        }
        // Off after the fit: inside the skinned frame the client area keeps its size.
        TakeMenuOff();
        if (FSkinState == fssFitting) {
            FSkinState = fssSkinned;
            BuildRegion();
        }
    }
    FSkinState = fssSkinned;
    ReleaseAlign();
    FTimer->SetEnabled(true);
}

void TWinSkinForm::CMMenuChanged(TMessage& message)
{
    // The native menu-bar repaint the framework asks for must not draw over the skin.
    {
        const FramePaintingOff off(*FSkinData);
        if (!CallOldProc(message))
            return;
    }
    // The framework has put the changed menu back on the window: the bar reads it again.
    if (HMENU menu = GetMenu(FHandle); FSkinMenu && FSkinData->MenuUpdate() && menu) {
        FSkinMenu->FMenuHandle = menu;
        FSkinMenu->BuildFromWindowMenu();
        PaintNonClient(nullptr);
    }
}

void TWinSkinForm::ClientWndProc(TMessage& message)
{
    const bool frame = FrameSkinned();
    switch (message.Msg) {
    case WM_NCDESTROY:
        // Let go at once: the subclass still hands the message on to the client's procedure.
        UnhookMDIClient();
        return;
    case WM_NCCALCSIZE:
        // The frame skin draws no native scroll bars in the MDI client.
        if (frame)
            SetWindowLongA(FMDIClient, GWL_STYLE,
                           GetWindowLongA(FMDIClient, GWL_STYLE) & ~(WS_HSCROLL | WS_VSCROLL));
        CallClientProc(message);
        return;
    case WM_MDICREATE:
        FSkinData->SetMenuUpdate(false);
        if (CallClientProc(message))
            FNewMDIChild = reinterpret_cast<HWND>(message.Result);
        return;
    case WM_MDIDESTROY:
        if (!CallClientProc(message) || !frame)
            return;
        SetSkinMdiMaximized(IsMDIChildMaximized());
        // The last child has gone: the bar shows the frame's own menu and follows its changes again.
        if (FSkinMenu && SkinManage && SkinManage->MdiChildCount() == 0) {
            FSkinData->SetMenuUpdate(FSavedMenuUpdate);
            FSkinMenu->BuildFromMainMenu();
            PaintNonClient(nullptr);
        }
        return;
    case WM_MDITILE:
    case WM_MDICASCADE:
        if (frame)
            SetSkinMdiMaximized(false);
        CallClientProc(message);
        return;
    case WM_MDISETMENU: {
        // A child's menu merged into the frame's: the bar shows the menu the client put on the frame.
        const auto newMenu = reinterpret_cast<HMENU>(message.WParam);
        if (!CallClientProc(message) || !frame)
            return;
        if (FSkinMenu && newMenu && (newMenu != FSkinMenu->FMenuHandle || FNewMDIChild)) {
            FSkinMenu->BuildFromMenuHandle(GetMenu(FHandle));
            PaintNonClient(nullptr);
        }
        SetMenu(FHandle, nullptr);
        return;
    }
    case WM_MDIREFRESHMENU:
        if (CallClientProc(message) && FNewMDIChild) {
            if (SkinManage)
                SkinManage->SkinWindow(FNewMDIChild);
            PostMessageA(FHandle, WM_SKINNCPAINT, 0, 0);
            FNewMDIChild = nullptr;
        }
        return;
    default:
        CallClientProc(message);
        return;
    }
}

void TWinSkinForm::FormWindowProc(TMessage& message, const TWndMethod& next)
{
    switch (message.Msg) {
    case WM_SETTEXT:
        next(message);
        // The caption is drawn from the text read here, in the new frame pass.
        FCaption = GetWindowCaption(FHandle);
        RefreshFrame();
        return;
    case WM_SKINRELOAD:
        ReSkin();
        return;
    case CM_DIALOGCHAR:
        // Alt with a bar item's accelerator opens it, whichever control of the form has the focus.
        if (!HandleDialogChar(message))
            next(message);
        return;
    default:
        next(message);
        return;
    }
}
