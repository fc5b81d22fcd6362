// The skin manager on real windows under Wine: which windows its hook and its timer skin and
// with which skin-data component, how skinning is switched on, off and to a changed skin, and
// how the manager and the components go while windows are skinned.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "InputTesting.h"
#include "Layout.h"
#include "Menus.h"
#include "WinSkinDataManage.h"
#include "WinSkinForm.h"
#include "SkinTesting.h"
#include "WinSkinMenu.h"
#include "TempDir.h"
#include "WindowTesting.h"

std::vector<std::string> skinMessages;

// A parse made to stop part-way, as when memory runs out: while set, the first allocation of
// the main thread once this component's caption-button records are gone (the parse has begun
// replacing them) fails.
const TSkinData* failParseOf = nullptr;
const DWORD mainThread = GetCurrentThreadId();

void* operator new(size_t size)
{
    if (failParseOf && failParseOf->FTitleButtons.empty() && GetCurrentThreadId() == mainThread) {
        failParseOf = nullptr;
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

// What the skin reader tells the user, kept instead of shown.
void SkinMessage(const std::string& text)
{
    skinMessages.push_back(text);
}

namespace {

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A window that says it is skinned already.
LRESULT CALLBACK SaysSkinnedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_SKINQUERY ? 1 : DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Create(const char* className, DWORD style, int width = 320, int height = 220, HWND parent = nullptr)
{
    RegisterTestClass("ManageTest", PlainProc, Arrow());  // a second registration fails harmlessly
    return CreateWindowExA(0, className, "Window", style, 100, 80, width, height, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Shown and activated: the hook sees HCBT_ACTIVATE. Activated in this thread only: the
// display's foreground belongs to whichever test program runs beside this one.
HWND Activate(HWND window)
{
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);
    Wait(50);
    return window;
}

HWND ShowWindowOfClass(const char* className = "ManageTest", DWORD style = WS_OVERLAPPEDWINDOW)
{
    return Activate(Create(className, style));
}

bool Answers(HWND window)
{
    return SendMessageA(window, WM_SKINQUERY, 0, 0) == 1;
}

// Skinned by the manager, with its first application done.
bool Skinned(HWND window)
{
    TWinSkinForm* formSkin = SkinManage ? SkinManage->FindFormSkin(window) : nullptr;
    return formSkin && Pump([formSkin] { return formSkin->SkinState() == fssSkinned; }, 3000) && Answers(window);
}

// Given back: the window's own procedure answers and its caption style is back.
bool Native(HWND window)
{
    return !(SkinManage && SkinManage->FindFormSkin(window)) && !Answers(window) &&
           (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

TForm* ShowForm(int tag = 0)
{
    auto* form = TComponent::Make<TForm>(nullptr);
    form->SetTag(tag);
    form->SetBounds(150, 120, 300, 200);
    form->Show();
    Wait(50);
    return form;
}

// The second skin: the form-skin fixture, as a file.
std::string SecondSkinFile()
{
    return LEXDRILL_FORMSKIN_FIXTURE;
}

class SkinManager : public testing::Test {
protected:
    void TearDown() override
    {
        FreeSkinManage();
        for (HWND window : windows)
            DestroyWindow(window);
        for (TForm* form : forms)
            TComponent::Free(form);
    }

    // A component as a window's layout makes it: stored properties read, the skin parsed, then
    // the loaded notification.
    TSkinData& Component(TSkinFormType kind, bool active = true, bool loaded = true, TComponent* owner = nullptr)
    {
        auto& data = *TComponent::Make<TSkinData>(owner ? owner : &components);
        data.SetState(csLoading | csReading, true);
        data.SetSkinFormtype(kind);
        data.SetActive(active);
        if (loaded)
            LoadOwnSkin(data);
        data.SetState(csReading, false);
        data.Loaded();
        data.OnSkinChanged = [this](TObject*) { ++changes; };
        return data;
    }

    HWND Window(const char* className = "ManageTest", DWORD style = WS_OVERLAPPEDWINDOW)
    {
        windows.push_back(ShowWindowOfClass(className, style));
        return windows.back();
    }

    TForm* Form(int tag = 0)
    {
        forms.push_back(ShowForm(tag));
        return forms.back();
    }

    // A framework form and a bare window, shown and skinned by the manager.
    void SkinnedFormAndWindow(TForm*& form, HWND& bare)
    {
        form = Form();
        bare = Window();
        ASSERT_TRUE(Skinned(form->Handle()));
        ASSERT_TRUE(Skinned(bare));
    }

    // A form not yet shown, at a fixed place, with a "File" menu (returned) as its main menu.
    TMenuItem* FormWithFileMenu(TForm*& form)
    {
        form = TComponent::Make<TForm>(nullptr);
        forms.push_back(form);
        form->SetBounds(150, 120, 300, 200);
        auto* menu = TComponent::Make<TMainMenu>(form);
        auto* top = TComponent::Make<TMenuItem>(form);
        top->SetCaption("File");
        menu->Items()->Add(top);
        form->SetMenu(menu);
        return top;
    }

    // Waits for the manager's timer to apply a change.
    bool Applied(int expected)
    {
        return Pump([&] { return changes >= expected; }, 3000);
    }

    TComponent components{nullptr};
    std::vector<HWND> windows;
    std::vector<TForm*> forms;
    int changes = 0;
};

}  // namespace

TEST_F(SkinManager, TheFirstComponentCreatesTheManagerAndEveryWindowIsSkinnedAtItsFirstActivation)
{
    ASSERT_EQ(SkinManage, nullptr);
    TSkinData& data = Component(sfMainform);
    ASSERT_NE(SkinManage, nullptr);
    EXPECT_EQ(SkinManage->FSkinDatas, std::vector<TSkinData*>{&data});
    EXPECT_TRUE(SkinManage->FActive) << "switched on at once, before any activation";
    EXPECT_EQ(SkinManage->FStartCount, 0);
    EXPECT_NE(WinVersion, 0u);

    const HWND window = Window();
    EXPECT_EQ(SkinManage->FStartCount, 1);
    EXPECT_TRUE(Skinned(window));
    EXPECT_TRUE(Skinned(Form()->Handle()));
    EXPECT_EQ(SkinManage->FFormSkins.size(), 2u);
    EXPECT_EQ(changes, 0) << "no timer was needed";

    // A destroyed window's skin is freed at the next look at the list; a freed form takes its
    // skin with it.
    TComponent::Free(forms.back());
    forms.pop_back();
    EXPECT_EQ(SkinManage->FFormSkins.size(), 1u);
    DestroyWindow(window);
    windows.clear();
    EXPECT_TRUE(Skinned(Window()));
    EXPECT_EQ(SkinManage->FFormSkins.size(), 1u);
}

TEST_F(SkinManager, Tag99FormsAndTheApplicationClassAreNeverSkinned)
{
    TSkinData& data = Component(sfMainform);
    data.SetDisableTag(5);
    TForm* excluded = Form(99);
    EXPECT_FALSE(Answers(excluded->Handle()));
    EXPECT_TRUE(Skinned(Form(5)->Handle())) << "DisableTag is for controls and menus";

    RegisterTestClass("TApplication", PlainProc, Arrow());
    const HWND application = Window("TApplication");
    EXPECT_FALSE(Answers(application));
    EXPECT_FALSE(SkinManage->SkinWindow(application));

    // Nor does the timer's pass over every form skin it.
    data.SetActive(false);
    ASSERT_TRUE(Applied(1));
    data.SetActive(true);
    ASSERT_TRUE(Applied(2));
    EXPECT_TRUE(Skinned(forms[1]->Handle()));
    EXPECT_FALSE(Answers(excluded->Handle()));
}

TEST_F(SkinManager, AWindowOfAnotherThreadOrAGoneOneIsNeverSkinned)
{
    Component(sfMainform);
    HWND foreign = nullptr;
    DWORD otherThread = 0;
    const HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread other([&] {
        foreign = Create("ManageTest", WS_OVERLAPPEDWINDOW);
        otherThread = GetCurrentThreadId();
        SetEvent(made);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        DestroyWindow(foreign);
    });
    WaitForSingleObject(made, 5000);
    CloseHandle(made);
    EXPECT_FALSE(SkinManage->SkinWindow(foreign));
    EXPECT_FALSE(Answers(foreign));
    PostThreadMessageA(otherThread, WM_QUIT, 0, 0);
    other.join();

    const HWND gone = Create("ManageTest", WS_OVERLAPPEDWINDOW);
    DestroyWindow(gone);
    EXPECT_FALSE(SkinManage->SkinWindow(gone));
    EXPECT_TRUE(SkinManage->FFormSkins.empty());
}

TEST_F(SkinManager, AZeroSizeWindowIsRefusedAndTriedAgainAtItsNextActivation)
{
    Component(sfMainform);
    // A pop-up: no minimum tracking size is forced on it.
    const HWND window = Create("ManageTest", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0);
    windows.push_back(window);
    Activate(window);
    EXPECT_EQ(SkinManage->FindFormSkin(window), nullptr);

    SetWindowPos(window, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Window();
    Activate(window);
    EXPECT_TRUE(Skinned(window));
}

TEST_F(SkinManager, ASizeGripIsRefusedOnlyDirectlyInsideASkinnedWindow)
{
    Component(sfMainform);
    const HWND skinned = Window();
    ASSERT_TRUE(Skinned(skinned));
    const auto grip = [](HWND parent, DWORD style) {
        return CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | style, 0, 0, 16, 16, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    EXPECT_EQ(grip(skinned, SBS_SIZEGRIP), nullptr);
    EXPECT_NE(grip(skinned, SBS_HORZ), nullptr);

    SkinManage->FActive = false;
    const HWND plain = Window();
    EXPECT_NE(grip(plain, SBS_SIZEGRIP), nullptr);
    // Inside a child of the skinned window, the grip is the child's.
    const HWND child = CreateWindowExA(0, "ManageTest", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, skinned, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    EXPECT_NE(grip(child, SBS_SIZEGRIP), nullptr);
}

TEST_F(SkinManager, EmbeddedWindowsAreNeverSkinnedMdiChildrenAre)
{
    TSkinData& data = Component(sfMainform);
    const HWND host = Window();
    const HWND embedded = CreateWindowExA(0, "ManageTest", "Embedded", WS_CHILD | WS_CAPTION | WS_VISIBLE, 10, 10,
                                          200, 150, host, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_FALSE(SkinManage->SkinWindow(embedded));
    EXPECT_FALSE(Answers(embedded));

    // A form put inside another window: not by the timer either.
    TForm* form = Form();
    ASSERT_TRUE(Skinned(form->Handle()));
    data.SetActive(false);
    ASSERT_TRUE(Applied(1));
    SetWindowLongA(form->Handle(), GWL_STYLE, GetWindowLongA(form->Handle(), GWL_STYLE) | WS_CHILD);
    SetParent(form->Handle(), host);
    data.SetActive(true);
    ASSERT_TRUE(Applied(2));
    EXPECT_FALSE(Answers(form->Handle()));

    // An MDI child is a child window of the MDI client.
    const HWND frame = Window();
    CLIENTCREATESTRUCT clientCreate{nullptr, 1000};
    const HWND client = CreateWindowExA(0, "MDICLIENT", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, frame, nullptr,
                                        GetModuleHandleA(nullptr), &clientCreate);
    MDICREATESTRUCTA create{"ManageTest", "Child", GetModuleHandleA(nullptr), 10, 10, 200, 150, 0, 0};
    const auto child = reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
    ASSERT_NE(child, nullptr);
    if (!SkinManage->FindFormSkin(child)) {
        EXPECT_TRUE(SkinManage->SkinWindow(child));
    }
    EXPECT_TRUE(Skinned(child));
}

namespace {

// The window shows the skin's frame: no native caption, and the skin's region.
bool SkinFramed(HWND window)
{
    const UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    return !(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) && GetWindowRgn(window, region.get()) != ERROR;
}

// The window shows the native frame: its caption, and no region.
bool NativeFramed(HWND window)
{
    const UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    return (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION &&
           GetWindowRgn(window, region.get()) == ERROR;
}

}  // namespace

TEST_F(SkinManager, AMaximisedMdiChildGivesEverySkinnedChildTheNativeFrameUntilItIsRestored)
{
    static const bool registered = RegisterTestClass("ManageMdiFrame", TestMdiFrameProc, Arrow()) &&
                                   RegisterTestClass("ManageMdiChild", TestMdiChildProc, Arrow());
    ASSERT_TRUE(registered);
    Component(sfMainform);
    // The frame has its client and its menu before the manager sees it, so that it is skinned as
    // an MDI frame with a skinned menu bar.
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "File");
    const HWND frame = CreateWindowExA(0, "ManageMdiFrame", "MDI frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 100,
                                       80, 640, 480, nullptr, menu, GetModuleHandleA(nullptr), nullptr);
    windows.push_back(frame);
    CLIENTCREATESTRUCT clientCreate{nullptr, 1000};
    RECT area;
    GetClientRect(frame, &area);
    TestMdiClient = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                      area.right, area.bottom, frame, nullptr, GetModuleHandleA(nullptr), &clientCreate);
    Activate(frame);
    ASSERT_TRUE(Skinned(frame));
    ASSERT_EQ(SkinManage->FindFormSkin(frame)->MDIKind(), mkFrame);

    std::vector<HWND> children;
    for (int i = 0; i < 2; ++i) {
        MDICREATESTRUCTA create{"ManageMdiChild", "Child", GetModuleHandleA(nullptr), 20 + 40 * i, 20, 260, 180, 0, 0};
        children.push_back(reinterpret_cast<HWND>(
            SendMessageA(TestMdiClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create))));
        ASSERT_NE(children.back(), nullptr);
        if (!SkinManage->FindFormSkin(children.back())) {
            ASSERT_TRUE(SkinManage->SkinWindow(children.back()));
        }
        ASSERT_TRUE(Skinned(children.back()));
        EXPECT_TRUE(SkinFramed(children.back()));
    }

    // The second child maximised: both children, the first behind it too, have the native frame.
    SendMessageA(TestMdiClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(children[1]), 0);
    ASSERT_TRUE(Pump([] { return SkinMdiState.FMdiMaximized; }, 3000));
    for (HWND child : children)
        EXPECT_TRUE(NativeFramed(child));

    // Restored: both have the skin's frame again.
    SendMessageA(TestMdiClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(children[1]), 0);
    ASSERT_TRUE(Pump([] { return !SkinMdiState.FMdiMaximized; }, 3000));
    for (HWND child : children)
        EXPECT_TRUE(SkinFramed(child));
}

TEST_F(SkinManager, ChoosesTheOwnersComponentTheDialogOneForMessageBoxesTheMainOneOrTheFirst)
{
    TSkinManage manager;
    auto make = [&](TSkinFormType kind, TComponent* owner) {
        auto* data = TComponent::Make<TSkinData>(owner);
        data->SetSkinFormtype(kind);
        return data;
    };
    TForm* ownerA = Form();
    TForm* ownerB = Form();
    const HWND dialog = CreateWindowExA(0, "#32770", "Box", WS_POPUP | WS_CAPTION, 0, 0, 200, 100, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
    windows.push_back(dialog);
    RegisterTestClass("TMessageForm", PlainProc, Arrow());
    const HWND messageForm = Create("TMessageForm", WS_POPUP | WS_CAPTION);
    windows.push_back(messageForm);
    const HWND other = Create("ManageTest", WS_OVERLAPPEDWINDOW);
    windows.push_back(other);

    EXPECT_EQ(manager.ChooseSkinData(other), nullptr);
    // Only this-form components: the owner's own, the last of them; any other window the first.
    TSkinData* onlyA = make(sfOnlyThisForm, ownerA);
    TSkinData* onlyB = make(sfOnlyThisForm, ownerB);
    TSkinData* onlyB2 = make(sfOnlyThisForm, ownerB);
    for (TSkinData* data : {onlyA, onlyB, onlyB2})
        manager.AddSkinData(data);
    EXPECT_EQ(manager.ChooseSkinData(ownerA->Handle()), onlyA);
    EXPECT_EQ(manager.ChooseSkinData(ownerB->Handle()), onlyB2);
    EXPECT_EQ(manager.ChooseSkinData(other), onlyA);
    EXPECT_EQ(manager.ChooseSkinData(dialog), onlyA);

    // A message box without a dialog component takes the main-form one, the last registered.
    TSkinData* main1 = make(sfMainform, &components);
    TSkinData* main2 = make(sfMainform, &components);
    manager.AddSkinData(main1);
    manager.AddSkinData(main2);
    EXPECT_EQ(manager.ChooseSkinData(dialog), main2);
    EXPECT_EQ(manager.ChooseSkinData(other), main2);
    EXPECT_EQ(manager.ChooseSkinData(ownerA->Handle()), onlyA);

    TSkinData* dialog1 = make(sfDialog, &components);
    TSkinData* dialog2 = make(sfDialog, &components);
    manager.AddSkinData(dialog1);
    manager.AddSkinData(dialog2);
    EXPECT_EQ(manager.ChooseSkinData(dialog), dialog2);
    EXPECT_EQ(manager.ChooseSkinData(messageForm), dialog2);
    EXPECT_EQ(manager.ChooseSkinData(other), main2);

    manager.RemoveSkinData(dialog2);
    EXPECT_EQ(manager.ChooseSkinData(dialog), dialog1);
    // The class filter is the first main-form component's.
    main1->SetSkinControls(main1->SkinControls() | SkinControlBit(xcFastReport));
    EXPECT_FALSE(manager.CanSkinClass("TfrPreview"));
    EXPECT_FALSE(manager.CanSkinClass("SysMonthCal32"));
    EXPECT_TRUE(manager.CanSkinClass("TForm1"));
    main2->OnFormSkin = [](TObject*, const std::string&, bool& doSkin) { doSkin = false; };
    EXPECT_TRUE(manager.CanSkinClass("TForm1"));
}

TEST_F(SkinManager, SetModeBeforeTheFirstActivationActsAtOnceAndStartsNoTimer)
{
    TSkinData& data = Component(sfMainform, false);
    ASSERT_FALSE(SkinManage->FActive);
    SkinManage->FPendingSkinData = &data;
    SkinManage->SetMode(smSkinOn, 50);
    EXPECT_TRUE(SkinManage->FActive);
    SkinManage->SetMode(smSkinOff, 50);
    EXPECT_FALSE(SkinManage->FActive);
    Wait(300);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(SkinManage->FPendingSkinData, &data);

    // After the first activation the same change waits for the timer.
    TForm* form = Form();
    EXPECT_EQ(SkinManage->FStartCount, 1);
    EXPECT_FALSE(Answers(form->Handle()));
    SkinManage->SetMode(smSkinOn, 50);
    EXPECT_FALSE(SkinManage->FActive);
    ASSERT_TRUE(Applied(1));
    EXPECT_TRUE(SkinManage->FActive);
    EXPECT_EQ(SkinManage->FPendingSkinData, nullptr);
    EXPECT_TRUE(Skinned(form->Handle()));
}

TEST_F(SkinManager, ATickWithNothingPendingDoesNothingAndTheTimerGoesOn)
{
    TSkinData& data = Component(sfMainform);
    TForm* form = Form();
    ASSERT_TRUE(Skinned(form->Handle()));
    SkinManage->SetMode(smSkinOff, 50);
    Wait(300);
    EXPECT_TRUE(SkinManage->FActive);
    EXPECT_TRUE(Skinned(form->Handle()));
    EXPECT_EQ(changes, 0);

    SkinManage->FPendingSkinData = &data;
    ASSERT_TRUE(Applied(1));
    EXPECT_FALSE(SkinManage->FActive);
    EXPECT_TRUE(Native(form->Handle()));
    Wait(300);
    EXPECT_EQ(changes, 1) << "one change, one tick";
}

TEST_F(SkinManager, AWindowThatAnswersTheQueryIsNeverSkinnedAgain)
{
    Component(sfMainform);
    RegisterTestClass("SaysSkinned", SaysSkinnedProc, Arrow());
    const HWND lookalike = Window("SaysSkinned");
    EXPECT_EQ(SkinManage->FindFormSkin(lookalike), nullptr);
    EXPECT_FALSE(SkinManage->SkinWindow(lookalike));

    const HWND window = Window();
    ASSERT_TRUE(Skinned(window));
    EXPECT_FALSE(SkinManage->SkinWindow(window));
    Window();
    Activate(window);
    EXPECT_EQ(SkinManage->FFormSkins.size(), 2u);
}

// What a timer saw inside a menu's loop: the menu window and whether it was skinned.
struct TMenuSeen {
    HWND window = nullptr;
    bool answered = false;
    size_t popupSkins = 0;
    bool answeredWhileOff = false;
    COLORREF corner = CLR_INVALID;  // the menu window's top-left pixel, in a picture of its own
    COLORREF cornerWhileOff = CLR_INVALID;
};
TMenuSeen menuSeen;

// The skin's menu background colour.
constexpr COLORREF kMenuBackground = RGB(240, 220, 200);

// The menu window's pixel at (1, 1) as it prints itself into a picture first filled with
// `ground`: whatever lies over it on the display, and only what it draws itself.
COLORREF Corner(HWND window, COLORREF ground)
{
    RECT r;
    GetWindowRect(window, &r);
    TBitmap picture(r.right - r.left, r.bottom - r.top, TPixelFormat::pf32bit);
    HDC dc = picture.Canvas().Handle();
    const UniqueBrush brush(CreateSolidBrush(ground));
    const RECT all{0, 0, r.right - r.left, r.bottom - r.top};
    FillRect(dc, &all, brush.get());
    PrintWindow(window, dc, 0);
    return GetPixel(dc, 1, 1);
}

void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    const HWND menu = ShownMenuWindow();
    if (!menu)
        return;
    KillTimer(nullptr, timer);
    menuSeen.window = menu;
    menuSeen.answered = Answers(menu);
    menuSeen.popupSkins = SkinManage->FPopupSkins.size();
    menuSeen.corner = Corner(menu, RGB(0, 0, 0));
    const bool active = SkinManage->FActive;
    SkinManage->FActive = false;
    menuSeen.answeredWhileOff = Answers(menu);
    menuSeen.cornerWhileOff = Corner(menu, kMenuBackground);
    SkinManage->FActive = active;
    EndMenu();
}

TMenuSeen TrackMenu(HWND owner)
{
    menuSeen = {};
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "Item");
    SetTimer(nullptr, 0, 100, LookAtMenu);
    TrackPopupMenu(menu, TPM_RETURNCMD, 200, 200, 0, owner, nullptr);
    DestroyMenu(menu);
    return menuSeen;
}

TEST_F(SkinManager, MenuWindowsHaveAPopupMenuSkinFromTheirCreationToTheirDestruction)
{
    TSkinData& data = Component(sfMainform);
    data.SetSkinFile(SecondSkinFile());  // its menu background is one flat colour
    const HWND owner = Window();
    TMenuSeen seen = TrackMenu(owner);
    ASSERT_NE(seen.window, nullptr);
    EXPECT_TRUE(seen.answered);
    EXPECT_EQ(seen.popupSkins, 1u);
    EXPECT_EQ(seen.corner, kMenuBackground);
    EXPECT_TRUE(seen.answeredWhileOff) << "switched off, it still answers";
    EXPECT_NE(seen.cornerWhileOff, kMenuBackground) << "and draws itself";
    EXPECT_TRUE(SkinManage->FPopupSkins.empty()) << "dropped when the menu window went";

    // Not while skinning is off, nor from a component without the frame skin.
    SkinManage->FActive = false;
    seen = TrackMenu(owner);
    EXPECT_FALSE(seen.answered);
    EXPECT_EQ(seen.popupSkins, 0u);
    SkinManage->FActive = true;
    data.SetSkinControls(data.SkinControls() & ~SkinControlBit(xcMainMenu));
    seen = TrackMenu(owner);
    EXPECT_FALSE(seen.answered);
    EXPECT_EQ(seen.popupSkins, 0u);
}

TEST_F(SkinManager, AnOnlyThisFormComponentSwitchedOffStopsAllButUnskinsOneWindow)
{
    TForm* owner = Form();
    TSkinData& data = Component(sfOnlyThisForm, false, true, owner);
    EXPECT_TRUE(SkinManage->FActive);
    EXPECT_EQ(SkinManage->FStartCount, 1) << "counted for the component: changes wait for the timer";
    EXPECT_TRUE(Skinned(owner->Handle())) << "its owner is skinned at once";
    // Such a component installs no hook. Offered a window (as an MDI frame offers a new child),
    // the manager gives any window the first registered component when no other is there.
    TForm* other = Form();
    const HWND bare = Window();
    EXPECT_FALSE(Answers(other->Handle()));
    ASSERT_TRUE(SkinManage->SkinWindow(other->Handle()));
    ASSERT_TRUE(SkinManage->SkinWindow(bare));
    ASSERT_TRUE(Skinned(other->Handle()));
    ASSERT_TRUE(Skinned(bare));

    data.SetActive(true);
    EXPECT_EQ(SkinManage->FPendingSkinData, &data);
    ASSERT_TRUE(Applied(1));
    data.SetActive(false);
    ASSERT_TRUE(Applied(2));
    EXPECT_FALSE(SkinManage->FActive);
    EXPECT_TRUE(Native(bare)) << "the last skin of the component";
    EXPECT_TRUE(Skinned(owner->Handle()));
    EXPECT_TRUE(Skinned(other->Handle()));

    // Switched on again, the timer offers its owner only: not a form shown while it was off.
    TForm* late = Form();
    EXPECT_FALSE(Answers(late->Handle()));
    data.SetActive(true);
    ASSERT_TRUE(Applied(3));
    EXPECT_TRUE(SkinManage->FActive);
    EXPECT_FALSE(Answers(late->Handle()));
    EXPECT_FALSE(Answers(bare));
}

TEST_F(SkinManager, ActiveAndSkinFileAskTheManagerOnlyForALoadedSkinAndARealChange)
{
    TSkinData& unloaded = Component(sfMainform, false, false);
    TForm* form = Form();
    unloaded.SetActive(true);
    EXPECT_TRUE(unloaded.Active());
    Wait(300);
    EXPECT_EQ(SkinManage->FPendingSkinData, nullptr);
    EXPECT_FALSE(SkinManage->FActive);
    EXPECT_EQ(changes, 0);

    FreeSkinManage();
    TSkinData& data = Component(sfMainform);
    Window();
    Activate(form->Handle());
    ASSERT_TRUE(Skinned(form->Handle()));
    // The same value again is no change: the manager is not asked a second time.
    data.SetActive(false);
    ASSERT_TRUE(Applied(1));
    data.SetActive(false);
    EXPECT_EQ(SkinManage->FPendingSkinData, nullptr);
    Wait(300);
    EXPECT_EQ(changes, 1);

    // A skin file that does not exist leaves the component not loaded: it skins nothing more.
    data.SetActive(true);
    ASSERT_TRUE(Applied(2));
    ASSERT_TRUE(Skinned(form->Handle()));
    data.SetSkinFile("C:\\no such folder\\no.skin");
    EXPECT_FALSE(data.FSkinLoaded);
    EXPECT_FALSE(Answers(Window()));
}

TEST_F(SkinManager, AStoredSkinOfLengthZeroLeavesTheComponentOffAndEveryWindowNative)
{
    auto& root = *TComponent::Make<TForm>(&components);
    const std::string layout = "TForm Root {\n  TSkinData SkinData1 {\n    Active = True\n"
                               "    SkinFormtype = sfMainform\n    SkinStream = file \"empty.skin\"\n  }\n}\n";
    const auto readFile = [](const std::string&) { return std::vector<uint8_t>(4, 0); };
    ApplyLayout(root, ParseLayout(layout, "Root", readFile, Utf8ToAnsi), "Root");
    auto* data = dynamic_cast<TSkinData*>(root.FindComponent("SkinData1"));
    ASSERT_NE(data, nullptr);
    EXPECT_FALSE(data->Active());
    ASSERT_NE(SkinManage, nullptr);
    EXPECT_EQ(SkinManage->FSkinDatas, std::vector<TSkinData*>{data});
    EXPECT_FALSE(SkinManage->FActive);
    root.SetBounds(100, 100, 300, 200);
    root.Show();
    Wait(100);
    EXPECT_FALSE(Answers(root.Handle()));
    EXPECT_FALSE(Answers(Window()));
}

TEST_F(SkinManager, OnOffAndAChangedSkinThroughTheTimer)
{
    TSkinData& data = Component(sfMainform);
    TForm* form = nullptr;
    HWND bare = nullptr;
    ASSERT_NO_FATAL_FAILURE(SkinnedFormAndWindow(form, bare));
    TWinSkinForm* formSkin = SkinManage->FindFormSkin(form->Handle());
    const int ownTop = formSkin->FrameTop();

    // Reload: the second skin's frame, on every window of the component.
    data.SetSkinFile(SecondSkinFile());
    ASSERT_TRUE(data.FSkinLoaded);
    ASSERT_TRUE(Applied(1));
    const int secondTop = data.Top.Image.Height() / data.Top.FrameCount;
    ASSERT_NE(secondTop, ownTop);
    for (HWND window : {form->Handle(), bare}) {
        TWinSkinForm* skin = SkinManage->FindFormSkin(window);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->FrameTop(), secondTop);
        EXPECT_EQ(skin->SysButtons().size(), data.FTitleButtons.size());
        EXPECT_EQ(skin->SkinState(), fssSkinned);
    }
    EXPECT_EQ(SkinManage->FindFormSkin(form->Handle()), formSkin) << "the same skin, re-applied";

    // Off: every window is given back.
    data.SetActive(false);
    ASSERT_TRUE(Applied(2));
    EXPECT_TRUE(SkinManage->FFormSkins.empty());
    EXPECT_TRUE(Native(form->Handle()));
    EXPECT_TRUE(Native(bare));

    // On: the timer skins every form; other windows at their next activation.
    data.SetActive(true);
    ASSERT_TRUE(Applied(3));
    EXPECT_TRUE(Skinned(form->Handle()));
    // Another window first: the bare one may still be the active window, and activating it again
    // would be no activation.
    Window();
    Activate(bare);
    ASSERT_TRUE(Skinned(bare));
    EXPECT_EQ(SkinManage->FindFormSkin(bare)->FrameTop(), secondTop);
}

// Mended: a component freed while windows are drawn from its skin, or while it waits for the
// timer, left the manager pointing at it.
TEST_F(SkinManager, AComponentFreedGivesBackItsWindowsAndForgetsItsPendingChange)
{
    TSkinData& data = Component(sfMainform);
    TSkinData& other = Component(sfDialog);
    TForm* form = nullptr;
    HWND bare = nullptr;
    ASSERT_NO_FATAL_FAILURE(SkinnedFormAndWindow(form, bare));
    data.SetActive(false);
    ASSERT_EQ(SkinManage->FPendingSkinData, &data);

    TComponent::Free(&data);
    EXPECT_EQ(SkinManage->FPendingSkinData, nullptr);
    EXPECT_EQ(SkinManage->FSkinDatas, std::vector<TSkinData*>{&other});
    EXPECT_TRUE(SkinManage->FFormSkins.empty());
    EXPECT_TRUE(Native(form->Handle()));
    EXPECT_TRUE(Native(bare));
    Wait(400);
    EXPECT_TRUE(SkinManage->FActive) << "the change never came";
}

TEST_F(SkinManager, AWindowWithoutAnIconShowsAStoredIconBeforeItsClassIcon)
{
    // Nothing is switched on, so nothing skins the window but the form skin made here.
    TSkinData& first = Component(sfMainform, false);
    TSkinData& second = Component(sfMainform, false);
    TSkinData& dialog = Component(sfDialog, false);
    TSkinData& own = Component(sfMainform, false);
    auto store = [](TSkinData& data, TColor colour) {
        data.FIconImage.SetSize(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
        data.FIconImage.Canvas().Brush().SetColor(colour);
        data.FIconImage.Canvas().FillRect(Rect(0, 0, data.FIconImage.Width(), data.FIconImage.Height()));
    };
    store(first, clRed);
    store(second, clLime);
    store(dialog, clBlue);

    WNDCLASSA wc{};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.lpszClassName = "IconTest";
    RegisterClassA(&wc);
    windows.push_back(Create("IconTest", WS_OVERLAPPEDWINDOW));
    auto& skin = *TComponent::Make<TWinSkinForm>(&components);
    TFormSkinTesting::Aim(skin, &own, nullptr, windows.back());
    TBitmap icon;
    auto centre = [&] {
        skin.GetWindowIcon(icon);
        return icon.Canvas().Pixel(icon.Width() / 2, icon.Height() / 2);
    };
    // The last main-form component with a stored icon; a dialog component's does not count.
    EXPECT_EQ(centre(), clLime);
    // The window's own component's stored icon comes first.
    store(own, clYellow);
    EXPECT_EQ(centre(), clYellow);
    // With none stored anywhere, the class's icon.
    TBitmap classIcon, ownIcon;
    SmallIconPicture(wc.hIcon, classIcon);
    HICON question = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION));
    SmallIconPicture(question, ownIcon);
    ASSERT_FALSE(SamePicture(classIcon, ownIcon)) << "the two icons must tell each ownIcon apart";
    for (TSkinData* data : {&first, &second, &dialog, &own})
        data->FIconImage.SetSize(0, 0);
    skin.GetWindowIcon(icon);
    EXPECT_TRUE(SamePicture(icon, classIcon));
    // The window's own icon before everything.
    store(second, clLime);
    SendMessageA(skin.Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(question));
    skin.GetWindowIcon(icon);
    EXPECT_TRUE(SamePicture(icon, ownIcon));
}

// Mended: a skin read into a component that already skins windows freed the caption-button
// records their form skins pointed to, and nothing gave them new ones.
TEST_F(SkinManager, ASkinReadIntoAComponentThatSkinsWindowsLeavesNoneHoldingItsOldButtons)
{
    TSkinData& data = Component(sfMainform);
    TForm* form = nullptr;
    HWND bare = nullptr;
    ASSERT_NO_FATAL_FAILURE(SkinnedFormAndWindow(form, bare));
    ASSERT_FALSE(SkinManage->FindFormSkin(bare)->SysButtons().empty());
    const auto holdsOnlyLiveButtons = [&data](HWND window) {
        for (const auto& button : SkinManage->FindFormSkin(window)->SysButtons())
            if (std::none_of(data.FTitleButtons.begin(), data.FTitleButtons.end(),
                             [&](const auto& record) { return record.get() == button->FSkinButton; }))
                return false;
        return true;
    };

    // The old records are kept alive here, away from the component: no new record can take the
    // address of one a window may still hold, so an address tells old from new.
    const std::vector<std::unique_ptr<TDataSkinSysButton>> old = std::move(data.FTitleButtons);
    data.FTitleButtons.clear();
    LoadSkinFile(data, SecondSkinFile());
    for (HWND window : {form->Handle(), bare})
        EXPECT_TRUE(holdsOnlyLiveButtons(window));
    ASSERT_TRUE(Applied(1)) << "the new skin is re-applied";
    const int secondTop = data.Top.Image.Height() / data.Top.FrameCount;
    for (HWND window : {form->Handle(), bare}) {
        TWinSkinForm* skin = SkinManage->FindFormSkin(window);
        EXPECT_EQ(skin->FrameTop(), secondTop);
        EXPECT_EQ(skin->SysButtons().size(), data.FTitleButtons.size());
        EXPECT_TRUE(holdsOnlyLiveButtons(window));
    }
}

// Mended: a reload freed the caption buttons of every component's windows and rebuilt only the
// reloaded component's; a stream read into a live form freed its windows' buttons and asked
// for no reload.
TEST_F(SkinManager, AReloadRebuildsTheCaptionButtonsOfItsOwnWindowsAndNoOthers)
{
    TSkinData& data = Component(sfMainform);
    TForm* form = nullptr;
    HWND bare = nullptr;
    ASSERT_NO_FATAL_FAILURE(SkinnedFormAndWindow(form, bare));
    auto* owner = TComponent::Make<TForm>(nullptr);
    forms.push_back(owner);
    owner->SetBounds(200, 160, 300, 200);
    TSkinData& only = Component(sfOnlyThisForm, true, true, owner);
    owner->Show();
    ASSERT_TRUE(Skinned(owner->Handle()));
    ASSERT_EQ(SkinManage->FindFormSkin(owner->Handle())->SkinData(), &only);
    const auto buttons = [](HWND window) { return SkinManage->FindFormSkin(window)->SysButtons().size(); };
    ASSERT_GT(only.FTitleButtons.size(), 0u);
    ASSERT_EQ(buttons(owner->Handle()), only.FTitleButtons.size());

    data.SetSkinFile(SecondSkinFile());
    EXPECT_EQ(buttons(owner->Handle()), only.FTitleButtons.size()) << "another component's window";
    ASSERT_TRUE(Applied(1));
    EXPECT_EQ(buttons(owner->Handle()), only.FTitleButtons.size());
    for (HWND window : {form->Handle(), bare})
        EXPECT_EQ(buttons(window), data.FTitleButtons.size());

    // Read while the form's layout is being read into it: reloaded all the same.
    only.SetState(csReading, true);
    LoadSkinFile(only, SecondSkinFile());
    only.SetState(csReading, false);
    ASSERT_TRUE(Applied(2));
    EXPECT_EQ(buttons(owner->Handle()), only.FTitleButtons.size());
    EXPECT_EQ(buttons(bare), data.FTitleButtons.size());
}

// A parse that stops part-way (records half replaced) gives every window drawn from the skin
// its own frame back and tells the caller.
TEST_F(SkinManager, AParseThatStopsPartWayGivesEveryWindowDrawnFromTheSkinItsOwnFrame)
{
    TSkinData& data = Component(sfMainform);
    TForm* form = nullptr;
    HWND bare = nullptr;
    ASSERT_NO_FATAL_FAILURE(SkinnedFormAndWindow(form, bare));
    failParseOf = &data;
    EXPECT_THROW(LoadSkinFile(data, SecondSkinFile()), std::bad_alloc);
    failParseOf = nullptr;
    EXPECT_FALSE(data.FSkinLoaded);
    for (HWND window : {form->Handle(), bare})
        EXPECT_TRUE(Native(window));
}

// Mended: after a skin file that could not be used, the reload still ran and left every window
// its old frame without caption buttons.
class UnusableSkinFile : public SkinManager, public testing::WithParamInterface<std::vector<uint8_t>> {};

TEST_P(UnusableSkinFile, LeavesEveryWindowThePreviousSkinWholeAndSaysWhy)
{
    TSkinData& data = Component(sfMainform);
    TForm* form = nullptr;
    HWND bare = nullptr;
    ASSERT_NO_FATAL_FAILURE(SkinnedFormAndWindow(form, bare));
    const int top = SkinManage->FindFormSkin(bare)->FrameTop();
    const TTempCurrentDir dir;
    const std::vector<uint8_t>& bytes = GetParam();
    dir.Write("bad.skin", std::string(bytes.begin(), bytes.end()));
    skinMessages.clear();
    bool raised = false;
    try {
        data.SetSkinFile(dir.Path() + "\\bad.skin");
    } catch (const Exception&) {
        raised = true;
    }
    EXPECT_TRUE(raised || skinMessages.size() == 1) << "the caller learns why";
    EXPECT_FALSE(data.FSkinLoaded);
    Wait(300);  // the manager's reload would have come by now
    for (HWND window : {form->Handle(), bare}) {
        TWinSkinForm* skin = SkinManage->FindFormSkin(window);
        ASSERT_NE(skin, nullptr);
        EXPECT_EQ(skin->FrameTop(), top);
        ASSERT_EQ(skin->SysButtons().size(), data.FTitleButtons.size()) << "a frame with its buttons";
        for (size_t i = 0; i < skin->SysButtons().size(); ++i)
            EXPECT_EQ(skin->SysButtons()[i]->FSkinButton, data.FTitleButtons[i].get());
    }
}

// A container of another version (nothing unpacks), and a stream stating more than it holds.
INSTANTIATE_TEST_SUITE_P(OtherVersionAndDamaged, UnusableSkinFile,
                         testing::Values(std::vector<uint8_t>{0, 0, 0, 0},
                                         std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 1, 2, 3}));

TEST_F(SkinManager, TheManagerFreedFirstGivesEveryWindowBackAndUnhooks)
{
    Component(sfMainform);
    TForm* form = nullptr;
    HWND bare = nullptr;
    ASSERT_NO_FATAL_FAILURE(SkinnedFormAndWindow(form, bare));

    FreeSkinManage();
    EXPECT_EQ(SkinManage, nullptr);
    for (HWND window : {form->Handle(), bare}) {
        EXPECT_FALSE(Answers(window));
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    }
    // No hook is left behind: one would report the next activation to the next manager.
    TSkinManage next;
    SkinManage = &next;
    windows.push_back(Activate(Create("ManageTest", WS_OVERLAPPEDWINDOW)));
    SkinManage = nullptr;
    EXPECT_EQ(next.FStartCount, 0);
    // The forms and the component go afterwards, as at the application's end.
    TComponent::Free(form);
    forms.clear();
}

namespace {

// Sampled from inside the menu loop once the form skin has gone.
HWND loopWindow;
bool loopSawSkinGone;
TWinSkinForm* loopFormAfter;

void CALLBACK SampleLoop(HWND, UINT, UINT_PTR, DWORD)
{
    if (SkinManage && !loopSawSkinGone && !SkinManage->FindFormSkin(loopWindow)) {
        loopSawSkinGone = true;
        loopFormAfter = MenuLoop.MenuLoopForm;
    }
}

}  // namespace

// Mended: a drop-down's menu loop dispatches the manager's timer, which freed the form skin
// inside the loop; the loop and its hook went on with the freed skin.
TEST_F(SkinManager, SkinningSwitchedOffWhileADropDownIsOpenEndsTheMenuAndForgetsTheSkin)
{
    TSkinData& data = Component(sfMainform);
    TForm* form = nullptr;
    TMenuItem* top = FormWithFileMenu(form);
    auto* leaf = TComponent::Make<TMenuItem>(form);
    leaf->SetCaption("Open");
    top->Add(leaf);
    form->Show();
    ASSERT_TRUE(Skinned(form->Handle()));
    TWinSkinForm* skin = SkinManage->FindFormSkin(form->Handle());
    ASSERT_TRUE(skin->SkinMenu());

    data.SetActive(false);  // applied by the timer, inside the loop below
    loopWindow = form->Handle();
    loopSawSkinGone = false;
    loopFormAfter = skin;
    const UINT_PTR sampler = SetTimer(nullptr, 0, 50, SampleLoop);
    const UINT_PTR closer = SetTimer(nullptr, 0, 5000, EndMenuNow);
    const DWORD start = GetTickCount();
    skin->TrackMenuButton(skin->SkinMenu()->FButtons[0].get());
    const DWORD took = GetTickCount() - start;
    KillTimer(nullptr, closer);
    KillTimer(nullptr, sampler);
    SampleLoop(nullptr, 0, 0, 0);  // the loop may have ended before the sampler came again
    ASSERT_TRUE(loopSawSkinGone);
    EXPECT_EQ(loopFormAfter, nullptr);
    EXPECT_LT(took, 5000u) << "the menu ended when its skin went";
    EXPECT_EQ(MenuLoop.MenuHook, nullptr);
    EXPECT_EQ(GetMenu(form->Handle()), form->Menu()->Handle());
}

// Taking the menu off a form and fitting its frame to the skin bring the client area back to its
// size: its controls are placed once, and none moves on the way.
TEST_F(SkinManager, AFormWithAMenuIsSkinnedWithoutItsControlsMovingOnTheWay)
{
    Component(sfMainform);
    TForm* form = nullptr;
    FormWithFileMenu(form);
    auto* bottom = TComponent::Make<TPanel>(form);
    bottom->SetParent(form);
    bottom->SetHeight(30);
    bottom->SetAlign(TAlign::alBottom);
    bottom->HandleNeeded();
    RECT client;
    GetClientRect(form->Handle(), &client);
    ASSERT_EQ(bottom->Top(), client.bottom - 30);

    int moves = 0;
    bottom->HookWindowProc([&moves](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_WINDOWPOSCHANGED &&
            !(reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags & SWP_NOMOVE))
            ++moves;
        next(message);
    });
    form->Show();
    ASSERT_TRUE(Skinned(form->Handle()));
    ASSERT_TRUE(SkinManage->FindFormSkin(form->Handle())->SkinMenu());
    RECT skinned;
    GetClientRect(form->Handle(), &skinned);
    EXPECT_EQ(skinned.right, client.right);
    EXPECT_EQ(skinned.bottom, client.bottom);
    EXPECT_EQ(bottom->Top(), client.bottom - 30);
    EXPECT_EQ(moves, 0);

    // Held only until the first fit: the form places its controls again afterwards.
    form->SetClientSize(client.right, client.bottom + 40);
    EXPECT_EQ(bottom->Top(), client.bottom + 10);
}

// The menu comes off inside the skinned frame, after the first fit: the client area never
// changes its size on the way, so nothing in it is moved on the screen and back.
TEST_F(SkinManager, AFormWithAMenuKeepsItsClientSizeWhileItIsSkinned)
{
    Component(sfMainform);
    TForm* form = nullptr;
    FormWithFileMenu(form);
    form->HandleNeeded();
    RECT client;
    GetClientRect(form->Handle(), &client);

    std::vector<POINT> sizes;
    form->HookWindowProc([&sizes](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_SIZE)
            sizes.push_back(POINT{LOWORD(message.LParam), HIWORD(message.LParam)});
        next(message);
    });
    form->Show();
    ASSERT_TRUE(Skinned(form->Handle()));
    ASSERT_TRUE(SkinManage->FindFormSkin(form->Handle())->SkinMenu());
    EXPECT_FALSE(GetMenu(form->Handle()));
    for (const POINT& size : sizes) {
        EXPECT_EQ(size.x, client.right);
        EXPECT_EQ(size.y, client.bottom);
    }
}

// A window's first fit comes after its activation: a window activated since keeps it.
TEST_F(SkinManager, TheFirstFitLeavesTheActivationToAWindowActivatedSince)
{
    Component(sfMainform);
    auto* first = TComponent::Make<TForm>(nullptr);
    forms.push_back(first);
    first->SetBounds(150, 120, 300, 200);
    auto* second = TComponent::Make<TForm>(nullptr);
    forms.push_back(second);
    second->SetBounds(200, 160, 300, 200);
    first->Show();  // skinned at its activation; its first fit waits in the queue
    // Counted inside the first window's fit only: when another program's window on the display
    // closes, the display's focus may pass to the first window, an activation the fit did not make.
    int activated = 0;
    first->HookWindowProc([&](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_ACTIVATE && LOWORD(message.WParam) != WA_INACTIVE) {
            const TWinSkinForm* skin = SkinManage ? SkinManage->FindFormSkin(first->Handle()) : nullptr;
            if (skin && skin->SkinState() == fssFitting)
                ++activated;
        }
        next(message);
    });
    second->Show();
    ASSERT_TRUE(Skinned(first->Handle()));
    ASSERT_TRUE(Skinned(second->Handle()));
    EXPECT_EQ(activated, 0);
}

namespace {

void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    EndMenu();
}

// The skin whose painters an item has, nullptr when it has none (or a drawer and a measurer of
// different skins).
TWinSkinForm* PainterSkin(const TMenuItem& item)
{
    const auto* drawer = item.OnDrawItem.target<TSkinItemDrawer>();
    const auto* measurer = item.OnMeasureItem.target<TSkinItemMeasurer>();
    return drawer && measurer && drawer->Skin == measurer->Skin ? drawer->Skin : nullptr;
}

}  // namespace

// Mended: a form skin freed with its window (or by the manager's end) left the form's pop-up
// items painted and measured by it, an item's own measurer was lost for good, and the window's
// next skin left the stale painters in place.
TEST_F(SkinManager, APopupMenusItemsArePaintedByTheFormsLiveSkinOnlyAndKeepTheirOwnMeasurer)
{
    Component(sfMainform);
    auto* form = TComponent::Make<TForm>(nullptr);
    forms.push_back(form);
    form->SetBounds(150, 120, 300, 200);
    auto* popup = TComponent::Make<TPopupMenu>(form);
    auto* plain = TComponent::Make<TMenuItem>(form);
    plain->SetCaption("Copy");
    popup->Items()->Add(plain);
    auto* measured = TComponent::Make<TMenuItem>(form);
    measured->SetCaption("Paste");
    int ownMeasures = 0;
    measured->OnMeasureItem = [&ownMeasures](TObject*, TCanvas&, int&, int&) { ++ownMeasures; };
    popup->Items()->Add(measured);
    const auto givenBack = [&] {
        return !plain->OnDrawItem && !plain->OnMeasureItem && !measured->OnDrawItem && measured->OnMeasureItem &&
               !measured->OnMeasureItem.target<TSkinItemMeasurer>();
    };

    form->Show();
    ASSERT_TRUE(Skinned(form->Handle()));
    TWinSkinForm* first = SkinManage->FindFormSkin(form->Handle());
    EXPECT_EQ(PainterSkin(*plain), first);
    EXPECT_EQ(PainterSkin(*measured), first);

    // The window destroyed; its skin is purged when the manager is offered the next window.
    DestroyWindow(form->Handle());
    Window();
    EXPECT_EQ(std::count_if(SkinManage->FFormSkins.begin(), SkinManage->FFormSkins.end(),
                            [form](const TWinSkinForm* skin) { return skin->Form() == form; }),
              0);
    EXPECT_TRUE(givenBack());
    EXPECT_FALSE(popup->OwnerDraw());
    // Owner-drawn by the application itself, the pop-up shows measured by the item's own.
    popup->SetOwnerDraw(true);
    SetTimer(nullptr, 0, 100, EndMenuSoon);
    popup->Popup(200, 200);
    EXPECT_GT(ownMeasures, 0) << "the item's own measurer measures it";
    popup->SetOwnerDraw(false);

    // Shown again with a new window: its new skin paints the items, until the manager ends.
    form->Hide();
    form->Show();
    ASSERT_TRUE(Skinned(form->Handle()));
    EXPECT_EQ(PainterSkin(*plain), SkinManage->FindFormSkin(form->Handle()));
    EXPECT_EQ(PainterSkin(*measured), SkinManage->FindFormSkin(form->Handle()));
    FreeSkinManage();
    EXPECT_TRUE(givenBack());
}

// Mended: the bar kept the form's main menu as it was at attach and read it once it was gone.
TEST_F(SkinManager, TheBarFollowsTheFormsMainMenuReplacedOrFreed)
{
    Component(sfMainform);
    TForm* form = nullptr;
    FormWithFileMenu(form);
    form->Show();
    ASSERT_TRUE(Skinned(form->Handle()));
    TWinSkinMenu& bar = *SkinManage->FindFormSkin(form->Handle())->SkinMenu();
    const auto captions = [&bar] {
        bar.BuildFromMainMenu();  // as when the last MDI child has gone
        std::vector<std::string> shown;
        for (const auto& button : bar.FButtons)
            shown.push_back(button->FCaption);
        return shown;
    };
    EXPECT_EQ(captions(), std::vector<std::string>{"File"});

    auto* other = TComponent::Make<TMainMenu>(form);
    auto* edit = TComponent::Make<TMenuItem>(form);
    edit->SetCaption("Edit");
    other->Items()->Add(edit);
    form->SetMenu(other);
    EXPECT_EQ(captions(), std::vector<std::string>{"Edit"});
    TComponent::Free(other);
    EXPECT_TRUE(captions().empty());
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
}

namespace {

// A form whose memory is never given back: once freed, any touch of it is recorded (and then
// reads zeros), so that a test sees a freed form used rather than hoping for a crash.
class TGuardedForm : public TForm {
public:
    using TForm::TForm;
    static void* operator new(size_t size)
    {
        guardedSize = size;
        guarded = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (!guarded)
            throw std::bad_alloc();
        return guarded;
    }
    static void operator delete(void* memory, size_t size)
    {
        std::memset(memory, 0, size);
        DWORD old = 0;
        VirtualProtect(memory, size, PAGE_NOACCESS, &old);
    }
    static LONG CALLBACK Watch(EXCEPTION_POINTERS* info)
    {
        const EXCEPTION_RECORD& record = *info->ExceptionRecord;
        const auto at = static_cast<uintptr_t>(record.ExceptionInformation[1]);
        const auto start = reinterpret_cast<uintptr_t>(guarded);
        if (record.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record.NumberParameters < 2 || !guarded ||
            at < start || at >= start + guardedSize)
            return EXCEPTION_CONTINUE_SEARCH;
        touched = true;
        DWORD old = 0;
        VirtualProtect(guarded, guardedSize, PAGE_READWRITE, &old);
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    static inline void* guarded = nullptr;
    static inline size_t guardedSize = 0;
    static inline bool touched = false;
};

}  // namespace

// Mended: the timer's pass over every form went on to a form freed while it skinned another.
TEST_F(SkinManager, ASkinningPassSkipsAFormFreedWhileItSkinsAnother)
{
    TSkinData& data = Component(sfMainform, false);
    auto* doomed = TComponent::Make<TGuardedForm>(nullptr);
    doomed->SetBounds(100, 100, 300, 200);
    doomed->Show();
    TForm* freeing = Form();  // later in the screen's list: the pass, last to first, comes to it first
    ASSERT_FALSE(Answers(freeing->Handle()));
    freeing->HookWindowProc([&doomed](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_SKINQUERY && doomed)
            TComponent::Free(std::exchange(doomed, nullptr));
        next(message);
    });
    void* watch = AddVectoredExceptionHandler(1, TGuardedForm::Watch);
    data.SetActive(true);
    const bool applied = Applied(1);
    RemoveVectoredExceptionHandler(watch);
    ASSERT_TRUE(applied);
    EXPECT_EQ(doomed, nullptr);
    EXPECT_FALSE(TGuardedForm::touched) << "the freed form was used";
    EXPECT_TRUE(Skinned(freeing->Handle()));
}

// The process ends cleanly with skinned windows open: at once through the platform, and in the
// orderly way, where the application's shutdown frees the manager before the forms.
TEST(SkinManagerExit, TheProcessEndsCleanlyWithSkinnedWindowsOpen)
{
    const auto skinEverything = [] {
        auto* data = TComponent::Make<TSkinData>(Application);
        data->SetState(csLoading | csReading, true);
        data->SetActive(true);
        LoadOwnSkin(*data);
        data->SetState(csReading, false);
        data->Loaded();
        auto* form = TComponent::Make<TForm>(Application);
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        Activate(Create("ManageTest", WS_OVERLAPPEDWINDOW));
        if (!Skinned(form->Handle()))
            fprintf(stderr, "not skinned\n");
    };
    EXPECT_EXIT(
        {
            skinEverything();
            ExitProcess(0);
        },
        testing::ExitedWithCode(0), "^$");
    EXPECT_EXIT(
        {
            skinEverything();
            exit(0);
        },
        testing::ExitedWithCode(0), "^$");
}
