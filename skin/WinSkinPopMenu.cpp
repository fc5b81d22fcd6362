// The skin of a pop-up menu window ("#32768"): its border and background from the skin's
// [MenuBackground], which the item painter also copies each item's background from.
#include <vector>

#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"

TWinSkinPopMenu* PendingPopMenu = nullptr;

namespace {

// The attached skins, for the item painter to find a menu's background (not owned).
std::vector<TWinSkinPopMenu*> attached;

// The band of the window that the skin paints: what Windows' menu border covers.
constexpr int kBorder = 3;

}  // namespace

void ResolvePendingPopMenu(HMENU menu)
{
    if (!PendingPopMenu || !menu)
        return;
    PendingPopMenu->FMenuHandle = menu;
    PendingPopMenu = nullptr;
}

TWinSkinPopMenu::~TWinSkinPopMenu()
{
    Detach();
}

void TWinSkinPopMenu::Attach(HWND window, TSkinData* skinData, HMENU menu)
{
    FHandle = window;
    FSkinData = skinData;
    FMenuHandle = menu;
    FSubclass = std::make_unique<TWindowSubclass>(window, [this](TMessage& message) { SkinWndProc(message); });
    attached.push_back(this);
}

TBitmap* TWinSkinPopMenu::PopupBitmap(HMENU menu)
{
    for (TWinSkinPopMenu* skin : attached)
        if (skin->FMenuHandle == menu)
            return &skin->FBitmap;
    return nullptr;
}

void TWinSkinPopMenu::Detach()
{
    if (!FSubclass)
        return;
    FSubclass.reset();
    std::erase(attached, this);
    FBitmap.SetSize(0, 0);
    FOrigin = 0;
    if (PendingPopMenu == this)
        PendingPopMenu = nullptr;
}

bool TWinSkinPopMenu::SkinDraws() const
{
    const TDataSkinObject* e = FSkinData->MenuBackground.get();
    return FSkinData->FSkinLoaded && e && !e->Image.Empty();
}

bool TWinSkinPopMenu::HasFrame() const
{
    RECT window, client;
    GetWindowRect(FHandle, &window);
    GetClientRect(FHandle, &client);
    return client.right < window.right - window.left || client.bottom < window.bottom - window.top;
}

void TWinSkinPopMenu::SkinWndProc(TMessage& message)
{
    if (message.Msg == WM_SKINQUERY) {
        message.Result = 1;
        return;
    }
    if (message.Msg == WM_DESTROY) {
        if (FSubclass->CallPrevious(message))
            Detach();
        return;
    }
    // Skinning switched off: the menu draws itself.
    if (SkinManage && !SkinManage->FActive) {
        FSubclass->CallPrevious(message);
        return;
    }
    switch (message.Msg) {
    case WM_NCPAINT:
        // A skin that cannot draw leaves the border to the window's own procedure.
        if (!PaintBorder())
            FSubclass->CallPrevious(message);
        return;
    case WM_PRINT:
        PrintMenu(message);
        return;
    case WM_PAINT:
        // A menu window without a frame (Wine's) has its border in the client area: painted
        // over once the menu has drawn its items.
        if (FSubclass->CallPrevious(message) && !HasFrame())
            PaintBorder();
        return;
    default:
        FSubclass->CallPrevious(message);
        return;
    }
}

bool TWinSkinPopMenu::BuildBackground()
{
    RECT r;
    if (!GetWindowRect(FHandle, &r))
        return false;
    const int w = r.right - r.left, h = r.bottom - r.top;
    TDataSkinObject& e = *FSkinData->MenuBackground;
    const auto frame = StretchSkinFrame(Rect(0, 0, w, h), e.Image,
                                        Rect(e.LeftWidth, e.TopHeight, e.RightWidth, e.BottomHeight), 1, 1,
                                        e.Tile != 0, false);
    // The item painter takes an item's background 3 pixels right and down of its place in the
    // client area: where the window has no frame, the window starts 3 pixels into the bitmap.
    FOrigin = HasFrame() ? 0 : kBorder;
    FBitmap.SetSize(w + FOrigin, h + FOrigin);
    BitBlt(FBitmap.Canvas().Handle(), FOrigin, FOrigin, w, h, frame->Canvas().Handle(), 0, 0, SRCCOPY);
    if (!FMenuHandle)
        PendingPopMenu = this;
    return true;
}

bool TWinSkinPopMenu::PaintBorder()
{
    if (!SkinDraws() || !BuildBackground())
        return false;
    const WindowDC dc(FHandle, WindowDC::WholeWindow);
    const int w = FBitmap.Width() - FOrigin, h = FBitmap.Height() - FOrigin, b = kBorder;
    HDC src = FBitmap.Canvas().Handle();
    const auto copy = [&](int x, int y, int cx, int cy) {
        BitBlt(dc.Get(), x, y, cx, cy, src, x + FOrigin, y + FOrigin, SRCCOPY);
    };
    copy(0, 0, w, b);
    copy(0, h - b, w, b);
    copy(0, b, b, h - b);
    copy(w - b, b, b, h - b);
    return true;
}

void TWinSkinPopMenu::PrintMenu(TMessage& message)
{
    if (!SkinDraws()) {
        FSubclass->CallPrevious(message);
        return;
    }
    if (!FMenuHandle)
        PendingPopMenu = this;
    if (!BuildBackground()) {
        FSubclass->CallPrevious(message);
        return;
    }
    auto dc = reinterpret_cast<HDC>(message.WParam);
    const int w = FBitmap.Width() - FOrigin, h = FBitmap.Height() - FOrigin;
    BitBlt(dc, 0, 0, w, h, FBitmap.Canvas().Handle(), FOrigin, FOrigin, SRCCOPY);
    // The menu prints its items inside the skinned border only.
    const UniqueRegion clip(CreateRectRgn(kBorder, kBorder, w - kBorder, h - kBorder));
    const BackgroundModeGuard mode(dc, TRANSPARENT);
    const ClipGuard callersClip(dc);
    SelectClipRgn(dc, clip.get());
    FSubclass->CallPrevious(message);
}
