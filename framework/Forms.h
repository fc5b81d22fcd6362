// Forms, data modules, the screen and the application object.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Layout.h"

class TMainMenu;

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum class TPosition { poDesigned, poDefault, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
enum class TFormStyle { fsNormal, fsStayOnTop };
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// Reads a window's stored layout, and the files it refers to, from the program's resources:
// the layout of unit U is the resource "U.layout", each file the resource of its own name.
void ReadComponentResource(TComponent& root, const std::string& unitName);
// UTF-8 to the program's GBK text.
std::string Utf8ToAnsi(const std::string& text);

class TCustomForm : public TWinControl {
    LEXDRILL_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    void Show();
    void Hide() { SetVisible(false); }
    // Asks the form to close: OnClose decides; a form other than the main one hides.
    void Close();
    void SetVisible(bool visible) override;

    unsigned BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(unsigned icons);
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    TWindowState WindowState() const { return windowState_; }
    void SetWindowState(TWindowState state);
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    bool Active() const;

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Reads the stored layout of unit unitName and runs OnCreate; the application object
    // calls it for forms it creates.
    void Construct(const std::string& unitName);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoShow();
    virtual void DoHide();

private:
    void PlaceOnShow();

    unsigned borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TPosition position_ = TPosition::poDesigned;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TWindowState windowState_ = TWindowState::wsNormal;
    TMainMenu* menu_ = nullptr;
    bool placed_ = false;
};

class TForm : public TCustomForm {
    LEXDRILL_CLASS(TForm)
public:
    using TCustomForm::TCustomForm;
};

// A non-visual container of components with a stored layout, created like a form.
class TDataModule : public TComponent {
    LEXDRILL_CLASS(TDataModule)
public:
    using TComponent::TComponent;
    TNotifyEvent OnCreate;
    void Construct(const std::string& unitName);
};

class TScreen : public TComponent {
public:
    using TComponent::TComponent;
    // The application-wide cursor; crDefault lets every control show its own.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    // Forms in creation order.
    const std::vector<TCustomForm*>& Forms() const { return forms_; }
    // The first form of the list whose window this is; never creates a window.
    TCustomForm* FindForm(HWND window) const;

private:
    friend class TCustomForm;
    TCursor cursor_ = crDefault;
    std::vector<TCustomForm*> forms_;
};

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    // Takes the show command the program was started with, so that it hides no form, and
    // initialises COM for this thread (apartment model). Call it before any window shows.
    void Initialize();
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    // The program's first icon resource, or the platform's application icon when it has none.
    HICON Icon() const;
    // nullptr once the main form is freed.
    TCustomForm* MainForm() const { return mainForm_; }

    // Creates a form (or data module) owned by the application from its stored layout; the
    // first form created becomes the main form. An exception from the layout or the create
    // event is shown by HandleException and creation goes on.
    template <class T> void CreateForm(T*& reference, const std::string& unitName)
    {
        reference = TComponent::Make<T>(this);
        if constexpr (std::is_base_of_v<TCustomForm, T>)
            if (!mainForm_)
                mainForm_ = reference;
        try {
            reference->Construct(unitName);
        } catch (const std::exception& e) {
            HandleException(e);
        }
    }

    // Shows the main form and dispatches messages until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Dispatches every message waiting now.
    void ProcessMessages();
    // Waits for one message (going idle first when the queue is empty) and dispatches it.
    void HandleMessage();
    // The default exception handler: the message in a message box (none for EAbort); the
    // program goes on.
    void HandleException(const std::exception& e);
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    // Frees a form once every message that the application is dispatching now has returned, so
    // that no procedure returns into it: a form that released itself goes after the message that
    // released it, and after any message further up that a nested message loop runs inside.
    void ReleaseForm(TCustomForm* form);

    // Handlers run, newest first, when the application object is destroyed, before it frees
    // its forms: a global object whose order of static destruction is unknown (the skin
    // manager, say) is freed by one and so goes before the forms.
    void AddShutdownHandler(std::function<void()> handler);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool ProcessMessage(MSG& msg);
    void Idle();
    void TrackMouseControl();
    void FreeReleasedForms();

    std::string title_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool comInitialized_ = false;
    TControl* mouseControl_ = nullptr;
    int dispatching_ = 0;  // messages of the application's loops being dispatched, nested
    std::vector<TCustomForm*> released_;
    std::vector<std::function<void()>> shutdownHandlers_;
};

extern TApplication* Application;
extern TScreen* Screen;

// A message box with the application title as caption and an OK button.
void ShowMessage(const std::string& text);

// For a catch (...), above all that of every procedure the platform calls (window, hook and
// timer procedures): reports the exception being handled through the application's handler
// and lets nothing escape, so nothing unwinds into the platform.
void HandleCurrentException() noexcept;
