// Main and pop-up menus with their items. Each item has a command number unique in the
// process: WM_COMMAND carries it, and every entry an item puts into a menu carries it as its
// identifier and the item itself as its item data, by which owner-drawn entries find their item.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TMenu;
class TImageList;

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, TRect ARect, bool Selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height)>;

// A key with its modifiers: the virtual key in the low byte, scShift, scCtrl and scAlt above.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// shift is a mask of ssShift, ssCtrl and ssAlt (Controls.h).
TShortCut ShortCut(WORD key, unsigned shift);
// The text a menu shows for a shortcut, modifiers first: "Ctrl+S", "Shift+F4"; empty for 0 and
// for keys without a name.
std::string ShortCutToText(TShortCut shortCut);
// Whether key is the accelerator of caption: the character after an '&' ("&&" is a plain '&'),
// letters in either case.
bool IsAccel(unsigned key, const std::string& caption);

// Puts the platform's menu font into font; the font stays as it was when it cannot be read.
void AssignMenuFont(TFont& font);

class TMenuItem : public TComponent {
    LEXDRILL_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool IsLine() const { return caption_ == "-"; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    // The default item of its menu: shown bold.
    bool Default() const { return default_; }
    void SetDefault(bool on);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    // An image of the menu's image list, or -1.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { imageIndex_ = index; }
    // The image list of the item's menu, if any.
    TImageList* ImageList() const;
    // A picture beside the caption, nullptr for none. SetBitmap keeps a copy; change the
    // picture through SetBitmap, so that the native entry shows the change too.
    TBitmap* Bitmap() const { return bitmap_.get(); }
    void SetBitmap(const TBitmap* bitmap);
    WORD Command() const { return command_; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    TMenuItem* Parent() const { return parent_; }
    TMenu* GetParentMenu() const;
    // The menu that shows the sub-items: made when first asked for; nullptr without sub-items.
    // The items of a menu are the sub-items of its root item, whose handle is the menu's.
    HMENU Handle();

    void SetParentComponent(TComponent* parent) override;
    virtual void Click();
    // The item's size in canvas's font, as an owner-drawn entry of its menu; OnMeasureItem,
    // when set, then adjusts it.
    void MeasureItem(TCanvas& canvas, int& width, int& height);

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    static TMenuItem* FindByCommand(WORD command);
    // The item of an owner-drawn menu entry, from WM_MEASUREITEM or WM_DRAWITEM: nullptr
    // unless the item data is an item whose command is itemID.
    static TMenuItem* FindByItemData(UINT itemID, ULONG_PTR itemData);

private:
    friend class TMenu;
    void AppendTo(HMENU menu, const TMenu* owner);
    void DestroyHandle();
    void RebuildHandle();
    void RebuildTree();
    void Changed();

    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    bool default_ = false;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    std::unique_ptr<TBitmap> bitmap_;
    UniqueBitmap nativeBitmap_;  // what a native (not owner-drawn) entry shows
    WORD command_ = 0;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item of a menu
    std::vector<TMenuItem*> items_;
    HMENU handle_ = nullptr;
};

class TMenu : public TComponent {
    LEXDRILL_CLASS(TMenu)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    TMenuItem* Items() const { return items_.get(); }
    HMENU Handle();
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool on);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images) { images_ = images; }
    // Items read and open from right to left.
    bool RightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool on);
    // The window whose menu bar shows this menu, if any; told of changes with CM_MENUCHANGED.
    HWND WindowHandle() const { return window_; }
    void SetWindowHandle(HWND window) { window_ = window; }

protected:
    virtual HMENU CreateMenuHandle() = 0;

private:
    friend class TMenuItem;
    void Changed();

    // The root item is the menu's own, not an owned component: it outlives the first phase of the
    // menu's destruction, which frees owned components, for the destructor to take the menu down.
    std::unique_ptr<TMenuItem> items_;
    bool ownerDraw_ = false;
    bool rightToLeft_ = false;
    TImageList* images_ = nullptr;
    HWND window_ = nullptr;
};

class TMainMenu : public TMenu {
    LEXDRILL_CLASS(TMainMenu)
public:
    using TMenu::TMenu;

protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }
};

class TPopupMenu : public TMenu {
    LEXDRILL_CLASS(TPopupMenu)
public:
    using TMenu::TMenu;
    // Shows the menu at a screen point; a chosen item is clicked. The menu's messages go to a
    // hidden window of the framework's, not to the active window.
    void Popup(int x, int y);

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
};

// What a window does with menu messages: true when an item of ours took the message.
bool DispatchMenuCommand(WORD command);
bool MeasureMenuItem(MEASUREITEMSTRUCT& measure);
bool DrawMenuItem(const DRAWITEMSTRUCT& draw);
