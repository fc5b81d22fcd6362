// Main and pop-up menus with their items. Each item has a command number unique in the
// process, by which the window that receives WM_COMMAND, WM_MEASUREITEM or WM_DRAWITEM finds it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TMenu;
class TImageList;

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, TRect ARect, bool Selected)>;
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height)>;
using TShortCut = uint16_t;

class TMenuItem : public TComponent {
    LEXDRILL_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut) { shortCut_ = shortCut; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { imageIndex_ = index; }
    WORD Command() const { return command_; }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Add(TMenuItem* item);
    void Remove(TMenuItem* item);
    TMenuItem* Parent() const { return parent_; }
    TMenu* GetParentMenu() const;
    // The pop-up menu of an item with sub-items; made when first asked for.
    HMENU Handle();

    void SetParentComponent(TComponent* parent) override;
    virtual void Click();

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    static TMenuItem* FindByCommand(WORD command);

private:
    friend class TMenu;
    void AppendTo(HMENU menu, bool ownerDraw);
    void RebuildHandle();
    void Changed();

    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
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

    TMenuItem* Items() const { return items_; }
    HMENU Handle();
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool on);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images) { images_ = images; }
    // The window whose menu bar shows this menu, if any; told of changes with CM_MENUCHANGED.
    HWND WindowHandle() const { return window_; }
    void SetWindowHandle(HWND window) { window_ = window; }

protected:
    virtual HMENU CreateMenuHandle() = 0;
    void Changed();

private:
    friend class TMenuItem;
    TMenuItem* items_;
    HMENU handle_ = nullptr;
    bool ownerDraw_ = false;
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
    // Shows the menu at a screen point; a chosen item is clicked.
    void Popup(int x, int y);

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
};

// What a window does with menu messages: true when an item of ours took the message.
bool DispatchMenuCommand(WORD command);
bool MeasureMenuItem(MEASUREITEMSTRUCT& measure);
bool DrawMenuItem(const DRAWITEMSTRUCT& draw);
