// Control skins on real controls under Wine: which skin the scan gives each control of a
// framework form and each child of a bare window, the button frames of every state probed on the
// flat-colour fixture, real clicks and mouse moves, and skins that come off cleanly whichever
// goes first.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ControlSkinTesting.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "InputTesting.h"
#include "SkinPaint.h"
#include "SkinTesting.h"
#include "StdCtrls.h"
#include "WinSubClass.h"
#include "WinSubClassBoxes.h"
#include "WinSubClassButtons.h"
#include "WinSubClassInputs.h"
#include "WindowTesting.h"

// Controls of other makers, known to the scan by their class names only.
TEST_CONTROL_CLASS(TMVCPanel, TWinControl)
TEST_CONTROL_CLASS(TQRPreview, TWinControl)
TEST_CONTROL_CLASS(TRichEdit, TWinControl)
TEST_CONTROL_CLASS(TDateTimePicker, TWinControl)
TEST_CONTROL_CLASS(TThirdButton, TButton)
TEST_CONTROL_CLASS(TDBNavigator, TWinControl)

// A box skin that shows what it holds of the form skin.
class TProbeBox : public TSkinBox {
    LEXDRILL_CLASS(TProbeBox)
public:
    using TSkinBox::TSkinBox;
    TWinSkinForm* SkinForm() const { return FSkinForm; }
};
LEXDRILL_PLAIN_CLASS(TProbeBox, TSkinBox)

namespace {

int commands = 0;  // WM_COMMAND messages the bare parent received

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        ++commands;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND MakeParent()
{
    static const bool registered =
        RegisterTestClass("ControlSkinParent", ParentProc, Arrow(), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_TRUE(registered);
    HWND hwnd = CreateWindowExA(0, "ControlSkinParent", "Bare parent", WS_OVERLAPPEDWINDOW, 200, 150, 420, 260,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    Pump([hwnd] { return GetForegroundWindow() == hwnd; }, 5000);
    return hwnd;
}

HWND MakeChild(HWND parent, const char* cls, DWORD style, int id, int x, int y, const char* text = "Button")
{
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, 100, 30, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
}

struct ControlSkinTest : ControlSkinFixture {
    ControlSkinTest() : ControlSkinFixture(150, 120, 420, 300) {}
    void SetUp() override
    {
        ControlSkinFixture::SetUp();
        ASSERT_GT(data.Buttons.Image.Width(), 0);
        commands = 0;
    }
    // The flat colour of frame (1 to 5) of [Buttons].
    COLORREF Frame(int frame) { return FrameColour(data.Buttons.Image, frame, 5); }
    HWND Parent()
    {
        windows.push_back(MakeParent());
        return windows.back();
    }
};

TEST_F(ControlSkinTest, EachFrameworkClassAndClassNameReachesItsRowAndOnlyWithItsGate)
{
    TForm* form = Form();
    TWinSkinForm& scan = Scanner(form);
    struct Case {
        TComponent* control;
        int row;
    };
    auto* scrolledEdit = Control<TEdit>(form);
    SetWindowLongA(scrolledEdit->Handle(), GWL_STYLE, GetWindowLongA(scrolledEdit->Handle(), GWL_STYLE) | WS_VSCROLL);
    auto* tagged = Control<TEdit>(form);
    tagged->SetTag(55);
    auto* inner = TComponent::Make<TForm>(form);
    const Case cases[] = {
        {Control<TQRPreview>(form), 1},    {Control<TMVCPanel>(form), 6},     {Control<TCheckBox>(form), 8},
        {Control<TTrackBar>(form), 9},     {Control<TGroupBox>(form), 13},    {Control<TRadioButton>(form), 14},
        {Control<TProgressBar>(form), 17}, {Control<TComboBox>(form), 19},    {Control<TDateTimePicker>(form), 20},
        {Control<TRichEdit>(form), 21},    {Control<TBitBtn>(form), 23},      {Control<TSpeedButton>(form), 24},
        {Control<TPanel>(form), 25},       {scrolledEdit, 30},                {tagged, 30},
        {Control<TButton>(form), 31},      {Control<TEdit>(form), 32},        {inner, 34},
        {Control<TPageControl>(form), 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(scan.MappingRow(c.control), c.row) << c.control->ClassName();

    // Each gate cleared: the row passes the control on; the bit button's ends the table.
    const TSkinControlTypes all = data.SkinControls();
    const struct {
        TSkinControlType gate;
        size_t index;
        int row;
    } cleared[] = {
        {xcCheckBox, 2, 0}, {xcPanel, 4, 0},       {xcScrollbar, 13, 32}, {xcScrollbar, 14, 32},
        {xcButton, 15, 0},  {xcEdit, 16, 0},       {xcBitBtn, 10, 23},    {xcSpeedButton, 11, 0},
    };
    for (const auto& c : cleared) {
        data.SetSkinControls(all & ~SkinControlBit(c.gate));
        EXPECT_EQ(scan.MappingRow(cases[c.index].control), c.row) << cases[c.index].control->ClassName();
    }
    data.SetSkinControls(all);
}

TEST_F(ControlSkinTest, TheScanSkinsButtonsOnceHonoursTagsAndTheBitButtonGate)
{
    TForm* form = Form();
    TWinSkinForm& scan = Scanner(form);
    auto* plain = Control<TButton>(form);
    auto* bit = Control<TBitBtn>(form);
    auto* speed = Control<TSpeedButton>(form);
    auto* check = Control<TCheckBox>(form);
    TButton* tagged[4];
    const int tags[] = {99, 199, 299, -99};
    for (int i = 0; i < 4; ++i) {
        tagged[i] = Control<TButton>(form);
        tagged[i]->SetTag(tags[i]);
    }
    scan.SkinComponents(form);
    const size_t made = scan.Controls().size();
    EXPECT_EQ(made, 5u);  // plain, bit, speed, the check box and the one tagged -99
    EXPECT_TRUE(dynamic_cast<TSkinButton*>(scan.FindControlByHandle(plain->Handle())));
    EXPECT_TRUE(dynamic_cast<TSkinBitButton*>(scan.FindControlByHandle(bit->Handle())));
    EXPECT_TRUE(scan.IsControlSkinned(speed));
    EXPECT_TRUE(dynamic_cast<TSkinCheckBox*>(scan.FindControlByHandle(check->Handle())));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(scan.FindControlByHandle(tagged[i]->Handle())) << tags[i];
    EXPECT_TRUE(scan.FindControlByHandle(tagged[3]->Handle()));

    scan.SkinComponents(form);
    EXPECT_EQ(scan.Controls().size(), made);

    // A bit button with its gate clear is not taken for a push button.
    scan.UnskinControls();
    EXPECT_EQ(bit->ComponentCount(), 0);
    data.SetSkinControls(data.SkinControls() & ~SkinControlBit(xcBitBtn));
    scan.SkinComponents(form);
    EXPECT_FALSE(scan.FindControlByHandle(bit->Handle()));
    EXPECT_TRUE(scan.FindControlByHandle(plain->Handle()));
    scan.UnskinControls();
}

TEST_F(ControlSkinTest, TheSkin3rdListMatchesWholeClassNamesInAnyCaseAndEndsTheTable)
{
    TForm* form = Form();
    TWinSkinForm& scan = Scanner(form);
    auto* third = Control<TThirdButton>(form);
    // The class of the skin the scan makes with these lines; empty: none.
    auto made = [&](const std::vector<std::string>& lines) {
        data.Skin3rd().Clear();
        for (const std::string& line : lines)
            data.Skin3rd().Add(line);
        scan.SkinComponents(form);
        const TSkinControl* skin = scan.FindControlByHandle(third->Handle());
        const std::string kind = skin ? skin->ClassName() : "";
        scan.UnskinControls();
        return kind;
    };
    // Not listed: a push button by its framework class (row 31).
    EXPECT_EQ(made({}), "TSkinButton");
    EXPECT_EQ(scan.MappingRow(third), 31);
    // Listed in any case, the kind too; the listed kind decides over the class.
    EXPECT_EQ(made({"tTHIRDbutton=BUTTON"}), "TSkinButton");
    EXPECT_EQ(scan.MappingRow(third), 3);
    EXPECT_EQ(made({"tTHIRDbutton=CheckBox"}), "TSkinCheckBox");
    // Neither a longer nor a shorter class name matches; the key ends at "=".
    EXPECT_EQ(made({"TThirdButtonX=Checkbox"}), "TSkinButton");
    EXPECT_EQ(made({"TThirdButto=Checkbox"}), "TSkinButton");
    EXPECT_EQ(made({"TThirdButton=CheckboxX"}), "");
    // A kind outside the table, one with a trailing blank, or one whose gate is clear: no skin,
    // and row 31 is not tried.
    EXPECT_EQ(made({"TThirdButton=Gadget"}), "");
    EXPECT_EQ(made({"TThirdButton=button "}), "");
    data.SetSkinControls(data.SkinControls() & ~SkinControlBit(xcCheckBox));
    EXPECT_EQ(made({"TThirdButton=checkbox"}), "");
    // The first matching line decides: the button of the second is not made.
    EXPECT_EQ(made({"TThirdButton=checkbox", "TThirdButton=button"}), "");
    EXPECT_TRUE(scan.SkinBy3rdList("TTHIRDBUTTON", third));
    EXPECT_FALSE(scan.FindControlByHandle(third->Handle()));
    data.SetSkinControls(TSkinData::kDefaultSkinControls);
    EXPECT_FALSE(scan.SkinBy3rdList("TTHIRDBUTTO", third));
    EXPECT_TRUE(scan.SkinBy3rdList("TTHIRDBUTTON", third));
    EXPECT_TRUE(dynamic_cast<TSkinCheckBox*>(scan.FindControlByHandle(third->Handle())));
    scan.UnskinControls();
}

TEST_F(ControlSkinTest, ANavigatorAToolBarAndANestedFormTakeTheFaceColourAndGiveItBack)
{
    TForm* form = Form();
    TWinSkinForm& scan = Scanner(form);
    auto* navigator = Control<TDBNavigator>(form);
    auto* bar = Control<TToolBar>(form, 10, 50);
    auto* inner = TComponent::Make<TForm>(form);
    auto* innerButton = TComponent::Make<TButton>(inner);
    innerButton->SetParent(inner);
    TWinControl* const boxes[] = {navigator, bar, inner};
    const TColor own = clWindow;
    ASSERT_NE(data.Colours.ButtonFace, own);
    for (TWinControl* control : boxes)
        control->SetColor(own);

    scan.SkinComponents(form);
    for (TWinControl* control : boxes) {
        auto* box = dynamic_cast<TSkinBox*>(scan.FindControlByHandle(control->Handle()));
        ASSERT_TRUE(box) << control->ClassName();
        EXPECT_EQ(box->Owner(), control) << control->ClassName();
        EXPECT_EQ(control->Color(), data.Colours.ButtonFace) << control->ClassName();
    }
    EXPECT_TRUE(bar->Flat());
    // The nested form's own controls are skinned too.
    EXPECT_TRUE(dynamic_cast<TSkinButton*>(scan.FindControlByHandle(innerButton->Handle())));
    scan.UnskinControls();
    for (TWinControl* control : boxes)
        EXPECT_EQ(control->Color(), own) << control->ClassName();

    // The navigator's and the tool bar's gates; the nested form has none.
    data.SetSkinControls(data.SkinControls() & ~SkinControlBit(xcPanel) & ~SkinControlBit(xcToolbar));
    scan.SkinComponents(form);
    EXPECT_FALSE(scan.FindControlByHandle(navigator->Handle()));
    EXPECT_FALSE(scan.FindControlByHandle(bar->Handle()));
    EXPECT_TRUE(dynamic_cast<TSkinBox*>(scan.FindControlByHandle(inner->Handle())));
    EXPECT_EQ(navigator->Color(), own);
    EXPECT_EQ(bar->Color(), own);
    scan.UnskinControls();
    data.SetSkinControls(TSkinData::kDefaultSkinControls);
}

TEST_F(ControlSkinTest, OnSkinControlMaySupplyASkinAndAnythingElseFallsThrough)
{
    TForm* form = Form();
    TWinSkinForm& scan = Scanner(form);
    auto* button = Control<TButton>(form);
    TComponent* notASkin = TComponent::Make<TComponent>(&owner);
    TSkinControl* supplied = nullptr;
    std::string seenClass;
    data.OnSkinControl = [&](TComponent* sender, TSkinData*, TControl*, TControl* control,
                             const std::string& cls, TComponent*& skin) {
        EXPECT_EQ(sender, &scan);
        if (control != button)
            return;
        seenClass = cls;
        if (supplied)
            skin = supplied;
        else
            skin = notASkin;
    };
    scan.SkinComponents(form);
    EXPECT_EQ(seenClass, "TBUTTON");
    EXPECT_TRUE(dynamic_cast<TSkinButton*>(scan.FindControlByHandle(button->Handle())));
    scan.UnskinControls();

    supplied = TComponent::Make<TSkinBitButton>(button);
    scan.SkinComponents(form);
    EXPECT_EQ(scan.FindControlByHandle(button->Handle()), supplied);
    EXPECT_EQ(scan.Controls().size(), 1u);
    scan.UnskinControls();
    data.OnSkinControl = nullptr;
}

// Mended: a supplied skin whose attach failed kept its pointer to the form skin, and called into
// it when its owner freed it after the form skin had gone.
TEST_F(ControlSkinTest, ASuppliedSkinThatCannotAttachHoldsNothingOfTheFormSkin)
{
    TForm* form = Form();
    auto* scan = TComponent::Make<TWinSkinForm>(nullptr);
    TFormSkinTesting::Aim(*scan, &data, form);
    auto* button = Control<TButton>(form);
    // A box skin belongs to a windowed control: this one's owner is none.
    TComponent* holder = TComponent::Make<TComponent>(&owner);
    auto* box = TComponent::Make<TProbeBox>(holder);
    data.OnSkinControl = [&](TComponent*, TSkinData*, TControl*, TControl* control, const std::string&,
                             TComponent*& skin) {
        if (control == button)
            skin = box;
    };
    scan->SkinComponents(form);
    data.OnSkinControl = nullptr;
    EXPECT_TRUE(std::find(scan->Controls().begin(), scan->Controls().end(), box) == scan->Controls().end());
    EXPECT_EQ(box->SkinForm(), nullptr);
    TComponent::Free(scan);
    TComponent::Free(holder);
}

TEST_F(ControlSkinTest, BareChildWindowsGetTheirSkinByClassAndStyle)
{
    EXPECT_EQ(BareSkinKind("Button", BS_GROUPBOX), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("BUTTON", BS_AUTOCHECKBOX), TBareSkinKind::CheckBox);
    EXPECT_EQ(BareSkinKind("button", BS_CHECKBOX), TBareSkinKind::CheckBox);
    EXPECT_EQ(BareSkinKind("button", BS_AUTORADIOBUTTON), TBareSkinKind::RadioButton);
    EXPECT_EQ(BareSkinKind("button", BS_RADIOBUTTON), TBareSkinKind::RadioButton);
    EXPECT_EQ(BareSkinKind("button", BS_PUSHBUTTON), TBareSkinKind::Button);
    EXPECT_EQ(BareSkinKind("button", BS_DEFPUSHBUTTON), TBareSkinKind::Button);
    EXPECT_EQ(BareSkinKind("button", BS_PUSHBOX), TBareSkinKind::Button);
    EXPECT_EQ(BareSkinKind("button", BS_3STATE), TBareSkinKind::CheckBox);
    EXPECT_EQ(BareSkinKind("button", BS_AUTO3STATE), TBareSkinKind::CheckBox);
    EXPECT_EQ(BareSkinKind("button", BS_AUTORADIOBUTTON | BS_PUSHLIKE), TBareSkinKind::RadioButton);
    // Buttons the application paints, or whose parts a push-button face would hide.
    EXPECT_EQ(BareSkinKind("button", BS_USERBUTTON), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("button", BS_OWNERDRAW), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("button", BS_SPLITBUTTON), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("button", BS_DEFSPLITBUTTON), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("button", BS_COMMANDLINK), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("button", BS_DEFCOMMANDLINK), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("ComboBox", CBS_SIMPLE), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("ComboBox", CBS_DROPDOWNLIST), TBareSkinKind::ComboBox);
    EXPECT_EQ(BareSkinKind("ComboBoxEx32", 0), TBareSkinKind::ComboBoxInner);
    EXPECT_EQ(BareSkinKind("ScrollBar", SBS_SIZEGRIP), TBareSkinKind::Sizer);
    EXPECT_EQ(BareSkinKind("SysTabControl32", 0), TBareSkinKind::Tab);
    EXPECT_EQ(BareSkinKind("SysTabControl32", TCS_OWNERDRAWFIXED), TBareSkinKind::None);
    EXPECT_EQ(BareSkinKind("Edit", 0), TBareSkinKind::Edit);
    EXPECT_EQ(BareSkinKind("Static", 0), TBareSkinKind::None);

    // On real windows: direct children only, once.
    HWND parent = Parent();
    HWND push = MakeChild(parent, "button", BS_PUSHBUTTON, 1, 10, 10);
    HWND group = MakeChild(parent, "button", BS_GROUPBOX, 2, 10, 50);
    HWND nested = MakeChild(group, "button", BS_PUSHBUTTON, 3, 5, 5);
    HWND check = MakeChild(parent, "button", BS_AUTOCHECKBOX, 4, 10, 90);
    HWND off = MakeChild(parent, "button", BS_PUSHBUTTON | WS_DISABLED, 5, 130, 10);
    auto& skin = AttachSkin(&owner, parent, data);
    EXPECT_TRUE(skin.FindControlByHandle(push));
    EXPECT_FALSE(skin.FindControlByHandle(group));
    EXPECT_FALSE(skin.FindControlByHandle(nested));
    EXPECT_TRUE(dynamic_cast<TSkinCheckBox*>(skin.FindControlByHandle(check)));
    const size_t made = skin.Controls().size();
    skin.SkinChildWindows();
    EXPECT_EQ(skin.Controls().size(), made);
    // A bare-window skin does not read the style for its enabled state at attach: the button's
    // own paint reads it.
    TSkinControl* offSkin = skin.FindControlByHandle(off);
    ASSERT_TRUE(offSkin);
    EXPECT_TRUE(offSkin->EnabledState());
    EXPECT_EQ(Seen(off, 2, 2), Frame(3));
    EXPECT_FALSE(offSkin->EnabledState());
    skin.Detach();
    EXPECT_TRUE(skin.Controls().empty());

    // Nor does it touch a colour: a framework control under a bare-window skin keeps its own,
    // through a re-skin and after.
    TForm* form = Form();
    auto* button = Control<TButton>(form);
    const TColor own = clWindow;
    ASSERT_NE(data.Colours.ButtonFace, own);
    button->SetColor(own);
    form->Show();
    auto& bare = AttachSkin(&owner, form->Handle(), data);
    TSkinControl* buttonSkin = bare.FindControlByHandle(button->Handle());
    ASSERT_TRUE(buttonSkin);
    EXPECT_EQ(button->Color(), own);
    buttonSkin->RefreshSkin();
    EXPECT_EQ(button->Color(), own);
    bare.Detach();
    EXPECT_EQ(button->Color(), own);
}

TEST_F(ControlSkinTest, PushButtonFramesFollowEveryState)
{
    HWND parent = Parent();
    HWND a = MakeChild(parent, "button", BS_PUSHBUTTON, 1, 10, 10);
    HWND b = MakeChild(parent, "button", BS_DEFPUSHBUTTON, 2, 130, 10, "Default");
    SetFocus(parent);
    auto& skin = SkinWindow(&owner, parent, data);
    ASSERT_TRUE(skin.FindControlByHandle(a));

    // The default button looks like any other.
    EXPECT_EQ(Seen(a, 2, 2), Frame(1));
    EXPECT_EQ(Seen(b, 2, 2), Frame(1));
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(Shown(a, 2, 2), Frame(4));
    EXPECT_EQ(skin.HotTrack().Button(), skin.FindControlByHandle(a));
    SendMessageA(a, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Shown(a, 2, 2), Frame(2));
    EXPECT_EQ(GetFocus(), a);
    // Released outside the button: pressed until the mouse leaves.
    SendMessageA(a, CM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Seen(a, 2, 2), Frame(4));  // focused: frame 4, like a hot one
    EXPECT_EQ(skin.HotTrack().Button(), nullptr);
    // No focus rectangle: focus shows only as frame 4.
    RECT r;
    GetClientRect(a, &r);
    for (int x = 3; x < r.right - 3; x += 5)
        EXPECT_EQ(Shown(a, x, 4), Frame(4)) << x;
    // Disabled wins over focus, hot and pressed.
    SendMessageA(a, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EnableWindow(a, FALSE);
    EXPECT_EQ(Seen(a, 2, 2), Frame(3));
    EnableWindow(a, TRUE);
    SetFocus(b);
    EXPECT_EQ(Seen(b, 2, 2), Frame(4));
    // A new caption is drawn at once.
    SetWindowTextA(a, "Renamed");
    EXPECT_EQ(skin.FindControlByHandle(a)->Text(), "Renamed");
    skin.Detach();
}

TEST_F(ControlSkinTest, RealClicksPostOneCommandAndTheHotLookMovesFromButtonToButton)
{
    HWND parent = Parent();
    HWND a = MakeChild(parent, "button", BS_PUSHBUTTON, 71, 10, 10);
    HWND b = MakeChild(parent, "button", BS_PUSHBUTTON, 72, 130, 10);
    SetFocus(parent);
    auto& skin = SkinWindow(&owner, parent, data);
    ASSERT_TRUE(skin.FindControlByHandle(b));
    Seen(parent, 0, 0);

    TInput input;
    input.MoveTo(a, 50, 15).Run();
    EXPECT_EQ(Shown(a, 2, 2), Frame(4));
    EXPECT_EQ(Shown(b, 2, 2), Frame(1));
    input.MoveTo(b, 50, 15).Run();
    EXPECT_EQ(Shown(a, 2, 2), Frame(1));
    EXPECT_EQ(Shown(b, 2, 2), Frame(4));
    EXPECT_EQ(skin.HotTrack().Button(), skin.FindControlByHandle(b));

    commands = 0;
    input.Click().Run();
    EXPECT_EQ(commands, 1);
    // A press released outside the button clicks nothing.
    input.Down().MoveTo(parent, 300, 200).Up().Run();
    EXPECT_EQ(commands, 1);
    skin.Detach();
}

// Mended: a bare window's hot button outlived its window (its skin was never freed, a bare
// window being scanned only once), and the mouse leaving it went to the dead handle.
TEST_F(ControlSkinTest, ABareWindowsHotButtonGoesWithItsWindowAndItsSkinIsFreed)
{
    HWND parent = Parent();
    HWND push = MakeChild(parent, "button", BS_PUSHBUTTON, 81, 10, 10);
    HWND other = MakeChild(parent, "button", BS_PUSHBUTTON, 82, 130, 10);
    auto& skin = SkinWindow(&owner, parent, data);
    auto* pushSkin = dynamic_cast<TSkinButton*>(skin.FindControlByHandle(push));
    ASSERT_TRUE(pushSkin);
    SendMessageA(push, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(skin.HotTrack().Button(), pushSkin);
    const size_t count = skin.Controls().size();

    DestroyWindow(push);
    EXPECT_EQ(skin.HotTrack().Button(), nullptr);
    skin.CheckMouseLeave();  // what the form skin's timer runs
    EXPECT_EQ(skin.Controls().size(), count - 1);
    EXPECT_EQ(skin.FindControlByHandle(push), nullptr);
    EXPECT_TRUE(skin.FindControlByHandle(other));
    skin.Detach();
}

TEST_F(ControlSkinTest, FrameworkButtonsClickOnceAndBitAndSpeedButtonsShowTheirGlyphs)
{
    TForm* form = Form();
    auto* button = Control<TButton>(form, 10, 10);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    auto* bit = Control<TBitBtn>(form, 10, 60);
    bit->SetBounds(10, 60, 75, 25);
    bit->SetCaption("");
    // Four glyphs of 16 x 16: up, disabled, down, held; each a flat colour on a keyed corner.
    const COLORREF glyphs[] = {RGB(1, 200, 1), RGB(2, 200, 2), RGB(3, 200, 3), RGB(4, 200, 4)};
    TBitmap& g = bit->Glyph().Glyph;
    g.SetSize(64, 16);
    for (int i = 0; i < 4; ++i) {
        g.Canvas().Brush().SetColor(static_cast<TColor>(glyphs[i]));
        g.Canvas().FillRect(Rect(i * 16, 0, i * 16 + 16, 16));
        g.Canvas().SetPixel(i * 16, 0, clFuchsia);
    }
    bit->Glyph().NumGlyphs = 4;
    auto* speed = Control<TSpeedButton>(form, 10, 110);
    auto& skin = Skin(form);
    ASSERT_EQ(skin.Controls().size(), 3u);

    // Margin -1, spacing 4 in 75 pixels, a 16-pixel glyph and a 30-pixel caption.
    EXPECT_EQ(LayoutGlyphButton({75, 25}, {16, 16}, {30, 13}, 0, -1, 4, false).GlyphPos.X, 12);
    EXPECT_EQ(LayoutGlyphButton({75, 25}, {16, 16}, {30, 13}, 0, -1, 4, true).GlyphPos.X, 13);
    EXPECT_EQ(LayoutGlyphButton({75, 25}, {16, 16}, {30, 13}, 0, -1, -1, false).GlyphPos.X, 9);

    const TGlyphLayout at = LayoutGlyphButton({bit->ClientRect().Width(), bit->ClientRect().Height()}, {16, 16},
                                              {0, 0}, 0, -1, 4, false);
    const int gx = at.GlyphPos.X + 8, gy = at.GlyphPos.Y + 8;
    EXPECT_EQ(Seen(bit->Handle(), gx, gy), glyphs[0]);
    SendMessageA(bit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Shown(bit->Handle(), gx, gy), glyphs[2]);
    SendMessageA(bit->Handle(), CM_MOUSELEAVE, 0, 0);
    bit->SetEnabled(false);
    EXPECT_EQ(Seen(bit->Handle(), gx, gy), glyphs[1]);
    EXPECT_EQ(Shown(bit->Handle(), 2, 2), Frame(3));
    // With fewer than four glyphs the first one stands for every state.
    bit->Glyph().NumGlyphs = 3;
    EXPECT_EQ(Seen(bit->Handle(), gx, gy), glyphs[0]);
    // A count of 0 takes the whole image as one glyph: all four colours show, side by side.
    bit->Glyph().NumGlyphs = 0;
    const TGlyphLayout whole = LayoutGlyphButton({bit->ClientRect().Width(), bit->ClientRect().Height()},
                                                 {64, 16}, {0, 0}, 0, -1, 4, false);
    ASSERT_GE(whole.GlyphPos.X, 0);
    EXPECT_EQ(Seen(bit->Handle(), whole.GlyphPos.X + 8, gy), glyphs[0]);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(Shown(bit->Handle(), whole.GlyphPos.X + i * 16 + 8, gy), glyphs[i]) << i;
    EXPECT_EQ(Shown(bit->Handle(), 2, 2), Frame(3));

    // The framework button clicks once through the skin, on the release.
    SendMessageA(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 0);
    SendMessageA(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);

    // The speed button is drawn on the form's DC at its place: normal, hot, down, disabled.
    auto speedSeen = [&] {
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = GetDC(form->Handle());
        const COLORREF c = GetPixel(dc, speed->Left() + 2, speed->Top() + 2);
        ReleaseDC(form->Handle(), dc);
        return c;
    };
    EXPECT_EQ(speedSeen(), Frame(1));
    // A state change outside painting shows with the next paint, unasked.
    speed->Perform(CM_MOUSEENTER);
    UpdateWindow(form->Handle());
    {
        HDC dc = GetDC(form->Handle());
        EXPECT_EQ(GetPixel(dc, speed->Left() + 2, speed->Top() + 2), Frame(4));
        ReleaseDC(form->Handle(), dc);
    }
    speed->SetDown(true);
    EXPECT_EQ(speedSeen(), Frame(2));
    speed->SetDown(false);
    speed->Perform(CM_MOUSELEAVE);
    speed->SetEnabled(false);
    EXPECT_EQ(speedSeen(), Frame(3));
    skin.Detach();
}

TEST_F(ControlSkinTest, ToolBarButtonsGetTheSkinsFaceUntilItComesOff)
{
    TForm* form = Form();
    auto* bar = Control<TToolBar>(form, 0, 0);
    bar->SetBounds(0, 0, 300, 30);
    bar->AddButton("First");
    bar->AddButton("Second");
    // The application's own handler gives way to the skin's and comes back after it.
    int ownDraws = 0;
    bar->OnCustomDrawButton = [&ownDraws](TToolBar*, const TRect&, UINT, bool&) { ++ownDraws; };
    auto& skin = Skin(form);
    const int drawnBefore = ownDraws;
    EXPECT_TRUE(bar->Flat());
    EXPECT_TRUE(bar->Transparent());
    ASSERT_TRUE(bar->OnCustomDrawButton);
    RECT item;
    ASSERT_TRUE(SendMessageA(bar->Handle(), TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(Seen(bar->Handle(), item.left + 1, item.top + 1), Frame(1));
    SendMessageA(bar->Handle(), TB_SETSTATE, 1, TBSTATE_ENABLED | TBSTATE_PRESSED);
    EXPECT_EQ(Seen(bar->Handle(), item.left + 1, item.top + 1), Frame(2));
    SendMessageA(bar->Handle(), TB_SETSTATE, 1, 0);
    EXPECT_EQ(Seen(bar->Handle(), item.left + 1, item.top + 1), Frame(3));
    EXPECT_EQ(ownDraws, drawnBefore);
    skin.Detach();
    EXPECT_NE(Seen(bar->Handle(), item.left + 1, item.top + 1), Frame(3));
    EXPECT_GT(ownDraws, drawnBefore);

    // A tool bar freed while skinned is forgotten.
    auto& again = SkinWindow(form, form->Handle(), data, form);
    ASSERT_EQ(TFormSkinTesting::ToolBarCount(again), 1u);
    TComponent::Free(bar);
    EXPECT_EQ(TFormSkinTesting::ToolBarCount(again), 0u);
    again.Detach();
}

// What a caption routine draws into a fresh bitmap with a font of the given weight and italic,
// and whether it left the DC's font, brush, background mode and text colour as it found them.
template <class Draw> std::vector<COLORREF> Caption(LONG weight, bool italic, Draw draw, bool& leftAsFound)
{
    TBitmap bitmap(120, 40);
    HDC dc = bitmap.Canvas().Handle();
    const RECT all{0, 0, 120, 40};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    LOGFONTA lf;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = -16;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    const UniqueFont font(CreateFontIndirectA(&lf));
    const UniqueBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    HGDIOBJ oldFont = SelectObject(dc, font.get());
    HGDIOBJ oldBrush = SelectObject(dc, brush.get());
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(0, 0, 0));
    draw(dc);
    leftAsFound = GetCurrentObject(dc, OBJ_FONT) == font.get() && GetCurrentObject(dc, OBJ_BRUSH) == brush.get() &&
                  GetBkMode(dc) == OPAQUE && GetTextColor(dc) == RGB(0, 0, 0);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBrush);
    return pixels;
}

TEST(ControlText, CaptionsArePlainWhateverTheFontsStyleAndTheDCIsLeftAsItWas)
{
    bool asFound = false;
    // The fonts really differ here, or the comparisons below prove nothing.
    auto plainly = [](HDC dc) {
        RECT r{0, 0, 120, 40};
        DrawTextA(dc, "Bold Caption", -1, &r, DT_SINGLELINE);
    };
    ASSERT_FALSE(Caption(FW_BOLD, false, plainly, asFound) == Caption(FW_NORMAL, false, plainly, asFound));

    auto control = [](HDC dc) { DrawControlText(dc, Rect(0, 0, 120, 40), "Bold Caption", false, DT_CENTER); };
    auto glyph = [](HDC dc) { DrawGlyphText(dc, Rect(0, 0, 120, 40), nullptr, -1, "Bold Caption", 1, false); };
    auto centred = [](HDC dc) { DrawCenteredText(dc, Rect(0, 0, 120, 40), "Bold Caption", false, DT_CENTER); };
    const std::vector<COLORREF> plainControl = Caption(FW_NORMAL, false, control, asFound);
    EXPECT_TRUE(asFound);
    EXPECT_TRUE(Caption(FW_BOLD, true, control, asFound) == plainControl) << "drawn in the font's style";
    EXPECT_TRUE(asFound);
    const std::vector<COLORREF> plainGlyph = Caption(FW_NORMAL, false, glyph, asFound);
    EXPECT_TRUE(asFound);
    EXPECT_TRUE(Caption(FW_BOLD, true, glyph, asFound) == plainGlyph) << "drawn in the font's style";
    EXPECT_TRUE(asFound);
    const std::vector<COLORREF> plainCentred = Caption(FW_NORMAL, false, centred, asFound);
    EXPECT_TRUE(asFound);
    EXPECT_TRUE(Caption(FW_BOLD, true, centred, asFound) == plainCentred) << "drawn in the font's style";
    EXPECT_TRUE(asFound);
}

TEST_F(ControlSkinTest, SkinsComeOffWhicheverGoesFirstAndLeakNothing)
{
    // A skinned control freed before its form leaves the list; the form goes on.
    TForm* form = Form();
    auto* button = Control<TButton>(form);
    auto* other = Control<TButton>(form, 10, 60);
    auto* speed = Control<TSpeedButton>(form, 10, 110);
    auto& skin = Skin(form);
    ASSERT_EQ(skin.Controls().size(), 3u);
    SendMessageA(button->Handle(), WM_MOUSEMOVE, 0, 0);
    ASSERT_EQ(skin.HotTrack().Button(), skin.FindControlByHandle(button->Handle()));
    TComponent::Free(button);
    EXPECT_EQ(skin.Controls().size(), 2u);
    EXPECT_EQ(skin.HotTrack().Button(), nullptr);
    TComponent::Free(speed);
    EXPECT_EQ(skin.Controls().size(), 1u);
    Seen(form->Handle(), 0, 0);
    // A window destroyed under its skin: freed by the next scan.
    HWND parent = Parent();
    HWND bare = MakeChild(parent, "button", BS_PUSHBUTTON, 1, 10, 10);
    auto& bareSkin = SkinWindow(&owner, parent, data);
    ASSERT_EQ(bareSkin.Controls().size(), 1u);
    DestroyWindow(bare);
    EXPECT_EQ(bareSkin.Controls().front()->SkinState(), cssDestroyed);
    bareSkin.PurgeDeadControls();
    EXPECT_TRUE(bareSkin.Controls().empty());
    bareSkin.Detach();

    // Skinning off and on, 1,000 times, the button painted each time: every skin goes with its
    // hook, and the memory stays. (Wine counts no GDI objects per process; a button's bitmap
    // left behind each time would add 12 MB.)
    skin.Detach();
    TComponent::Free(&skin);
    auto memory = [] {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        return counters.PagefileUsage;
    };
    size_t before = 0;
    for (int i = 0; i < 1000; ++i) {
        if (i == 100)
            before = memory();  // once every cache has grown to its size
        auto& again = AttachSkin(form, form->Handle(), data, form);
        ASSERT_EQ(again.Controls().size(), 1u);
        RedrawWindow(other->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const COLORREF face = Shown(other->Handle(), 2, 2);
        ASSERT_TRUE(face == Frame(1) || face == Frame(4)) << i;
        again.Detach();
        TComponent::Free(&again);
        ASSERT_EQ(other->ComponentCount(), 0);
    }
    EXPECT_LT(memory(), before + 2 * 1024 * 1024);
    Wait(100);

    // A form freed with its skinned controls.
    auto& last = SkinWindow(form, form->Handle(), data, form);
    ASSERT_EQ(last.Controls().size(), 1u);
    TComponent::Free(form);
    Wait(100);
}

}  // namespace
