#include "Forms.h"

#include <objbase.h>
#include <ole2.h>

#include "GdiHandles.h"
#include "Menus.h"

namespace {

// The screen first: it is destroyed after the application, whose forms leave its list.
std::unique_ptr<TScreen> gScreen = std::make_unique<TScreen>(nullptr);
std::unique_ptr<TApplication> gApplication = std::make_unique<TApplication>(nullptr);

std::vector<uint8_t> ResourceBytes(const std::string& name)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        throw ELayoutError("Resource " + name + " not found");
    return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found));
}

BOOL CALLBACK LoadFirstIcon(HMODULE module, LPCSTR, LPSTR name, LONG_PTR icon)
{
    *reinterpret_cast<HICON*>(icon) = LoadIconA(module, name);
    return FALSE;
}

// A program started with a show command (STARTF_USESHOWWINDOW, as WinExec(..., SW_HIDE) gives
// one) has the platform apply it to its first show of an unowned top-level window with a caption.
// A hidden window of the application's own takes it, before any form or message box shows, so
// that they show as the program asks whatever command started it.
void TakeStartShowCommand()
{
    static const char kClassName[] = "TApplication";
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);  // fails harmlessly when an earlier call registered it
    const UniqueWindow window(CreateWindowExA(0, kClassName, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                                              nullptr, nullptr, wc.hInstance, nullptr));
    if (window)
        ShowWindow(window.get(), SW_HIDE);
}

}  // namespace

TScreen* Screen = gScreen.get();
TApplication* Application = gApplication.get();

std::string Utf8ToAnsi(const std::string& text)
{
    if (text.empty())
        return {};
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring buffer(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), buffer.data(), wide);
    return WideToGbk(buffer);
}

void ReadComponentResource(TComponent& root, const std::string& unitName)
{
    const std::string layoutName = unitName + ".layout";
    const std::vector<uint8_t> bytes = ResourceBytes(layoutName);
    const std::string text(bytes.begin(), bytes.end());
    const TLayoutNode layout = ParseLayout(text, unitName, ResourceBytes, Utf8ToAnsi);
    ApplyLayout(root, layout, unitName);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TCustomForm::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TCustomForm>("TCustomForm", TWinControl::StaticClass())
        .Set("BorderIcons", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"},
             [](TCustomForm& f, unsigned v) { f.SetBorderIcons(v); })
        .Enum<TFormBorderStyle>("BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
             [](const TCustomForm& f) { return f.BorderStyle(); }, [](TCustomForm& f, TFormBorderStyle v) { f.SetBorderStyle(v); })
        .Enum<TPosition>("Position", {"poDesigned", "poDefault", "poScreenCenter", "poMainFormCenter", "poOwnerFormCenter"},
             [](const TCustomForm& f) { return f.Position(); }, [](TCustomForm& f, TPosition v) { f.SetPosition(v); })
        .Enum<TFormStyle>("FormStyle", {"fsNormal", "fsStayOnTop"},
             [](const TCustomForm& f) { return f.FormStyle(); }, [](TCustomForm& f, TFormStyle v) { f.SetFormStyle(v); })
        .Enum<TWindowState>("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"},
             [](const TCustomForm& f) { return f.WindowState(); }, [](TCustomForm& f, TWindowState v) { f.SetWindowState(v); })
        .Component<TMainMenu>("Menu", [](TCustomForm& f, TMainMenu* v) { f.SetMenu(v); })
        .Event("OnCreate", &TCustomForm::OnCreate)
        .Event("OnShow", &TCustomForm::OnShow)
        .Event("OnHide", &TCustomForm::OnHide)
        .Event("OnClose", &TCustomForm::OnClose)
        .Event("OnActivate", &TCustomForm::OnActivate)
        .Event("OnDeactivate", &TCustomForm::OnDeactivate)
        .Build();
    return info;
}

LEXDRILL_PLAIN_CLASS(TForm, TCustomForm)

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner)
{
    TControl::SetVisible(false);
    Screen->forms_.push_back(this);
}

TCustomForm::~TCustomForm()
{
    BeforeDestruction();
    std::erase(Screen->forms_, this);
    DestroyHandle();
}

void TCustomForm::Construct(const std::string& unitName)
{
    ReadComponentResource(*this, unitName);
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone: params.style = WS_POPUP; break;
    case TFormBorderStyle::bsSingle:
    case TFormBorderStyle::bsToolWindow: params.style = WS_CAPTION | WS_BORDER; break;
    case TFormBorderStyle::bsDialog: params.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        params.exStyle = WS_EX_DLGMODALFRAME; break;
    default: params.style = WS_CAPTION | WS_THICKFRAME; break;
    }
    params.style |= WS_CLIPCHILDREN;
    if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin)
        params.exStyle |= WS_EX_TOOLWINDOW;
    if (borderStyle_ != TFormBorderStyle::bsNone && (borderIcons_ & biSystemMenu)) {
        params.style |= WS_SYSMENU;
        if (borderStyle_ != TFormBorderStyle::bsDialog) {
            if (borderIcons_ & biMinimize) params.style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) params.style |= WS_MAXIMIZEBOX;
        }
    }
    if (formStyle_ == TFormStyle::fsStayOnTop)
        params.exStyle |= WS_EX_TOPMOST;
    params.ownClassName = ClassName();
    params.icon = Application->Icon();
    // Other forms belong to the main form: they stay above it and share its taskbar button.
    TCustomForm* main = Application->MainForm();
    if (main && main != this)
        params.parent = main->Handle();
    else
        params.exStyle |= WS_EX_APPWINDOW;
}

void TCustomForm::CreateWnd()
{
    TWinControl::CreateWnd();
    // The application's icon is the form's own, not only its class's: whatever asks the window
    // for its icon (a skin drawing the caption, the task switcher) finds it.
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Application->Icon()));
    if (menu_) {
        menu_->SetWindowHandle(Handle());
        ::SetMenu(Handle(), menu_->Handle());
    }
}

void TCustomForm::DestroyWnd()
{
    // The menu's handle stays the menu's: the window would destroy it with itself.
    if (menu_) {
        ::SetMenu(Handle(), nullptr);
        menu_->SetWindowHandle(nullptr);
    }
    TWinControl::DestroyWnd();
}

void TCustomForm::SetBorderIcons(unsigned icons) { borderIcons_ = icons; }
void TCustomForm::SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }

void TCustomForm::SetFormStyle(TFormStyle style)
{
    formStyle_ = style;
    if (HandleAllocated())
        SetWindowPos(Handle(), style == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState state)
{
    windowState_ = state;
    if (HandleAllocated() && Visible())
        ShowWindow(Handle(), state == TWindowState::wsMaximized ? SW_MAXIMIZE
                           : state == TWindowState::wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TCustomForm::SetMenu(TMainMenu* menu)
{
    if (menu_) {
        menu_->RemoveFreeNotification(this);
        menu_->SetWindowHandle(nullptr);
    }
    menu_ = menu;
    if (menu_)
        menu_->FreeNotification(this);
    if (HandleAllocated()) {
        if (menu_)
            menu_->SetWindowHandle(Handle());
        ::SetMenu(Handle(), menu_ ? menu_->Handle() : nullptr);
    }
}

void TCustomForm::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == menu_)
        menu_ = nullptr;
}

bool TCustomForm::Active() const
{
    return HandleAllocated() && GetActiveWindow() == const_cast<TCustomForm*>(this)->Handle();
}

void TCustomForm::Show()
{
    SetVisible(true);
    SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(Handle());
}

void TCustomForm::PlaceOnShow()
{
    if (placed_)
        return;
    placed_ = true;
    TCustomForm* main = Application->MainForm();
    TRect area = Rect(0, 0, Screen->Width(), Screen->Height());
    if (position_ == TPosition::poMainFormCenter && main && main != this)
        area = main->BoundsRect();
    if (position_ == TPosition::poScreenCenter || (position_ == TPosition::poMainFormCenter && main != this))
        SetBounds(area.Left + (area.Width() - Width()) / 2, area.Top + (area.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::SetVisible(bool visible)
{
    if (visible == Visible())
        return;
    if (visible) {
        Handle();
        PlaceOnShow();
        TControl::SetVisible(true);
        DoShow();
        // The show event may have closed the form again.
        if (Visible())
            ShowWindow(Handle(), windowState_ == TWindowState::wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOW);
    } else {
        TControl::SetVisible(false);
        if (HandleAllocated())
            ShowWindow(Handle(), SW_HIDE);
        DoHide();
    }
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::DoHide()
{
    if (OnHide)
        OnHide(this);
}

void TCustomForm::Close()
{
    const bool main = Application->MainForm() == this;
    TCloseAction action = main ? TCloseAction::caFree : TCloseAction::caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == TCloseAction::caNone)
        return;
    if (main) {
        Application->Terminate();
    } else if (action == TCloseAction::caMinimize) {
        SetWindowState(TWindowState::wsMinimized);
    } else {
        Hide();
        if (action == TCloseAction::caFree)
            PostMessageA(Handle(), CM_RELEASE, 0, 0);
    }
}

void TCustomForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CLOSE:
        Close();
        return;
    case CM_RELEASE:
        Application->ReleaseForm(this);
        return;
    case WM_ACTIVATE:
        TWinControl::WndProc(message);
        if (LOWORD(message.WParam) != WA_INACTIVE) {
            if (OnActivate)
                OnActivate(this);
        } else if (OnDeactivate) {
            OnDeactivate(this);
        }
        return;
    case WM_COMMAND:
        if (message.LParam == 0 && HIWORD(message.WParam) != 1 && DispatchMenuCommand(LOWORD(message.WParam)))
            return;
        break;
    case CM_MENUCHANGED:
        // A skin that draws the menu bar itself takes the menu off the window: put it back, so
        // that the native bar shows the change and the skin finds the menu to read again.
        if (menu_ && GetMenu(Handle()) != menu_->Handle())
            ::SetMenu(Handle(), menu_->Handle());
        return;
    case WM_MEASUREITEM:
        if (reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->CtlType == ODT_MENU &&
            MeasureMenuItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam))) {
            message.Result = TRUE;
            return;
        }
        break;
    case WM_DRAWITEM:
        if (reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam)->CtlType == ODT_MENU &&
            DrawMenuItem(*reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam))) {
            message.Result = TRUE;
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

// ---------------------------------------------------------------------------------------------

const TClassInfo& TDataModule::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TDataModule>("TDataModule", TComponent::StaticClass())
        .Event("OnCreate", &TDataModule::OnCreate)
        .Build();
    return info;
}

void TDataModule::Construct(const std::string& unitName)
{
    ReadComponentResource(*this, unitName);
    if (OnCreate)
        OnCreate(this);
}

TCustomForm* TScreen::FindForm(HWND window) const
{
    for (TCustomForm* form : forms_)
        if (window && form->HandleAllocated() && form->Handle() == window)
            return form;
    return nullptr;
}

void TScreen::SetCursor(TCursor cursor)
{
    cursor_ = cursor;
    POINT p;
    GetCursorPos(&p);
    // Show the new cursor now, not at the next mouse move.
    HWND window = WindowFromPoint(p);
    if (window && TWinControl::FindControl(window))
        SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

// ---------------------------------------------------------------------------------------------

TApplication::TApplication(TComponent* owner) : TComponent(owner)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, length);
    name = name.substr(name.find_last_of("\\/") + 1);
    title_ = name.substr(0, name.rfind('.'));
}

TApplication::~TApplication()
{
    while (!shutdownHandlers_.empty()) {
        const std::function<void()> handler = std::move(shutdownHandlers_.back());
        shutdownHandlers_.pop_back();
        try {
            handler();
        } catch (...) {
            HandleCurrentException();
        }
    }
    FreeReleasedForms();
    // Forms go before COM is shut down: their controls may hold COM objects.
    BeforeDestruction();
    if (comInitialized_)
        OleUninitialize();
}

HICON TApplication::Icon() const
{
    static const HICON icon = [] {
        HICON own = nullptr;
        EnumResourceNamesA(GetModuleHandleA(nullptr), reinterpret_cast<LPCSTR>(RT_GROUP_ICON), LoadFirstIcon,
                           reinterpret_cast<LONG_PTR>(&own));
        return own ? own : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    }();
    return icon;
}

void TApplication::AddShutdownHandler(std::function<void()> handler)
{
    shutdownHandlers_.push_back(std::move(handler));
}

void TApplication::ReleaseForm(TCustomForm* form)
{
    if (!form || std::find(released_.begin(), released_.end(), form) != released_.end())
        return;
    released_.push_back(form);
    FreeNotification(form);  // freed otherwise meanwhile, it leaves the list
    if (dispatching_ == 0)
        PostMessageA(nullptr, WM_NULL, 0, 0);  // the loop comes round and frees it
}

void TApplication::FreeReleasedForms()
{
    while (!released_.empty()) {
        TCustomForm* form = released_.back();
        released_.pop_back();
        RemoveFreeNotification(form);
        TComponent::Free(form);
    }
}

void TApplication::Initialize()
{
    TakeStartShowCommand();
    if (!comInitialized_)
        comInitialized_ = SUCCEEDED(OleInitialize(nullptr));
}

void TApplication::Run()
{
    if (mainForm_) {
        try {
            mainForm_->Show();
        } catch (const std::exception& e) {
            HandleException(e);
        }
    }
    while (!terminated_)
        HandleMessage();
}

void TApplication::Terminate()
{
    terminated_ = true;
    PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& msg)
{
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    TranslateMessage(&msg);
    ++dispatching_;
    DispatchMessageA(&msg);
    --dispatching_;
    if (dispatching_ == 0)
        FreeReleasedForms();
    if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) || msg.message == WM_MOUSELEAVE)
        TrackMouseControl();
    return true;
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::HandleMessage()
{
    MSG msg;
    if (!ProcessMessage(msg)) {
        Idle();
        if (!terminated_)
            WaitMessage();
    }
}

void TApplication::Idle()
{
    TrackMouseControl();
}

void TApplication::TrackMouseControl()
{
    POINT p;
    GetCursorPos(&p);
    TControl* target = TWinControl::FindControl(WindowFromPoint(p));
    if (auto* window = dynamic_cast<TWinControl*>(target)) {
        ScreenToClient(window->Handle(), &p);
        if (auto* child = dynamic_cast<TGraphicControl*>(window->ControlAtPos({p.x, p.y})))
            target = child;
    }
    if (target == mouseControl_)
        return;
    TControl* previous = mouseControl_;
    mouseControl_ = target;
    if (target)
        FreeNotification(target);
    if (previous)
        previous->Perform(CM_MOUSELEAVE);
    if (target)
        target->Perform(CM_MOUSEENTER);
}

void TApplication::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == mouseControl_)
        mouseControl_ = nullptr;
    if (component == mainForm_)
        mainForm_ = nullptr;
    std::erase(released_, component);
}

void TApplication::HandleException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e))
        return;
    MessageBox(e.what(), title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    return ::MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(), flags);
}

void ShowMessage(const std::string& text)
{
    Application->MessageBox(text, Application->Title(), MB_OK);
}

void HandleCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            Application->HandleException(e);
        } catch (...) {
            Application->HandleException(Exception("Unknown exception"));
        }
    } catch (...) {
        // Reporting failed too (no memory left): the program goes on without the report.
    }
}
