// The small controls' skins, the status bar's and the boxes' on real controls under Wine: every
// state probed on the flat-colour fixture, the mouse and the keys real input.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "ComCtrls.h"
#include "Forms.h"
#include "InputTesting.h"
#include "SkinTesting.h"
#include "StdCtrls.h"
#include "WinSubClass.h"
#include "WindowTesting.h"

namespace {

// The flat colour of frame (from 1) of a strip of count frames side by side.
COLORREF FrameOf(TBitmap& strip, int frame, int count)
{
    const int w = strip.Width() / count;
    return static_cast<COLORREF>(strip.Canvas().Pixel((frame - 1) * w + w / 2, strip.Height() / 2));
}

// The colour at a point of a window after a full repaint, and as it stands.
COLORREF Shown(HWND w, int x, int y)
{
    const WindowDC dc(w, GetWindowDC(w));
    return GetPixel(dc.Get(), x, y);
}

COLORREF Seen(HWND w, int x, int y)
{
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return Shown(w, x, y);
}

COLORREF Rgb(TColor colour)
{
    return static_cast<COLORREF>(ColorToRGB(colour));
}

struct SmallSkinTest : ::testing::Test {
    void SetUp() override
    {
        LoadSkinFile(data, LEXDRILL_FORMSKIN_FIXTURE);
        ASSERT_TRUE(data.UpDownVert);
        SetCursorPos(0, 0);
    }
    TForm* Form()
    {
        auto* form = TComponent::Make<TForm>(&owner);
        form->SetBounds(150, 120, 460, 320);
        return form;
    }
    template <class T> T* Control(TForm* form, int left, int top, int width, int height)
    {
        auto* control = TComponent::Make<T>(form);
        control->SetParent(form);
        control->SetBounds(left, top, width, height);
        return control;
    }
    // A form shown and skinned as the manager skins it.
    TWinSkinForm& Skin(TForm* form)
    {
        form->Show();
        return SkinWindow(form, form->Handle(), data, form);
    }

    TComponent owner{nullptr};
    TSkinData& data = *TComponent::Make<TSkinData>(&owner);
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
    EXPECT_EQ(Seen(w, 1, 1), FrameOf(vert.Image, 1, 8));
    EXPECT_EQ(Shown(w, cx, 10), FrameOf(vert.Image2, 1, 8));
    EXPECT_EQ(Shown(w, 1, 38), FrameOf(vert.Image, 5, 8));
    EXPECT_EQ(Shown(w, cx, 30), FrameOf(vert.Image2, 5, 8));
    // Disabled: frames 3 and 7.
    upDown->SetEnabled(false);
    EXPECT_EQ(Seen(w, 1, 1), FrameOf(vert.Image, 3, 8));
    EXPECT_EQ(Shown(w, 1, 38), FrameOf(vert.Image, 7, 8));
    upDown->SetEnabled(true);
    // Side by side by its style, or forced: left frame 1, right frame 5 of [UpDown.Horz].
    TDataSkinBorder& horz = *data.UpDownHorz;
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) | UDS_HORZ);
    EXPECT_EQ(Seen(w, 1, 20), FrameOf(horz.Image, 1, 8));
    EXPECT_EQ(Shown(w, right, 20), FrameOf(horz.Image, 5, 8));
    SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) & ~UDS_HORZ);
    updownSkin->FForceHorz = 1;
    EXPECT_EQ(Seen(w, 1, 20), FrameOf(horz.Image, 1, 8));
    EXPECT_EQ(Shown(w, right, 20), FrameOf(horz.Image, 5, 8));
    updownSkin->FForceHorz = 0;

    // Without glyph images: plain boxes in the face colour, framed in the dark shadow.
    auto image = std::move(data.UpDownVert);
    EXPECT_EQ(Seen(w, 0, 0), Rgb(data.Colours.ButtonDkShadow));
    EXPECT_EQ(Shown(w, 3, 3), Rgb(data.Colours.ButtonFace));
    data.UpDownVert = std::move(image);
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
    EXPECT_EQ(Shown(w, 1, 38), FrameOf(vert.Image, 6, 8));
    EXPECT_EQ(Shown(w, 1, 1), FrameOf(vert.Image, 1, 8));
    input.Up().Run();
    EXPECT_EQ(Shown(w, 1, 38), FrameOf(vert.Image, 5, 8));
    input.MoveTo(w, 10, 6).Down().Run();
    EXPECT_EQ(Shown(w, 1, 1), FrameOf(vert.Image, 2, 8));
    EXPECT_EQ(Shown(w, 1, 38), FrameOf(vert.Image, 5, 8));
    input.Up().Run();
    EXPECT_EQ(Shown(w, 1, 1), FrameOf(vert.Image, 1, 8));

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
    skin->AttachWindow(spin, &data, &formSkin.FControlCanvas, &formSkin);
    skin->FInset = true;
    EXPECT_EQ(Seen(spin, 0, 0), Rgb(data.Colours.ButtonFace));
    RECT c;
    GetClientRect(spin, &c);
    EXPECT_EQ(Shown(spin, c.right - 1, c.bottom - 1), Rgb(data.Colours.ButtonFace));
    EXPECT_EQ(Shown(spin, 1, 1), FrameOf(data.UpDownVert->Image, 1, 8));
    formSkin.Detach();
    EXPECT_NE(Seen(spin, 1, 1), FrameOf(data.UpDownVert->Image, 1, 8));
}

}  // namespace
