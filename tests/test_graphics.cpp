#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "GdiHandles.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Jpeg.h"
#include "Streams.h"

namespace {

std::string DataPath(const std::string& name)
{
    const char* dir = std::getenv("LEXDRILL_TEST_DATA");
    std::string path = dir ? dir : "data";
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;  // a Unix path handed in by CTest, seen through Wine's drive Z:
    return path + "/" + name;
}

std::vector<uint8_t> ReadData(const std::string& name)
{
    TMemoryStream stream;
    stream.LoadFromFile(DataPath(name));
    return stream.Bytes();
}

TMemoryStream StreamOf(const std::vector<uint8_t>& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value)
{
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

COLORREF PixelAt(TBitmap& bitmap, int x, int y)
{
    return static_cast<COLORREF>(bitmap.Canvas().Pixel(x, y));
}

// The colours of tests/data/rgb5x3.ppm, row by row.
const COLORREF kRgb5x3[3][5] = {
    {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 255), RGB(0, 0, 0)},
    {RGB(255, 0, 255), RGB(255, 255, 0), RGB(0, 255, 255), RGB(128, 128, 128), RGB(0, 0, 128)},
    {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 0, 0), RGB(0, 0, 0), RGB(255, 255, 255)},
};

void ExpectRgb5x3(TBitmap& bitmap)
{
    ASSERT_EQ(bitmap.Width(), 5);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelAt(bitmap, x, y), kRgb5x3[y][x]) << "at " << x << "," << y;
}

}  // namespace

TEST(BitmapFile, LoadsEveryBitDepth)
{
    struct Case {
        const char* file;
        TPixelFormat format;
    };
    for (const Case& c : {Case{"depth4.bmp", TPixelFormat::pf4bit},
                          Case{"depth8.bmp", TPixelFormat::pf8bit},
                          Case{"depth24.bmp", TPixelFormat::pf24bit},
                          Case{"depth32.bmp", TPixelFormat::pf32bit}}) {
        SCOPED_TRACE(c.file);
        TBitmap bitmap;
        bitmap.LoadFromFile(DataPath(c.file));
        EXPECT_EQ(bitmap.PixelFormat(), c.format);
        ExpectRgb5x3(bitmap);
    }

    TBitmap twoColours;
    twoColours.LoadFromFile(DataPath("depth1.bmp"));
    EXPECT_EQ(twoColours.PixelFormat(), TPixelFormat::pf1bit);
    const char* expected[3] = {"bwbwb", "bwwwb", "bwbbw"};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelAt(twoColours, x, y),
                      expected[y][x] == 'w' ? RGB(255, 255, 255) : RGB(0, 0, 0));

    // The 8-bit file has two more rows; the 32-bit one keeps its alpha byte.
    TBitmap eight;
    eight.LoadFromFile(DataPath("depth8.bmp"));
    EXPECT_EQ(eight.Height(), 5);
    EXPECT_EQ(PixelAt(eight, 4, 4), RGB(4, 5, 6));
    TBitmap withAlpha;
    withAlpha.LoadFromFile(DataPath("depth32.bmp"));
    EXPECT_EQ(withAlpha.ScanLine(0)[3], 127);
    EXPECT_EQ(withAlpha.ScanLine(0)[7], 255);
}

TEST(BitmapFile, SavedFilesLoadBackUnchangedInEveryFormat)
{
    TBitmap source;
    source.LoadFromFile(DataPath("depth8.bmp"));
    for (TPixelFormat format : {TPixelFormat::pf8bit, TPixelFormat::pf24bit,
                                TPixelFormat::pf32bit, TPixelFormat::pfDevice}) {
        TBitmap copy;
        copy.Assign(source);
        copy.SetPixelFormat(format);
        TMemoryStream stream;
        copy.SaveToStream(stream);
        stream.SetPosition(0);
        TBitmap loaded;
        loaded.LoadFromStream(stream);
        EXPECT_EQ(stream.Position(), stream.Size());
        ExpectRgb5x3(loaded);
        EXPECT_EQ(PixelAt(loaded, 0, 3), RGB(10, 20, 30));
    }
}

TEST(BitmapFile, TopDownAndCoreHeaderFilesLoad)
{
    // A top-down 2 x 2 24-bit file: the first row in the file is the top row.
    std::vector<uint8_t> file(14 + 40 + 16, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, 10, 54);
    Put32(file, 14, 40);
    Put32(file, 18, 2);
    Put32(file, 22, static_cast<uint32_t>(-2));
    Put16(file, 26, 1);
    Put16(file, 28, 24);
    const uint8_t pixels[16] = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0};
    std::memcpy(file.data() + 54, pixels, sizeof pixels);
    TMemoryStream topDown = StreamOf(file);
    TBitmap bitmap;
    bitmap.LoadFromStream(topDown);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(PixelAt(bitmap, 0, 1), RGB(0, 0, 255));

    // The old 12-byte header with a 3-byte colour table, 1 bit per pixel, one 2-pixel row.
    std::vector<uint8_t> core(14 + 12 + 6 + 4, 0);
    core[0] = 'B';
    core[1] = 'M';
    Put32(core, 10, 32);
    Put32(core, 14, 12);
    Put16(core, 18, 2);
    Put16(core, 20, 1);
    Put16(core, 22, 1);
    Put16(core, 24, 1);
    const uint8_t table[6] = {0, 0, 255, 255, 0, 0};  // red, blue
    std::memcpy(core.data() + 26, table, sizeof table);
    core[32] = 0x40;  // pixel 0 red, pixel 1 blue
    TMemoryStream coreStream = StreamOf(core);
    bitmap.LoadFromStream(coreStream);
    EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap, 1, 0), RGB(0, 0, 255));
}

TEST(BitmapFile, MalformedFilesRaiseAndLeaveTheBitmapAsItWas)
{
    const std::vector<uint8_t> good = ReadData("depth8.bmp");
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    const auto patched = [&](const char* what, auto patch) {
        std::vector<uint8_t> bytes = good;
        patch(bytes);
        cases.push_back({what, bytes});
    };
    cases.push_back({"empty", {}});
    cases.push_back({"only the signature", {'B', 'M'}});
    cases.push_back({"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 30)});
    cases.push_back({"colour table cut", std::vector<uint8_t>(good.begin(), good.begin() + 300)});
    cases.push_back({"pixels cut", std::vector<uint8_t>(good.begin(), good.end() - 1)});
    patched("not BM", [](auto& b) { b[0] = 'X'; });
    patched("offset past the end", [](auto& b) { Put32(b, 10, 0x7FFFFFF0); });
    patched("offset inside the colour table", [](auto& b) { Put32(b, 10, 60); });
    patched("huge width", [](auto& b) { Put32(b, 18, 0x7FFFFFFF); });
    patched("huge height", [](auto& b) { Put32(b, 22, 30000); });
    patched("most negative height", [](auto& b) { Put32(b, 22, 0x80000000); });
    patched("zero width", [](auto& b) { Put32(b, 18, 0); });
    patched("two planes", [](auto& b) { Put16(b, 26, 2); });
    patched("bit count 7", [](auto& b) { Put16(b, 28, 7); });
    patched("bit count 16", [](auto& b) { Put16(b, 28, 16); });
    patched("run-length compression", [](auto& b) { Put32(b, 30, BI_RLE8); });
    patched("more colours than the depth allows", [](auto& b) { Put32(b, 46, 257); });
    patched("unknown header size", [](auto& b) { Put32(b, 14, 64); });
    patched("header size past the end", [](auto& b) { b.resize(60); Put32(b, 14, 124); });

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TBitmap bitmap(3, 2, TPixelFormat::pf24bit);
        TMemoryStream stream = StreamOf(c.bytes);
        EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);
        EXPECT_EQ(bitmap.Width(), 3);
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
    }
}

TEST(Bitmap, ScanLinesRunTopDownAndRefuseRowsOutside)
{
    TBitmap bitmap(4, 3, TPixelFormat::pf32bit);
    bitmap.ScanLine(0)[0] = 0x11;
    bitmap.ScanLine(2)[0] = 0x22;
    EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(0xFF, 0xFF, 0x11));
    EXPECT_EQ(PixelAt(bitmap, 0, 2), RGB(0xFF, 0xFF, 0x22));
    EXPECT_THROW(bitmap.ScanLine(3), EInvalidGraphicOperation);
    EXPECT_THROW(bitmap.ScanLine(-1), EInvalidGraphicOperation);
    TBitmap empty;
    EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, ResizingKeepsPixelsAndFillsNewOnesWhite)
{
    for (TPixelFormat format : {TPixelFormat::pf1bit, TPixelFormat::pf4bit, TPixelFormat::pf8bit,
                                TPixelFormat::pf24bit, TPixelFormat::pfDevice}) {
        TBitmap bitmap(2, 2, format);
        bitmap.Canvas().SetPixel(1, 1, clBlack);
        // The canvas's DC stays with the bitmap through the resize.
        SetStretchBltMode(bitmap.Canvas().Handle(), COLORONCOLOR);
        bitmap.SetSize(9, 5);
        EXPECT_EQ(GetStretchBltMode(bitmap.Canvas().Handle()), COLORONCOLOR);
        EXPECT_EQ(PixelAt(bitmap, 1, 1), RGB(0, 0, 0));
        EXPECT_EQ(PixelAt(bitmap, 0, 0), RGB(255, 255, 255));
        EXPECT_EQ(PixelAt(bitmap, 8, 4), RGB(255, 255, 255));
    }
}

TEST(Bitmap, MaskMakesTheKeyColourWhiteAndTheRestBlack)
{
    TBitmap bitmap;
    bitmap.LoadFromFile(DataPath("depth24.bmp"));
    bitmap.Mask(clFuchsia);
    EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf1bit);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(PixelAt(bitmap, x, y),
                      kRgb5x3[y][x] == RGB(255, 0, 255) ? RGB(255, 255, 255) : RGB(0, 0, 0));
}

TEST(Bitmap, AssignCopiesPixelsAndTransparencyIndependently)
{
    TBitmap source;
    source.LoadFromFile(DataPath("depth4.bmp"));
    source.SetTransparent(true);
    TBitmap copy;
    copy.Assign(source);
    source.Canvas().SetPixel(0, 0, clBlack);
    ExpectRgb5x3(copy);
    EXPECT_TRUE(copy.Transparent());
    // By default the key colour is the bottom-left pixel.
    EXPECT_EQ(copy.TransparentColor(), static_cast<TColor>(kRgb5x3[2][0]));
}

TEST(Bitmap, TransparentDrawingKeepsTheDestinationUnderTheKeyColour)
{
    TBitmap picture;
    picture.LoadFromFile(DataPath("depth24.bmp"));
    picture.SetTransparent(true);
    picture.SetTransparentColor(clFuchsia);
    TBitmap target(7, 5, TPixelFormat::pf32bit);
    target.Canvas().Brush().SetColor(clGreen);
    target.Canvas().FillRect(Rect(0, 0, 7, 5));
    target.Canvas().Draw(1, 1, picture);
    EXPECT_EQ(PixelAt(target, 0, 0), RGB(0, 128, 0));
    EXPECT_EQ(PixelAt(target, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(target, 1, 2), RGB(0, 128, 0));  // the magenta pixel
    EXPECT_EQ(PixelAt(target, 5, 3), RGB(255, 255, 255));
}

TEST(Canvas, FillsWithTheBrushAndClipsTextToItsRectangle)
{
    TBitmap bitmap(60, 30, TPixelFormat::pf32bit);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(clSkyBlue);
    canvas.FillRect(Rect(0, 0, 60, 30));
    EXPECT_EQ(PixelAt(bitmap, 59, 29), static_cast<COLORREF>(clSkyBlue));

    // Changing the font while it is selected: the new one is used, the old one let go.
    canvas.Font().SetHeight(-12);
    const int narrow = canvas.TextWidth("WWWW");
    canvas.Font().SetStyle(fsBold);
    canvas.Font().SetHeight(-24);
    EXPECT_GT(canvas.TextWidth("WWWW"), narrow);

    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().SetColor(clBlack);
    canvas.TextRect(Rect(0, 0, 10, 30), 0, 0, "WWWW");
    bool inked = false;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            const bool ink = PixelAt(bitmap, x, y) != static_cast<COLORREF>(clSkyBlue);
            inked |= ink;
            if (x >= 10) {
                EXPECT_FALSE(ink) << "at " << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(inked);
}

TEST(Canvas, DrawsOnADcSomeoneElseOwnsAndGivesItsObjectsBack)
{
    TBitmap bitmap(4, 4, TPixelFormat::pf32bit);
    HDC dc = bitmap.Canvas().Handle();
    HGDIOBJ ownBrush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ ownPen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ ownFont = GetCurrentObject(dc, OBJ_FONT);
    {
        TCanvas canvas;
        EXPECT_THROW(canvas.Handle(), EInvalidOperation);
        canvas.SetHandle(dc);
        canvas.Brush().SetColor(clRed);
        canvas.FillRect(Rect(0, 0, 2, 2));
        canvas.Pen().SetColor(clBlue);
        canvas.Rectangle(2, 2, 4, 4);
        canvas.TextWidth("W");
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ownBrush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), ownPen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
    EXPECT_EQ(PixelAt(bitmap, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelAt(bitmap, 2, 2), RGB(0, 0, 255));
}

TEST(Font, AssignAndHandleCarryEveryProperty)
{
    TFont font;
    font.SetName("Arial");
    font.SetSize(12);
    font.SetStyle(fsItalic | fsUnderline);
    font.SetCharset(GB2312_CHARSET);
    font.SetColor(clRed);
    TFont copy;
    copy.Assign(font);
    EXPECT_EQ(copy.Name(), "Arial");
    EXPECT_EQ(copy.Size(), 12);
    EXPECT_EQ(copy.Style(), fsItalic | fsUnderline);
    EXPECT_EQ(copy.Color(), clRed);

    LOGFONTA log{};
    GetObjectA(font.Handle(), sizeof log, &log);
    log.lfWeight = FW_BOLD;
    TFont adopted;
    adopted.SetHandle(CreateFontIndirectA(&log));
    EXPECT_EQ(adopted.Style(), fsBold | fsItalic | fsUnderline);
    EXPECT_EQ(adopted.Charset(), GB2312_CHARSET);
}

TEST(Colors, SystemColoursResolveAndExplicitOnesStay)
{
    EXPECT_EQ(ColorToRGB(clBtnFace), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(ColorToRGB(clSkyBlue), clSkyBlue);
}

TEST(Jpeg, DecodesIntoA24BitBitmap)
{
    TJPEGImage image;
    image.LoadFromFile(DataPath("red.jpg"));
    ASSERT_EQ(image.Width(), 16);
    ASSERT_EQ(image.Height(), 8);
    TBitmap canvas(16, 8, TPixelFormat::pf32bit);
    canvas.Canvas().Draw(0, 0, image);
    const COLORREF c = PixelAt(canvas, 15, 7);
    EXPECT_NEAR(GetRValue(c), 200, 2);
    EXPECT_NEAR(GetGValue(c), 40, 2);
    EXPECT_NEAR(GetBValue(c), 40, 2);

    TJPEGImage gray;
    gray.LoadFromFile(DataPath("gray.jpg"));
    EXPECT_EQ(gray.Bitmap().PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(gray.Width(), 5);
}

TEST(Jpeg, BrokenFilesRaiseTheLibraryCode)
{
    const std::vector<uint8_t> good = ReadData("red.jpg");
    const auto codeOf = [](const std::vector<uint8_t>& bytes) -> std::string {
        TJPEGImage image;
        TMemoryStream stream = StreamOf(bytes);
        try {
            image.LoadFromStream(stream);
        } catch (const EJPEG& e) {
            return e.Message();
        }
        return "no error";
    };
    std::vector<uint8_t> garbled = good;
    for (size_t i = 20; i < garbled.size(); ++i)
        garbled[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(codeOf({}), Format("JPEG error #%d", static_cast<int>(JERR_INPUT_EMPTY)));
    EXPECT_EQ(codeOf({0x89, 'P', 'N', 'G'}), Format("JPEG error #%d", static_cast<int>(JERR_NO_SOI)));
    EXPECT_EQ(codeOf(std::vector<uint8_t>(good.begin(), good.end() - 40)),
              Format("JPEG error #%d", static_cast<int>(JWRN_JPEG_EOF)));
    EXPECT_EQ(codeOf(garbled).rfind("JPEG error #", 0), 0u);

    // A failed load keeps the picture that was there.
    TJPEGImage image;
    image.LoadFromFile(DataPath("red.jpg"));
    TMemoryStream broken = StreamOf(std::vector<uint8_t>(good.begin(), good.begin() + 100));
    EXPECT_THROW(image.LoadFromStream(broken), EJPEG);
    EXPECT_EQ(image.Width(), 16);
}

TEST(Picture, RecognisesBitmapsAndJpegsAndCopiesThem)
{
    TPicture picture;
    picture.LoadFromFile(DataPath("red.jpg"));
    EXPECT_NE(dynamic_cast<TJPEGImage*>(picture.Graphic()), nullptr);
    TPicture copy;
    copy.Assign(picture);
    EXPECT_EQ(copy.Width(), 16);
    EXPECT_NE(copy.Graphic(), picture.Graphic());

    picture.LoadFromFile(DataPath("depth24.bmp"));
    ExpectRgb5x3(picture.Bitmap());

    TMemoryStream text = StreamOf({'G', 'I', 'F', '8'});
    EXPECT_THROW(picture.LoadFromStream(text), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 5);
}

TEST(ImageList, AddsOneImagePerWidthAndDrawsMaskedAndDisabled)
{
    // Two 8 x 8 images: a black 4 x 4 block at (2, 2) on magenta.
    TBitmap strip(16, 8, TPixelFormat::pf24bit);
    strip.Canvas().Brush().SetColor(clFuchsia);
    strip.Canvas().FillRect(Rect(0, 0, 16, 8));
    strip.Canvas().Brush().SetColor(clBlack);
    strip.Canvas().FillRect(Rect(2, 2, 6, 6));
    strip.Canvas().FillRect(Rect(10, 2, 14, 6));
    TImageList list(8, 8);
    EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target(20, 10, TPixelFormat::pf32bit);
    target.Canvas().Brush().SetColor(clWhite);
    target.Canvas().FillRect(Rect(0, 0, 20, 10));
    list.Draw(target.Canvas(), 0, 0, 1);
    EXPECT_EQ(PixelAt(target, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(target, 3, 3), RGB(0, 0, 0));

    list.Draw(target.Canvas(), 10, 0, 0, false);
    EXPECT_EQ(PixelAt(target, 12, 2), static_cast<COLORREF>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(PixelAt(target, 16, 6), static_cast<COLORREF>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(PixelAt(target, 11, 1), RGB(255, 255, 255));

    list.Draw(target.Canvas(), 0, 0, 2);  // no such image: nothing drawn, no failure
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(DcGuards, EachPutsBackTheStateItFound)
{
    TBitmap bitmap(8, 8, TPixelFormat::pf32bit);
    HDC dc = bitmap.Canvas().Handle();
    const HGDIOBJ ownBrush = GetCurrentObject(dc, OBJ_BRUSH);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(1, 2, 3));
    SetTextColor(dc, RGB(4, 5, 6));
    {
        const UniqueBrush brush(CreateSolidBrush(RGB(255, 0, 0)));
        const SelectionGuard selected(dc, brush.get());
        const BackgroundModeGuard mode(dc, TRANSPARENT);
        const BackgroundColorGuard back(dc, RGB(7, 8, 9));
        const TextColorGuard text(dc, RGB(10, 11, 12));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush.get());
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetBkColor(dc), RGB(7, 8, 9));
        EXPECT_EQ(GetTextColor(dc), RGB(10, 11, 12));
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ownBrush);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetTextColor(dc), RGB(4, 5, 6));

    {
        const SavedDC saved(dc);
        SetViewportOrgEx(dc, 3, 4, nullptr);
        SetTextColor(dc, RGB(0, 0, 0));
        IntersectClipRect(dc, 0, 0, 2, 2);
    }
    POINT origin{-1, -1};
    GetViewportOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
    EXPECT_EQ(GetTextColor(dc), RGB(4, 5, 6));
    const SavedDC none(nullptr);  // a DC that could not be had is left alone
}

TEST(DcGuards, ClipGuardPutsBackTheClipOrItsAbsence)
{
    TBitmap bitmap(8, 8, TPixelFormat::pf32bit);
    HDC dc = bitmap.Canvas().Handle();
    const UniqueRegion found(CreateRectRgn(0, 0, 0, 0));
    {
        const ClipGuard clip(dc);
        IntersectClipRect(dc, 1, 1, 3, 3);
        EXPECT_EQ(GetClipRgn(dc, found.get()), 1);
    }
    EXPECT_EQ(GetClipRgn(dc, found.get()), 0);

    const UniqueRegion own(CreateRectRgn(2, 2, 6, 6));
    SelectClipRgn(dc, own.get());
    {
        const ClipGuard clip(dc);
        SelectClipRgn(dc, nullptr);
        ExcludeClipRect(dc, 0, 0, 4, 4);
    }
    ASSERT_EQ(GetClipRgn(dc, found.get()), 1);
    EXPECT_TRUE(EqualRgn(found.get(), own.get()));
}

TEST(DcGuards, PaintDcPaintsTheUpdateRegionOnce)
{
    const UniqueWindow window(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "STATIC", "", WS_POPUP, 0, 0, 40, 30,
                                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(window);
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    // Windows of other programs on the display may cover part of this one, and move: the paint
    // DC draws where the update region is on show, as a window DC shows the window before and
    // after (in screen coordinates); tried again while the covering changes.
    const auto onShow = [&window] {
        UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
        const WindowDC dc(window.get());
        GetRandomRgn(dc.Get(), region.get(), SYSRGN);
        return region;
    };
    const RECT part{5, 6, 15, 16};
    for (int attempt = 0; attempt < 20; ++attempt) {
        ValidateRect(window.get(), nullptr);
        InvalidateRect(window.get(), &part, FALSE);
        const UniqueRegion before = onShow();
        const UniqueRegion painted(CreateRectRgn(0, 0, 0, 0));
        {
            const PaintDC paint(window.get());
            ASSERT_EQ(GetRandomRgn(paint.Get(), painted.get(), SYSRGN), 1);
        }
        EXPECT_FALSE(GetUpdateRect(window.get(), nullptr, FALSE));
        if (!EqualRgn(before.get(), onShow().get()))
            continue;
        POINT origin{0, 0};
        ClientToScreen(window.get(), &origin);
        const UniqueRegion expected(CreateRectRgn(part.left + origin.x, part.top + origin.y, part.right + origin.x,
                                                  part.bottom + origin.y));
        CombineRgn(expected.get(), expected.get(), before.get(), RGN_AND);
        EXPECT_TRUE(EqualRgn(painted.get(), expected.get()));
        return;
    }
    ADD_FAILURE() << "the window's visible region never stood still";
}
