// The component model and stored layouts: what every window of both programs is built on.
#include <gtest/gtest.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Layout.h"
#include "StdCtrls.h"

namespace {

class TTestForm : public TForm {
    LEXDRILL_CLASS(TTestForm)
public:
    using TForm::TForm;
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
    TButton* Button1 = nullptr;
    int clicks = 0;
    void Button1Click(TObject*) { ++clicks; }
    void FormClose(TObject*, TCloseAction&) {}
};

const TClassInfo& TTestForm::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TTestForm>("TTestForm", TForm::StaticClass())
        .Field("Panel1", &TTestForm::Panel1)
        .Field("Label1", &TTestForm::Label1)
        .Field("Button1", &TTestForm::Button1)
        .Method("Button1Click", &TTestForm::Button1Click)
        .Method("FormClose", &TTestForm::FormClose)
        .Build();
    return info;
}

std::string Same(const std::string& s) { return s; }

std::vector<uint8_t> NoFiles(const std::string& name)
{
    throw Exception("no file " + name);
}

void Load(TComponent& root, const std::string& text)
{
    ApplyLayout(root, ParseLayout(text, "Test", NoFiles, Same), "Test");
}

std::string LayoutError(const std::string& text)
{
    auto form = std::make_unique<TTestForm>(nullptr);
    try {
        Load(*form, text);
    } catch (const ELayoutError& e) {
        return e.what();
    }
    return "no error";
}

const char kLayout[] = R"(
TTestForm Form {
    Width = 300
    Height = 200
    Caption = "Title \"quoted\""
    Font.Style = [fsBold]
    # a comment
    TPanel Panel1 {
        Align = alTop
        Height = 40
        BevelOuter = bvNone
        TLabel Label1 { Caption = "hello" Left = 0x10 }
    }
    TButton Button1 { OnClick = Button1Click Tag = -7 }
}
)";

}  // namespace

TEST(Layout, BuildsComponentsNestedUnderParentsWithFieldsAndEvents)
{
    auto form = std::make_unique<TTestForm>(nullptr);
    Load(*form, kLayout);
    EXPECT_EQ(form->Name(), "Form");
    EXPECT_EQ(form->Caption(), "Title \"quoted\"");
    ASSERT_NE(form->Panel1, nullptr);
    ASSERT_NE(form->Label1, nullptr);
    EXPECT_EQ(form->Label1->Parent(), form->Panel1);
    EXPECT_EQ(form->Label1->Owner(), form.get());
    EXPECT_EQ(form->Label1->Left(), 16);
    EXPECT_EQ(form->Button1->Tag(), -7);
    EXPECT_EQ(form->ComponentCount(), 3);
    // Children take the parent's font unless they set their own.
    EXPECT_EQ(form->Label1->Font().Style(), fsBold);
    // A stored caption sizes the label in the font it ends up with.
    TLabel sized(nullptr);
    sized.Font().Assign(form->Label1->Font());
    sized.SetCaption("hello");
    EXPECT_EQ(form->Label1->BoundsRect(), Bounds(16, 0, sized.Width(), sized.Height()));
    EXPECT_EQ(form->Panel1->Width(), form->ClientRect().Width());
    EXPECT_EQ(form->Panel1->Height(), 40);
    form->Button1->Click();
    EXPECT_EQ(form->clicks, 1);
    EXPECT_EQ(form->ComponentState() & (csLoading | csReading), 0u);
}

TEST(Layout, ErrorsNameTheLayoutAndTheLine)
{
    EXPECT_EQ(LayoutError("TTestForm F {\n  Nope = 1\n}"), "Layout Test, line 2: no property Nope in TTestForm");
    EXPECT_EQ(LayoutError("TTestForm F {\n\n  TWidget W { }\n}"), "Layout Test, line 3: unknown class TWidget");
    EXPECT_EQ(LayoutError("TTestForm F {\n  Caption = \"open\n}"), "Layout Test, line 2: unterminated string");
    EXPECT_EQ(LayoutError("TTestForm F {\n  Width = \"wide\"\n}"), "Layout Test, line 2: F.Width: expected an integer");
    EXPECT_EQ(LayoutError("TTestForm F {\n  Align = alMiddle\n}"),
              "Layout Test, line 2: F.Align: unknown value \"alMiddle\"");
    EXPECT_EQ(LayoutError("TTestForm F {\n  TButton Button1 { OnClick = Missing }\n}"),
              "Layout Test, line 2: Button1.OnClick: no method \"Missing\"");
    EXPECT_EQ(LayoutError("TTestForm F {\n  TButton Button1 { OnClick = FormClose }\n}"),
              "Layout Test, line 2: Button1.OnClick: method \"FormClose\" does not fit the event");
    EXPECT_EQ(LayoutError("TTestForm F {\n  TLabel Panel1 { }\n}"),
              "Layout Test, line 2: Panel1 is not a TLabel in the window's class");
    EXPECT_EQ(LayoutError("TTestForm F {\n  TLabel A { }\n  TLabel A { }\n}"),
              "Layout Test, line 3: a second component named A");
    EXPECT_EQ(LayoutError("TForm10 F { }"), "Layout Test, line 1: the layout is for TForm10, not TTestForm");
    EXPECT_EQ(LayoutError("TTestForm F {\n  Width = 99999999999\n}"), "Layout Test, line 2: bad number");
    EXPECT_EQ(LayoutError("TTestForm F {"), "Layout Test, line 1: missing '}' for F");
    EXPECT_EQ(LayoutError("TTestForm F { Picture = file \"x.jpg\" }"),
              "Layout Test, line 1: cannot read \"x.jpg\": no file x.jpg");
}

TEST(Components, OwnerFreesWhatItOwnsAndFreeNotificationsArrive)
{
    struct TWatcher : TComponent {
        using TComponent::TComponent;
        std::vector<TComponent*> removed;
        void Notification(TComponent* c, TOperation op) override
        {
            TComponent::Notification(c, op);
            if (op == TOperation::opRemove)
                removed.push_back(c);
        }
    };
    TWatcher watcher(nullptr);
    auto owner = std::make_unique<TComponent>(nullptr);
    auto* a = TComponent::Make<TComponent>(owner.get());
    auto* b = TComponent::Make<TComponent>(owner.get());
    b->FreeNotification(&watcher);
    EXPECT_EQ(owner->ComponentCount(), 2);
    TComponent::Free(a);
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    owner.reset();
    ASSERT_EQ(watcher.removed.size(), 1u);
    EXPECT_EQ(watcher.removed[0], b);
}

TEST(Components, EnumerationPropertiesAreSetByNameAndOthersIgnored)
{
    auto form = std::make_unique<TTestForm>(nullptr);
    Load(*form, kLayout);
    SetEnumPropByName(form->Panel1, "Transparent", "True");
    EXPECT_TRUE(form->Panel1->Transparent());
    EXPECT_EQ(GetEnumPropName(*form->Panel1, "Transparent"), "True");
    SetEnumPropByName(form->Panel1, "Flat", "True");          // no such property
    SetEnumPropByName(form->Panel1, "Width", "True");         // not an enumeration
    SetEnumPropByName(form->Panel1, "Transparent", "Maybe");  // no such value
    SetEnumPropByName(nullptr, "Transparent", "True");
    EXPECT_TRUE(form->Panel1->Transparent());
    EXPECT_EQ(form->Panel1->Width(), form->ClientRect().Width());
    EXPECT_TRUE(form->Is<TWinControl>());
    EXPECT_TRUE(form->Panel1->ClassInfo().InheritsFrom("tcustomcontrol"));
    EXPECT_FALSE(form->Label1->Is<TWinControl>());
}

TEST(Controls, AlignmentFillsTheClientAreaSideBySide)
{
    auto form = std::make_unique<TTestForm>(nullptr);
    Load(*form, R"(TTestForm F {
        Width = 400 Height = 300 BorderStyle = bsNone
        TPanel Top { Align = alTop Height = 50 }
        TPanel Bottom { Align = alBottom Height = 20 }
        TPanel Left { Align = alLeft Width = 100 }
        TSplitter Split { Align = alLeft Left = 100 Width = 8 }
        TPanel Rest { Align = alClient }
    })");
    form->HandleNeeded();
    auto* rest = dynamic_cast<TControl*>(form->FindComponent("Rest"));
    auto* split = dynamic_cast<TControl*>(form->FindComponent("Split"));
    EXPECT_EQ(rest->BoundsRect(), Rect(108, 50, 400, 280));
    EXPECT_EQ(split->BoundsRect(), Rect(100, 50, 108, 280));
    dynamic_cast<TControl*>(form->FindComponent("Top"))->Hide();
    EXPECT_EQ(rest->Top(), 0);
    form->SetBounds(0, 0, 500, 300);
    EXPECT_EQ(rest->Width(), 392);
}

TEST(Controls, WindowsOfOtherProcessesAreNeverOurControls)
{
    // Another program of this framework marks its windows as ours are marked; the mark holds an
    // address of that program. The desktop window is another process's.
    HWND desktop = GetDesktopWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(desktop, &process);
    ASSERT_NE(process, GetCurrentProcessId());
    ASSERT_TRUE(SetPropA(desktop, "LexdrillControl", reinterpret_cast<HANDLE>(0x10)));
    EXPECT_EQ(TWinControl::FindControl(desktop), nullptr);
    RemovePropA(desktop, "LexdrillControl");

    TTestForm form(nullptr);
    EXPECT_EQ(TWinControl::FindControl(form.Handle()), &form);
}
