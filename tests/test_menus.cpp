// Menus: one handle per menu, entries that name their items, pop-up menus with a window of
// their own, a form's menu bar after changes, and what owner-drawn menus read from items.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "Forms.h"
#include "ImgList.h"
#include "Layout.h"
#include "Menus.h"

namespace {

TMenuItem* AddItem(TMenuItem* parent, const std::string& caption)
{
    auto* item = TComponent::Make<TMenuItem>(parent);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

MENUITEMINFOA Entry(HMENU menu, int position)
{
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE | MIIM_BITMAP;
    EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info));
    return info;
}

std::string EntryText(HMENU menu, int position)
{
    char text[80] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

// File (Open, -, Recent (First, Second)), Help: a menu with an item that has a sub-menu inside
// a sub-menu.
struct Sample {
    explicit Sample(TMenu* menu)
    {
        file = AddItem(menu->Items(), "&File");
        open = AddItem(file, "&Open");
        line = AddItem(file, "-");
        recent = AddItem(file, "&Recent");
        first = AddItem(recent, "First");
        second = AddItem(recent, "Second");
        help = AddItem(menu->Items(), "&Help");
    }
    std::vector<TMenuItem*> All() const { return {file, open, line, recent, first, second, help}; }

    TMenuItem *file, *open, *line, *recent, *first, *second, *help;
};

// What WM_MEASUREITEM carries for a menu entry.
MEASUREITEMSTRUCT MeasureStruct(UINT itemID, ULONG_PTR itemData)
{
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = itemID;
    measure.itemData = itemData;
    return measure;
}

}  // namespace

TEST(MenuHandles, AMenuAndItsRootItemShareOneHandle)
{
    for (bool popup : {true, false}) {
        std::unique_ptr<TMenu> menu;
        if (popup)
            menu = std::make_unique<TPopupMenu>(nullptr);
        else
            menu = std::make_unique<TMainMenu>(nullptr);
        Sample sample(menu.get());
        // Asked first through the root item or through the menu: one handle of the menu's kind.
        const HMENU handle = popup ? menu->Items()->Handle() : menu->Handle();
        EXPECT_EQ(menu->Items()->Handle(), menu->Handle());
        EXPECT_EQ(sample.file->Parent()->Handle(), handle);
        EXPECT_EQ(GetSubMenu(handle, 0), sample.file->Handle());
        EXPECT_EQ(GetSubMenu(sample.file->Handle(), 2), sample.recent->Handle());
        EXPECT_EQ(sample.first->Parent()->Handle(), sample.recent->Handle());
        EXPECT_EQ(sample.help->Handle(), nullptr);

        // Changes go into the same handle.
        AddItem(menu->Items(), "&Tools");
        EXPECT_EQ(menu->Handle(), handle);
        EXPECT_EQ(menu->Items()->Handle(), handle);
        ASSERT_EQ(GetMenuItemCount(handle), 3);
        EXPECT_EQ(EntryText(handle, 2), "&Tools");
    }
}

TEST(MenuHandles, EntriesFollowTheirItems)
{
    TPopupMenu menu(nullptr);
    Sample sample(&menu);
    const HMENU file = sample.file->Handle();
    ASSERT_EQ(GetMenuItemCount(file), 3);

    sample.open->SetCaption("&Open...");
    sample.line->SetVisible(false);
    sample.recent->SetEnabled(false);
    sample.open->SetChecked(true);
    ASSERT_EQ(GetMenuItemCount(file), 2);
    EXPECT_EQ(EntryText(file, 0), "&Open...");
    EXPECT_TRUE(Entry(file, 0).fState & MFS_CHECKED);
    EXPECT_TRUE(Entry(file, 1).fState & MFS_GRAYED);

    // An item whose last sub-item goes is a plain entry again, chosen by its command.
    sample.recent->Remove(sample.first);
    sample.recent->Remove(sample.second);
    EXPECT_EQ(Entry(file, 1).hSubMenu, nullptr);
    EXPECT_EQ(GetMenuItemID(file, 1), sample.recent->Command());

    // A freed item leaves its menu.
    TComponent::Free(sample.open);
    ASSERT_EQ(GetMenuItemCount(file), 1);
    EXPECT_EQ(Entry(file, 0).dwItemData, reinterpret_cast<ULONG_PTR>(sample.recent));
}

TEST(MenuHandles, FreeingAMenuLeavesNoHandleBehind)
{
    HMENU handle = nullptr, file = nullptr, recent = nullptr;
    {
        TMainMenu menu(nullptr);
        Sample sample(&menu);
        handle = menu.Handle();
        file = sample.file->Handle();
        recent = sample.recent->Handle();
        // Items freed before their menu, as a window's stored items are, take their own
        // handles with them.
        TComponent::Free(sample.recent);
        EXPECT_FALSE(IsMenu(recent));
        EXPECT_TRUE(IsMenu(file));
    }
    EXPECT_FALSE(IsMenu(handle));
    EXPECT_FALSE(IsMenu(file));
}

TEST(MenuEntries, EveryEntryCarriesItsItemAndCommand)
{
    TMainMenu menu(nullptr);
    Sample sample(&menu);
    menu.Handle();
    for (TMenuItem* item : sample.All()) {
        const HMENU parent = item->Parent()->Handle();
        int position = 0;
        while (item->Parent()->Items(position) != item)
            ++position;
        const MENUITEMINFOA entry = Entry(parent, position);
        EXPECT_EQ(entry.dwItemData, reinterpret_cast<ULONG_PTR>(item)) << item->Caption();
        // Entries with a sub-menu too: their identifier is no handle but the command.
        EXPECT_EQ(entry.wID, item->Command()) << item->Caption();
        EXPECT_EQ(TMenuItem::FindByItemData(entry.wID, entry.dwItemData), item) << item->Caption();
    }
    EXPECT_EQ(Entry(sample.file->Handle(), 2).hSubMenu, sample.recent->Handle());
}

TEST(MenuEntries, ItemDataOfOtherMenusFindsNothing)
{
    TPopupMenu menu(nullptr);
    Sample sample(&menu);
    const auto data = [](TMenuItem* item) { return reinterpret_cast<ULONG_PTR>(item); };
    EXPECT_EQ(TMenuItem::FindByItemData(sample.recent->Command(), data(sample.open)), nullptr);
    EXPECT_EQ(TMenuItem::FindByItemData(sample.recent->Command(), 0x1234), nullptr);
    EXPECT_EQ(TMenuItem::FindByItemData(sample.recent->Command(), 0), nullptr);
    EXPECT_EQ(TMenuItem::FindByItemData(0x10000 | sample.recent->Command(), data(sample.recent)), nullptr);
    EXPECT_EQ(TMenuItem::FindByItemData(SC_CLOSE, 0), nullptr);

    MEASUREITEMSTRUCT foreign = MeasureStruct(sample.open->Command(), 0x1234);
    EXPECT_FALSE(MeasureMenuItem(foreign));
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = sample.open->Command();
    sample.open->OnDrawItem = [](TObject*, TCanvas&, TRect, bool) { FAIL() << "drawn for foreign data"; };
    EXPECT_FALSE(DrawMenuItem(draw));
}

TEST(MenuEntries, OwnerDrawAndRightToLeftReachEverySubMenu)
{
    TPopupMenu menu(nullptr);
    Sample sample(&menu);
    menu.Handle();
    const HMENU recent = sample.recent->Handle();
    menu.SetOwnerDraw(true);
    menu.SetRightToLeft(true);
    EXPECT_TRUE(Entry(menu.Handle(), 0).fType & MFT_OWNERDRAW);
    EXPECT_TRUE(Entry(recent, 1).fType & MFT_OWNERDRAW);
    EXPECT_TRUE(Entry(recent, 1).fType & MFT_RIGHTORDER);
    EXPECT_EQ(Entry(sample.file->Handle(), 1).fType & (MFT_SEPARATOR | MFT_OWNERDRAW), MFT_SEPARATOR | MFT_OWNERDRAW);
    EXPECT_EQ(Entry(recent, 1).dwItemData, reinterpret_cast<ULONG_PTR>(sample.second));

    menu.SetOwnerDraw(false);
    menu.SetRightToLeft(false);
    EXPECT_FALSE(Entry(recent, 1).fType & (MFT_OWNERDRAW | MFT_RIGHTORDER));
    EXPECT_EQ(Entry(sample.file->Handle(), 1).fType & (MFT_SEPARATOR | MFT_OWNERDRAW), MFT_SEPARATOR);
    EXPECT_EQ(EntryText(recent, 1), "Second");
    EXPECT_EQ(sample.recent->Handle(), recent);
}

TEST(MenuEntries, DefaultBitmapAndImages)
{
    TPopupMenu menu(nullptr);
    Sample sample(&menu);
    sample.open->SetDefault(true);
    EXPECT_TRUE(Entry(sample.file->Handle(), 0).fState & MFS_DEFAULT);
    EXPECT_FALSE(Entry(sample.file->Handle(), 2).fState & MFS_DEFAULT);

    // The picture is kept as a copy and shown by the native entry in a bitmap of its own.
    TBitmap picture(16, 15);
    picture.Canvas().Brush().SetColor(clRed);
    picture.Canvas().FillRect(Rect(0, 0, 16, 15));
    sample.open->SetBitmap(&picture);
    ASSERT_NE(sample.open->Bitmap(), nullptr);
    EXPECT_EQ(sample.open->Bitmap()->Canvas().Pixel(3, 3), clRed);
    const HBITMAP shown = Entry(sample.file->Handle(), 0).hbmpItem;
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(shown, sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 15);
    EXPECT_EQ(info.bmBitsPixel, 24);
    // Drawing the item's picture (the skin does) leaves the entry's free to be shown.
    TBitmap target(16, 15);
    target.Canvas().Draw(0, 0, *sample.open->Bitmap());
    EXPECT_NE(sample.open->Bitmap()->Handle(), shown);

    menu.SetOwnerDraw(true);
    EXPECT_EQ(Entry(sample.file->Handle(), 0).hbmpItem, nullptr);
    menu.SetOwnerDraw(false);
    sample.open->SetBitmap(nullptr);
    EXPECT_EQ(Entry(sample.file->Handle(), 0).hbmpItem, nullptr);
    EXPECT_EQ(GetObjectType(shown), 0u);

    // Items deep in the menu draw from the menu's image list.
    TImageList images(12, 12);
    menu.SetImages(&images);
    EXPECT_EQ(sample.first->ImageList(), &images);
}

TEST(ShortCuts, TextOfAShortCut)
{
    EXPECT_EQ(ShortCutToText(ShortCut('S', ssCtrl)), "Ctrl+S");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_F4, ssShift)), "Shift+F4");
    EXPECT_EQ(ShortCutToText(ShortCut('1', ssShift | ssAlt | ssCtrl)), "Ctrl+Alt+Shift+1");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_DELETE, 0)), "Del");
    // Nothing, or keys without a name, have no text.
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(scCtrl), "");
    EXPECT_EQ(ShortCutToText(ShortCut(VK_LWIN, ssCtrl)), "");
    EXPECT_EQ(ShortCut(0x1FF, ssCtrl), 0);
}

TEST(ShortCuts, AcceleratorOfACaption)
{
    EXPECT_TRUE(IsAccel('f', "&File"));
    EXPECT_TRUE(IsAccel('L', "Fi&le"));
    EXPECT_FALSE(IsAccel('F', "Fi&le"));
    // "&&" is a plain ampersand; the next single one marks the accelerator.
    EXPECT_FALSE(IsAccel('F', "&&File"));
    EXPECT_FALSE(IsAccel('&', "&&File"));
    EXPECT_TRUE(IsAccel('C', "A&&B&c"));
    EXPECT_FALSE(IsAccel('A', "File&"));
    EXPECT_TRUE(IsAccel('U', "更新(&U)"));
}

TEST(MenuMeasure, ItemsMeasureInTheMenuFontAndEventsAdjust)
{
    TPopupMenu menu(nullptr);
    Sample sample(&menu);
    WindowDC screen(nullptr);
    TCanvas canvas;
    canvas.SetHandle(screen.Get());
    AssignMenuFont(canvas.Font());

    int width = 0, height = 0;
    sample.open->MeasureItem(canvas, width, height);
    // The '&' is not shown, so it takes no room.
    EXPECT_EQ(width, canvas.TextWidth("Open"));
    EXPECT_GE(height, GetSystemMetrics(SM_CYMENU));
    EXPECT_GT(height, canvas.TextHeight("Open"));
    const int plainHeight = height;

    sample.line->MeasureItem(canvas, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_LT(height, plainHeight);

    sample.open->SetShortCut(ShortCut('O', ssCtrl));
    sample.open->MeasureItem(canvas, width, height);
    EXPECT_GT(width, canvas.TextWidth("Open") + canvas.TextWidth("Ctrl+O"));

    TImageList images(20, 40);
    menu.SetImages(&images);
    sample.open->SetShortCut(0);
    sample.open->MeasureItem(canvas, width, height);
    EXPECT_GE(width, canvas.TextWidth("Open") + 20);
    EXPECT_GE(height, 42);

    // The event sees the framework's size first.
    sample.open->OnMeasureItem = [](TObject*, TCanvas&, int& w, int& h) {
        EXPECT_GT(w, 20);
        w += 35;
        h = 7;
    };
    int measured = 0;
    sample.open->MeasureItem(canvas, measured, height);
    EXPECT_EQ(measured, width + 35);
    EXPECT_EQ(height, 7);
    canvas.SetHandle(nullptr);

    // WM_MEASUREITEM of an item with a sub-menu finds that item.
    TObject* measuredItem = nullptr;
    sample.recent->OnMeasureItem = [&](TObject* sender, TCanvas&, int&, int& h) {
        measuredItem = sender;
        h = 30;
    };
    MEASUREITEMSTRUCT message = MeasureStruct(sample.recent->Command(), reinterpret_cast<ULONG_PTR>(sample.recent));
    ASSERT_TRUE(MeasureMenuItem(message));
    EXPECT_EQ(measuredItem, sample.recent);
    EXPECT_EQ(message.itemHeight, 30u);
    EXPECT_GT(message.itemWidth, 0u);
}

namespace {

// A shown form that counts the menu messages its WindowProc receives.
class MenuForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
        form->HookWindowProc([this](TMessage& message, const TWndMethod& next) {
            switch (message.Msg) {
            case WM_MEASUREITEM:
            case WM_DRAWITEM:
            case WM_INITMENUPOPUP:
            case WM_MENUSELECT:
            case WM_ENTERMENULOOP:
            case WM_ENTERIDLE:
            case CM_MENUCHANGED:
                ++received[message.Msg];
                break;
            default:
                break;
            }
            next(message);
        });
        form->Show();
    }

    std::unique_ptr<TForm> form;
    std::map<UINT, int> received;
};

// Windows that received a message while a hook was in place.
std::set<HWND> hookedWindows;
UINT hookedMessage = 0;

LRESULT CALLBACK RecordWindows(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == hookedMessage)
        hookedWindows.insert(message->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct HookGuard {
    explicit HookGuard(UINT message)
    {
        hookedWindows.clear();
        hookedMessage = message;
        hook = SetWindowsHookExA(WH_CALLWNDPROC, RecordWindows, nullptr, GetCurrentThreadId());
    }
    ~HookGuard() { UnhookWindowsHookEx(hook); }
    HHOOK hook;
};

// Keys to type into the next menu that opens, from inside its loop.
std::vector<WORD> pendingKeys;

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM result)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) != "#32768" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// This thread's open menu window; other test programs may show menus of their own.
HWND OwnMenuWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK TypeIntoMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWindow = OwnMenuWindow();
    if (!menuWindow)
        return;  // not open yet: the next tick tries again
    KillTimer(nullptr, timer);
    for (WORD key : pendingKeys) {
        PostMessageA(menuWindow, WM_KEYDOWN, key, 0);
        PostMessageA(menuWindow, WM_KEYUP, key, 0xC0000000);
    }
}

void PopupTyping(TPopupMenu& menu, std::vector<WORD> keys)
{
    pendingKeys = std::move(keys);
    SetTimer(nullptr, 0, 100, TypeIntoMenu);
    menu.Popup(150, 150);
}

}  // namespace

TEST_F(MenuForm, PopupMenusTalkToTheirOwnWindowAndClickTheChosenItem)
{
    TPopupMenu menu(nullptr);
    Sample sample(&menu);
    menu.SetOwnerDraw(true);
    std::set<TObject*> measured, drawn;
    for (TMenuItem* item : sample.All()) {
        item->OnMeasureItem = [&](TObject* sender, TCanvas&, int&, int&) { measured.insert(sender); };
        item->OnDrawItem = [&](TObject* sender, TCanvas&, TRect, bool) { drawn.insert(sender); };
    }
    TObject* clicked = nullptr;
    sample.first->OnClick = [&](TObject* sender) { clicked = sender; };

    ASSERT_TRUE(form->Active());
    std::set<HWND> owners;
    {
        HookGuard hook(WM_INITMENUPOPUP);
        // Down to File, Right into its sub-menu (on Open), Down past the line to Recent, Right
        // into its sub-menu (on First), Enter.
        PopupTyping(menu, {VK_DOWN, VK_RIGHT, VK_DOWN, VK_RIGHT, VK_RETURN});
        owners = hookedWindows;
    }
    EXPECT_EQ(clicked, sample.first);
    // Every item was measured and drawn through the menu's own window, including the one
    // whose entry opens a sub-menu.
    EXPECT_TRUE(measured.count(sample.file) && measured.count(sample.recent) && measured.count(sample.first));
    EXPECT_TRUE(drawn.count(sample.file) && drawn.count(sample.recent) && drawn.count(sample.first));
    EXPECT_TRUE(received.empty()) << received.size() << " kinds of menu message reached the form";

    ASSERT_EQ(owners.size(), 1u);
    HWND owner = *owners.begin();
    EXPECT_NE(owner, form->Handle());
    EXPECT_FALSE(IsWindowVisible(owner));
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    EXPECT_EQ(process, GetCurrentProcessId());

    // One window serves every pop-up menu; a menu closed without a choice clicks nothing.
    clicked = nullptr;
    TPopupMenu other(nullptr);
    AddItem(other.Items(), "Plain")->OnClick = [&](TObject* sender) { clicked = sender; };
    {
        HookGuard hook(WM_INITMENUPOPUP);
        PopupTyping(other, {VK_ESCAPE});
        EXPECT_EQ(hookedWindows, std::set<HWND>{owner});
    }
    EXPECT_EQ(clicked, nullptr);
    PopupTyping(other, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(clicked, other.Items()->Items(0));
    EXPECT_TRUE(received.empty());
}

TEST_F(MenuForm, AMenuBarDropDownMadeOwnerDrawnFindsItsItemsOnTheForm)
{
    // As a skin tracks a drop-down of the bar: entries turned owner-drawn, the form as owner.
    auto* menu = TComponent::Make<TMainMenu>(form.get());
    Sample sample(menu);
    form->SetMenu(menu);
    const HMENU file = sample.file->Handle();
    for (int i = 0; i < GetMenuItemCount(file); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        GetMenuItemInfoA(file, static_cast<UINT>(i), TRUE, &info);
        info.fType |= MFT_OWNERDRAW;
        SetMenuItemInfoA(file, static_cast<UINT>(i), TRUE, &info);
    }
    std::set<TObject*> measured;
    for (TMenuItem* item : {sample.open, sample.recent})
        item->OnMeasureItem = [&](TObject* sender, TCanvas&, int&, int&) { measured.insert(sender); };
    pendingKeys = {VK_ESCAPE};
    SetTimer(nullptr, 0, 100, TypeIntoMenu);
    TrackPopupMenu(file, TPM_RETURNCMD, 150, 150, 0, form->Handle(), nullptr);
    EXPECT_EQ(measured, (std::set<TObject*>{sample.open, sample.recent}));
    EXPECT_GT(received[WM_MEASUREITEM], 0);
}

TEST_F(MenuForm, AChangedMenuGoesBackOnTheFormsWindow)
{
    auto* menu = TComponent::Make<TMainMenu>(form.get());
    Sample sample(menu);
    form->SetMenu(menu);
    HWND window = form->Handle();
    ASSERT_EQ(GetMenu(window), menu->Handle());

    // A skin takes the menu off to draw the bar itself; a change must still reach the bar.
    SetMenu(window, nullptr);
    sample.second->SetCaption("Second changed");
    EXPECT_EQ(received[CM_MENUCHANGED], 1);
    EXPECT_EQ(GetMenu(window), menu->Handle());
    EXPECT_EQ(EntryText(sample.recent->Handle(), 1), "Second changed");

    SetMenu(window, nullptr);
    sample.help->SetCaption("&About");
    EXPECT_EQ(received[CM_MENUCHANGED], 2);
    EXPECT_EQ(EntryText(GetMenu(window), 1), "&About");

    // A menu the form no longer shows no longer tells it of changes.
    auto* next = TComponent::Make<TMainMenu>(form.get());
    AddItem(next->Items(), "&Next");
    form->SetMenu(next);
    sample.help->SetCaption("&Help");
    EXPECT_EQ(received[CM_MENUCHANGED], 2);
    EXPECT_EQ(GetMenu(window), next->Handle());
}

TEST_F(MenuForm, TheMenuOutlivesTheWindowThatShowedIt)
{
    TMainMenu menu(nullptr);
    Sample sample(&menu);
    form->SetMenu(&menu);
    const HMENU bar = menu.Handle();
    const HMENU recent = sample.recent->Handle();
    ASSERT_EQ(GetMenu(form->Handle()), bar);
    form.reset();
    EXPECT_TRUE(IsMenu(bar));
    EXPECT_TRUE(IsMenu(recent));
    EXPECT_EQ(GetSubMenu(sample.file->Handle(), 2), recent);
}

TEST_F(MenuForm, FreeingTheShownMenuTakesItOffTheWindow)
{
    auto* menu = TComponent::Make<TMainMenu>(form.get());
    Sample sample(menu);
    form->SetMenu(menu);
    const HMENU bar = menu->Handle();
    TComponent::Free(menu);
    EXPECT_EQ(form->Menu(), nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_FALSE(IsMenu(bar));
}

namespace {

class TMenuTestForm : public TForm {
    LEXDRILL_CLASS(TMenuTestForm)
public:
    using TForm::TForm;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* Save = nullptr;
    int saves = 0;
    void SaveClick(TObject*) { ++saves; }
};

const TClassInfo& TMenuTestForm::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TMenuTestForm>("TMenuTestForm", TForm::StaticClass())
        .Field("MainMenu1", &TMenuTestForm::MainMenu1)
        .Field("Save", &TMenuTestForm::Save)
        .Method("SaveClick", &TMenuTestForm::SaveClick)
        .Build();
    return info;
}

std::vector<uint8_t> NoFiles(const std::string& name)
{
    throw Exception("no file " + name);
}

}  // namespace

TEST(MenuLayouts, StoredItemsCarryDefaultAndShortCut)
{
    TMenuTestForm form(nullptr);
    const char layout[] = R"(
TMenuTestForm Form {
    Menu = MainMenu1
    TMainMenu MainMenu1 {
        TMenuItem File {
            Caption = "&File"
            TMenuItem Save {
                Caption = "&Save"
                Default = True
                ShortCut = 16467
                OnClick = SaveClick
            }
        }
    }
}
)";
    ApplyLayout(form, ParseLayout(layout, "Test", NoFiles, [](const std::string& s) { return s; }), "Test");
    ASSERT_TRUE(form.Save);
    EXPECT_TRUE(form.Save->Default());
    EXPECT_EQ(ShortCutToText(form.Save->ShortCut()), "Ctrl+S");
    const HMENU file = GetSubMenu(form.MainMenu1->Handle(), 0);
    EXPECT_TRUE(Entry(file, 0).fState & MFS_DEFAULT);
    SendMessageA(form.Handle(), WM_COMMAND, form.Save->Command(), 0);
    EXPECT_EQ(form.saves, 1);
    EXPECT_EQ(GetMenu(form.Handle()), form.MainMenu1->Handle());
}
