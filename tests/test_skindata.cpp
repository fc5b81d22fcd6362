#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "SkinPack.h"
#include "SkinPaint.h"
#include "TempDir.h"
#include "WinSkinData.h"

namespace {

std::vector<std::string> messages;

using Bytes = std::vector<uint8_t>;

Bytes Image(int width, int height, TColor colour = 0x336699)
{
    TBitmap bitmap(width, height, TPixelFormat::pf24bit);
    bitmap.Canvas().Brush().SetColor(colour);
    bitmap.Canvas().FillRect(TRect{0, 0, width, height});
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.Bytes();
}

// Red on the left half, blue on the right.
Bytes TwoTone(int width, int height)
{
    TBitmap bitmap(width, height, TPixelFormat::pf24bit);
    bitmap.Canvas().Brush().SetColor(clRed);
    bitmap.Canvas().FillRect(TRect{0, 0, width / 2, height});
    bitmap.Canvas().Brush().SetColor(clBlue);
    bitmap.Canvas().FillRect(TRect{width / 2, 0, width, height});
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.Bytes();
}

Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

Bytes SkinFile(const std::vector<TSkinEntry>& entries)
{
    return PackLZH(BuildContainer(entries));
}

// The stored form: the length, then the skin file.
Bytes Stored(const Bytes& skinFile)
{
    const auto n = static_cast<uint32_t>(skinFile.size());
    Bytes out(4 + skinFile.size());
    for (int i = 0; i < 4; ++i)
        out[static_cast<size_t>(i)] = static_cast<uint8_t>(n >> (8 * i));
    std::copy(skinFile.begin(), skinFile.end(), out.begin() + 4);
    return out;
}

const TPropInfo& SkinStreamProperty()
{
    return *TSkinData::StaticClass().FindProperty("SkinStream");
}

void Store(TSkinData& data, const Bytes& stored)
{
    TLayoutValue value;
    value.kind = TLayoutValue::Kind::Binary;
    value.bytes = stored;
    SkinStreamProperty().Set(data, value, nullptr);
}

// A skin whose description is ini, with images of the given sizes under their names.
void Load(TSkinData& data, const std::string& ini, const std::vector<std::pair<std::string, Bytes>>& images = {})
{
    std::vector<TSkinEntry> entries{{"Skin.ini", Text(ini)}};
    for (const auto& [name, bytes] : images)
        entries.push_back({name, bytes});
    Store(data, Stored(SkinFile(entries)));
}

struct SkinDataTest : ::testing::Test {
    void SetUp() override { messages.clear(); }
    TComponent owner{nullptr};
    TSkinData& data = *TComponent::Make<TSkinData>(&owner);
};

}  // namespace

void SkinMessage(const std::string& text)
{
    messages.push_back(text);
}

TEST_F(SkinDataTest, StartsWithEveryDefault)
{
    EXPECT_FALSE(data.Active());
    EXPECT_EQ(data.DisableTag(), 99);
    EXPECT_EQ(data.SkinControls(), 0x3FFFFu);
    EXPECT_EQ(data.SkinFormtype(), sfMainform);
    EXPECT_EQ(data.Version(), "2.60.5.03");
    EXPECT_TRUE(data.MenuUpdate());
    EXPECT_FALSE(data.FSkinLoaded);
    EXPECT_TRUE(data.FFramePainting);
    EXPECT_TRUE(data.FIconImage.Empty());
    EXPECT_EQ(data.SkinStore(), "(none)");
    EXPECT_EQ(data.FMenuGlyphs.Count(), 4);

    const TStringList& lines = data.Skin3rd();
    ASSERT_EQ(lines.Count(), 95);
    EXPECT_EQ(lines.Strings(0), "TTBDock=Panel");
    EXPECT_EQ(lines.Strings(13), "TDBCheckboxEh=Checkbox");
    EXPECT_EQ(lines.Strings(14), "TDBCheckboxEh=Checkbox");
    EXPECT_EQ(lines.Strings(94), "TOVCDBNUMERICFIELD=Edit");

    for (TDataSkinObject* record : std::initializer_list<TDataSkinObject*>{
             &data.Left, &data.Right, &data.Top, &data.Bottom, &data.Title, &data.Buttons})
        EXPECT_TRUE(record->Image.Empty()) << record->Name;
    EXPECT_EQ(data.Buttons.Name, "Buttons");
    EXPECT_EQ(data.Title.Name, "Title");
    EXPECT_EQ(data.Tabs, nullptr);
    EXPECT_TRUE(data.FTitleButtons.empty());

    data.SetState(csDesigning, true);
    EXPECT_EQ(data.SkinStore(), "(none)");
}

TEST(SkinColourText, ReadsUpToThreeNumbers)
{
    EXPECT_EQ(ParseColourText("59 97 131", -1), 59 + 97 * 256 + 131 * 65536);
    EXPECT_EQ(ParseColourText("10,20,30", -1), ParseColourText("10 20 30", -1));
    EXPECT_EQ(ParseColourText("1 2", -1), 1);
    EXPECT_EQ(ParseColourText("255", -1), 0);
    EXPECT_EQ(ParseColourText("300 0 0", -1), 44);
    EXPECT_EQ(ParseColourText(" \t ", 7), 7);
    EXPECT_EQ(ParseColourText("1 2 3 4", -1), 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(ParseColourText("99999999999999999999 0 0", -1), 255) << "no number is too long";
}

TEST_F(SkinDataTest, ParsesADescriptionIntoRecordsAndColours)
{
    Load(data,
         "[Personality]\r\nLeft=skins\\FrameLeft.bmp\r\nLeftTopHeight=30\r\nLeftBotHeight=4\r\nLeftFrame=2\r\n"
         "Top=C:FrameTop.bmp\r\nTopTopHeight=6\r\nTopBotHeight=7\r\nTopFrame=0\r\nTopStretch=0\r\n"
         "Right=Right.BMP\r\nBottom=Bottom.tga\r\nTextBack=TextBack.bmp\r\nTextShift=26\r\n"
         "ActiveTextR=1\r\nActiveTextG=2\r\nActiveTextB=300\r\nInActiveTextR=1\r\n"
         "MenuBar=Menu.bmp\r\nTileLeftMenu=0x10\r\n"
         "[Colours]\r\nButtonFace=59 97 131\r\nButtonText=1,2,3\r\n"
         "[Button0]\r\nAction=0\r\nButtonImage=Wide.bmp\r\n"
         "[button1]\r\nAction=1\r\nButtonImage=Narrow.bmp\r\n"
         "[Button2]\r\nAction=3\r\nButtonImage=Narrow.bmp\r\n"
         "[Button3]\r\nAction=-1\r\nButtonImage=Narrow.bmp\r\n"
         "[Button4]\r\nAction=2\r\nframe=-2\r\nButtonImage=Wide.bmp\r\n"
         "[Button5]\r\nframe=4\r\nButtonImage=Narrow.bmp\r\n"
         "[Buttons]\r\nBitmap=Narrow.bmp\r\nTile=2\r\nCheckButton=Check.bmp\r\nRadioButton=Radio.bmp\r\n"
         "MouseOverColour2=9 9 9\r\n"
         "[Button.Radio]\r\n[BUTTON.CHECKBOX]\r\n"
         "[MDICONTROLS]\r\nImage=Mdi.bmp\r\n"
         "[Progress]\r\nBitmap=Narrow.bmp\r\nChunk=Check.bmp\r\nTile=2\r\n"
         "[toolbars]\r\nImage=Narrow.bmp\r\nFrameCount=9\r\n"
         "[Tabs]\r\nImage=Narrow.bmp\r\nBorder=Check.bmp\r\nTile=2\r\n"
         "[ComboButton]\r\nImage=Wide.bmp\r\n"
         "[HorzScrollThumb]\r\nImage=Narrow.bmp\r\nFrameCount=0\r\n"
         "[VertScrollThumb]\r\nImage=Narrow.bmp\r\nFrameCount=2\r\n"
         "[UpDown.Vert]\r\nImage=Narrow.bmp\r\nGlyphImage=Check.bmp\r\n"
         "[SunkEdge]\r\nImage=Missing.bmp\r\nLeftWidth=99999999999\r\nTopHeight=$1F\r\n",
         {{"framelEFT.bmp", Image(8, 60)}, {"FrameTop.bmp", Image(40, 60)}, {"Right.bmp", Image(8, 60)},
          {"Bottom.tga", Image(20, 8)}, {"TextBack.bmp", Image(24, 60)}, {"Menu.bmp", Image(40, 40)},
          {"Wide.bmp", Image(126, 21, 0x0000FF)}, {"Narrow.bmp", Image(63, 21)},
          {"Check.bmp", Image(65, 13)}, {"Radio.bmp", Image(20, 20)}, {"Mdi.bmp", Image(180, 15)}});
    ASSERT_TRUE(data.FSkinLoaded);

    // Image values: folder and drive parts are dropped, names match in any case, and only
    // ".bmp" in lower case names a bitmap.
    EXPECT_EQ(data.Left.Image.Width(), 8);
    EXPECT_EQ(data.Top.Image.Width(), 40);
    EXPECT_TRUE(data.Right.Image.Empty());
    EXPECT_TRUE(data.Bottom.Image.Empty());
    EXPECT_EQ(data.Left.TopHeight, 30);
    EXPECT_EQ(data.Left.BottomHeight, 4);
    EXPECT_EQ(data.Left.FrameCount, 2);
    EXPECT_EQ(data.Top.LeftWidth, 6);
    EXPECT_EQ(data.Top.RightWidth, 7);
    EXPECT_EQ(data.Top.TopHeight, 0);
    EXPECT_EQ(data.Top.FrameCount, 1) << "a frame count of 0 would divide by zero";
    EXPECT_EQ(data.Top.Tile, 0);
    EXPECT_EQ(data.Right.Trans, 1);

    EXPECT_EQ(data.Title.LeftWidth, 26);
    EXPECT_EQ(data.Title.FontHeight, 14);
    EXPECT_EQ(data.Title.ActiveTextColour, 1 + 2 * 256 + 44 * 65536);
    EXPECT_EQ(data.Title.InactiveTextColour, kColourNotGiven);
    ASSERT_NE(data.MenuBar, nullptr);
    EXPECT_EQ(data.MenuBar->Name, "Personality");
    EXPECT_EQ(data.MenuBar->LeftWidth, 16);
    EXPECT_EQ(data.MenuBar->RightWidth, 1);
    EXPECT_EQ(data.MenuBar->FrameCount, 2);

    EXPECT_EQ(data.Colours.ButtonFace, 59 + 97 * 256 + 131 * 65536);
    EXPECT_EQ(data.Colours.Menubar, data.Colours.ButtonFace);
    EXPECT_EQ(data.Colours.ButtonText, 1 + 2 * 256 + 3 * 65536);
    EXPECT_EQ(data.Colours.Menu, SystemColor(4));
    LOGBRUSH brush{};
    ASSERT_TRUE(GetObject(data.FButtonFaceBrush.get(), sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, static_cast<COLORREF>(data.Colours.ButtonFace));

    // Caption buttons: six frames for a wide image, three for a narrow one, six for a negative
    // action; the icon kind loses its image; a negative frame key counts as none.
    ASSERT_EQ(data.FTitleButtons.size(), 9u);
    EXPECT_EQ(data.FTitleButtons[0]->FrameCount, 6);
    EXPECT_EQ(data.FTitleButtons[1]->Name, "BUTTON1");
    EXPECT_EQ(data.FTitleButtons[1]->FrameCount, 3);
    EXPECT_EQ(data.FTitleButtons[1]->CombineOp, -1);
    EXPECT_TRUE(data.FTitleButtons[2]->Image.Empty());
    EXPECT_EQ(data.FTitleButtons[3]->FrameCount, 6);
    EXPECT_EQ(data.FTitleButtons[4]->FrameCount, 6);
    EXPECT_EQ(data.FTitleButtons[5]->FrameCount, 4);
    // The MDI buttons share the 180 x 15 image: 60 x 15 each, four frames.
    const int xcoords[] = {57, 38, 19};
    for (int i = 0; i < 3; ++i) {
        const TDataSkinSysButton& mdi = *data.FTitleButtons[6 + static_cast<size_t>(i)];
        EXPECT_EQ(mdi.Action, 7 + i);
        EXPECT_EQ(mdi.Align, 100);
        EXPECT_EQ(mdi.Visibility1, 100);
        EXPECT_EQ(mdi.FrameCount, 4);
        EXPECT_EQ(mdi.Image.Width(), 60);
        EXPECT_EQ(mdi.Image.Height(), 15);
        EXPECT_EQ(mdi.Xcoord, xcoords[i]);
    }

    EXPECT_EQ(data.Buttons.FrameCount, 5);
    EXPECT_EQ(data.Buttons.Tile, 2);
    EXPECT_EQ(data.Buttons.CheckButtonFrame, 5);
    EXPECT_EQ(data.Buttons.RadioButtonFrame, 4);
    EXPECT_FALSE(data.Buttons.HasNormalColour2);
    EXPECT_TRUE(data.Buttons.HasMouseOverColour2);
    EXPECT_EQ(data.Buttons.NormalColour2, data.Colours.ButtonText);
    EXPECT_EQ(data.Buttons.MouseOverColour2, 9 + 9 * 256 + 9 * 65536);

    ASSERT_NE(data.Progress, nullptr);
    EXPECT_EQ(data.Progress->Tile, 2);
    EXPECT_EQ(data.Progress->Image2.Width(), 65);
    ASSERT_NE(data.Toolbars, nullptr);
    EXPECT_EQ(data.Toolbars->Name, "Toolbars");
    EXPECT_EQ(data.Toolbars->FrameCount, 5);
    ASSERT_NE(data.Tabs, nullptr);
    EXPECT_EQ(data.Tabs->Tile, 0);
    EXPECT_EQ(data.Tabs->Image2.Width(), 65);
    EXPECT_EQ(data.Tabs->NormalColour2, data.Colours.ButtonText);
    EXPECT_EQ(data.Tabs->NormalColour, -1);

    // The combo button's second image is its first mirrored.
    ASSERT_NE(data.ComboButton, nullptr);
    EXPECT_EQ(data.ComboButton->FrameCount, 4);
    EXPECT_EQ(data.ComboButton->Image2.Width(), 126);
    EXPECT_EQ(data.ComboButton->Image2.PixelFormat(), TPixelFormat::pf24bit);

    EXPECT_EQ(data.HorzScrollThumb->FrameCount, 3);
    EXPECT_EQ(data.VertScrollThumb->FrameCount, 2);
    EXPECT_EQ(data.UpDownVert->FrameCount, 8);
    EXPECT_EQ(data.UpDownVert->Image2.Width(), 65);
    ASSERT_NE(data.SunkEdge, nullptr) << "an image not in the container leaves the element present";
    EXPECT_TRUE(data.SunkEdge->Image.Empty());
    EXPECT_EQ(data.SunkEdge->LeftWidth, 0);
    EXPECT_EQ(data.SunkEdge->TopHeight, 31);
    EXPECT_EQ(data.Scrollbar, nullptr);
    EXPECT_EQ(data.UpDownHorz, nullptr);
}

TEST_F(SkinDataTest, ADescriptionWithoutColoursOrSectionsGivesTheDefaults)
{
    Load(data, "[Colours]\r\nButtonFace=1 2 3\r\n[Tabs]\r\nImage=Tabs.bmp\r\n", {{"Tabs.bmp", Image(10, 10)}});
    ASSERT_NE(data.Tabs, nullptr);

    // A second parse replaces every optional element and refills the colours.
    Load(data, "; nothing but a comment\r\n");
    EXPECT_TRUE(data.FSkinLoaded);
    EXPECT_EQ(data.Tabs, nullptr);
    const TSkinColours defaults;
    EXPECT_EQ(data.Colours.ButtonFace, SystemColor(15));
    EXPECT_EQ(data.Colours.Menubar, SystemColor(15));
    EXPECT_EQ(data.Colours.Buttonlight, SystemColor(20));
    EXPECT_EQ(data.Colours.TitleTextNoActive, SystemColor(19));
    EXPECT_EQ(data.Colours.WindowText, defaults.WindowText);
    EXPECT_EQ(data.FTitleButtons.size(), 3u);
    EXPECT_TRUE(data.FTitleButtons[0]->Image.Empty());
    EXPECT_EQ(data.Left.FrameCount, 1);
    EXPECT_EQ(data.Buttons.CheckButtonFrame, 4);
    LOGBRUSH brush{};
    ASSERT_TRUE(GetObject(data.FButtonFaceBrush.get(), sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST_F(SkinDataTest, DamagedImagesAndAbsurdValuesGiveDefaults)
{
    Bytes truncated = Image(40, 40);
    truncated.resize(truncated.size() / 2);
    Bytes garbage = Text("BM this is no bitmap at all, only words");
    Load(data,
         "[Personality]\r\nLeft=Cut.bmp\r\nLeftFrame=-5\r\nTop=Garbage.bmp\r\nTopTopHeight=abc\r\n"
         "[Buttons]\r\nBitmap=Garbage.bmp\r\nCheckButton=Cut.bmp\r\nCheckButtonFrame=-3\r\n"
         "[Button0]\r\nButtonImage=Garbage.bmp\r\nframe=0x\r\n"
         "[MDICONTROLS]\r\nImage=Small.bmp\r\n"
         "[VertScrollThumb]\r\nImage=Cut.bmp\r\nFrameCount=-7\r\n",
         {{"Cut.bmp", truncated}, {"Garbage.bmp", garbage}, {"Small.bmp", Image(11, 5)}});
    ASSERT_TRUE(data.FSkinLoaded);
    EXPECT_TRUE(data.Left.Image.Empty());
    EXPECT_EQ(data.Left.FrameCount, 1);
    EXPECT_TRUE(data.Top.Image.Empty());
    EXPECT_EQ(data.Top.LeftWidth, 0);
    EXPECT_TRUE(data.Buttons.Image.Empty());
    EXPECT_EQ(data.Buttons.CheckButtonFrame, 4);
    EXPECT_EQ(data.FTitleButtons[0]->FrameCount, 6);
    EXPECT_TRUE(data.FTitleButtons[1]->Image.Empty()) << "an MDI image narrower than 12 pixels gives none";
    EXPECT_EQ(data.VertScrollThumb->FrameCount, 3);
}

TEST_F(SkinDataTest, HostileSizesOffsetsAndCountsAreClampedWhenRead)
{
    // Every value a real skin uses is kept (the client's own skin checks that too); values
    // past the limits are clamped, sizes at 0 and offsets either way.
    constexpr int kMax = 32767;
    Load(data,
         "[Personality]\r\nLeft=Frame.bmp\r\nLeftTopHeight=2147483647\r\nLeftBotHeight=-2147483648\r\n"
         "LeftFrame=0x7FFFFFFF\r\nTop=Frame.bmp\r\nTopTopHeight=$80000000\r\nTopBotHeight=32767\r\n"
         "TextShift=-2147483648\r\nTextShiftVert=-3\r\nTextRightClip=2147483647\r\n"
         "TXTBackleft=-6\r\nTXTBackRight=40000\r\nMenuBar=Frame.bmp\r\nTileLeftMenu=2147483647\r\n"
         "TileRightMenu=-1\r\n"
         "[Fonts]\r\nFontHeight=-2147483647\r\n"
         "[Button0]\r\nXcoord=2147483647\r\nYcoord=-40000\r\nframe=2147483647\r\nButtonImage=Frame.bmp\r\n"
         "[Button1]\r\nXcoord=-34\r\nYcoord=5\r\nframe=4\r\n"
         "[Buttons]\r\nLeftWidth=2147483647\r\nRightWidth=2147483647\r\nTopHeight=-2147483648\r\n"
         "BottomHeight=4\r\nRadioButtonFrame=2147483647\r\nCheckButtonFrame=$FFFFFFFF\r\n"
         "[MenuItem]\r\nImage=Frame.bmp\r\nLeftWidth=2147483647\r\nRightWidth=2147483647\r\n"
         "TopHeight=2147483647\r\nBottomHeight=2147483647\r\nTrans=7\r\n"
         "[Progress]\r\nBitmap=Frame.bmp\r\nLeftWidth=-5\r\nRightWidth=3\r\nTile=9\r\n"
         "[HorzScrollThumb]\r\nImage=Frame.bmp\r\nFrameCount=2147483647\r\n",
         {{"Frame.bmp", TwoTone(20, 10)}});
    ASSERT_TRUE(data.FSkinLoaded);

    EXPECT_EQ(data.Left.TopHeight, kMax);
    EXPECT_EQ(data.Left.BottomHeight, 0);
    EXPECT_EQ(data.Left.FrameCount, kMax);
    EXPECT_EQ(data.Top.LeftWidth, 0) << "$80000000 is the most negative number";
    EXPECT_EQ(data.Top.RightWidth, kMax);
    EXPECT_EQ(data.Title.LeftWidth, -kMax);
    EXPECT_EQ(data.Title.TopHeight, -3);
    EXPECT_EQ(data.Title.RightWidth, kMax);
    EXPECT_EQ(data.Title.TXTBackleft, 0);
    EXPECT_EQ(data.Title.TXTBackRight, kMax);
    EXPECT_EQ(data.Title.FontHeight, -kMax);
    EXPECT_EQ(data.MenuBar->LeftWidth, kMax);
    EXPECT_EQ(data.MenuBar->RightWidth, 0);
    EXPECT_EQ(data.FTitleButtons[0]->Xcoord, kMax);
    EXPECT_EQ(data.FTitleButtons[0]->Ycoord, -kMax);
    EXPECT_EQ(data.FTitleButtons[0]->FrameCount, kMax);
    EXPECT_EQ(data.FTitleButtons[1]->Xcoord, -34);
    EXPECT_EQ(data.FTitleButtons[1]->Ycoord, 5);
    EXPECT_EQ(data.FTitleButtons[1]->FrameCount, 4);
    EXPECT_EQ(data.Buttons.LeftWidth, kMax);
    EXPECT_EQ(data.Buttons.TopHeight, 0);
    EXPECT_EQ(data.Buttons.BottomHeight, 4);
    EXPECT_EQ(data.Buttons.RadioButtonFrame, kMax);
    EXPECT_EQ(data.Buttons.CheckButtonFrame, 4) << "-1 is no count: worked out from the image";
    EXPECT_EQ(data.Progress->LeftWidth, 0);
    EXPECT_EQ(data.Progress->RightWidth, 3);
    EXPECT_EQ(data.Progress->Tile, 9) << "switches are compared, never computed with";
    EXPECT_EQ(data.MenuItem->Trans, 7);
    EXPECT_EQ(data.HorzScrollThumb->FrameCount, kMax);

    // Margins that once overflowed their sum now fall back as any margins wider than their
    // target do: the whole frame stretched over it.
    const TDataSkinObject& item = *data.MenuItem;
    TBitmap& image = data.MenuItem->Image;
    const TRect margins{item.LeftWidth, item.TopHeight, item.RightWidth, item.BottomHeight};
    const auto hostile = StretchSkinFrame(Rect(0, 0, 30, 12), image, margins, 1, 1, false, false);
    const auto plain = StretchSkinFrame(Rect(0, 0, 30, 12), image, TRect{}, 1, 1, false, false);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(hostile->Canvas().Pixel(x, y), plain->Canvas().Pixel(x, y)) << x << "," << y;
}

TEST_F(SkinDataTest, SkinStreamIsWrittenBackAsItWasRead)
{
    const Bytes stored = Stored(SkinFile({{"a.ini", Text("[Colours]\r\nMenu=1 1 1\r\n")}}));
    Store(data, stored);
    EXPECT_TRUE(data.FSkinLoaded);
    EXPECT_EQ(data.Colours.Menu, 1 + 256 + 65536);
    EXPECT_EQ(SkinStreamProperty().GetBytes(data), stored);

    // A length of 0 or less keeps the stored skin and loads nothing.
    data.FSkinLoaded = false;
    Store(data, Bytes{0, 0, 0, 0});
    Store(data, Bytes{0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
    EXPECT_FALSE(data.FSkinLoaded);
    EXPECT_EQ(SkinStreamProperty().GetBytes(data), stored);

    // A length beyond the bytes that follow is a read error, and the stored skin stays.
    Bytes cut = stored;
    cut.resize(cut.size() - 1);
    EXPECT_THROW(Store(data, cut), EReadError);
    EXPECT_THROW(Store(data, Bytes{1, 0}), EReadError);
    EXPECT_EQ(SkinStreamProperty().GetBytes(data), stored);

    TSkinData& empty = *TComponent::Make<TSkinData>(&owner);
    EXPECT_EQ(SkinStreamProperty().GetBytes(empty), (Bytes{0, 0, 0, 0}));

    // While designed the stream is kept but not parsed.
    TSkinData& designed = *TComponent::Make<TSkinData>(&owner);
    designed.SetState(csDesigning, true);
    Store(designed, stored);
    EXPECT_FALSE(designed.FSkinLoaded);
    EXPECT_EQ(designed.SkinStore(), "(Good)");
}

TEST_F(SkinDataTest, ContainersThatCannotBeParsedLeaveTheSkinNotLoaded)
{
    // Another version of container: the reader tells the user.
    Bytes old = BuildContainer({{"skin.ini", Text("[Colours]\r\n")}});
    old[0] = 0x21;
    Store(data, Stored(PackLZH(old)));
    EXPECT_FALSE(data.FSkinLoaded);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "This is Older Skin File\rPlease update to new version !");
    EXPECT_FALSE(data.LoadSkin());

    // No description at all: said plainly, not as a failure to create a file.
    try {
        Store(data, Stored(SkinFile({{"Button.bmp", Image(4, 4)}, {"readme.txt", Text("ini")}})));
        FAIL() << "expected an error";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("no description (no .ini entry)"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(data.FSkinLoaded);
}

TEST_F(SkinDataTest, ALoadNeedsNoTemporaryFolder)
{
    // The description is read in memory: a temporary folder that is gone stops no skin.
    char saved[MAX_PATH];
    GetEnvironmentVariableA("TMP", saved, sizeof saved);
    const std::string gone = "C:\\no-such-folder\\";
    SetEnvironmentVariableA("TMP", gone.c_str());
    SetEnvironmentVariableA("TEMP", gone.c_str());
    try {
        Store(data, Stored(SkinFile({{"Skin.ini", Text("[Tabs]\r\nImage=t.bmp\r\n")}, {"t.bmp", Image(10, 4)}})));
    } catch (const Exception& e) {
        ADD_FAILURE() << e.what();
    }
    SetEnvironmentVariableA("TMP", saved);
    SetEnvironmentVariableA("TEMP", saved);
    EXPECT_TRUE(data.FSkinLoaded);
    EXPECT_NE(data.Tabs, nullptr);
}

TEST_F(SkinDataTest, SkinFileLoadsAnExistingFileAndMarksAMissingOneNotLoaded)
{
    const TTempCurrentDir dir;
    const Bytes file = SkinFile({{"Skin.ini", Text("[Tabs]\r\nImage=t.bmp\r\n")}, {"t.bmp", Image(10, 4)}});
    std::ofstream(dir.Path() + "\\my.skn", std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));

    data.SetSkinFile(dir.Path() + "\\my.skn");
    EXPECT_TRUE(data.FSkinLoaded);
    ASSERT_NE(data.Tabs, nullptr);
    EXPECT_EQ(data.SkinStream().Bytes(), file);

    data.SetSkinFile(dir.Path() + "\\missing.skn");
    EXPECT_FALSE(data.FSkinLoaded);
    EXPECT_EQ(data.SkinFile(), dir.Path() + "\\missing.skn");
    EXPECT_NE(data.Tabs, nullptr) << "the previous parsed skin stays in memory";
}

TEST_F(SkinDataTest, ClassFilterAndChangeEvent)
{
    bool doSkin = true;
    data.CheckFormSkin("SysMonthCal32", doSkin);
    EXPECT_FALSE(doSkin);
    doSkin = true;
    data.CheckFormSkin("sysmonthcal32", doSkin);
    EXPECT_TRUE(doSkin);
    data.CheckFormSkin("TfrPreview", doSkin);
    EXPECT_TRUE(doSkin);
    data.SetSkinControls(data.SkinControls() | SkinControlBit(xcFastReport));
    data.CheckFormSkin("TfrPreview", doSkin);
    EXPECT_FALSE(doSkin);

    std::vector<std::string> asked;
    data.OnFormSkin = [&](TObject* sender, const std::string& name, bool& skin) {
        EXPECT_EQ(sender, &data);
        asked.push_back(name);
        skin = name == "SysMonthCal32";
    };
    doSkin = true;
    data.CheckFormSkin("SysMonthCal32", doSkin);
    EXPECT_TRUE(doSkin) << "with a handler only the handler decides";
    EXPECT_EQ(asked, std::vector<std::string>{"SysMonthCal32"});

    int changes = 0;
    data.DoSkinChanged();
    data.OnSkinChanged = [&](TObject* sender) { changes += sender == &data; };
    data.DoSkinChanged();
    EXPECT_EQ(changes, 1);
}

TEST(SkinDataOwnSkin, EveryElementIsPresentWithItsFramesAndSizes)
{
    // The skin the build packs into the main window's layout, embedded here the same way.
    HRSRC found = FindResourceA(nullptr, "Index.SkinData1.skin", reinterpret_cast<LPCSTR>(RT_RCDATA));
    ASSERT_NE(found, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    TComponent owner(nullptr);
    TSkinData& data = *TComponent::Make<TSkinData>(&owner);
    Store(data, Bytes(bytes, bytes + SizeofResource(nullptr, found)));
    ASSERT_TRUE(data.FSkinLoaded);

    // Frame: a 30-pixel caption band, 4-pixel sides and bottom, active and inactive frames.
    EXPECT_EQ(data.Top.Image.Height() / data.Top.FrameCount, 30);
    EXPECT_EQ(data.Left.Image.Width() / data.Left.FrameCount, 4);
    EXPECT_EQ(data.Right.Image.Width() / data.Right.FrameCount, 4);
    EXPECT_EQ(data.Bottom.Image.Height() / data.Bottom.FrameCount, 4);
    for (const TDataSkinBorder* edge : {&data.Left, &data.Right, &data.Top, &data.Bottom})
        EXPECT_EQ(edge->FrameCount, 2) << edge->Name;
    // The window's top corners are cut: magenta in the side images' top-left pixels.
    EXPECT_EQ(data.Left.Image.Canvas().Pixel(0, 0), clFuchsia);
    EXPECT_EQ(data.Right.Image.Canvas().Pixel(data.Right.Image.Width() / 2 - 1, 0), clFuchsia);
    EXPECT_FALSE(data.Title.Image.Empty());
    EXPECT_EQ(data.Colours.ButtonFace, 238 + 241 * 256 + 245 * 65536);
    // Its sizes and offsets are as written: the limits on hostile values take none of them.
    EXPECT_EQ(data.Left.TopHeight, 30);
    EXPECT_EQ(data.Title.LeftWidth, 26);
    EXPECT_EQ(data.Title.RightWidth, 100);
    EXPECT_EQ(data.Title.TXTBackRight, 6);
    EXPECT_EQ(data.MenuBar->LeftWidth, 4);
    EXPECT_EQ(data.Tabs->BottomHeight, 3);

    // Close, maximise, restore, minimise, the icon, and the three MDI buttons.
    ASSERT_EQ(data.FTitleButtons.size(), 8u);
    const int actions[] = {0, 1, 1, 2, 3, 7, 8, 9};
    for (size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(data.FTitleButtons[i]->Action, actions[i]) << i;
        EXPECT_EQ(data.FTitleButtons[i]->FrameCount, i == 4 ? 3 : 4) << i;
        EXPECT_EQ(data.FTitleButtons[i]->Image.Empty(), i == 4) << i;
    }
    EXPECT_EQ(data.FTitleButtons[3]->Xcoord, 94);
    EXPECT_EQ(data.FTitleButtons[4]->Ycoord, 7);
    EXPECT_EQ(data.FTitleButtons[0]->Image.Width(), 4 * 28);
    EXPECT_EQ(data.FTitleButtons[5]->Image.Width(), 4 * 16);

    EXPECT_EQ(data.Buttons.Image.Width(), 5 * 24);
    EXPECT_EQ(data.Buttons.CheckButtonFrame, 4);
    EXPECT_EQ(data.Buttons.RadioButtonFrame, 4);
    EXPECT_EQ(data.Buttons.CheckImage.Width(), 4 * 13);

    const std::pair<const TDataSkinObject*, int> elements[] = {
        {data.MenuBar.get(), 2}, {data.Progress.get(), 2}, {data.GroupBoxEdge.get(), 2},
        {data.Toolbars.get(), 5}, {data.Tabs.get(), 5}, {data.StatusBarEdges.get(), 3},
        {data.ComboButton.get(), 4}, {data.SunkEdge.get(), 4}, {data.ExtraImages.get(), 5},
        {data.Headerbar.get(), 5}, {data.MenuItem.get(), 5}, {data.MenuBackground.get(), 1},
        {data.Scrollbar.get(), 23}, {data.HorzScroll.get(), 4}, {data.VertScroll.get(), 4},
        {data.HorzScrollThumb.get(), 3}, {data.VertScrollThumb.get(), 3},
        {data.TrackbarThumbHorz.get(), 5}, {data.TrackbarThumbVert.get(), 5},
        {data.TrackbarThumbLeft.get(), 5}, {data.TrackbarThumbRight.get(), 5},
        {data.TrackbarThumbUp.get(), 5}, {data.TrackbarThumbDown.get(), 5},
        {data.UpDownHorz.get(), 8}, {data.UpDownVert.get(), 8}};
    for (const auto& [element, frames] : elements) {
        ASSERT_NE(element, nullptr) << frames;
        EXPECT_EQ(element->FrameCount, frames) << element->Name;
        ASSERT_FALSE(element->Image.Empty()) << element->Name;
        // Side by side, except the menu bar's frames, which lie one under the other.
        const bool vertical = element == data.MenuBar.get();
        EXPECT_EQ((vertical ? element->Image.Height() : element->Image.Width()) % frames, 0) << element->Name;
    }
    EXPECT_EQ(data.Scrollbar->Image.Width(), 23 * 16);
    EXPECT_EQ(data.Scrollbar->Image.Height(), 16);
    EXPECT_EQ(data.Progress->Image2.Width(), 9);
    EXPECT_EQ(data.Tabs->Image2.Width(), 20);
    EXPECT_EQ(data.ComboButton->Image2.Width(), data.ComboButton->Image.Width());
    EXPECT_EQ(data.UpDownHorz->Image2.Width() % 8, 0);
    EXPECT_EQ(data.UpDownVert->Image2.Width() % 8, 0);
}

TEST(SkinDataResources, MissingBitmapResourceIsReported)
{
    TBitmap bitmap;
    EXPECT_THROW(bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "NOSUCHBITMAP"), EResNotFound);
    bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "GLAZKITMENU");
    EXPECT_EQ(bitmap.Width(), 64);
    EXPECT_EQ(bitmap.Height(), 16);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
}
