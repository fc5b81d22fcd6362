// The control scan: which control skin each control of a skinned window gets, by framework
// class, by upper-case class name, by the Skin3rd list and by OnSkinControl, and for a window
// that is no framework form by window class and style; and the form skin's list of them.
#include <algorithm>
#include <functional>

#include <windows.h>
#include <commctrl.h>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "SkinPaint.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "Tabs.h"
#include "WinSkinData.h"
#include "WinSkinForm.h"
#include "WinSubClass.h"
#include "WinSubClassBoxes.h"
#include "WinSubClassButtons.h"
#include "WinSubClassInputs.h"
#include "WinSubClassLists.h"
#include "WinSubClassScroll.h"
#include "WinSubClassTabs.h"

namespace {

bool Gate(const TSkinData& data, TSkinControlType type)
{
    return data.SkinControls() & SkinControlBit(type);
}

bool TabElementPresent(const TSkinData& data)
{
    return Gate(data, xcTab) && data.Tabs;
}

template <class T> bool Is(TComponent* component)
{
    return component->Is<T>();
}

// How a row gives its control a skin; None: the row makes none.
// FormTab: a tab skin owned by the form skin; ScrollBars and ListView attach with the
// skin's own thumb drag, ScrollBarsPlatformDrag without it.
enum class TMake {
    None, Button, BitButton, SpeedButton, UpDown, CheckBox, RadioButton, TrackBar, Progress, Edit, ComBox,
    DateTimePicker, Box, StatusBar, RadioGroup, CheckGroup, Tab, FormTab, TabSet, ScrollBars,
    ScrollBarsPlatformDrag, ListView, ScControl
};

struct TMappingRow {
    int Number;
    bool (*Test)(TWinSkinForm& form, TComponent* component, const std::string& upperName);
    bool (*Gated)(const TSkinData& data);  // nullptr: no gate
    TMake Make;
    bool ScanAfter;  // then SkinComponents of the control
    // A clear gate ends the table instead of passing on to the next row.
    bool ClearGateEnds = false;
    // The row's own work before its skin is made; nullptr: none.
    void (*Prepare)(TWinSkinForm& form, TComponent* component) = nullptr;
};

void SetFlat(TWinSkinForm&, TComponent* component)
{
    SetEnumPropByName(component, "Flat", "True");
}

void SetTransparent(TWinSkinForm&, TComponent* component)
{
    SetEnumPropByName(component, "Transparent", "True");
}

void NoSizeGrip(TWinSkinForm&, TComponent* component)
{
    SetEnumPropByName(component, "SizeGrip", "False");
}

void SkinToolBar(TWinSkinForm& form, TComponent* component)
{
    SetEnumPropByName(component, "Flat", "True");
    SetEnumPropByName(component, "Transparent", "True");
    form.HookToolBar(static_cast<TToolBar*>(component));
}

bool NameIs(const std::string& name, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

constexpr size_t kThirdValueMax = 50;

// The kind the Skin3rd list gives a class (lower case, at most 50 characters); empty: none.
// The first line whose class part is the whole class name decides.
std::string ListedKind(const TSkinData& data, const std::string& className)
{
    const std::string key = LowerCase(className) + "=";
    const TStringList& list = data.Skin3rd();
    for (int i = 0; i < list.Count(); ++i) {
        const std::string line = LowerCase(list.Strings(i));
        if (line.compare(0, key.size(), key) == 0)
            return line.substr(key.size(), kThirdValueMax);
    }
    return {};
}

// The rows of the table whose test a control of this program can meet, in the table's order.
// Row 3 (the Skin3rd list) decides its skin by the list's kind.
const TMappingRow kRows[] = {
    {1, [](TWinSkinForm&, TComponent*, const std::string& n) { return NameIs(n, {"TDBCOMBOBOXEH", "TQRPREVIEW", "TFRDESIGNERPAGE", "TFRPBOX"}); },
     nullptr, TMake::None, false},
    {3, [](TWinSkinForm& f, TComponent* c, const std::string&) { return !ListedKind(*f.SkinData(), c->ClassName()).empty(); },
     nullptr, TMake::None, false},
    {4, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TTABSET"; }, TabElementPresent, TMake::TabSet, false},
    {5, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TTABBEDNOTEBOOK"; }, TabElementPresent, TMake::Tab, false},
    {6, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TMVCPANEL"; }, nullptr, TMake::None, true},
    {7, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TPageControl>(c); }, TabElementPresent, TMake::FormTab, false},
    {8, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TCheckBox>(c); },
     [](const TSkinData& d) { return Gate(d, xcCheckBox); }, TMake::CheckBox, false},
    {9, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TTRACKBAR"; },
     [](const TSkinData& d) { return Gate(d, xcButton); }, TMake::TrackBar, false},
    {10, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TUPDOWN"; },
     [](const TSkinData& d) { return Gate(d, xcButton); }, TMake::UpDown, false},
    {12, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TDBNAVIGATOR"; },
     [](const TSkinData& d) { return Gate(d, xcPanel); }, TMake::Box, false, false, SetFlat},
    {13, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TGroupBox>(c); },
     [](const TSkinData& d) { return Gate(d, xcPanel); }, TMake::Box, true},
    {14, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TRadioButton>(c); },
     [](const TSkinData& d) { return Gate(d, xcRadioButton); }, TMake::RadioButton, false},
    {15, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TToolBar>(c); },
     [](const TSkinData& d) { return Gate(d, xcToolbar); }, TMake::Box, false, false, SkinToolBar},
    {16, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TStatusBar>(c); },
     [](const TSkinData& d) { return Gate(d, xcStatusBar); }, TMake::StatusBar, false, false, NoSizeGrip},
    {17, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TProgressBar>(c); },
     [](const TSkinData& d) { return Gate(d, xcProgress); }, TMake::Progress, false},
    {18, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TScrollBar>(c); },
     [](const TSkinData& d) { return Gate(d, xcScrollbar); }, TMake::ScControl, false},
    {19, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TComboBox>(c); },
     [](const TSkinData& d) { return Gate(d, xcCombo); }, TMake::ComBox, false},
    {20, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TDATETIMEPICKER"; },
     [](const TSkinData& d) { return Gate(d, xcEdit); }, TMake::DateTimePicker, false},
    {21, [](TWinSkinForm&, TComponent*, const std::string& n) { return n == "TRICHEDIT"; },
     [](const TSkinData& d) { return Gate(d, xcScrollbar); }, TMake::ScrollBars, false},
    {22, [](TWinSkinForm&, TComponent*, const std::string& n) { return NameIs(n, {"TWWDBRICHEDIT", "TDXDBMEMO"}); },
     [](const TSkinData& d) { return Gate(d, xcScrollbar); }, TMake::ScrollBars, false},
    {23, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TBitBtn>(c); },
     [](const TSkinData& d) { return Gate(d, xcBitBtn); }, TMake::BitButton, false, true},
    {24, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TSpeedButton>(c); },
     [](const TSkinData& d) { return Gate(d, xcSpeedButton); }, TMake::SpeedButton, false},
    {25, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TPanel>(c); },
     [](const TSkinData& d) { return Gate(d, xcPanel); }, TMake::Box, true},
    {26, [](TWinSkinForm&, TComponent*, const std::string& n) { return NameIs(n, {"TDXTREELIST", "TDXDBTREELIST", "TDXDBGRID"}); },
     [](const TSkinData& d) { return Gate(d, xcScrollbar); }, TMake::ScrollBarsPlatformDrag, false},
    {27, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TListView>(c); },
     [](const TSkinData& d) { return Gate(d, xcScrollbar); }, TMake::ListView, false},
    {30, [](TWinSkinForm& f, TComponent* c, const std::string&) { return f.IsScrollingControl(c); },
     [](const TSkinData& d) { return Gate(d, xcScrollbar); }, TMake::ScrollBars, false},
    {31, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TButton>(c); },
     [](const TSkinData& d) { return Gate(d, xcButton); }, TMake::Button, false},
    {32, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TEdit>(c); },
     [](const TSkinData& d) { return Gate(d, xcEdit); }, TMake::Edit, false},
    {34, [](TWinSkinForm&, TComponent* c, const std::string&) { return Is<TCustomForm>(c); }, nullptr, TMake::Box, true},
};

// Kinds of the Skin3rd list, each with its gate.
struct TThirdKind {
    const char* Kind;
    bool (*Gated)(const TSkinData& data);
    TMake Make;
    void (*Prepare)(TWinSkinForm& form, TComponent* component) = nullptr;
};

const TThirdKind kThirdKinds[] = {
    {"combobox", [](const TSkinData& d) { return Gate(d, xcCombo); }, TMake::ComBox},
    {"edit", [](const TSkinData& d) { return Gate(d, xcEdit); }, TMake::Edit},
    {"radiobutton", [](const TSkinData& d) { return Gate(d, xcRadioButton); }, TMake::RadioButton},
    {"panel", [](const TSkinData& d) { return Gate(d, xcPanel); }, TMake::Box, SetTransparent},
    {"trackbar", [](const TSkinData& d) { return Gate(d, xcButton); }, TMake::TrackBar, SetTransparent},
    {"button", [](const TSkinData& d) { return Gate(d, xcButton); }, TMake::Button},
    {"tab", TabElementPresent, TMake::Tab},
    {"progress", [](const TSkinData& d) { return Gate(d, xcProgress); }, TMake::Progress},
    {"scrollbar", [](const TSkinData& d) { return Gate(d, xcScrollbar); }, TMake::ScrollBars},
    {"radiogroup", [](const TSkinData& d) { return Gate(d, xcPanel); }, TMake::RadioGroup},
    {"checkgroup", [](const TSkinData& d) { return Gate(d, xcPanel); }, TMake::CheckGroup},
    {"checkbox", [](const TSkinData& d) { return Gate(d, xcCheckBox); }, TMake::CheckBox},
};

}  // namespace

// ---------------------------------------------------------------------------------------------

bool TWinSkinForm::AddControl(TSkinControl* skin)
{
    if (std::find(FControls.begin(), FControls.end(), skin) != FControls.end())
        return true;
    FControls.push_back(skin);
    return false;
}

void TWinSkinForm::RemoveControl(TSkinControl* skin)
{
    auto found = std::find(FControls.rbegin(), FControls.rend(), skin);
    if (found != FControls.rend())
        FControls.erase(std::next(found).base());
}

TSkinControl* TWinSkinForm::FindControlByHandle(HWND wnd) const
{
    for (TSkinControl* skin : FControls)
        if (skin->Handle() == wnd)
            return skin;
    return nullptr;
}

void TWinSkinForm::PurgeDeadControls()
{
    for (size_t i = FControls.size(); i-- > 0;) {
        if (i >= FControls.size() || FControls[i]->SkinState() != cssDestroyed)
            continue;
        TSkinControl* skin = FControls[i];
        FControls.erase(FControls.begin() + static_cast<std::ptrdiff_t>(i));
        TComponent::Free(skin);
    }
}

void TWinSkinForm::HookToolBar(TToolBar* toolBar)
{
    if (std::any_of(FToolBars.begin(), FToolBars.end(), [&](const TSkinnedToolBar& t) { return t.ToolBar == toolBar; }))
        return;
    FToolBars.push_back({toolBar, toolBar->OnCustomDrawButton});
    toolBar->FreeNotification(this);
    toolBar->OnCustomDrawButton = [this](TToolBar* sender, const TRect& bounds, UINT state, bool&) {
        DrawToolButton(sender, bounds, state);
    };
    toolBar->Invalidate();
}

void TWinSkinForm::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    std::erase_if(FToolBars, [&](const TSkinnedToolBar& t) { return t.ToolBar == component; });
    if (component == FSkinData) {
        // The skin goes before this form skin: the window gets its own frame back rather than
        // being painted from freed data.
        Detach();
        FSkinData = nullptr;
    }
}

void TWinSkinForm::DrawToolButton(TToolBar* toolBar, const TRect& bounds, UINT state)
{
    TDataSkinButton& element = FSkinData->Buttons;
    if (element.Image.Width() <= 0)
        return;
    int frame = 1;
    if (state & CDIS_SELECTED)
        frame = 2;
    else if (state & (CDIS_FOCUS | CDIS_HOT))
        frame = 4;
    else if (state & (CDIS_GRAYED | CDIS_DISABLED))
        frame = 3;
    TCanvas& canvas = toolBar->Canvas();
    if (frame == 1 && element.HasNormalColour2)
        canvas.Font().SetColor(element.NormalColour2);
    else if (frame == 4 && element.HasMouseOverColour2)
        canvas.Font().SetColor(element.MouseOverColour2);
    else if (frame == 2 && element.HasPressedColour2)
        canvas.Font().SetColor(element.PressedColour2);
    DrawSkinImage(canvas.Handle(), bounds, element.Image,
                  Rect(element.LeftWidth, element.TopHeight, element.RightWidth, element.BottomHeight), frame, 5,
                  element.Trans != 0, false, false);
}

void TWinSkinForm::UnskinControls()
{
    // The tool bars draw their buttons as they did before, with their own handlers.
    for (TSkinnedToolBar& t : FToolBars) {
        t.ToolBar->OnCustomDrawButton = std::move(t.OwnHandler);
        t.ToolBar->RemoveFreeNotification(this);
        t.ToolBar->Invalidate();
    }
    FToolBars.clear();
    while (!FControls.empty()) {
        TSkinControl* skin = FControls.front();
        skin->RestoreColor();
        FControls.erase(FControls.begin());
        TComponent::Free(skin);
    }
}

void TWinSkinForm::SkinComponents(TWinControl* container)
{
    PurgeDeadControls();
    // A handler may add or free components of the container while it is scanned.
    for (int i = 0; i < container->ComponentCount(); ++i)
        SkinControl(container->Components(i), container);
}

bool TWinSkinForm::IsControlSkinned(TComponent* component) const
{
    auto* control = dynamic_cast<TWinControl*>(component);
    for (TSkinControl* skin : FControls) {
        if (skin->GraphicControl()) {
            if (skin->GraphicControl() == component)
                return true;
            continue;
        }
        if (!control)
            continue;
        if (control->HandleAllocated()) {
            if (skin->Handle() == control->Handle())
                return true;
            continue;
        }
        const std::string name = FForm ? FForm->Name() : std::string();
        return LowerCase(name).find("preview") != std::string::npos || name == "TQRStandardPreview" ||
               name == "TppPrintPreview" || name == "TdxfmStdPreview";
    }
    return false;
}

bool TWinSkinForm::IsScrollingControl(TComponent* component)
{
    auto* control = dynamic_cast<TWinControl*>(component);
    if (!control)
        return false;
    const LONG style = GetWindowLongA(control->Handle(), GWL_STYLE);
    return (style & (WS_HSCROLL | WS_VSCROLL)) || control->Tag() == 55;
}

int TWinSkinForm::MappingRow(TComponent* component)
{
    const std::string upper = UpperCase(component->ClassName());
    for (const TMappingRow& row : kRows) {
        if (!row.Test(*this, component, upper))
            continue;
        if (!row.Gated || row.Gated(*FSkinData) || row.ClearGateEnds)
            return row.Number;
    }
    return 0;
}

namespace {

// A skin just made that failed to attach is freed again (its destructor takes it off the form
// skin's list); nullptr then.
TSkinControl* Keep(TSkinControl* skin, const std::function<void()>& attach)
{
    try {
        attach();
    } catch (const std::exception&) {
        TComponent::Free(skin);
        return nullptr;
    }
    return skin;
}

// One control skin of class T for owner, attached to it as a framework control.
template <class T> TSkinControl* Attached(TComponent* owner, TWinSkinForm& form, bool setColour)
{
    TSkinControl* skin = TComponent::Make<T>(owner);
    return Keep(skin, [&] { skin->AttachControl(&form, form.SkinData(), &form.ControlCanvas(), setColour); });
}

// A window skin of class T, owned by owner, attached to window.
template <class T> TSkinControl* MakeWindowSkin(TComponent* owner, HWND window, TWinSkinForm& form)
{
    TSkinControl* skin = TComponent::Make<T>(owner);
    return Keep(skin, [&] { skin->AttachWindow(window, form.SkinData(), &form.ControlCanvas(), &form); });
}

// A scroll-bar skin of class T for the window scroll bars of owner, a windowed control.
template <class T> TSkinControl* MakeScrollSkin(TComponent* owner, bool handleNCButton, TWinSkinForm& form)
{
    auto* control = dynamic_cast<TWinControl*>(owner);
    if (!control)
        return nullptr;
    T* skin = TComponent::Make<T>(owner);
    return Keep(skin, [&] {
        skin->AttachScrollBars(control, form.SkinData(), handleNCButton, &form, &form.ControlCanvas());
    });
}

TSkinControl* MakeSkin(TMake make, TComponent* owner, TWinSkinForm& form);

// A group's skin: one of kind for every child control when the gate is set, then the group's box.
// A child the scan reached before its group keeps the skin it has.
TSkinControl* SkinGroup(TMake kind, TSkinControlType gate, TComponent* owner, TWinSkinForm& form)
{
    auto* group = dynamic_cast<TWinControl*>(owner);
    if (group && Gate(*form.SkinData(), gate))
        for (int i = 0; i < group->ControlCount(); ++i)
            if (!form.IsControlSkinned(group->Controls(i)))
                MakeSkin(kind, group->Controls(i), form);
    return Attached<TSkinBox>(owner, form, true);
}

// Makes and attaches one control skin, owned by owner (the control, or the form skin for a page
// control's tabs); nullptr when the kind has none or the control cannot take it.
TSkinControl* MakeSkin(TMake make, TComponent* owner, TWinSkinForm& form)
{
    auto* control = dynamic_cast<TWinControl*>(owner);
    switch (make) {
    case TMake::None:
        return nullptr;
    case TMake::Button:
        return Attached<TSkinButton>(owner, form, false);
    case TMake::BitButton:
        return Attached<TSkinBitButton>(owner, form, false);
    case TMake::SpeedButton: {
        auto* speed = TComponent::Make<TSkinSpeedButton>(owner);
        return Keep(speed, [&] { speed->AttachGraphicControl(&form, form.SkinData(), &form.ControlCanvas()); });
    }
    case TMake::UpDown:
        return Attached<TSkinUpDown>(owner, form, false);
    case TMake::CheckBox:
        return Attached<TSkinCheckBox>(owner, form, false);
    case TMake::RadioButton:
        return Attached<TSkinRadioButton>(owner, form, false);
    case TMake::TrackBar:
        return Attached<TSkinTrackBar>(owner, form, false);
    case TMake::Progress:
        return Attached<TSkinProgress>(owner, form, false);
    case TMake::ComBox:
        return Attached<TSkinComBox>(owner, form, false);
    case TMake::DateTimePicker:
        // The picker in its up-down form is an edit with a spin button.
        if (control && (GetWindowLongA(control->Handle(), GWL_STYLE) & DTS_UPDOWN))
            return Attached<TSkinEdit>(owner, form, false);
        return Attached<TSkinComBox>(owner, form, false);
    case TMake::Edit:
        return control ? MakeWindowSkin<TSkinEdit>(owner, control->Handle(), form) : nullptr;
    case TMake::Box:
        return Attached<TSkinBox>(owner, form, true);
    case TMake::StatusBar:
        return Attached<TSkinStatusBar>(owner, form, false);
    case TMake::RadioGroup:
        return SkinGroup(TMake::RadioButton, xcRadioButton, owner, form);
    case TMake::CheckGroup:
        return SkinGroup(TMake::CheckBox, xcCheckBox, owner, form);
    case TMake::Tab:
        return control ? MakeWindowSkin<TSkinTab>(owner, control->Handle(), form) : nullptr;
    case TMake::FormTab:
        return control ? MakeWindowSkin<TSkinTab>(&form, control->Handle(), form) : nullptr;
    case TMake::TabSet:
        return Attached<TSkinTab31>(owner, form, false);
    case TMake::ScrollBars:
        return MakeScrollSkin<TSkinScrollBar>(owner, true, form);
    case TMake::ScrollBarsPlatformDrag:
        return MakeScrollSkin<TSkinScrollBar>(owner, false, form);
    case TMake::ListView:
        return MakeScrollSkin<TSkinListView>(owner, false, form);
    case TMake::ScControl:
        return Attached<TSkinScControl>(owner, form, false);
    }
    return nullptr;
}

}  // namespace

bool TWinSkinForm::SkinBy3rdList(const std::string& upperClassName, TComponent* component)
{
    const std::string kind = ListedKind(*FSkinData, upperClassName);
    if (kind.empty())
        return false;
    // Listed: the kind decides alone, even when it is unknown or its gate is clear.
    for (const TThirdKind& third : kThirdKinds)
        if (kind == third.Kind && third.Gated(*FSkinData)) {
            if (third.Prepare)
                third.Prepare(*this, component);
            MakeSkin(third.Make, component, *this);
        }
    return true;
}

void TWinSkinForm::SkinControl(TComponent* component, TWinControl* container)
{
    if (component->Tag() % 100 == FSkinData->DisableTag() || IsControlSkinned(component))
        return;
    if (auto* control = dynamic_cast<TWinControl*>(component)) {
        try {
            control->HandleNeeded();
        } catch (const std::exception&) {
            return;  // a control without a window is left alone
        }
    }
    if (FSkinData->OnSkinControl) {
        TComponent* made = nullptr;
        FSkinData->OnSkinControl(this, FSkinData, container, dynamic_cast<TControl*>(component),
                                 UpperCase(component->ClassName()), made);
        if (auto* skin = dynamic_cast<TSkinControl*>(made)) {
            if (AddControl(skin))
                return;
            try {
                skin->AttachControl(this, FSkinData, &FControlCanvas, skin->SetColour());
            } catch (const std::exception&) {
                skin->LeaveForm();  // it stays its owner's, unattached
                return;
            }
            if (auto* panel = dynamic_cast<TPanel*>(component))
                SkinComponents(panel);
            return;
        }
    }
    const int number = MappingRow(component);
    if (number == 0)
        return;
    if (number == 3) {
        SkinBy3rdList(UpperCase(component->ClassName()), component);
        return;
    }
    const TMappingRow& row = *std::find_if(std::begin(kRows), std::end(kRows),
                                           [&](const TMappingRow& r) { return r.Number == number; });
    if (row.Gated && !row.Gated(*FSkinData))
        return;  // a row whose clear gate ends the table
    if (row.Prepare)
        row.Prepare(*this, component);
    MakeSkin(row.Make, component, *this);
    if (row.ScanAfter)
        if (auto* inner = dynamic_cast<TWinControl*>(component))
            SkinComponents(inner);
}

// ---------------------------------------------------------------------------------------------

TBareSkinKind BareSkinKind(const std::string& className, DWORD style)
{
    const std::string name = LowerCase(className);
    if (name == "button") {
        // The button's kind is a number, not a set of bits.
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
        case BS_PUSHBOX:
            return TBareSkinKind::Button;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return TBareSkinKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return TBareSkinKind::RadioButton;
        default:
            // Group boxes, and buttons the application paints or whose parts a push-button face
            // would hide: user and owner-drawn buttons, split buttons, command links.
            return TBareSkinKind::None;
        }
    }
    if (name == "combobox")
        return (style & 3) == 1 ? TBareSkinKind::None : TBareSkinKind::ComboBox;
    if (name == "comboboxex32")
        return TBareSkinKind::ComboBoxInner;
    if (name == "scrollbar")
        return TBareSkinKind::Sizer;
    if (name == "systabcontrol32")
        return style & 0x2000 ? TBareSkinKind::None : TBareSkinKind::Tab;
    if (name == "edit")
        return TBareSkinKind::Edit;
    return TBareSkinKind::None;
}

void TWinSkinForm::SkinChildWindows()
{
    for (HWND child = GetTopWindow(FHandle); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongA(child, GWL_STYLE) & WS_CHILD)
            SkinChildWindow(child);
}

void TWinSkinForm::SkinChildWindow(HWND wnd)
{
    if (!wnd || FindControlByHandle(wnd))
        return;
    switch (BareSkinKind(GetWindowClass(wnd), static_cast<DWORD>(GetWindowLongA(wnd, GWL_STYLE)))) {
    case TBareSkinKind::Button:
        MakeWindowSkin<TSkinButton>(this, wnd, *this);
        break;
    case TBareSkinKind::CheckBox:
        MakeWindowSkin<TSkinCheckBox>(this, wnd, *this);
        break;
    case TBareSkinKind::RadioButton:
        MakeWindowSkin<TSkinRadioButton>(this, wnd, *this);
        break;
    case TBareSkinKind::ComboBox:
        MakeWindowSkin<TSkinComBox>(this, wnd, *this);
        break;
    case TBareSkinKind::ComboBoxInner: {
        // The extended combo box's inner combo box is skinned, not the outer window.
        HWND inner = GetTopWindow(wnd);
        if (inner && !FindControlByHandle(inner))
            MakeWindowSkin<TSkinComBox>(this, inner, *this);
        break;
    }
    case TBareSkinKind::Edit:
        MakeWindowSkin<TSkinEdit>(this, wnd, *this);
        break;
    case TBareSkinKind::Sizer:
        MakeWindowSkin<TSkinSizer>(this, wnd, *this);
        break;
    case TBareSkinKind::Tab:
        MakeWindowSkin<TSkinTab>(this, wnd, *this);
        break;
    case TBareSkinKind::None:
        break;
    }
}
