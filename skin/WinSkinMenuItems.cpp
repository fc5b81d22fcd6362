// Owner-drawn menu items of a skinned window: the drop-downs of its menu bar, its pop-up menus
// and its system menu, measured and painted from the skin's menu-item image and colours. Each
// item is composed in a bitmap of its own and copied once, so a menu never shows half an item.
#include <algorithm>
#include <memory>

#include "ImgList.h"
#include "Menus.h"
#include "SkinPaint.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSkinMenu.h"

namespace {

TRect Margins(const TDataSkinObject& element)
{
    return Rect(element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight);
}

TDataSkinObject* ItemElement(TSkinData& data)
{
    TDataSkinObject* element = data.MenuItem.get();
    return element && !element->Image.Empty() ? element : nullptr;
}

// A bitmap of the item's size in the menu font, composed off-screen.
std::unique_ptr<TBitmap> ItemBitmap(const TRect& rect)
{
    auto bitmap = std::make_unique<TBitmap>(std::max(rect.Width(), 0), std::max(rect.Height(), 0));
    AssignMenuFont(bitmap->Canvas().Font());
    return bitmap;
}

void Fill(TCanvas& canvas, const TRect& rect, TColor colour)
{
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(colour);
    canvas.FillRect(rect);
}

void CopyToMenu(TCanvas& target, const TRect& rect, TBitmap& bitmap)
{
    BitBlt(target.Handle(), rect.Left, rect.Top, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0,
           SRCCOPY);
}

// The item's background: the pop-up window's own where there is one (it is 3 pixels inside
// the window's skinned border), else the menu colour.
void DrawItemBackground(TCanvas& canvas, const TRect& r, HMENU menu, const TRect& itemRect, TColor colour)
{
    TBitmap* background = menu ? TWinSkinPopMenu::PopupBitmap(menu) : nullptr;
    if (!background || background->Empty()) {
        Fill(canvas, r, colour);
        return;
    }
    BitBlt(canvas.Handle(), 0, 0, r.Width(), r.Height(), background->Canvas().Handle(), itemRect.Left + 3,
           itemRect.Top + 3, SRCCOPY);
}

// OBM_CHECK, which the headers name only with OEMRESOURCE.
constexpr WORD kCheckMark = 32760;

// The platform's check mark in the canvas's text colour, its white pixels left out.
void DrawCheckMark(TCanvas& canvas, const TRect& box, TColor colour)
{
    const UniqueBitmap check(LoadBitmapA(nullptr, MAKEINTRESOURCEA(kCheckMark)));
    BITMAP info{};
    if (!check || !GetObjectA(check.get(), sizeof info, &info))
        return;
    const UniqueDC source = CreateMemoryDC();
    const SelectionGuard selected(source.get(), check.get());
    HDC dc = canvas.Handle();
    const int x = box.Left + (box.Width() - info.bmWidth) / 2 + 1;
    const int y = box.Top + (box.Height() - info.bmHeight) / 2 + 1;
    const TextColorGuard text(dc, RGB(0, 0, 0));
    const BackgroundColorGuard back(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCAND);
    SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(colour)));
    SetBkColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCPAINT);
}

// The sunken, dotted box under the image of a checked item.
void DrawCheckedImageBox(TCanvas& canvas, const TRect& box)
{
    TBitmap pattern(8, 8);
    const auto face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.Canvas().SetPixel(x, y, (x + y) % 2 ? light : face);
    const UniqueBrush brush(CreatePatternBrush(pattern.Handle()));
    RECT r = WinRect(box);
    FillRect(canvas.Handle(), &r, brush.get());
    DrawEdge(canvas.Handle(), &r, BDR_SUNKENOUTER, BF_RECT);
}

// A framework item standing in for an entry of a native menu: its text (or "-" when it has
// none), its state.
std::unique_ptr<TMenuItem> MenuItemFromHandle(HMENU menu, UINT id)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    GetMenuItemInfoA(menu, id, FALSE, &info);
    char text[81] = {};
    GetMenuStringA(menu, id, text, 80, MF_BYCOMMAND);
    auto item = std::make_unique<TMenuItem>(nullptr);
    item->SetCaption(text[0] ? text : "-");
    item->SetEnabled((info.fState & (MFS_GRAYED | MFS_DISABLED)) == 0);
    item->SetChecked((info.fState & MFS_CHECKED) != 0);
    return item;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Measuring.

void TWinSkinForm::MeasureFormMenuItem(TMenuItem& item, TCanvas& canvas, int& width, int& height)
{
    // The framework's own size, without what an OnMeasureItem would add.
    auto saved = std::move(item.OnMeasureItem);
    item.OnMeasureItem = nullptr;
    item.MeasureItem(canvas, width, height);
    item.OnMeasureItem = std::move(saved);
    if (const TDataSkinObject* element = ItemElement(*FSkinData))
        width += element->LeftWidth;
    width += item.ImageList() ? 10 : 35;
}

void TWinSkinForm::MenuMeasureItem(TObject* sender, TCanvas&, int& width, int&)
{
    const auto* item = dynamic_cast<TMenuItem*>(sender);
    if (const TDataSkinObject* element = ItemElement(*FSkinData))
        width += element->LeftWidth;
    width += item && item->ImageList() ? 12 : 35;
}

void TWinSkinForm::MeasureNativeItem(MEASUREITEMSTRUCT& measure)
{
    char text[81] = {};
    GetMenuStringA(FTrackedMenu, measure.itemID, text, 80, MF_BYCOMMAND);
    const WindowDC dc(FHandle, WindowDC::WholeWindow);
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    AssignMenuFont(canvas.Font());
    int width = canvas.TextWidth(text) + 26;
    canvas.SetHandle(nullptr);
    if (const TDataSkinObject* element = ItemElement(*FSkinData))
        width += element->LeftWidth;
    measure.itemWidth = static_cast<UINT>(std::max(width, 0));
    measure.itemHeight = text[0] ? measure.itemHeight + 4 : 8;
}

void TWinSkinForm::WMMeasureItem(TMessage& message)
{
    auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    if (measure.CtlType != ODT_MENU || !FMenuHandle) {
        CallOldProc(message);
        return;
    }
    TMenuItem* item = TMenuItem::FindByItemData(measure.itemID, measure.itemData);
    if (FForm && FSkinMenu && item && item->GetParentMenu() && item->GetParentMenu() == FSkinMenu->Menu()) {
        const WindowDC dc(FHandle, WindowDC::WholeWindow);
        TCanvas canvas;
        canvas.SetHandle(dc.Get());
        AssignMenuFont(canvas.Font());
        int width = static_cast<int>(measure.itemWidth), height = static_cast<int>(measure.itemHeight);
        MeasureFormMenuItem(*item, canvas, width, height);
        canvas.SetHandle(nullptr);
        measure.itemWidth = static_cast<UINT>(std::max(width, 0));
        measure.itemHeight = static_cast<UINT>(std::max(height, 0));
    } else {
        MeasureNativeItem(measure);
    }
    message.Result = TRUE;
}

// ---------------------------------------------------------------------------------------------
// Painting.

void TWinSkinForm::WMDrawItem(TMessage& message)
{
    const auto& draw = *reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
    if (draw.CtlType != ODT_MENU || !FMenuHandle) {
        CallOldProc(message);
        return;
    }
    auto menu = reinterpret_cast<HMENU>(draw.hwndItem);
    ResolvePendingPopMenu(menu);
    TCanvas canvas;
    canvas.SetHandle(draw.hDC);
    AssignMenuFont(canvas.Font());
    const TRect rect = Rect(draw.rcItem.left, draw.rcItem.top, draw.rcItem.right, draw.rcItem.bottom);
    const bool selected = draw.itemState & ODS_SELECTED;
    TMenuItem* item = TMenuItem::FindByItemData(draw.itemID, draw.itemData);
    if (FForm && FSkinMenu && item && item->GetParentMenu() && item->GetParentMenu() == FSkinMenu->Menu()) {
        if (ItemElement(*FSkinData))
            MenuDrawItem(item, canvas, rect, selected);
        else
            DrawMenuItemPlain(*item, canvas, selected, rect);
    } else {
        const auto native = MenuItemFromHandle(menu, draw.itemID);
        DrawNativeItemSkinned(menu, *native, selected, rect, canvas);
    }
    canvas.SetHandle(nullptr);
    message.Result = TRUE;
}

void TWinSkinForm::MenuDrawItem(TObject* sender, TCanvas& canvas, TRect rect, bool selected)
{
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item)
        return;
    TDataSkinObject* element = ItemElement(*FSkinData);
    if (!element) {
        DrawMenuItemPlain(*item, canvas, selected, rect);
        return;
    }
    HMENU menu = item->Parent() ? item->Parent()->Handle() : nullptr;
    if (menu)
        ResolvePendingPopMenu(menu);
    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    const auto bitmap = ItemBitmap(rect);
    DrawItemBackground(bitmap->Canvas(), r, menu, rect, FSkinData->Colours.Menu);
    if (item->IsLine()) {
        CopyToMenu(canvas, rect, *bitmap);
        DrawMenuSeparator(canvas, rect);
        return;
    }
    DrawSkinImage(bitmap->Canvas().Handle(), r, element->Image, Margins(*element), selected ? 4 : 1, 5,
                  element->Trans == 1, element->Tile != 0, false);
    DrawMenuItemContent(*item, bitmap->Canvas(), selected, r);
    CopyToMenu(canvas, rect, *bitmap);
}

void TWinSkinForm::DrawNativeItemSkinned(HMENU menu, TMenuItem& item, bool selected, const TRect& rect,
                                         TCanvas& canvas)
{
    TDataSkinObject* element = ItemElement(*FSkinData);
    if (!element) {
        DrawMenuItemPlain(item, canvas, selected, rect);
        return;
    }
    // A native separator is a plain item with the etched line of its "-" caption.
    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    const auto bitmap = ItemBitmap(rect);
    DrawItemBackground(bitmap->Canvas(), r, menu, rect, FSkinData->Colours.Menu);
    DrawSkinImage(bitmap->Canvas().Handle(), r, element->Image, Margins(*element), selected ? 4 : 1, 5,
                  element->Trans == 1, element->Tile != 0, false);
    DrawMenuItemContent(item, bitmap->Canvas(), selected, r);
    CopyToMenu(canvas, rect, *bitmap);
}

void TWinSkinForm::DrawMenuItemPlain(TMenuItem& item, TCanvas& canvas, bool selected, const TRect& rect)
{
    const TRect r = Rect(0, 0, rect.Width(), rect.Height());
    const auto bitmap = ItemBitmap(rect);
    Fill(bitmap->Canvas(), r, selected ? FSkinData->Colours.Hilight : FSkinData->Colours.Menu);
    DrawMenuItemContent(item, bitmap->Canvas(), selected, r);
    CopyToMenu(canvas, rect, *bitmap);
}

void TWinSkinForm::DrawMenuSeparator(TCanvas& canvas, const TRect& rect)
{
    TDataSkinObject* element = ItemElement(*FSkinData);
    if (!element)
        return;
    TBitmap& image = element->Image;
    const int w = rect.Width(), h = rect.Height(), fw = image.Width() / 5, ih = image.Height();
    if (w <= 0 || h <= 0)
        return;
    // The bottom rows of the second frame, its ends kept and its middle stretched.
    const int sy = ih > h ? ih - h : 0;
    const int left = element->LeftWidth, right = element->RightWidth;
    TBitmap separator(w, h);
    HDC dst = separator.Canvas().Handle(), src = image.Canvas().Handle();
    SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, 0, 0, left, h, src, fw, sy, left, ih - sy, SRCCOPY);
    StretchBlt(dst, w - right, 0, right, h, src, 2 * fw - right, sy, right, ih - sy, SRCCOPY);
    StretchBlt(dst, left, 0, w - left - right, h, src, fw + left, sy, fw - left - right, ih - sy, SRCCOPY);
    TransparentBlit(canvas.Handle(), rect, separator, SkinKeyColor);
}

void TWinSkinForm::DrawMenuItemContent(TMenuItem& item, TCanvas& canvas, bool selected, const TRect& rect)
{
    const TMenu* menu = item.GetParentMenu();
    if (!menu && FSkinMenu)
        menu = FSkinMenu->Menu();
    TImageList* list = item.ImageList();
    int g = list ? list->Width() : 16;
    if (item.Checked() && g < 16)
        g = 16;
    const int inset = ItemElement(*FSkinData) ? ItemElement(*FSkinData)->LeftWidth : 0;
    const bool rightToLeft = menu && menu->RightToLeft();

    TRect box;
    if (rightToLeft) {
        box.Right = rect.Right - 1 - inset;
        box.Left = box.Right - g;
        if (item.IsLine())
            box.Left = box.Right = rect.Right;
    } else {
        box.Left = rect.Left + 1 + inset;
        box.Right = box.Left + g;
        if (item.IsLine())
            box.Left = box.Right = 0;
    }
    box.Top = rect.Top + 1;
    box.Bottom = box.Top + g;

    if (!item.IsLine()) {
        const int index = item.ImageIndex();
        if (list && index >= 0 && index < list->Count()) {
            if (item.Checked())
                DrawCheckedImageBox(canvas, box);
            list->Draw(canvas, box.Left, box.Top, index, item.Enabled());
        } else if (item.Checked()) {
            DrawCheckMark(canvas, box, clBtnText);
        }
    }

    // The caption centred vertically, then the shortcut at the other end.
    TRect t = rightToLeft ? Rect(rect.Left + 1, rect.Top, box.Left - 3, rect.Bottom)
                          : Rect(box.Right + 3, rect.Top, rect.Right - 1, rect.Bottom);
    const TRect s = t;
    const UINT side = rightToLeft ? DT_RIGHT : 0;
    DrawMenuItemText(item, canvas, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT | DT_NOCLIP | side, selected, t,
                     item.Caption());
    const int dy = (s.Height() - t.Height()) / 2;
    t.Top += dy;
    t.Bottom += dy;
    if (rightToLeft) {
        t.Left = s.Left;
        t.Right = s.Right;
    }
    DrawMenuItemText(item, canvas, DT_SINGLELINE | DT_EXPANDTABS | side, selected, t, item.Caption());
    if (item.ShortCut() == 0)
        return;
    if (rightToLeft) {
        t.Left = s.Left + 10;
        DrawMenuItemText(item, canvas, DT_LEFT, selected, t, ShortCutToText(item.ShortCut()));
    } else {
        t.Left = t.Right;
        t.Right = s.Right - 10;
        DrawMenuItemText(item, canvas, DT_RIGHT, selected, t, ShortCutToText(item.ShortCut()));
    }
}

void TWinSkinForm::DrawMenuItemText(TMenuItem& item, TCanvas& canvas, UINT format, bool selected, TRect& rect,
                                    std::string text)
{
    const bool measuring = format & DT_CALCRECT;
    if (measuring && (text.empty() || text == "&"))
        text += ' ';
    if (text == "-") {
        if (!measuring) {
            RECT line{rect.Left, rect.Top + 4, rect.Right, rect.Bottom};
            DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        }
        return;
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    // Bold stays on the canvas, so a default item's shortcut is bold too.
    if (item.Default())
        canvas.Font().SetStyle(canvas.Font().Style() | fsBold);
    const TSkinColours& colours = FSkinData->Colours;
    TColor colour = colours.ButtonShadow == colours.MenuText ? clBtnShadow : colours.ButtonShadow;
    if (item.Enabled())
        colour = selected ? colours.HilightText : colours.MenuText;
    canvas.Font().SetColor(colour);
    canvas.DrawText(text, rect, format);
}
