// The gallery's shots: the client's windows, and windows of its own, skinned as the client skins
// them (its main window's component switched on, the skin manager skinning every window at its
// activation and every menu window at its creation). Each shot opens its windows, photographs
// them and closes them again; to add one, add a function to kShots. The gallery program
// (gallery_main.cpp) saves the pictures; tests run the same shots with cameras of their own.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Gallery.h"
#include "Index.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Tabs.h"
#include "U_About.h"
#include "Unit1.h"
#include "Unit7.h"
#include "WinSkinMenu.h"
#include "WindowTesting.h"
#include "dalishang.h"
#include "jiameng.h"
#include "new_sjzt.h"
#include "zxks.h"

void Settle()
{
    Wait(300);
}

// The window, redrawn whole, to the camera.
void Photograph(HWND w, const std::string& name)
{
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Settle();
    GalleryCamera.Photograph(w, name);
}

void PhotographWithMenu(HWND w, const std::string& name)
{
    GalleryCamera.PhotographWithMenu(w, name);
}

namespace {

// A small window elsewhere that takes the activation from the one photographed.
HWND OtherWindow()
{
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(w);
    Settle();
    return w;
}

TForm* MakeForm()
{
    auto* form = TComponent::Make<TForm>(Application);
    form->SetBounds(200, 140, 520, 340);
    form->SetCaption("司法考试专用训练题库");
    auto* label = TComponent::Make<TLabel>(form);
    label->SetParent(form);
    label->SetBounds(24, 24, 300, 20);
    label->SetCaption("每日一练：请选择本次练习的科目。");
    auto* button = TComponent::Make<TButton>(form);
    button->SetParent(form);
    button->SetBounds(24, 64, 96, 28);
    button->SetCaption("开始练习");
    return form;
}

void FormShots()
{
    TForm* form = MakeForm();
    form->Show();
    Settle();
    Photograph(form->Handle(), "form_active");
    HWND other = OtherWindow();
    Photograph(form->Handle(), "form_inactive");
    DestroyWindow(other);
    TComponent::Free(form);
}

HWND boxOwner;

BOOL CALLBACK IsBox(HWND w, LPARAM found)
{
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (std::string(cls) != "#32770" || !IsWindowVisible(w) || GetWindow(w, GW_OWNER) != boxOwner)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// The message box shown over boxOwner; another dialog of the process may be found first by class.
HWND FindBox()
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), IsBox, reinterpret_cast<LPARAM>(&box));
    return box;
}

// A message box is modal: it is photographed from a timer that runs in its own loop.
void CALLBACK PhotographBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindBox();
    if (!box || SendMessageA(box, WM_SKINQUERY, 0, 0) != 1)
        return;
    KillTimer(nullptr, timer);
    Settle();
    Photograph(box, "messagebox_active");
    HWND other = OtherWindow();
    Photograph(box, "messagebox_inactive");
    DestroyWindow(other);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void MessageBoxShots()
{
    TForm* form = MakeForm();
    form->Show();
    Settle();
    boxOwner = form->Handle();
    SetTimer(nullptr, 0, 100, PhotographBox);
    MessageBoxA(form->Handle(), "有新版本，请升级！", "考试软件", MB_OK | MB_ICONINFORMATION);
    TComponent::Free(form);
}

HWND menuForm;
std::string menuShot;

void CALLBACK PhotographMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    PhotographWithMenu(menuForm, menuShot);
    EndMenu();
}

// Each drop-down of a skinned form's menu bar open in turn, then the skinned system menu: each
// photographed from a timer inside the menu's own loop.
void PhotographMenus(TCustomForm* form, const std::string& name)
{
    menuForm = form->Handle();
    TWinSkinForm* formSkin = nullptr;
    for (int i = 0; i < form->ComponentCount() && !formSkin; ++i)
        formSkin = dynamic_cast<TWinSkinForm*>(form->Components(i));
    if (!formSkin || !formSkin->SkinMenu())
        throw std::runtime_error("the menu form was not skinned");
    RedrawWindow(menuForm, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    Settle();
    const auto& buttons = formSkin->SkinMenu()->FButtons;
    for (size_t i = 0; i < buttons.size(); ++i) {
        menuShot = name + "_" + std::to_string(i + 1);
        SetTimer(nullptr, 0, 400, PhotographMenu);
        formSkin->TrackMenuButton(buttons[i].get());
    }
    menuShot = name + "_system";
    RECT r;
    GetWindowRect(menuForm, &r);
    SetTimer(nullptr, 0, 400, PhotographMenu);
    formSkin->ShowSysMenu(TPoint{r.left + 160, r.top + 14});
}

void MenuShots()
{
    TForm* form = MakeForm();
    auto* menu = TComponent::Make<TMainMenu>(form);
    const auto add = [&](TMenuItem* parent, const char* caption) {
        auto* item = TComponent::Make<TMenuItem>(form);
        item->SetCaption(caption);
        parent->Add(item);
        return item;
    };
    // The main window's menu.
    TMenuItem* area = add(menu->Items(), "区域空间");
    TMenuItem* extend = add(area, "扩展区域");
    for (const char* c : {"全部隐藏", "隐藏标题导航条", "隐藏左侧分类", "隐藏题目列表"})
        add(extend, c);
    TMenuItem* restore = add(area, "恢复区域");
    for (const char* c : {"全部显示", "显示标题栏", "显示左侧分类", "显示题目列表"})
        add(restore, c);
    add(add(menu->Items(), "更新升级"), "更新");
    TMenuItem* contact = add(menu->Items(), "联系我们");
    for (const char* c : {"关于软件", "加盟我们", "代理产品"})
        add(contact, c);
    form->SetMenu(menu);
    form->Show();
    Settle();
    PhotographMenus(form, "menu");
    TComponent::Free(form);
}

// Every button kind in every state: one picture per state, and a bare window's buttons.
void ButtonShots()
{
    const char* const states[] = {"normal", "hot", "pressed", "focused", "disabled"};
    for (const char* state : states) {
        auto* form = TComponent::Make<TForm>(Application);
        form->SetBounds(200, 140, 470, 200);
        form->SetCaption(std::string("按钮：") + state);
        auto* push = TComponent::Make<TButton>(form);
        push->SetParent(form);
        push->SetBounds(16, 16, 96, 28);
        push->SetCaption("确定");
        auto* bit = TComponent::Make<TBitBtn>(form);
        bit->SetParent(form);
        bit->SetBounds(128, 16, 110, 28);
        bit->SetCaption("下一题");
        // Four glyphs: up, disabled, down, held, each a square on a magenta corner.
        TBitmap& glyph = bit->Glyph().Glyph;
        glyph.SetSize(64, 16);
        const TColor colours[] = {0x2060C0, 0x808080, 0x104090, 0x104090};
        for (int i = 0; i < 4; ++i) {
            glyph.Canvas().Brush().SetColor(clFuchsia);
            glyph.Canvas().FillRect(Rect(i * 16, 0, i * 16 + 16, 16));
            glyph.Canvas().Brush().SetColor(colours[i]);
            glyph.Canvas().FillRect(Rect(i * 16 + 3, 3, i * 16 + 13, 13));
        }
        bit->Glyph().NumGlyphs = 4;
        auto* speed = TComponent::Make<TSpeedButton>(form);
        speed->SetParent(form);
        speed->SetBounds(254, 16, 80, 28);
        speed->SetCaption("收藏");
        auto* bar = TComponent::Make<TToolBar>(form);
        bar->SetParent(form);
        bar->SetBounds(16, 64, 420, 30);
        bar->AddButton("上一题");
        bar->AddButton("交卷");
        form->Show();
        Settle();
        const std::string s = state;
        TWinControl* windowed[] = {push, bit};
        for (TWinControl* control : windowed) {
            if (s == "hot")
                SendMessageA(control->Handle(), CM_MOUSEENTER, 0, 0);
            else if (s == "pressed")
                SendMessageA(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
            else if (s == "disabled")
                control->SetEnabled(false);
        }
        if (s == "focused")
            SetFocus(bit->Handle());
        if (s == "hot")
            speed->Perform(CM_MOUSEENTER);
        else if (s == "pressed")
            speed->SetDown(true);
        else if (s == "disabled")
            speed->SetEnabled(false);
        SendMessageA(bar->Handle(), TB_SETSTATE, 1,
                     s == "pressed" ? TBSTATE_ENABLED | TBSTATE_PRESSED : s == "disabled" ? 0 : TBSTATE_ENABLED);
        Photograph(form->Handle(), "buttons_" + s);
        TComponent::Free(form);
    }
}

// The small controls, the status bar and the boxes, enabled and disabled; then the update
// window halfway through a check.
void SmallControlShots()
{
    for (const bool enabled : {true, false}) {
        auto* form = TComponent::Make<TForm>(Application);
        form->SetBounds(160, 100, 560, 400);
        form->SetCaption(enabled ? "小控件" : "小控件：禁用");
        std::vector<TWinControl*> controls;
        auto place = [&](auto* control, TWinControl* parent, int left, int top, int width, int height) {
            control->SetParent(parent);
            control->SetBounds(left, top, width, height);
            controls.push_back(control);
            return control;
        };
        auto* group = place(TComponent::Make<TGroupBox>(form), form, 12, 8, 250, 130);
        group->SetCaption("练习模式");
        const char* const captions[] = {"未选", "已选", "不确定"};
        for (int i = 0; i < 3; ++i) {
            auto* check = place(TComponent::Make<TCheckBox>(form), group, 12, 22 + 34 * i, 100, 24);
            check->SetCaption(captions[i]);
            SendMessageA(check->Handle(), BM_SETSTYLE, BS_AUTO3STATE, FALSE);
            SendMessageA(check->Handle(), BM_SETCHECK, i, 0);
            auto* radio = place(TComponent::Make<TRadioButton>(form), group, 130, 22 + 34 * i, 100, 24);
            radio->SetCaption(i == 1 ? "单选：选中" : "单选");
            SendMessageA(radio->Handle(), BM_SETCHECK, i == 1, 0);
        }
        auto* panel = place(TComponent::Make<TPanel>(form), form, 276, 8, 260, 130);
        panel->SetCaption("面板");
        place(TComponent::Make<TTrackBar>(form), panel, 8, 8, 200, 40);
        auto* vertical = TComponent::Make<TTrackBar>(form);
        vertical->SetVertical(true);
        place(vertical, panel, 214, 8, 40, 114);
        place(TComponent::Make<TUpDown>(form), panel, 8, 60, 18, 40);
        auto* horizontal = TComponent::Make<TUpDown>(form);
        place(horizontal, panel, 40, 70, 40, 20);
        SetWindowLongA(horizontal->Handle(), GWL_STYLE, GetWindowLongA(horizontal->Handle(), GWL_STYLE) | UDS_HORZ);
        auto* progress = place(TComponent::Make<TProgressBar>(form), form, 12, 150, 300, 20);
        progress->SetPosition(60);
        auto* upright = place(TComponent::Make<TProgressBar>(form), form, 330, 150, 20, 120);
        SetWindowLongA(upright->Handle(), GWL_STYLE, GetWindowLongA(upright->Handle(), GWL_STYLE) | PBS_VERTICAL);
        upright->SetPosition(40);
        auto* edit = place(TComponent::Make<TEdit>(form), form, 12, 184, 140, 24);
        edit->SetText("2026");
        CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 118, 0, 18, 20, edit->Handle(), nullptr,
                        GetModuleHandleA(nullptr), nullptr);
        auto* combo = place(TComponent::Make<TComboBox>(form), form, 170, 184, 140, 120);
        SendMessageA(combo->Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("刑法"));
        SendMessageA(combo->Handle(), CB_SETCURSEL, 0, 0);
        auto* bar = TComponent::Make<TStatusBar>(form);
        bar->SetParent(form);
        controls.push_back(bar);
        bar->SetPanels({{"已答 12 题", 120, TAlignment::taLeftJustify, TStatusPanelBevel::pbLowered, false},
                        {"居中", 120, TAlignment::taCenter, TStatusPanelBevel::pbRaised, false},
                        {"右起", 120, TAlignment::taLeftJustify, TStatusPanelBevel::pbNone, true}});
        if (!enabled)
            for (TWinControl* control : controls)
                control->SetEnabled(false);
        form->Show();
        Settle();
        Photograph(form->Handle(), enabled ? "small_controls" : "small_controls_disabled");
        TComponent::Free(form);
    }

    // The update window as a check reports its work.
    Form7->Show();
    Settle();
    Form7->IdHTTP1WorkBegin(Form7->IdHTTP1, TWorkMode::wmRead, 200);
    Form7->IdHTTP1Work(Form7->IdHTTP1, TWorkMode::wmRead, 120);
    Photograph(Form7->Handle(), "client_update_checking");
    Form7->Hide();
}

}  // namespace

void ClientShots()
{
    const std::pair<TCustomForm*, const char*> windows[] = {
        {Form10, "client_main"}, {Form1, "client_login"}, {xzks, "client_exam_assembly"},
        {Form7, "client_update"}, {About, "client_about"}, {Tjiameng, "client_join_us"},
        {TDailishang, "client_dealers"}};
    for (const auto& [form, name] : windows) {
        form->Show();
        Settle();
        Photograph(form->Handle(), std::string(name) + "_active");
        HWND other = OtherWindow();
        Photograph(form->Handle(), std::string(name) + "_inactive");
        DestroyWindow(other);
        if (form->Menu())
            PhotographMenus(form, std::string(name) + "_menu");
        form->Hide();
    }
}

// Tab controls in the four positions, and one whose tabs overflow into its scroller, on a
// window without a framework object (its children are skinned by window class).
void TabShots()
{
    HWND window = CreateWindowExA(0, "#32770", "选项卡", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 100, 560, 470, nullptr,
                                  nullptr, nullptr, nullptr);
    const DWORD styles[] = {0, TCS_BOTTOM, TCS_VERTICAL | TCS_MULTILINE, TCS_VERTICAL | TCS_BOTTOM | TCS_MULTILINE, 0};
    const RECT places[] = {{10, 10, 260, 150}, {280, 10, 530, 150}, {10, 160, 260, 300}, {280, 160, 530, 300},
                           {10, 310, 330, 420}};
    for (int k = 0; k < 5; ++k) {
        HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | styles[k], places[k].left,
                                    places[k].top, places[k].right - places[k].left, places[k].bottom - places[k].top,
                                    window, nullptr, nullptr, nullptr);
        SendMessageA(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
        const int count = k == 4 ? 9 : 3;
        for (int i = 0; i < count; ++i) {
            std::string caption = (k == 4 ? "科目" : "第") + std::to_string(i + 1) + (k == 4 ? "" : "章");
            TCITEMA item{};
            item.mask = TCIF_TEXT;
            item.pszText = caption.data();
            SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        }
        SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
    }
    SetForegroundWindow(window);
    Settle();
    Photograph(window, "tabs_positions");
    DestroyWindow(window);
}

// A memo and a list view with the skin's scroll bars, a list view's header, a stand-alone
// scroll bar and a tab set.
void ListShots()
{
    auto* form = TComponent::Make<TForm>(Application);
    form->SetBounds(200, 100, 560, 420);
    form->SetCaption("题目列表");
    auto* memo = TComponent::Make<TMemo>(form);
    memo->SetScrollBars(TScrollStyle::ssBoth);
    memo->SetParent(form);
    memo->SetBounds(12, 12, 250, 200);
    std::string text;
    for (int i = 1; i <= 60; ++i)
        text += "第" + std::to_string(i) + "题：下列关于民事法律行为的说法，哪一项是正确的？\r\n";
    memo->SetText(text);
    auto* list = TComponent::Make<TListView>(form);
    list->SetParent(form);
    list->SetBounds(276, 12, 260, 200);
    list->AddColumn("题号", 60);
    list->AddColumn("科目", 80);
    list->AddColumn("得分", 60);
    for (int i = 1; i <= 40; ++i)
        list->AddItem("第" + std::to_string(i) + "题");
    auto* bar = TComponent::Make<TScrollBar>(form);
    bar->SetParent(form);
    bar->SetBounds(12, 228, 524, GetSystemMetrics(SM_CYHSCROLL));
    bar->SetParams(30, 0, 100, 20);
    auto* tabSet = TComponent::Make<TTabSet>(form);
    tabSet->SetParent(form);
    tabSet->SetBounds(12, 256, 524, 24);
    tabSet->SetTabs({"民法", "刑法", "行政法", "诉讼法"});
    tabSet->SetTabIndex(1);
    form->Show();
    Settle();
    Photograph(form->Handle(), "lists");
    TComponent::Free(form);
}

// The exam-paper window, which the client creates and never shows.
void ExamPaperShots()
{
    sjzt->Show();
    Settle();
    Photograph(sjzt->Handle(), "client_exam_paper");
    sjzt->Hide();
}

TGalleryCamera GalleryCamera;

const std::vector<std::function<void()>> kShots = {FormShots,         MessageBoxShots, MenuShots, ButtonShots,
                                                   SmallControlShots, ClientShots,     TabShots,  ListShots,
                                                   ExamPaperShots};

