// The small controls' skins, the status bar's and the boxes' on real controls under Wine: every
// state probed on the flat-colour fixture, the mouse and the keys real input.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "ComCtrls.h"
#include "ControlSkinTesting.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "InputTesting.h"
#include "ProcessUsage.h"
#include "SkinTesting.h"
#include "StdCtrls.h"
#include "WinSubClass.h"
#include "WinSubClassBoxes.h"
#include "WinSubClassInputs.h"
#include "WindowTesting.h"

// Controls of other makers, known to the scan by their class names only.
TEST_CONTROL_CLASS(TDateTimePicker, TWinControl)
TEST_CONTROL_CLASS(TThirdGroup, TPanel)

// A check box of another maker whose Checked property, not the window, holds its state.
class TFlagBox : public TCheckBox {
    LEXDRILL_CLASS(TFlagBox)
public:
    using TCheckBox::TCheckBox;
    bool flag = false;
};

const TClassInfo& TFlagBox::StaticClass()
{
    static const TClassInfo info = TClassBuilder<TFlagBox>("TFlagBox", TCheckBox::StaticClass())
        .Bool("Checked", [](const TFlagBox& b) { return b.flag; }, [](TFlagBox& b, bool v) { b.flag = v; })
        .Build();
    return info;
}

namespace {

// An image emptied, as a skin whose image is missing or damaged leaves it, while in scope.
class TEmptied {
public:
    explicit TEmptied(TBitmap& image) : image_(image)
    {
        saved_.Assign(image);
        image.SetSize(0, 0);
    }
    ~TEmptied() { image_.Assign(saved_); }

private:
    TBitmap& image_;
    TBitmap saved_;
};

struct SmallSkinTest : ControlSkinFixture {
    SmallSkinTest() : ControlSkinFixture(150, 120, 460, 320) {}
    void SetUp() override
    {
        ControlSkinFixture::SetUp();
        ASSERT_TRUE(data.UpDownVert);
    }
    COLORREF Check(int frame) { return FrameColour(data.Buttons.CheckImage, frame, 4); }
    COLORREF Radio(int frame) { return FrameColour(data.Buttons.RadioImage, frame, 4); }
};

// ---------------------------------------------------------------------------------------------
// Up-down

TEST_F(SmallSkinTest, UpDownHalvesShowTheirFramesAndGlyphsVerticalAndHorizontal)
{
    TForm* form = Form();
    auto* upDown = Control<TUpDown>(form, 20, 20, 20, 40);
    auto& skin = Skin(form);
    auto* updownSkin = dynamic_cast<TSkinUpDown*>(skin.FindControlByHandle(upDown->Handle()));
    ASSERT_TRUE(updownSkin);
    HWND w = upDown->Handle();
    RECT c;
    GetClientRect(w, &c);  // the control keeps a width of its own
    const int cx = c.right / 2, right = c.right - 1;
    TDataSkinBorder& vert = *data.UpDownVert;
    // Upper half: frame 1, its glyph centred; lower half: frame 5.
    EXPECT_EQ(Seen(w, 1, 1), FrameColour(vert.Image, 1, 8));
    EXPECT_EQ(Shown(w, cx, 10), FrameColour(vert.Image2, 1, 8));
    EXPECT_EQ(Shown(w, 1, 38), FrameColour(vert.Image, 5, 8));
    EXPECT_EQ(Shown(w, cx, 30), FrameColour(vert.Image2, 5, 8));
    // Disabled: frames 3 and 7.
    upDown->SetEnabled(false);
    EXPECT_EQ(Seen(w, 1, 1), FrameColour(vert.Image, 3, 8));
    EXPECT_EQ(Shown(w, 1, 38), FrameColour(vert.Image, 7, 8));
    upDown->SetEnabled(true);
    // Side by side by its style, or forced: left frame 1, right frame 5 of [UpDown.Horz].
    TDataSkinBorder& horz = *data.UpDownHorz;
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) | UDS_HORZ);
    EXPECT_EQ(Seen(w, 1, 20), FrameColour(horz.Image, 1, 8));
    EXPECT_EQ(Shown(w, right, 20), FrameColour(horz.Image, 5, 8));
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) & ~UDS_HORZ);
    updownSkin->FForceHorz = 1;
    EXPECT_EQ(Seen(w, 1, 20), FrameColour(horz.Image, 1, 8));
    EXPECT_EQ(Shown(w, right, 20), FrameColour(horz.Image, 5, 8));
    updownSkin->FForceHorz = 0;

    // Without glyph images: plain boxes in the face colour, framed in the dark shadow.
    auto image = std::move(data.UpDownVert);
    EXPECT_EQ(Seen(w, 0, 0), Rgb(data.Colours.ButtonDkShadow));
    EXPECT_EQ(Shown(w, 3, 3), Rgb(data.Colours.ButtonFace));
    data.UpDownVert = std::move(image);
    // An empty image is no image: the same plain boxes.
    {
        const TEmptied emptied(data.UpDownVert->Image);
        EXPECT_EQ(Seen(w, 0, 0), Rgb(data.Colours.ButtonDkShadow));
        EXPECT_EQ(Shown(w, 3, 3), Rgb(data.Colours.ButtonFace));
    }
    skin.Detach();
}

TEST_F(SmallSkinTest, PressingAnUpDownShowsThePressedFrameOnlyUnderTheCursor)
{
    TForm* form = Form();
    auto* upDown = Control<TUpDown>(form, 20, 20, 20, 40);
    auto& skin = Skin(form);
    ASSERT_TRUE(skin.FindControlByHandle(upDown->Handle()));
    HWND w = upDown->Handle();
    TDataSkinBorder& vert = *data.UpDownVert;
    Seen(w, 0, 0);
    TInput input;
    input.MoveTo(w, 10, 32).Down().Run();
    EXPECT_EQ(Shown(w, 1, 38), FrameColour(vert.Image, 6, 8));
    EXPECT_EQ(Shown(w, 1, 1), FrameColour(vert.Image, 1, 8));
    input.Up().Run();
    EXPECT_EQ(Shown(w, 1, 38), FrameColour(vert.Image, 5, 8));
    input.MoveTo(w, 10, 6).Down().Run();
    EXPECT_EQ(Shown(w, 1, 1), FrameColour(vert.Image, 2, 8));
    EXPECT_EQ(Shown(w, 1, 38), FrameColour(vert.Image, 5, 8));
    input.Up().Run();
    EXPECT_EQ(Shown(w, 1, 1), FrameColour(vert.Image, 1, 8));

    // Plainly drawn, the pressed half is filled with the shadow colour.
    auto image = std::move(data.UpDownVert);
    input.MoveTo(w, 10, 32).Down().Run();
    EXPECT_EQ(Shown(w, 3, 35), Rgb(data.Colours.ButtonShadow));
    EXPECT_EQ(Shown(w, 3, 3), Rgb(data.Colours.ButtonFace));
    input.Up().Run();
    data.UpDownVert = std::move(image);
    skin.Detach();
}

TEST_F(SmallSkinTest, AnInsetSpinButtonLeavesAFaceColouredRing)
{
    TForm* form = Form();
    form->Show();
    HWND spin = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 20, 20, 20, 40, form->Handle(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    auto& formSkin = SkinWindow(form, form->Handle(), data, form);
    auto* skin = TComponent::Make<TSkinUpDown>(&formSkin);
    skin->AttachWindow(spin, &data, &formSkin.ControlCanvas(), &formSkin);
    skin->FInset = true;
    EXPECT_EQ(Seen(spin, 0, 0), Rgb(data.Colours.ButtonFace));
    RECT c;
    GetClientRect(spin, &c);
    EXPECT_EQ(Shown(spin, c.right - 1, c.bottom - 1), Rgb(data.Colours.ButtonFace));
    EXPECT_EQ(Shown(spin, 1, 1), FrameColour(data.UpDownVert->Image, 1, 8));
    formSkin.Detach();
    EXPECT_NE(Seen(spin, 1, 1), FrameColour(data.UpDownVert->Image, 1, 8));
}

// ---------------------------------------------------------------------------------------------
// Check boxes and radio buttons

TEST_F(SmallSkinTest, CheckBoxGlyphsFollowCheckedDisabledAndIndeterminate)
{
    TForm* form = Form();
    auto* box = Control<TCheckBox>(form, 20, 20, 120, 24);
    box->SetCaption("Check");
    auto* flag = Control<TFlagBox>(form, 20, 60, 120, 24);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinCheckBox>(skin, box));
    ASSERT_TRUE(SkinOf<TSkinCheckBox>(skin, flag));
    HWND w = box->Handle();
    // A 13-pixel glyph in a 14-pixel box at the left, centred vertically.
    EXPECT_EQ(Seen(w, 0, 12), Check(1));
    EXPECT_EQ(Shown(w, 12, 6), Check(1));
    EXPECT_NE(Shown(w, 13, 12), Check(1));
    SendMessageA(w, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Shown(w, 6, 12), Check(2));
    box->SetEnabled(false);
    EXPECT_EQ(Seen(w, 6, 12), Check(4));
    SendMessageA(w, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(Shown(w, 6, 12), Check(3));
    box->SetEnabled(true);
    // Indeterminate shows frame 4 even enabled.
    SetWindowLongA(w, GWL_STYLE, (GetWindowLongA(w, GWL_STYLE) & ~0xF) | BS_AUTO3STATE);
    SendMessageA(w, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(Seen(w, 6, 12), Check(4));
    SendMessageA(w, BM_SETCHECK, BST_UNCHECKED, 0);
    // With BS_RIGHTBUTTON the glyph sits at the right.
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) | BS_RIGHTBUTTON);
    EXPECT_EQ(Seen(w, 119, 12), Check(1));
    EXPECT_NE(Shown(w, 6, 12), Check(1));
    // A glyph wider than 14 pixels sits flush left, or one pixel in from the right.
    TBitmap& strip = data.Buttons.CheckImage;
    strip.SetSize(4 * 16, 16);
    for (int i = 0; i < 4; ++i) {
        strip.Canvas().Brush().SetColor(static_cast<TColor>(RGB(30 + i, 30, 30)));
        strip.Canvas().FillRect(Rect(i * 16, 0, i * 16 + 16, 16));
    }
    EXPECT_EQ(Seen(w, 118, 12), RGB(30, 30, 30));
    EXPECT_NE(Shown(w, 119, 12), RGB(30, 30, 30));
    EXPECT_EQ(Shown(w, 103, 12), RGB(30, 30, 30));
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) & ~BS_RIGHTBUTTON);
    EXPECT_EQ(Seen(w, 0, 12), RGB(30, 30, 30));
    EXPECT_EQ(Shown(w, 15, 12), RGB(30, 30, 30));

    // A published Checked property wins over the window's state.
    LoadSkinFile(data, LEXDRILL_FORMSKIN_FIXTURE);
    flag->flag = true;
    EXPECT_EQ(Seen(flag->Handle(), 6, 12), Check(2));
    SendMessageA(flag->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    flag->flag = false;
    EXPECT_EQ(Seen(flag->Handle(), 6, 12), Check(1));
    skin.Detach();
}

TEST_F(SmallSkinTest, StripsWithFewerFramesThanStatesShowTheFramesTheyHave)
{
    // A check strip of two frames (unchecked, checked) and a radio strip of one.
    const auto paint = [](TBitmap& strip, int frames) {
        strip.SetSize(frames * 13, 13);
        for (int i = 0; i < frames; ++i) {
            strip.Canvas().Brush().SetColor(static_cast<TColor>(RGB(40 + i, 90, 140)));
            strip.Canvas().FillRect(Rect(i * 13, 0, i * 13 + 13, 13));
        }
    };
    paint(data.Buttons.CheckImage, 2);
    data.Buttons.CheckButtonFrame = 2;
    paint(data.Buttons.RadioImage, 1);
    data.Buttons.RadioButtonFrame = 1;
    TForm* form = Form();
    auto* box = Control<TCheckBox>(form, 20, 20, 120, 24);
    auto* radio = Control<TRadioButton>(form, 20, 60, 120, 24);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinCheckBox>(skin, box));
    ASSERT_TRUE(SkinOf<TSkinRadioButton>(skin, radio));
    HWND w = box->Handle();
    // Disabled, each state keeps its own look; indeterminate shows the last frame there is.
    box->SetEnabled(false);
    EXPECT_EQ(Seen(w, 6, 12), RGB(40, 90, 140));
    SendMessageA(w, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(Shown(w, 6, 12), RGB(41, 90, 140));
    box->SetEnabled(true);
    SetWindowLongA(w, GWL_STYLE, (GetWindowLongA(w, GWL_STYLE) & ~0xF) | BS_AUTO3STATE);
    SendMessageA(w, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(Seen(w, 6, 12), RGB(41, 90, 140));
    // A checked, disabled radio button of a one-frame strip.
    SendMessageA(radio->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    radio->SetEnabled(false);
    EXPECT_EQ(Seen(radio->Handle(), 6, 12), RGB(40, 90, 140));
    skin.Detach();
}

TEST_F(SmallSkinTest, TheKeysAndTheMouseCheckAndTheGlyphFollows)
{
    TForm* form = Form();
    auto* box = Control<TCheckBox>(form, 20, 20, 120, 24);
    auto* first = Control<TRadioButton>(form, 20, 60, 120, 24);
    auto* second = Control<TRadioButton>(form, 20, 100, 120, 24);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinRadioButton>(skin, first));
    EXPECT_EQ(Seen(first->Handle(), 6, 12), Radio(1));
    SetForegroundWindow(form->Handle());
    SetFocus(box->Handle());
    TInput input;
    input.Key("space").Run();
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Shown(box->Handle(), 6, 12), Check(2));
    input.MoveTo(box->Handle(), 30, 12).Click().Run();
    EXPECT_EQ(Shown(box->Handle(), 6, 12), Check(1));
    SetFocus(first->Handle());
    input.Key("space").Run();
    EXPECT_EQ(Shown(first->Handle(), 6, 12), Radio(2));
    input.MoveTo(second->Handle(), 30, 12).Click().Run();
    EXPECT_EQ(Shown(second->Handle(), 6, 12), Radio(2));
    EXPECT_EQ(Seen(first->Handle(), 6, 12), Radio(1));
    second->SetEnabled(false);
    EXPECT_EQ(Seen(second->Handle(), 6, 12), Radio(4));
    skin.Detach();
}

// ---------------------------------------------------------------------------------------------
// Track bars

TEST_F(SmallSkinTest, TrackBarThumbsComeFromTheSkinInEitherOrientation)
{
    TForm* form = Form();
    auto* horizontal = Control<TTrackBar>(form, 10, 10, 200, 45);
    auto* vertical = Control<TTrackBar>(form, 250, 10, 45, 200);
    vertical->SetVertical(true);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinTrackBar>(skin, horizontal));
    ASSERT_TRUE(SkinOf<TSkinTrackBar>(skin, vertical));
    auto thumbAt = [](TTrackBar* bar) {
        RECT r{};
        SendMessageA(bar->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        return r;
    };
    auto centre = [&](TTrackBar* bar) {
        const RECT r = thumbAt(bar);
        return Seen(bar->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    EXPECT_EQ(centre(horizontal), FrameColour(data.TrackbarThumbHorz->Image, 2, 5));
    EXPECT_EQ(centre(vertical), FrameColour(data.TrackbarThumbVert->Image, 2, 5));
    // Without a vertical thumb the horizontal one serves; with neither, an outline.
    auto vert = std::move(data.TrackbarThumbVert);
    EXPECT_EQ(centre(vertical), FrameColour(data.TrackbarThumbHorz->Image, 2, 5));
    auto horz = std::move(data.TrackbarThumbHorz);
    const RECT r = thumbAt(vertical);
    EXPECT_EQ(Seen(vertical->Handle(), r.left, (r.top + r.bottom) / 2), Rgb(data.Colours.ButtonShadow));
    // That outline leaves the background of the control's DC as it was: the control draws on.
    {
        TBitmap target(60, 200);
        HDC dc = target.Canvas().Handle();
        SetBkColor(dc, RGB(1, 2, 3));
        SetBkMode(dc, TRANSPARENT);
        NMCUSTOMDRAW draw{{vertical->Handle(), 0, static_cast<UINT>(NM_CUSTOMDRAW)}, CDDS_ITEMPREPAINT, dc, {}, TBCD_THUMB, 0, 0};
        EXPECT_EQ(vertical->Perform(CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), CDRF_SKIPDEFAULT);
        EXPECT_EQ(GetPixel(dc, r.left, (r.top + r.bottom) / 2), Rgb(data.Colours.ButtonShadow));
        EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    }
    data.TrackbarThumbHorz = std::move(horz);
    data.TrackbarThumbVert = std::move(vert);
    // An element whose image is empty counts as missing, not as a blank thumb.
    {
        const TEmptied emptyVert(data.TrackbarThumbVert->Image);
        EXPECT_EQ(centre(vertical), FrameColour(data.TrackbarThumbHorz->Image, 2, 5));
        const TEmptied emptyHorz(data.TrackbarThumbHorz->Image);
        for (TTrackBar* bar : {horizontal, vertical}) {
            const RECT t = thumbAt(bar);
            EXPECT_EQ(Seen(bar->Handle(), t.left, (t.top + t.bottom) / 2), Rgb(data.Colours.ButtonShadow));
        }
    }
    skin.Detach();
    EXPECT_NE(centre(horizontal), FrameColour(data.TrackbarThumbHorz->Image, 2, 5));
}

// ---------------------------------------------------------------------------------------------
// Progress bars

TEST_F(SmallSkinTest, ProgressBarsShowTheirBarOrChunksHorizontallyAndVertically)
{
    TForm* form = Form();
    auto* bar = Control<TProgressBar>(form, 10, 10, 200, 20);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinProgress>(skin, bar));
    HWND w = bar->Handle();
    TDataSkinBorder& progress = *data.Progress;
    const COLORREF back = FrameColour(progress.Image, 1, 2), full = FrameColour(progress.Image, 2, 2);
    EXPECT_EQ(Seen(w, 50, 10), back);  // at 0: no bar
    bar->SetPosition(50);
    EXPECT_EQ(Seen(w, 50, 10), full);
    EXPECT_EQ(Seen(w, 150, 10), back);
    bar->SetPosition(100);
    EXPECT_EQ(Seen(w, 190, 10), full);
    // A range of a large download: the filled width is worked out without overflowing.
    bar->SetMax(100000000);
    bar->SetPosition(50000000);
    EXPECT_EQ(Seen(w, 90, 10), full);
    EXPECT_EQ(Seen(w, 110, 10), back);
    bar->SetMax(100);
    // Vertical: the bar grows from the bottom.
    bar->SetPosition(50);
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) | PBS_VERTICAL);
    bar->SetBounds(10, 10, 20, 200);
    EXPECT_EQ(Seen(w, 10, 150), full);
    EXPECT_EQ(Seen(w, 10, 50), back);

    // Chunks: the whole bitmap behind copies of the chunk, gaps keyed.
    progress.Style = 1;
    const COLORREF chunk = FrameColour(progress.Image2, 1, 1);
    EXPECT_EQ(Seen(w, 10, 195), chunk);
    EXPECT_EQ(Seen(w, 2, 50), back);
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) & ~PBS_VERTICAL);
    bar->SetBounds(10, 10, 200, 20);
    const int cw = progress.Image2.Width();
    EXPECT_EQ(Seen(w, progress.LeftWidth + 1, 10), chunk);
    EXPECT_EQ(Shown(w, progress.LeftWidth + cw - 1, 10), back);  // the keyed gap
    EXPECT_EQ(Shown(w, 150, 10), full);  // the second half of the bitmap
    bar->SetPosition(0);
    EXPECT_EQ(Seen(w, progress.LeftWidth + 1, 10), back);
    // Without a chunk image nothing is drawn.
    bar->SetPosition(50);
    TBitmap none;
    progress.Image2.Assign(none);
    const COLORREF own = Seen(w, 20, 10);
    EXPECT_NE(own, chunk);
    EXPECT_NE(own, back);
    skin.Detach();
}

// ---------------------------------------------------------------------------------------------
// Edits and combo boxes

TEST_F(SmallSkinTest, EditsGetAFlatBorderAndTheirSpinButtonASkin)
{
    TForm* form = Form();
    auto* edit = Control<TEdit>(form, 20, 20, 120, 24);
    auto* bare = Control<TEdit>(form, 20, 60, 120, 24);
    HWND spinWindow = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE, 100, 0, 16, 20, edit->Handle(),
                                      nullptr, GetModuleHandleA(nullptr), nullptr);
    // An edit without a border is left alone.
    HWND b = bare->Handle();
    SetWindowLongA(b, GWL_EXSTYLE, GetWindowLongA(b, GWL_EXSTYLE) & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    SetWindowLongA(b, GWL_STYLE, GetWindowLongA(b, GWL_STYLE) & ~WS_BORDER);
    SetWindowPos(b, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinEdit>(skin, edit));
    HWND w = edit->Handle();
    EXPECT_EQ(Seen(w, 0, 0), Rgb(data.Colours.ButtonShadow));
    EXPECT_EQ(Shown(w, 119, 23), Rgb(data.Colours.ButtonShadow));
    EXPECT_EQ(Shown(w, 1, 1), RGB(255, 255, 255));
    EXPECT_NE(Seen(b, 0, 0), Rgb(data.Colours.ButtonShadow));
    // The spin button inside, found at the first paint, drawn one pixel in.
    auto* spin = dynamic_cast<TSkinUpDown*>(skin.FindControlByHandle(spinWindow));
    ASSERT_TRUE(spin);
    EXPECT_TRUE(spin->FInset);
    EXPECT_EQ(SkinOf<TSkinEdit>(skin, edit)->FUpDown, spin);
    EXPECT_EQ(Seen(spinWindow, 1, 1), FrameColour(data.UpDownVert->Image, 1, 8));
    // WM_PRINT gets the frame too.
    UniqueDC printDC = CreateMemoryDC();
    const WindowDC screen(nullptr);
    UniqueBitmap printed(CreateCompatibleBitmap(screen.Get(), 120, 24));
    const SelectionGuard selected(printDC.get(), printed.get());
    SendMessageA(w, WM_PRINT, reinterpret_cast<WPARAM>(printDC.get()), PRF_NONCLIENT | PRF_CLIENT);
    EXPECT_EQ(GetPixel(printDC.get(), 0, 0), Rgb(data.Colours.ButtonShadow));
    EXPECT_EQ(GetPixel(printDC.get(), 119, 23), Rgb(data.Colours.ButtonShadow));
    skin.Detach();
    EXPECT_NE(Seen(w, 0, 0), Rgb(data.Colours.ButtonShadow));
}

TEST_F(SmallSkinTest, ComboBoxesShowEdgeButtonAndArrowByStateAndOnTheLeftMirrored)
{
    TForm* form = Form();
    auto* combo = Control<TComboBox>(form, 20, 20, 150, 150);
    auto* other = Control<TEdit>(form, 20, 100, 100, 24);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinComBox>(skin, combo));
    HWND w = combo->Handle();
    RECT r;
    GetWindowRect(w, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int b = GetSystemMetrics(SM_CXHSCROLL);
    auto edge = [&](int f) { return FrameColour(data.SunkEdge->Image, f, 4); };
    auto button = [&](int f) { return FrameColour(data.ComboButton->Image, f, 4); };
    auto arrow = [&](int f) { return FrameColour(data.ExtraImages->Image, f, 5); };
    const int arrowX = width - b - 2 + b / 2, arrowY = height / 2;
    SetFocus(other->Handle());
    EXPECT_EQ(Seen(w, 0, 0), edge(1));
    EXPECT_EQ(Shown(w, width - 1, 1), button(1));
    EXPECT_EQ(Shown(w, arrowX, arrowY), arrow(1));
    SetFocus(w);
    EXPECT_EQ(Seen(w, 0, 0), edge(4));
    EXPECT_EQ(Shown(w, arrowX, arrowY), arrow(4));
    SetFocus(other->Handle());
    combo->SetEnabled(false);
    EXPECT_EQ(Seen(w, 0, 0), edge(3));
    EXPECT_EQ(Shown(w, width - 1, 1), button(3));
    combo->SetEnabled(true);
    // On the left, the mirrored image: its frames in the other order.
    SetWindowLongA(w, GWL_EXSTYLE, GetWindowLongA(w, GWL_EXSTYLE) | WS_EX_LEFTSCROLLBAR);
    EXPECT_EQ(Seen(w, 0, 1), FrameColour(data.ComboButton->Image2, 1, 4));
    EXPECT_EQ(Shown(w, 0, 1), button(4));
    EXPECT_EQ(Shown(w, 2 + b / 2, arrowY), arrow(1));
    SetWindowLongA(w, GWL_EXSTYLE, GetWindowLongA(w, GWL_EXSTYLE) & ~WS_EX_LEFTSCROLLBAR);

    // The real mouse: hot over it, pressed while held.
    Seen(w, 0, 0);
    TInput input;
    input.MoveTo(w, 20, height / 2).Run();
    // The application's loop follows the control under the mouse as it dispatches mouse messages.
    PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(20, height / 2));
    Application->ProcessMessages();
    EXPECT_EQ(Shown(w, 0, 0), edge(4));
    input.Down().Run();
    EXPECT_EQ(Shown(w, 0, 0), edge(2));
    input.Up().Key("Escape").MoveTo(form->Handle(), 300, 250).Run();
    PostMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(300, 250));
    Application->ProcessMessages();
    SetFocus(other->Handle());
    EXPECT_EQ(Seen(w, 0, 0), edge(1));
    skin.Detach();
}

// ---------------------------------------------------------------------------------------------
// Status bars, panels and group boxes

struct StatusBarTest : SmallSkinTest {
    // The first and last columns between left and right where text stands on the panel's face.
    std::pair<int, int> TextSpan(HWND w, int left, int right, int height, COLORREF face)
    {
        Seen(w, 0, 0);
        int first = -1, last = -1;
        for (int x = left; x < right; ++x)
            for (int y = 0; y < height; ++y)
                if (const COLORREF c = Shown(w, x, y); c != face && c != Rgb(data.Colours.ButtonFace)) {
                    if (first < 0)
                        first = x;
                    last = x;
                }
        return {first, last};
    }
    COLORREF Panel(int frame) { return FrameColour(data.StatusBarEdges->Image, frame, 3); }
};

TEST_F(StatusBarTest, PanelsTakeTheirFrameTextAndPlaceUpToTheRightEdge)
{
    TForm* form = Form();
    auto* bar = Control<TStatusBar>(form, 0, 0, 400, 22);
    bar->SetPanels({{"Lowered", 100, TAlignment::taLeftJustify, TStatusPanelBevel::pbLowered, false},
                    {"", 100, TAlignment::taCenter, TStatusPanelBevel::pbRaised, false},
                    {"RTL", 100, TAlignment::taLeftJustify, TStatusPanelBevel::pbNone, true}});
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinStatusBar>(skin, bar));
    EXPECT_FALSE(bar->SizeGrip());  // the scan switched it off
    HWND w = bar->Handle();
    RECT c;
    GetClientRect(w, &c);
    RECT part;
    SendMessageA(w, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    EXPECT_EQ(Seen(w, part.left, part.top), Panel(1));
    SendMessageA(w, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&part));
    EXPECT_EQ(Shown(w, part.left + 1, part.top + 1), Panel(2));  // an empty text still has its frame
    EXPECT_EQ(Shown(w, (part.left + part.right) / 2, (part.top + part.bottom) / 2), Panel(2));
    SendMessageA(w, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&part));
    EXPECT_LT(part.right, c.right - 50);
    EXPECT_EQ(Shown(w, c.right - 2, part.top + 1), Panel(3));  // stretched to the right edge
    // Text: the first panel's at its left; right-to-left, left-aligned text at the right.
    const auto lowered = TextSpan(w, 0, 100, c.bottom, Panel(1));
    EXPECT_GE(lowered.first, 2);
    EXPECT_LT(lowered.first, 10);
    const auto rtl = TextSpan(w, part.left, c.right, c.bottom, Panel(3));
    EXPECT_GT(rtl.first, c.right - 60);
    // Centred stays centred.
    auto panels = bar->Panels();
    panels[2].Alignment = TAlignment::taCenter;
    bar->SetPanels(panels);
    const auto centred = TextSpan(w, part.left, c.right, c.bottom, Panel(3));
    EXPECT_NEAR((centred.first + centred.second) / 2, (part.left + c.right) / 2, 3);

    // No panels: one lowered panel over the whole bar with the simple text.
    bar->SetPanels({});
    bar->SetSimpleText("Simple");
    EXPECT_EQ(Seen(w, c.right - 2, 2), Panel(1));
    EXPECT_GE(TextSpan(w, 0, 100, c.bottom, Panel(1)).first, 2);
    // Without [StatusBarEdges]: plain bevels, the lowered one's shadow at the top left.
    auto edges = std::move(data.StatusBarEdges);
    EXPECT_EQ(Seen(w, 0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(Shown(w, c.right - 1, c.bottom - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    data.StatusBarEdges = std::move(edges);
    skin.Detach();
}

TEST_F(StatusBarTest, TheSizeGripIsDrawnOnlyWithItsStyle)
{
    TForm* form = Form();
    auto* bar = Control<TStatusBar>(form, 0, 0, 400, 22);
    form->Show();
    auto& formSkin = SkinWindow(&owner, form->Handle(), data);  // no scan of the framework form
    auto* skin = TComponent::Make<TSkinStatusBar>(bar);
    skin->AttachControl(&formSkin, &data, &formSkin.ControlCanvas(), false);
    HWND w = bar->Handle();
    RECT c;
    GetClientRect(w, &c);
    const int gw = data.ExtraImages->Image.Width() / 5, gh = data.ExtraImages->Image.Height();
    const COLORREF grip = FrameColour(data.ExtraImages->Image, 5, 5);
    EXPECT_EQ(Seen(w, c.right - 1 - gw / 2 - 1, c.bottom - 1 - gh / 2 - 1), grip);
    EXPECT_NE(Shown(w, c.right - 1, c.bottom - 1), grip);
    bar->SetSizeGrip(false);
    EXPECT_NE(Seen(w, c.right - 1 - gw / 2 - 1, c.bottom - 1 - gh / 2 - 1), grip);
    formSkin.Detach();
}

TEST_F(SmallSkinTest, PanelsAndGroupBoxesTakeTheFaceColourAndGiveItBack)
{
    TForm* form = Form();
    auto* panel = Control<TPanel>(form, 10, 10, 150, 100);
    panel->SetColor(clWhite);
    auto* group = Control<TGroupBox>(form, 200, 10, 150, 100);
    group->SetColor(clYellow);
    auto* inner = TComponent::Make<TCheckBox>(panel);
    inner->SetParent(panel);
    inner->SetBounds(10, 40, 100, 24);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinBox>(skin, panel));
    ASSERT_TRUE(SkinOf<TSkinBox>(skin, group));
    EXPECT_TRUE(SkinOf<TSkinCheckBox>(skin, inner));  // the panel's controls are scanned too
    EXPECT_EQ(panel->Color(), data.Colours.ButtonFace);
    EXPECT_EQ(group->Color(), data.Colours.ButtonFace);
    EXPECT_EQ(Seen(panel->Handle(), 75, 20), Rgb(data.Colours.ButtonFace));
    EXPECT_EQ(Seen(group->Handle(), 75, 50), Rgb(data.Colours.ButtonFace));
    skin.Detach();
    EXPECT_EQ(panel->Color(), clWhite);
    EXPECT_EQ(group->Color(), clYellow);
    EXPECT_EQ(Seen(panel->Handle(), 75, 20), RGB(255, 255, 255));

    // Attached without SetColour, a box never changes colour.
    auto& again = SkinWindow(&owner, form->Handle(), data);
    auto* box = TComponent::Make<TSkinBox>(panel);
    box->AttachControl(&again, &data, &again.ControlCanvas(), false);
    EXPECT_EQ(panel->Color(), clWhite);
    box->RestoreColor();
    EXPECT_EQ(box->SkinState(), cssColourBack);
    EXPECT_EQ(panel->Color(), clWhite);
    again.Detach();
}

// ---------------------------------------------------------------------------------------------
// Printing into a DC

// A window's client area as WM_PRINTCLIENT paints it into a picture first filled with a colour
// that no element of the fixture has.
class TPrinted {
public:
    static constexpr COLORREF kUnprinted = RGB(1, 2, 3);

    explicit TPrinted(HWND w)
    {
        RECT c;
        GetClientRect(w, &c);
        picture_.SetSize(c.right, c.bottom);
        picture_.Canvas().Brush().SetColor(static_cast<TColor>(kUnprinted));
        picture_.Canvas().FillRect(Rect(0, 0, c.right, c.bottom));
        SendMessageA(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture_.Canvas().Handle()),
                     PRF_CLIENT | PRF_ERASEBKGND);
    }
    COLORREF At(int x, int y) { return static_cast<COLORREF>(picture_.Canvas().Pixel(x, y)); }

private:
    TBitmap picture_;
};

TEST_F(StatusBarTest, PrintedControlsShowTheirSkinAsTheyPaintOnScreen)
{
    TForm* form = Form();
    auto* upDown = Control<TUpDown>(form, 20, 40, 20, 40);
    auto* box = Control<TCheckBox>(form, 60, 40, 120, 24);
    auto* progress = Control<TProgressBar>(form, 60, 80, 200, 20);
    auto* edit = Control<TEdit>(form, 60, 120, 120, 24);
    auto* bar = Control<TStatusBar>(form, 0, 0, 400, 22);
    bar->SetPanels({{"Lowered", 100}});
    progress->SetPosition(50);
    auto& skin = Skin(form);
    ASSERT_TRUE(SkinOf<TSkinUpDown>(skin, upDown));
    ASSERT_TRUE(SkinOf<TSkinCheckBox>(skin, box));
    ASSERT_TRUE(SkinOf<TSkinProgress>(skin, progress));
    ASSERT_TRUE(SkinOf<TSkinEdit>(skin, edit));
    ASSERT_TRUE(SkinOf<TSkinStatusBar>(skin, bar));

    // Painted by the skin instead of the control.
    TPrinted spin(upDown->Handle());
    EXPECT_EQ(spin.At(1, 1), FrameColour(data.UpDownVert->Image, 1, 8));
    EXPECT_EQ(spin.At(1, 38), FrameColour(data.UpDownVert->Image, 5, 8));
    TPrinted status(bar->Handle());
    RECT part;
    SendMessageA(bar->Handle(), SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part));
    EXPECT_EQ(status.At(part.left + 1, part.top + 1), Panel(1));
    // Painted by the skin over the control's own picture.
    TPrinted check(box->Handle());
    EXPECT_EQ(check.At(6, 12), Check(1));
    TPrinted filled(progress->Handle());
    EXPECT_EQ(filled.At(50, 10), FrameColour(data.Progress->Image, 2, 2));
    EXPECT_EQ(filled.At(150, 10), FrameColour(data.Progress->Image, 1, 2));
    // A frame around the client area: none of it in the client's picture.
    TPrinted field(edit->Handle());
    EXPECT_NE(field.At(0, 0), Rgb(data.Colours.ButtonShadow));
    EXPECT_NE(field.At(0, 0), TPrinted::kUnprinted);
    skin.Detach();
}

// ---------------------------------------------------------------------------------------------
// The scan

TEST_F(SmallSkinTest, TheScanGivesEachKindItsSkinByClassByListAndByWindowClass)
{
    TForm* form = Form();
    auto* picker = Control<TDateTimePicker>(form, 10, 10, 100, 24);
    auto* spinPicker = Control<TDateTimePicker>(form, 10, 40, 100, 24);
    SetWindowLongA(spinPicker->Handle(), GWL_STYLE, GetWindowLongA(spinPicker->Handle(), GWL_STYLE) | DTS_UPDOWN);
    auto* group = Control<TThirdGroup>(form, 200, 10, 200, 120);
    TCheckBox* members[2];
    for (int i = 0; i < 2; ++i) {
        members[i] = TComponent::Make<TCheckBox>(group);
        members[i]->SetParent(group);
        members[i]->SetBounds(10, 10 + 30 * i, 100, 24);
    }
    data.Skin3rd().Clear();
    data.Skin3rd().Add("TThirdGroup=RadioGroup");
    auto& skin = Skin(form);
    EXPECT_TRUE(SkinOf<TSkinComBox>(skin, picker));
    EXPECT_TRUE(SkinOf<TSkinEdit>(skin, spinPicker));
    // A radio group from the list: its children as radio buttons, the group a box.
    EXPECT_TRUE(SkinOf<TSkinBox>(skin, group));
    EXPECT_TRUE(SkinOf<TSkinRadioButton>(skin, members[0]));
    EXPECT_TRUE(SkinOf<TSkinRadioButton>(skin, members[1]));
    skin.Detach();
    // A check group whose gate for its children is clear: the box alone.
    data.Skin3rd().Clear();
    data.Skin3rd().Add("TThirdGroup=checkgroup");
    data.SetSkinControls(data.SkinControls() & ~SkinControlBit(xcCheckBox));
    auto& again = SkinWindow(form, form->Handle(), data, form);
    EXPECT_TRUE(SkinOf<TSkinBox>(again, group));
    EXPECT_FALSE(again.FindControlByHandle(members[0]->Handle()));
    again.Detach();
    data.SetSkinControls(TSkinData::kDefaultSkinControls);

    // A child the form lists before its group keeps the one skin it got first.
    TForm* early = Form();
    auto* first = TComponent::Make<TCheckBox>(early);
    auto* later = Control<TThirdGroup>(early, 10, 10, 200, 120);
    first->SetParent(later);
    first->SetBounds(10, 10, 100, 24);
    data.Skin3rd().Clear();
    data.Skin3rd().Add("TThirdGroup=RadioGroup");
    auto& once = Skin(early);
    EXPECT_EQ(std::count_if(once.Controls().begin(), once.Controls().end(),
                            [&](TSkinControl* c) { return c->Handle() == first->Handle(); }),
              1);
    EXPECT_TRUE(SkinOf<TSkinCheckBox>(once, first));
    once.Detach();

    // Bare child windows of a window that is no framework form.
    TForm* bare = Form();
    bare->Show();
    HWND parent = bare->Handle();
    auto child = [&](const char* cls, DWORD style, int y) {
        return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 10, y, 120, 100, parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    HWND check = child("button", BS_AUTOCHECKBOX, 10);
    HWND radio = child("button", BS_AUTORADIOBUTTON, 40);
    HWND combo = child("combobox", CBS_DROPDOWNLIST, 70);
    HWND simple = child("combobox", CBS_SIMPLE, 100);
    HWND extended = child(WC_COMBOBOXEXA, CBS_DROPDOWNLIST, 130);
    HWND edit = child("edit", WS_BORDER, 160);
    auto& windows = SkinWindow(&owner, parent, data);
    EXPECT_TRUE(dynamic_cast<TSkinCheckBox*>(windows.FindControlByHandle(check)));
    EXPECT_TRUE(dynamic_cast<TSkinRadioButton*>(windows.FindControlByHandle(radio)));
    EXPECT_TRUE(dynamic_cast<TSkinComBox*>(windows.FindControlByHandle(combo)));
    EXPECT_FALSE(windows.FindControlByHandle(simple));
    EXPECT_FALSE(windows.FindControlByHandle(extended));
    EXPECT_TRUE(dynamic_cast<TSkinComBox*>(windows.FindControlByHandle(GetTopWindow(extended))));
    EXPECT_TRUE(dynamic_cast<TSkinEdit*>(windows.FindControlByHandle(edit)));
    // A bare check box is drawn from the skin too.
    EXPECT_EQ(Seen(check, 6, 50), Check(1));
    // A check box whose window goes is freed by the next purge, as every other skin is.
    DestroyWindow(check);
    EXPECT_EQ(windows.FindControlByHandle(check)->SkinState(), cssDestroyed);
    windows.PurgeDeadControls();
    EXPECT_FALSE(windows.FindControlByHandle(check));
    windows.Detach();
    EXPECT_TRUE(windows.Controls().empty());
}

// ---------------------------------------------------------------------------------------------

TEST_F(SmallSkinTest, SkinningTheseControlsOnAndOffRepeatedlyLeaksNothing)
{
    TForm* form = Form();
    Control<TCheckBox>(form, 10, 10, 100, 24);
    Control<TRadioButton>(form, 10, 40, 100, 24);
    Control<TTrackBar>(form, 10, 70, 150, 40);
    Control<TUpDown>(form, 170, 10, 20, 40);
    Control<TProgressBar>(form, 10, 120, 150, 20)->SetPosition(40);
    Control<TEdit>(form, 10, 150, 100, 24);
    Control<TComboBox>(form, 10, 180, 120, 100);
    Control<TPanel>(form, 200, 60, 100, 60);
    Control<TGroupBox>(form, 200, 130, 100, 60);
    auto* bar = Control<TStatusBar>(form, 0, 0, 400, 20);
    bar->SetPanels({{"One", 100}, {"Two", 100}});
    form->Show();
    const int rounds = 3 * SoakCycles();
    TUsage before{};
    for (int i = 0; i < rounds; ++i) {
        if (i == 20)
            before = Usage();  // once every cache has grown to its size
        auto& skin = AttachSkin(form, form->Handle(), data, form);
        ASSERT_EQ(skin.Controls().size(), 10u);
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        skin.Detach();
        TComponent::Free(&skin);
    }
    ExpectNoGrowth("Skinning the small controls on and off", before, Usage());
    for (int i = 0; i < form->ComponentCount(); ++i) {
        if (auto* control = dynamic_cast<TWinControl*>(form->Components(i))) {
            EXPECT_EQ(control->ComponentCount(), 0) << control->ClassName();
        }
    }
}

}  // namespace
