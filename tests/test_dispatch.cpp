// Message dispatch, WindowProc hooks, subclassed bare windows and the order of destruction: what
// the skin engine builds on. Windows are created and messages sent for real.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "GdiHandles.h"
#include "Forms.h"
#include "StartShowRule.h"
#include "SubClass.h"

namespace {

using TLog = std::vector<std::string>;

constexpr LRESULT kAnswer = 42;

// A panel whose own WndProc answers WM_APP: the answer proves that the control's most derived
// class handled the message, so that the object was whole.
class TProbePanel : public TPanel {
public:
    using TPanel::TPanel;
    TLog* log = nullptr;

protected:
    void WndProc(TMessage& message) override
    {
        if (message.Msg != WM_APP) {
            TPanel::WndProc(message);
            return;
        }
        if (log)
            log->push_back("control");
        message.Result = kAnswer;
    }
};

// Keeps the memory of a freed object, filled with a pattern: a test can then see that nothing
// wrote to the object after it was freed, and a virtual call through it crashes.
template <class T> class TPoisoned : public T {
public:
    using T::T;
    static void* operator new(size_t size) { return std::malloc(size); }  // never given back
    static void operator delete(void* memory, size_t size)
    {
        std::memset(memory, kPoison, size);
        freed = static_cast<unsigned char*>(memory);
        freedSize = size;
    }
    static bool FreedUntouched()
    {
        return freed && std::all_of(freed, freed + freedSize, [](unsigned char b) { return b == kPoison; });
    }
    static inline unsigned char* freed = nullptr;
    static inline size_t freedSize = 0;

private:
    static constexpr unsigned char kPoison = 0xA5;
};

TWndHook Logging(TLog& log, const char* name)
{
    return [&log, name](TMessage& message, const TWndMethod& next) {
        log.push_back(name);
        next(message);
    };
}

LRESULT CALLBACK BareWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_APP ? kAnswer : DefWindowProcA(window, msg, wParam, lParam);
}

// A window of a class with no framework object: it answers WM_APP with kAnswer.
HWND BareWindow()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = BareWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DispatchTestBare";
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    return CreateWindowExA(0, "DispatchTestBare", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

WNDPROC WindowProcOf(HWND window)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Told when a component it watches goes; notes whether the component was still whole then.
struct TWatcher : TComponent {
    using TComponent::TComponent;
    TLog* log = nullptr;
    bool sawWholePanel = false;
    void Notification(TComponent* component, TOperation operation) override
    {
        TComponent::Notification(component, operation);
        if (operation != TOperation::opRemove)
            return;
        sawWholePanel = dynamic_cast<TProbePanel*>(component) != nullptr;
        if (log)
            log->push_back("freed");
    }
};

// Stands for a control skin: owned by its control and hooked on the control's WindowProc from
// its construction to its destruction; notes what it finds of the control as it goes.
class TOwnedHook : public TComponent {
public:
    struct TSeen {
        bool destroying = false, hooked = false, window = false, whole = false, unhooked = false;
    };
    TOwnedHook(TComponent* owner, TProbePanel* control, TSeen* seen)
        : TComponent(owner), control_(control), seen_(seen),
          id_(control->HookWindowProc([](TMessage& message, const TWndMethod& next) { next(message); }))
    {
    }
    ~TOwnedHook() override
    {
        seen_->destroying = (control_->ComponentState() & csDestroying) != 0;
        seen_->hooked = control_->WindowProcHooked(id_);
        seen_->window = control_->HandleAllocated() && IsWindow(control_->Handle());
        seen_->whole = control_->Perform(WM_APP) == kAnswer;
        control_->UnhookWindowProc(id_);
        seen_->unhooked = !control_->WindowProcHooked(id_);
    }

private:
    TProbePanel* control_;
    TSeen* seen_;
    THookId id_;
};

class TDispatchForm : public TForm {
    LEXDRILL_CLASS(TDispatchForm)
public:
    using TForm::TForm;
};

LEXDRILL_PLAIN_CLASS(TDispatchForm, TForm)

// A form that frees itself when closed, as caFree asks.
TPoisoned<TForm>* FreedOnClose()
{
    auto* form = TComponent::Make<TPoisoned<TForm>>(Application);
    form->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
    form->HandleNeeded();
    return form;
}

}  // namespace

TEST(Hooks, RunNewestFirstAndComeOffInAnyOrder)
{
    TLog log;
    TProbePanel panel(nullptr);
    panel.log = &log;
    const auto run = [&] {
        log.clear();
        EXPECT_EQ(panel.Perform(WM_APP), kAnswer);
        return log;
    };
    const THookId a = panel.HookWindowProc(Logging(log, "a"));
    const THookId b = panel.HookWindowProc(Logging(log, "b"));
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(run(), (TLog{"b", "a", "control"}));
    panel.UnhookWindowProc(a);
    EXPECT_FALSE(panel.WindowProcHooked(a));
    EXPECT_TRUE(panel.WindowProcHooked(b));
    EXPECT_EQ(run(), (TLog{"b", "control"}));
    panel.UnhookWindowProc(b);
    EXPECT_EQ(run(), TLog{"control"});

    // The other order; unknown ids, spent ids and another control's ids change nothing.
    const THookId c = panel.HookWindowProc(Logging(log, "c"));
    const THookId d = panel.HookWindowProc(Logging(log, "d"));
    TProbePanel other(nullptr);
    const THookId e = other.HookWindowProc(Logging(log, "e"));
    panel.UnhookWindowProc(e);
    panel.UnhookWindowProc(a);
    panel.UnhookWindowProc(0);
    EXPECT_TRUE(other.WindowProcHooked(e));
    EXPECT_EQ(run(), (TLog{"d", "c", "control"}));
    panel.UnhookWindowProc(d);
    EXPECT_EQ(run(), (TLog{"c", "control"}));
    panel.UnhookWindowProc(c);
    EXPECT_EQ(run(), TLog{"control"});

    // A hook that does not pass a message on consumes it and decides the result.
    panel.HookWindowProc([](TMessage& message, const TWndMethod&) { message.Result = 7; });
    log.clear();
    EXPECT_EQ(panel.Perform(WM_APP), 7);
    EXPECT_EQ(log, TLog{});
}

TEST(Hooks, ComeAndGoWhileAMessageIsDispatched)
{
    struct TWitness {
        explicit TWitness(bool* flag) : gone(flag) {}
        ~TWitness() { *gone = true; }
        bool* gone;
    };
    TLog log;
    TProbePanel panel(nullptr);
    panel.log = &log;
    const THookId a = panel.HookWindowProc(Logging(log, "a"));
    THookId b = 0;
    bool witnessGone = false;
    auto witness = std::make_shared<TWitness>(&witnessGone);
    b = panel.HookWindowProc([&, witness](TMessage& message, const TWndMethod& next) {
        panel.UnhookWindowProc(b);  // itself, while it runs
        panel.UnhookWindowProc(a);  // and one still to come
        panel.HookWindowProc(Logging(log, "late"));
        // Its closure, and what it holds, outlive its unhooking until it returns.
        log.push_back(witnessGone || !witness ? "closure destroyed" : "b");
        next(message);
    });
    witness.reset();
    panel.Perform(WM_APP);
    EXPECT_EQ(log, (TLog{"b", "control"}));
    EXPECT_TRUE(witnessGone);
    log.clear();
    panel.Perform(WM_APP);
    EXPECT_EQ(log, (TLog{"late", "control"}));
}

TEST(Hooks, AHookThatFreesItsControlEndsTheDispatchThere)
{
    TForm form(nullptr);
    auto* panel = TComponent::Make<TPoisoned<TProbePanel>>(&form);
    panel->SetParent(&form);
    const HWND window = panel->Handle();
    TLog log;
    panel->log = &log;
    panel->HookWindowProc([&log, panel](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_APP) {
            TComponent::Free(panel);
            log.push_back("freed");
        }
        next(message);  // reaches nothing of the freed control
    });
    EXPECT_EQ(SendMessageA(window, WM_APP, 0, 0), 0);
    EXPECT_EQ(log, TLog{"freed"});
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(form.ControlCount(), 0);
    EXPECT_TRUE(TPoisoned<TProbePanel>::FreedUntouched());

    // Freed as its window is destroyed from outside.
    panel = TComponent::Make<TPoisoned<TProbePanel>>(&form);
    panel->SetParent(&form);
    panel->HookWindowProc([panel](TMessage& message, const TWndMethod& next) {
        next(message);
        if (message.Msg == WM_NCDESTROY)
            TComponent::Free(panel);
    });
    DestroyWindow(panel->Handle());
    EXPECT_EQ(TPoisoned<TProbePanel>::freed, reinterpret_cast<unsigned char*>(panel));
    EXPECT_TRUE(TPoisoned<TProbePanel>::FreedUntouched());
    EXPECT_EQ(form.ControlCount(), 0);
}

TEST(Destruction, AnOwnedComponentStillUsesItsWholeControlWhileItIsFreed)
{
    enum { ControlAlone, WithItsForm, FormDeletedPlainly };
    for (int way : {ControlAlone, WithItsForm, FormDeletedPlainly}) {
        SCOPED_TRACE(way);
        auto form = std::make_unique<TForm>(nullptr);
        auto* panel = TComponent::Make<TProbePanel>(form.get());
        panel->SetParent(form.get());
        panel->HandleNeeded();
        TOwnedHook::TSeen seen;
        TComponent::Make<TOwnedHook>(panel, panel, &seen);
        TWatcher watcher(nullptr);
        panel->FreeNotification(&watcher);
        if (way == ControlAlone)
            TComponent::Free(panel);
        else if (way == WithItsForm)
            TComponent::Free(form.release());
        else
            form.reset();
        EXPECT_TRUE(seen.destroying);
        EXPECT_TRUE(seen.hooked);
        EXPECT_TRUE(seen.window);
        EXPECT_TRUE(seen.whole);
        EXPECT_TRUE(seen.unhooked);
        EXPECT_TRUE(watcher.sawWholePanel);
    }
}

TEST(Destruction, AWatcherThatForgetsTheBaseNotificationKeepsNoFreedComponent)
{
    struct TForgetful : TComponent {
        using TComponent::TComponent;
        int told = 0;
        void Notification(TComponent*, TOperation) override { ++told; }
    };
    auto watcher = std::make_unique<TForgetful>(nullptr);
    auto* watched = TComponent::Make<TPoisoned<TComponent>>(nullptr);
    watched->FreeNotification(watcher.get());
    TComponent::Free(watched);
    EXPECT_EQ(watcher->told, 1);
    watcher.reset();  // tells nobody: the freed component left its list
    EXPECT_TRUE(TPoisoned<TComponent>::FreedUntouched());
}

TEST(Forms, AReleasedFormIsFreedAfterTheMessageThatReleasedItHasReturned)
{
    // A component of the form subclasses its window as a form skin does, and looks at the form
    // after each message it passed on.
    struct TFrame : TComponent {
        TFrame(TComponent* owner, TForm* form, bool* sawWholeForm)
            : TComponent(owner), subclass(form->Handle(), [this, form, sawWholeForm](TMessage& message) {
                  if (subclass.CallPrevious(message) && message.Msg == CM_RELEASE)
                      *sawWholeForm = !(form->ComponentState() & csDestroying) && form->HandleAllocated();
              })
        {
        }
        TWindowSubclass subclass;
    };
    bool sawWholeForm = false;
    auto* form = FreedOnClose();
    const HWND window = form->Handle();
    TComponent::Make<TFrame>(form, form, &sawWholeForm);
    form->Close();
    Application->ProcessMessages();
    EXPECT_TRUE(sawWholeForm);
    EXPECT_EQ(TPoisoned<TForm>::freed, reinterpret_cast<unsigned char*>(form));
    EXPECT_TRUE(TPoisoned<TForm>::FreedUntouched());
    EXPECT_FALSE(IsWindow(window));

    // Released inside a message loop that a message of the application runs: freed only when
    // that message has returned too.
    form = FreedOnClose();
    bool wholeAfterInnerLoop = false;
    form->HookWindowProc([form, &wholeAfterInnerLoop](TMessage& message, const TWndMethod& next) {
        next(message);
        if (message.Msg == WM_APP) {
            form->Close();
            Application->ProcessMessages();
            wholeAfterInnerLoop = !(form->ComponentState() & csDestroying);
        }
    });
    PostMessageA(form->Handle(), WM_APP, 0, 0);
    Application->ProcessMessages();
    EXPECT_TRUE(wholeAfterInnerLoop);
    EXPECT_EQ(TPoisoned<TForm>::freed, reinterpret_cast<unsigned char*>(form));
    EXPECT_TRUE(TPoisoned<TForm>::FreedUntouched());
}

// A panel that logs the system characters reaching its own default handling.
class TKeyPanel : public TPanel {
public:
    using TPanel::TPanel;
    TLog* log = nullptr;

protected:
    void DefaultHandler(TMessage& message) override
    {
        if (message.Msg == WM_SYSCHAR)
            log->push_back(std::string("panel ") + static_cast<char>(message.WParam));
        TPanel::DefaultHandler(message);
    }
};

TEST(Forms, AControlsSystemCharacterGoesToItsFormFirst)
{
    TComponent owner(nullptr);
    auto* form = TComponent::Make<TForm>(&owner);
    auto* outer = TComponent::Make<TPanel>(form);
    outer->SetParent(form);
    auto* inner = TComponent::Make<TKeyPanel>(form);
    inner->SetParent(outer);
    TLog log;
    inner->log = &log;
    // The form takes 'h' and leaves every other character to the control.
    form->HookWindowProc([&log](TMessage& message, const TWndMethod& next) {
        if (message.Msg != CM_DIALOGCHAR) {
            next(message);
            return;
        }
        log.push_back(std::string("form ") + static_cast<char>(message.WParam));
        message.Result = message.WParam == 'h';
    });
    SendMessageA(inner->Handle(), WM_SYSCHAR, 'h', 0);
    SendMessageA(inner->Handle(), WM_SYSCHAR, 'x', 0);
    EXPECT_EQ(log, (TLog{"form h", "form x", "panel x"}));
    log.clear();
    SendMessageA(form->Handle(), WM_SYSCHAR, 'h', 0);
    EXPECT_EQ(log, (TLog{"form h"})) << "the form's own character too";
}

TEST(Forms, TheMainFormIsForgottenWhenItIsFreed)
{
    TMessageBoxAnswerer answerer;
    TForm* form = nullptr;
    Application->CreateForm(form, "NoSuchUnit");  // no stored layout: reported, and the form stays
    ASSERT_EQ(Application->MainForm(), form);
    TComponent::Free(form);
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(answerer.Texts(), TLog{"Resource NoSuchUnit.layout not found"});
}

TEST(Application, ShutdownHandlersRunNewestFirstBeforeTheFormsAreFreed)
{
    TLog log;
    auto application = std::make_unique<TApplication>(nullptr);
    auto* form = TComponent::Make<TForm>(application.get());
    TWatcher watcher(nullptr);
    watcher.log = &log;
    form->FreeNotification(&watcher);
    application->AddShutdownHandler([&log] { log.push_back("first"); });
    application->AddShutdownHandler([&log] { log.push_back("second"); });
    application.reset();
    EXPECT_EQ(log, (TLog{"second", "first", "freed"}));
}

// Started by WinExec(..., SW_HIDE), as the client and the updater start each other, a program whose
// first form took the start command would show nothing at all on Windows.
TEST(Application, TakesTheStartShowCommandBeforeAnyFormShows)
{
    {
        // Without it: the rule hides the first form shown.
        TStartShowRule rule(SW_HIDE);
        ASSERT_TRUE(rule.Installed());
        TForm form(nullptr);
        form.Show();
        EXPECT_EQ(rule.TakenBy(), "TForm");
        EXPECT_FALSE(IsWindowVisible(form.Handle()));
    }
    TStartShowRule rule(SW_HIDE);
    Application->Initialize();
    EXPECT_EQ(rule.TakenBy(), "TApplication") << "a hidden window of the application's own";
    TForm form(nullptr);
    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    form.Hide();
    EXPECT_FALSE(IsWindowVisible(form.Handle())) << "a hide of the program's own still hides";
    form.Show();
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

TEST(Forms, EachFormClassRegistersAWindowClassOfItsOwn)
{
    TDispatchForm first(nullptr), second(nullptr), unshown(nullptr);
    TForm plain(nullptr);
    auto* panel = TComponent::Make<TPanel>(&first);
    panel->SetParent(&first);
    EXPECT_EQ(ClassOf(first.Handle()), "TDispatchForm");
    EXPECT_EQ(ClassOf(second.Handle()), "TDispatchForm");
    EXPECT_EQ(ClassOf(plain.Handle()), "TForm");
    EXPECT_EQ(ClassOf(panel->Handle()), "LexdrillWindow");
    EXPECT_NE(Application->Icon(), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(GetClassLongPtrA(first.Handle(), GCLP_HICON)), Application->Icon());
    EXPECT_EQ(GetClassLongPtrA(panel->Handle(), GCLP_HICON), 0);
    // The form's own icon too, as a skin asks for it.
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(first.Handle(), WM_GETICON, ICON_BIG, 0)), Application->Icon());

    // Looking a form up by its window makes no window for a form that has none.
    EXPECT_EQ(Screen->FindForm(second.Handle()), &second);
    EXPECT_EQ(Screen->FindForm(panel->Handle()), nullptr);
    EXPECT_EQ(Screen->FindForm(nullptr), nullptr);
    EXPECT_FALSE(unshown.HandleAllocated());
}

TEST(GraphicControls, ArePaintedThroughTheirWindowProcOnACanvasOfTheirOwn)
{
    struct TBlueBox : TGraphicControl {
        using TGraphicControl::TGraphicControl;
        bool ownCanvas = false;
        void Paint(TCanvas& canvas) override
        {
            ownCanvas = &canvas == &Canvas();
            canvas.Brush().SetColor(clBlue);
            canvas.FillRect(ClientRect());
        }
    };
    TForm form(nullptr);
    auto* box = TComponent::Make<TBlueBox>(&form);
    box->SetParent(&form);
    box->SetBounds(10, 20, 30, 40);
    TBitmap bitmap;
    bitmap.SetSize(100, 100);
    TCanvas& target = bitmap.Canvas();
    target.Brush().SetColor(clWhite);
    target.FillRect(Rect(0, 0, 100, 100));
    form.PaintControls(target.Handle());
    EXPECT_TRUE(box->ownCanvas);
    EXPECT_FALSE(box->Canvas().HandleAllocated());  // the DC was the paint's only
    EXPECT_EQ(target.Pixel(15, 25), clBlue);
    EXPECT_EQ(target.Pixel(5, 25), clWhite);

    // A hook steps in: it gets the parent's DC with the origin on the control and the drawing
    // clipped to it, and paints instead of the control.
    POINT origin{};
    box->HookWindowProc([&origin](TMessage& message, const TWndMethod& next) {
        if (message.Msg != WM_PAINT) {
            next(message);
            return;
        }
        const auto dc = reinterpret_cast<HDC>(message.WParam);
        GetViewportOrgEx(dc, &origin);
        const RECT everything{-100, -100, 200, 200};
        FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    });
    form.PaintControls(target.Handle());
    EXPECT_EQ(origin.x, 10);
    EXPECT_EQ(origin.y, 20);
    EXPECT_EQ(target.Pixel(15, 25), clBlack);
    EXPECT_EQ(target.Pixel(5, 25), clWhite);
    EXPECT_EQ(target.Pixel(15, 65), clWhite);
}

TEST(Subclass, PassesMessagesOnAndComesOffInAnyOrder)
{
    TLog log;
    const auto logging = [&log](const char* name, std::unique_ptr<TWindowSubclass>& self) {
        return [&log, name, &self](TMessage& message) {
            if (message.Msg == WM_APP)
                log.push_back(name);
            self->CallPrevious(message);
        };
    };
    const auto run = [&log](HWND window) {
        log.clear();
        EXPECT_EQ(SendMessageA(window, WM_APP, 0, 0), kAnswer);
        return log;
    };
    for (bool lowerFirst : {false, true}) {
        SCOPED_TRACE(lowerFirst);
        UniqueWindow window(BareWindow());
        const WNDPROC original = WindowProcOf(window.get());
        std::unique_ptr<TWindowSubclass> a, b;
        a = std::make_unique<TWindowSubclass>(window.get(), logging("a", a));
        b = std::make_unique<TWindowSubclass>(window.get(), logging("b", b));
        EXPECT_EQ(run(window.get()), (TLog{"b", "a"}));
        if (lowerFirst) {
            // a cannot put the original back under b: it passes messages on from then on.
            a.reset();
            EXPECT_EQ(run(window.get()), TLog{"b"});
            b.reset();
            EXPECT_NE(WindowProcOf(window.get()), original);
        } else {
            b.reset();
            EXPECT_EQ(run(window.get()), TLog{"a"});
            a.reset();
            EXPECT_EQ(WindowProcOf(window.get()), original);
        }
        EXPECT_EQ(run(window.get()), TLog{});
    }

    // A handler that does not pass a message on consumes it.
    UniqueWindow window(BareWindow());
    TWindowSubclass consuming(window.get(), [](TMessage& message) { message.Result = 7; });
    EXPECT_EQ(SendMessageA(window.get(), WM_APP, 0, 0), 7);
    EXPECT_THROW(TWindowSubclass(GetDesktopWindow(), [](TMessage&) {}), Exception);
}

namespace {

WNDPROC foreignPrevious = nullptr;
TLog* foreignLog = nullptr;

LRESULT CALLBACK ForeignProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP)
        foreignLog->push_back("foreign");
    return CallWindowProcA(foreignPrevious, window, msg, wParam, lParam);
}

}  // namespace

TEST(Subclass, UnderSomeoneElsesSubclassItBecomesAPassThrough)
{
    TLog log;
    foreignLog = &log;
    UniqueWindow window(BareWindow());
    std::unique_ptr<TWindowSubclass> ours;
    ours = std::make_unique<TWindowSubclass>(window.get(), [&log, &ours](TMessage& message) {
        if (message.Msg == WM_APP)
            log.push_back("ours");
        ours->CallPrevious(message);
    });
    foreignPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProc)));
    SendMessageA(window.get(), WM_APP, 0, 0);
    EXPECT_EQ(log, (TLog{"foreign", "ours"}));
    ours.reset();
    EXPECT_EQ(WindowProcOf(window.get()), ForeignProc);
    log.clear();
    EXPECT_EQ(SendMessageA(window.get(), WM_APP, 0, 0), kAnswer);
    EXPECT_EQ(log, TLog{"foreign"});
    // The other one leaves too, putting back what it found: the pass-through, which leads on.
    SetWindowLongPtrA(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(foreignPrevious));
    EXPECT_EQ(SendMessageA(window.get(), WM_APP, 0, 0), kAnswer);
}

TEST(Subclass, TheOwnerLearnsThatTheWindowWentWhileAMessageWasPassedOn)
{
    struct TOwner {
        std::unique_ptr<TWindowSubclass> subclass;
    };
    const HWND window = BareWindow();
    auto owner = std::make_unique<TOwner>();
    bool lastPassedOn = true;
    bool closeReturned = false;
    owner->subclass = std::make_unique<TWindowSubclass>(window, [&](TMessage& message) {
        TWindowSubclass& self = *owner->subclass;
        if (message.Msg == WM_NCDESTROY) {
            self.CallPrevious(message);
            owner.reset();  // the owner goes inside a message
            return;
        }
        lastPassedOn = self.CallPrevious(message);
        closeReturned = message.Msg == WM_CLOSE;  // nothing of the owner from here on
    });
    SendMessageA(window, WM_CLOSE, 0, 0);  // the default handling destroys the window
    EXPECT_TRUE(closeReturned);
    EXPECT_FALSE(lastPassedOn);
    EXPECT_EQ(owner, nullptr);
    EXPECT_FALSE(IsWindow(window));

    // A window destroyed under a living owner: the owner can tell, and lets go harmlessly.
    const HWND second = BareWindow();
    TWindowSubclass passing(second, [&passing](TMessage& message) { passing.CallPrevious(message); });
    EXPECT_TRUE(passing.WindowAlive());
    DestroyWindow(second);
    EXPECT_FALSE(passing.WindowAlive());
}

namespace {

// Subclasses the first window of a class that this thread creates while the hook is set, from
// its creation on, and notes the messages of it that a test watches for.
struct TFirstOfClass {
    TFirstOfClass(std::string name, std::map<UINT, const char*> messages)
        : className(std::move(name)), watched(std::move(messages))
    {
    }
    std::string className;
    std::map<UINT, const char*> watched;
    std::unique_ptr<TWindowSubclass> subclass;
    TLog log;
    HHOOK hook = nullptr;
};
TFirstOfClass* firstOfClass = nullptr;

LRESULT CALLBACK SubclassFirstOfClass(int code, WPARAM wParam, LPARAM lParam)
{
    TFirstOfClass& first = *firstOfClass;
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_CREATEWND && !first.subclass && ClassOf(window) == first.className) {
        first.subclass = std::make_unique<TWindowSubclass>(window, [&first](TMessage& message) {
            if (const auto found = first.watched.find(message.Msg); found != first.watched.end())
                first.log.push_back(found->second);
            first.subclass->CallPrevious(message);
        });
    }
    return CallNextHookEx(first.hook, code, wParam, lParam);
}

void CALLBACK EndTheMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    EndMenu();
}

}  // namespace

TEST(Subclass, AMessageBoxIsSubclassedFromItsCreationToItsEnd)
{
    TFirstOfClass box{"#32770", {{WM_INITDIALOG, "init"}, {WM_NCDESTROY, "end"}}};
    firstOfClass = &box;
    box.hook = SetWindowsHookExA(WH_CBT, SubclassFirstOfClass, nullptr, GetCurrentThreadId());
    ASSERT_NE(box.hook, nullptr);
    {
        TMessageBoxAnswerer answerer;  // its boxes are "#32770"
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", MB_OK), IDOK);
        EXPECT_EQ(answerer.Texts(), TLog{"text"});
    }
    UnhookWindowsHookEx(box.hook);
    ASSERT_NE(box.subclass, nullptr);
    EXPECT_FALSE(box.subclass->WindowAlive());
    box.subclass.reset();
    EXPECT_EQ(box.log, (TLog{"init", "end"}));
}

TEST(Subclass, AMenuWindowIsSubclassedFromItsCreationToItsEnd)
{
    TFirstOfClass menu{"#32768", {{WM_NCCREATE, "create"}, {WM_PAINT, "paint"}, {WM_NCDESTROY, "end"}}};
    firstOfClass = &menu;
    TForm form(nullptr);
    form.SetBounds(100, 100, 200, 200);
    form.Show();
    HMENU items = CreatePopupMenu();
    AppendMenuA(items, MF_STRING, 1, "item");
    menu.hook = SetWindowsHookExA(WH_CBT, SubclassFirstOfClass, nullptr, GetCurrentThreadId());
    ASSERT_NE(menu.hook, nullptr);
    SetTimer(nullptr, 0, 300, EndTheMenu);
    TrackPopupMenu(items, TPM_RETURNCMD, 150, 150, 0, form.Handle(), nullptr);
    UnhookWindowsHookEx(menu.hook);
    DestroyMenu(items);
    ASSERT_NE(menu.subclass, nullptr);
    EXPECT_FALSE(menu.subclass->WindowAlive());
    menu.subclass.reset();
    ASSERT_GE(menu.log.size(), 3u);
    EXPECT_EQ(menu.log.front(), "create");
    EXPECT_EQ(menu.log.back(), "end");
    EXPECT_NE(std::find(menu.log.begin(), menu.log.end(), "paint"), menu.log.end());
}

TEST(Procedures, LetNoExceptionIntoThePlatform)
{
    TMessageBoxAnswerer answerer;
    // A hook on a control's window.
    TForm form(nullptr);
    form.HookWindowProc([](TMessage& message, const TWndMethod& next) {
        if (message.Msg == WM_APP)
            throw EAbort("quietly");
        next(message);
    });
    EXPECT_EQ(SendMessageA(form.Handle(), WM_APP, 0, 0), 0);

    // A subclassed window's handler, with an exception of no standard class.
    UniqueWindow window(BareWindow());
    TWindowSubclass subclass(window.get(), [](TMessage& message) {
        if (message.Msg == WM_APP)
            throw 42;
    });
    EXPECT_EQ(SendMessageA(window.get(), WM_APP, 0, 0), 0);

    // A timer's event.
    TTimer timer(nullptr);
    int ticks = 0;
    timer.OnTimer = [&ticks, &timer](TObject*) {
        ++ticks;
        timer.SetEnabled(false);
        throw Exception("tick");
    };
    timer.SetInterval(10);
    for (int i = 0; i < 100 && ticks == 0; ++i) {
        Sleep(10);
        Application->ProcessMessages();
    }
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(answerer.Texts(), (TLog{"Unknown exception", "tick"}));
}
