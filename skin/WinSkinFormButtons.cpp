// Caption buttons (visibility, layout, drawing, actions), non-client hit testing and the
// non-client mouse, the native system menu, and the poll for the mouse leaving a hot object.
#include <algorithm>

#include "ExtCtrls.h"
#include "Menus.h"
#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"
#include "WinSubClassButtons.h"

namespace {

int PointX(LPARAM point)
{
    return static_cast<short>(LOWORD(point));
}

int PointY(LPARAM point)
{
    return static_cast<short>(HIWORD(point));
}

bool Holds(const TRect& r, TPoint p)
{
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool IsIconButton(const TDataSkinSysButton& button)
{
    return button.Action == 3 || button.Action == 11;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Non-client objects.

TNCObject::~TNCObject()
{
    FSkinForm->HotTrack().Forget(this);
}

void TNCObject::MouseDown()
{
    TSkinHotTrack& hot = FSkinForm->HotTrack();
    if (hot.Object() && hot.Object() != this)
        hot.Object()->MouseLeave();
    if (FVisible) {
        hot.SetObject(this);
        FState = ncsPressed;
        Draw();
    }
}

void TNCObject::MouseUp()
{
    if (FVisible) {
        FState = ncsHot;
        Draw();
    }
}

void TNCObject::MouseEnter()
{
    TSkinHotTrack& hot = FSkinForm->HotTrack();
    if (hot.Object() == this)
        return;
    if (hot.Object())
        hot.Object()->MouseLeave();
    if (FVisible) {
        hot.SetObject(this);
        FState = ncsHot;
        Draw();
    }
}

void TNCObject::MouseLeave()
{
    if (FVisible) {
        FSkinForm->HotTrack().Forget(this);
        FState = ncsNormal;
        Draw();
    }
}

void TWinSysButton::Draw()
{
    FSkinForm->DrawSysButton(*this, FState);
}

// ---------------------------------------------------------------------------------------------
// Visibility, layout and drawing.

void TWinSkinForm::UpdateButtonVisible(size_t index)
{
    TWinSysButton& button = *FSysButtons.at(index);
    const TDataSkinSysButton& d = *button.FSkinButton;
    const bool maximized = FShowState == ssMaximized;
    const bool maxBox = FBorderIcons & kIconMaximize;
    const bool minBox = FBorderIcons & kIconMinimize;
    const bool sysMenu = FBorderIcons & kIconSystemMenu;
    // The two conditions differ only for values 0, 6 and 8; `first` picks Visibility's.
    const auto holds = [&](int value, bool first) {
        switch (value) {
        case 0: return !first || (FBorderKind != bkOther && (d.Action != 0 || sysMenu));
        case 1: return maximized;
        case 2: return !maximized;
        case 3: return FActive;
        case 4: return !FActive;
        case 6: return maxBox && (sysMenu || !first);
        case 7: return !maxBox;
        case 8: return minBox && (sysMenu || !first);
        case 9: return !minBox;
        case 100: return IsMDIChildMaximized() && FMenuHeight > 0;
        default: return value >= 200 && value <= 2000;
        }
    };
    button.FVisible = holds(d.Visibility, true) && holds(d.Visibility1, false);
    if ((d.Action == 1 && !maxBox) || (d.Action == 2 && !minBox))
        button.FVisible = false;
}

void TWinSkinForm::LayoutSysButtons()
{
    FRightButtonsLeft = 0;
    for (size_t i = 0; i < FSysButtons.size(); ++i) {
        UpdateButtonVisible(i);
        TWinSysButton& button = *FSysButtons[i];
        const TDataSkinSysButton& d = *button.FSkinButton;
        if (!button.FVisible || d.Image.Empty())
            continue;
        const int w = d.Image.Width() / std::max(d.FrameCount, 1), h = d.Image.Height();
        int x = 0, y = 0;
        switch (d.Align) {
        case 0:
            x = d.Xcoord;
            y = d.Ycoord;
            break;
        case 1:  // from the right window edge
            x = FPaintWidth - d.Xcoord;
            y = d.Ycoord;
            FRightButtonsLeft = std::max(FRightButtonsLeft, x);
            break;
        case 2:
        case 8:  // left of the caption text
            x = FTitleTextRect.Left - w - d.Xcoord;
            y = d.Ycoord;
            break;
        case 3:
        case 9:  // right of the caption text
            x = d.Xcoord + FTitleTextRect.Right;
            y = d.Ycoord;
            break;
        case 100: {  // in the menu bar, beside its left (or right-to-left: right) end
            const int end = FSkinData->MenuBar ? FSkinData->MenuBar->LeftWidth : 0;
            y = (FMenuHeight - h) / 2 + FFrameTop;
            x = FRightToLeft ? d.Xcoord + FFrameLeft + end : FPaintWidth - d.Xcoord - FFrameRight - end;
            break;
        }
        default:
            break;
        }
        button.FBoundsRect = Rect(x, y, x + w, y + h);
    }
}

void TWinSkinForm::DrawSysButtons(HDC dc)
{
    for (const auto& button : FSysButtons) {
        TDataSkinSysButton& d = *button->FSkinButton;
        // The MDI child's buttons are the menu bar's to draw.
        if (!button->FVisible || d.Image.Empty() || d.Visibility == 100)
            continue;
        if (IsIconButton(d)) {
            DrawSkinGlyph(dc, button->FBoundsRect, FIconBitmap, 1, 1, true);
            continue;
        }
        const int frame = FActive || d.FrameCount < 4 ? 1 : 4;
        DrawSkinGlyph(dc, button->FBoundsRect, d.Image, frame, d.FrameCount, true);
    }
}

void TWinSkinForm::DrawSysButton(TWinSysButton& button, TNCState state)
{
    TDataSkinSysButton& d = *button.FSkinButton;
    const WindowDC dc(FHandle, WindowDC::WholeWindow);
    if (IsIconButton(d)) {
        DrawSkinGlyph(dc.Get(), button.FBoundsRect, FIconBitmap, 1, 1, true);
        return;
    }
    int frame = state == ncsHot && d.Visibility == 100 ? 4 : state;
    // An image with fewer frames than the state needs shows its first.
    if (frame < 1 || frame > d.FrameCount)
        frame = 1;
    DrawSkinGlyph(dc.Get(), button.FBoundsRect, d.Image, frame, d.FrameCount, true);
}

// ---------------------------------------------------------------------------------------------
// Hit testing and the non-client mouse.

TPoint TWinSkinForm::ScreenToWindowPoint(int x, int y)
{
    POINT p{x, y};
    ScreenToClient(FHandle, &p);
    if (FShowState != ssMinimized) {
        p.x += FFrameLeft;
        p.y += FFrameTop + FMenuHeight;
    }
    return TPoint{p.x, p.y};
}

TWinSysButton* TWinSkinForm::SysButtonAt(TPoint p)
{
    for (const auto& button : FSysButtons)
        if (button->FVisible && button->FSkinButton->Action >= 0 && Holds(button->FBoundsRect, p))
            return button.get();
    return nullptr;
}

TNCObject* TWinSkinForm::ObjectAt(LPARAM screenPoint)
{
    const TPoint p = ScreenToWindowPoint(PointX(screenPoint), PointY(screenPoint));
    if (TNCObject* button = SysButtonAt(p))
        return button;
    return FSkinMenu ? FSkinMenu->ButtonAt(p) : nullptr;
}

void TWinSkinForm::WMNCHitTest(TMessage& message)
{
    if (!CallOldProc(message) || message.Result != HTNOWHERE)
        return;
    // What the platform does not place is caption, or the menu bar below the caption band.
    const TPoint p = ScreenToWindowPoint(PointX(message.LParam), PointY(message.LParam));
    if (p.Y > 3)
        message.Result = HTCAPTION;
    if (p.Y > FFrameTop)
        message.Result = HTMENU;
}

void TWinSkinForm::WMNCMouseMove(TMessage& message)
{
    // An inactive window's buttons do not light up.
    if (!FActive)
        return;
    if (TNCObject* object = ObjectAt(message.LParam)) {
        object->MouseEnter();
        message.Result = 0;
        return;
    }
    if (TNCObject* hot = FHotTrack.Object())
        hot->MouseLeave();
    CallOldProc(message);
}

void TWinSkinForm::WMNCLButtonDown(TMessage& message)
{
    if (TNCObject* object = ObjectAt(message.LParam)) {
        // The press that closed a bar item's drop-down comes on to the window: it must not
        // open the same drop-down again.
        auto* item = dynamic_cast<TMenuBtn*>(object);
        if (item && item->FPosition == FClosedButton &&
            static_cast<LONG>(static_cast<DWORD>(GetMessageTime()) - FMenuClosedTime) <= 0) {
            message.Result = 0;
            return;
        }
        if (!FActive)
            SetForegroundWindow(FHandle);
        object->MouseDown();
        message.Result = 0;
        if (item)
            TrackMenuButton(item);
        return;
    }
    // A maximised window cannot be dragged by its caption.
    if (FShowState == ssMaximized && FActive && message.WParam == HTCAPTION)
        message.WParam = HTMENU;
    CallOldProc(message);
}

void TWinSkinForm::WMNCLButtonUp(TMessage& message)
{
    if (TNCObject* object = ObjectAt(message.LParam)) {
        // Acts only on the button that was pressed, or that the mouse made hot on its way; a
        // bar item has opened on the press.
        if (object == FHotTrack.Object() && !dynamic_cast<TMenuBtn*>(object)) {
            object->MouseUp();
            DoButtonAction(PointX(message.LParam), PointY(message.LParam));
        }
        message.Result = 0;
        return;
    }
    CallOldProc(message);
}

void TWinSkinForm::WMNCLButtonDblClk(TMessage& message)
{
    if (FShowState != ssNormal)
        RestoreWindow();
    else if (FBorderIcons & kIconMaximize)
        ToggleMaximize();
    message.Result = 0;
}

void TWinSkinForm::WMNCRButtonDown(TMessage& message)
{
    if (message.WParam == HTCAPTION && FMDIKind != mkChild) {
        ShowSysMenu(TPoint{PointX(message.LParam), PointY(message.LParam)});
        message.Result = 0;
        return;
    }
    CallOldProc(message);
}

// ---------------------------------------------------------------------------------------------
// What the buttons do.

void TWinSkinForm::DoButtonAction(int x, int y)
{
    const TWinSysButton* button = SysButtonAt(ScreenToWindowPoint(x, y));
    if (!button)
        return;
    const int action = button->FSkinButton->Action;
    switch (action) {
    case 0:
        FTimer->SetEnabled(false);
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        break;
    case 1:
    case 22:
        ToggleMaximize();
        break;
    case 2:
    case 23:
        ToggleMinimize();
        break;
    case 3:
    case 11:
    case 12:
        ShowSysMenu(TPoint{x + 1, y + 1});
        break;
    case 7:
    case 60:
        MDIChildCommand(SC_MINIMIZE);
        break;
    case 8:
    case 61:
        MDIChildCommand(SC_RESTORE);
        break;
    case 9:
    case 62:
        MDIChildCommand(SC_CLOSE);
        break;
    default:
        PostMessageA(FHandle, WM_SKINQUERY, static_cast<WPARAM>(action), 0);
        break;
    }
}

void TWinSkinForm::ToggleMaximize()
{
    if (FShowState == ssMaximized) {
        RestoreWindow();
        return;
    }
    FShowState = ssMaximized;
    PostMessageA(FHandle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    FHotTrack.ClearObject();
}

void TWinSkinForm::ToggleMinimize()
{
    if (FShowState == ssMinimized) {
        RestoreWindow();
        return;
    }
    FShowState = ssMinimized;
    PostMessageA(FHandle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWinSkinForm::RestoreWindow()
{
    FShowState = ssNormal;
    PostMessageA(FHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TWinSkinForm::MDIChildCommand(WPARAM command)
{
    if (FMDIKind != mkFrame || !FMDIClient)
        return;
    if (HWND child = reinterpret_cast<HWND>(SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, 0)))
        SendMessageA(child, WM_SYSCOMMAND, command, 0);
    if (SkinMdiState.FMdiMaximized && !IsMDIChildMaximized())
        SetSkinMdiMaximized(false);
}

void TWinSkinForm::ShowSysMenu(TPoint p)
{
    for (int i = 0; FSysMenu && i < FSysMenu->Items()->Count(); ++i) {
        TMenuItem& item = *FSysMenu->Items()->Items(i);
        switch (item.Tag()) {
        case 0: item.SetEnabled(FShowState != ssNormal); break;
        case 1: item.SetEnabled(FShowState != ssMaximized); break;
        case 2: item.SetEnabled(FShowState != ssMinimized); break;
        default: break;
        }
    }
    // A second showing within the double-click time closes the window instead.
    if (GetTickCount() - FLastClickTime <= FDoubleClickTime) {
        FTimer->SetEnabled(false);
        PostMessageA(FHandle, WM_CLOSE, 0, 0);
        return;
    }
    FLastClickTime = GetTickCount();
    if (FSysMenu && (FSkinData->SkinControls() & SkinControlBit(xcSystemMenu)) && FMDIKind != mkChild) {
        FSysMenu->Popup(p.X, p.Y);
        return;
    }
    // The choice comes back as WM_COMMAND, which the window procedure turns into WM_SYSCOMMAND.
    TrackPopupMenu(FSystemMenuHandle, TPM_RIGHTBUTTON, p.X, p.Y, 0, FHandle, nullptr);
}

void TWinSkinForm::CheckMouseLeave()
{
    if (FInMenuLoop)
        return;
    // A bare window is never scanned again: the skins of its destroyed children go here.
    if (!FForm)
        PurgeDeadControls();
    POINT cursor;
    GetCursorPos(&cursor);
    TNCObject* object = FHotTrack.Object();
    if (object && !Holds(object->FBoundsRect, ScreenToWindowPoint(cursor.x, cursor.y)))
        object->MouseLeave();
    // A framework form's controls hear of the mouse leaving from the application.
    const TSkinButton* button = FHotTrack.Button();
    if (!FForm && button && !Holds(button->WindowRect(), TPoint{cursor.x, cursor.y}))
        SendMouseLeave(FHotTrack.TakeButton());
}
