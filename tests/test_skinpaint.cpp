#include <gtest/gtest.h>

#include "SkinPaint.h"

namespace {

// A skin image whose pixel (x, y) is RGB(x, y, 77): every pixel tells where it came from and
// none is the key colour.
std::unique_ptr<TBitmap> CoordinateImage(int width, int height)
{
    auto image = std::make_unique<TBitmap>(width, height, TPixelFormat::pf32bit);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            row[x * 4] = 77;
            row[x * 4 + 1] = static_cast<uint8_t>(y);
            row[x * 4 + 2] = static_cast<uint8_t>(x);
        }
    }
    return image;
}

std::unique_ptr<TBitmap> Filled(int width, int height, TColor colour)
{
    auto bitmap = std::make_unique<TBitmap>(width, height, TPixelFormat::pf32bit);
    bitmap->Canvas().Brush().SetColor(colour);
    bitmap->Canvas().FillRect(Rect(0, 0, width, height));
    return bitmap;
}

// The source column and row a target pixel came from, or -1 when it is not from the image.
int SourceX(TBitmap& bitmap, int x, int y)
{
    const COLORREF c = GetPixel(bitmap.Canvas().Handle(), x, y);
    return GetBValue(c) == 77 ? GetRValue(c) : -1;
}

int SourceY(TBitmap& bitmap, int x, int y)
{
    const COLORREF c = GetPixel(bitmap.Canvas().Handle(), x, y);
    return GetBValue(c) == 77 ? GetGValue(c) : -1;
}

COLORREF PixelAt(TBitmap& bitmap, int x, int y)
{
    return GetPixel(bitmap.Canvas().Handle(), x, y);
}

bool SamePixels(TBitmap& a, TBitmap& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (PixelAt(a, x, y) != PixelAt(b, x, y))
                return false;
    return true;
}

// The columns of a 101-pixel row from a 30-pixel frame with margins 8 and 8 and a middle
// repeated from x = 8 in steps of 14, the seventh copy cut at x = 93 by the right part.
void ExpectRepeatedMiddle(TBitmap& target, int row)
{
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(SourceX(target, x, row), x);
    for (int x = 8; x < 93; ++x)
        EXPECT_EQ(SourceX(target, x, row), 8 + (x - 8) % 14) << "at " << x;
    for (int x = 93; x < 101; ++x)
        EXPECT_EQ(SourceX(target, x, row), x - 93 + 22);
}

}  // namespace

TEST(SkinFrame, NineSliceKeepsMarginsAndStretchesTheMiddleAcross101Pixels)
{
    auto image = CoordinateImage(30, 10);
    auto frame = StretchSkinFrame(Rect(0, 0, 101, 20), *image, Rect(8, 0, 8, 0), 1, 1, false,
                                  false);
    ASSERT_EQ(frame->Width(), 101);
    ASSERT_EQ(frame->Height(), 20);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(SourceX(*frame, x, 0), x);
    for (int x = 93; x < 101; ++x)
        EXPECT_EQ(SourceX(*frame, x, 0), x - 93 + 22);
    // The 14 middle columns spread over 85 in order, every one of them used.
    int previous = 8;
    for (int x = 8; x < 93; ++x) {
        const int source = SourceX(*frame, x, 0);
        EXPECT_GE(source, previous);
        EXPECT_LE(source, 21);
        previous = source;
    }
    EXPECT_EQ(SourceX(*frame, 8, 0), 8);
    EXPECT_EQ(previous, 21);
    // Twice the height: each source row covers two target rows.
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(SourceY(*frame, 50, y), y / 2);
}

TEST(SkinFrame, TiledCentreAndBarRepeatTheMiddleSevenTimes)
{
    auto image = CoordinateImage(30, 20);
    auto tiled = StretchSkinFrame(Rect(0, 0, 101, 20), *image, Rect(8, 0, 8, 0), 1, 1, true,
                                  false);
    ExpectRepeatedMiddle(*tiled, 5);

    auto bar = Filled(101, 20, clBlack);
    DrawSkinBar(bar->Canvas(), Rect(0, 0, 101, 20), *image, Rect(8, 0, 8, 0), 1, 1, false, false);
    for (int y : {0, 19})
        ExpectRepeatedMiddle(*bar, y);
}

TEST(SkinFrame, MarginsWiderThanTheTargetFallBackPerAxis)
{
    // 10 pixels wide with side margins 8 and 8: the whole frame width over 10 pixels (one in
    // three columns); the top and bottom margins still apply.
    auto image = CoordinateImage(30, 10);
    auto frame = StretchSkinFrame(Rect(0, 0, 10, 20), *image, Rect(8, 2, 8, 3), 1, 1, false,
                                  false);
    for (int x = 0; x < 10; ++x) {
        EXPECT_GE(SourceX(*frame, x, 0), 3 * x);
        EXPECT_LE(SourceX(*frame, x, 0), 3 * x + 2);
    }
    EXPECT_EQ(SourceY(*frame, 4, 0), 0);
    EXPECT_EQ(SourceY(*frame, 4, 1), 1);
    EXPECT_EQ(SourceY(*frame, 4, 17), 7);
    EXPECT_EQ(SourceY(*frame, 4, 19), 9);
    for (int y = 2; y < 17; ++y) {
        EXPECT_GE(SourceY(*frame, 4, y), 2);
        EXPECT_LE(SourceY(*frame, 4, y), 6);
    }
}

TEST(SkinFrame, FramesAreCutFromHorizontalAndVerticalStrips)
{
    // Frame 4 of 5 on a 100-pixel strip: columns 60 to 79.
    auto strip = CoordinateImage(100, 6);
    auto target = Filled(20, 6, clBlack);
    DrawSkinImage(target->Canvas().Handle(), Rect(0, 0, 20, 6), *strip, TRect(), 4, 5, false,
                  false, false);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(SourceX(*target, x, 3), 60 + x);
    DrawSkinGlyph(target->Canvas().Handle(), Rect(0, 0, 20, 6), *strip, 2, 5, false);
    EXPECT_EQ(SourceX(*target, 0, 0), 20);
    EXPECT_EQ(SourceX(*target, 19, 5), 39);

    // Two frames of 20 rows in a 41-row strip: the second is rows 20 to 39, row 40 unused.
    auto vertical = CoordinateImage(4, 41);
    auto second = StretchSkinFrame(Rect(0, 0, 4, 20), *vertical, TRect(), 2, 2, false, true);
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(SourceY(*second, 1, y), 20 + y);
}

TEST(SkinFrame, FrameNumbersOutsideTheCountShowTheNearestFrameThereIs)
{
    // Frame 7 of 5 is the last frame, columns 80 to 99; frame 0 is the first.
    auto strip = CoordinateImage(100, 6);
    auto target = Filled(20, 6, clBlack);
    HDC dc = target->Canvas().Handle();
    DrawSkinImage(dc, Rect(0, 0, 20, 6), *strip, TRect(), 7, 5, false, false, false);
    EXPECT_EQ(SourceX(*target, 0, 3), 80);
    EXPECT_EQ(SourceX(*target, 19, 3), 99);
    DrawSkinGlyph(dc, Rect(0, 0, 20, 6), *strip, 0, 5, false);
    EXPECT_EQ(SourceX(*target, 19, 3), 19);
    DrawSkinBar(target->Canvas(), Rect(0, 0, 20, 6), *strip, Rect(2, 0, 2, 0), 3, 1, false, false);
    EXPECT_EQ(SourceX(*target, 0, 3), 0);
    EXPECT_EQ(SourceX(*target, 19, 3), 99);
    DrawSkinBorder(dc, Rect(0, 0, 20, 6), *strip, Rect(2, 2, 2, 2), 6, 5, false);
    EXPECT_EQ(SourceX(*target, 0, 0), 80);

    // Frame 3 of a vertical strip of two: rows 20 to 39.
    auto vertical = CoordinateImage(4, 40);
    auto third = StretchSkinFrame(Rect(0, 0, 4, 20), *vertical, TRect(), 3, 2, false, true);
    EXPECT_EQ(SourceY(*third, 1, 0), 20);
    EXPECT_EQ(SourceY(*third, 1, 19), 39);
}

TEST(SkinFrame, BadFramesAndRectanglesDrawNothingAndNeverHang)
{
    auto image = CoordinateImage(30, 10);
    auto target = Filled(40, 10, clBlack);
    HDC dc = target->Canvas().Handle();
    DrawSkinImage(dc, Rect(10, 0, 5, 10), *image, TRect(), 1, 1, false, false, false);
    DrawSkinGlyph(dc, Rect(0, 10, 5, 0), *image, 1, 1, false);
    DrawSkinBar(target->Canvas(), Rect(10, 0, 5, 10), *image, TRect(), 1, 1, false, false);
    TransparentBlit(dc, Rect(10, 0, 5, 10), *image, SkinKeyColor);
    EXPECT_EQ(PixelAt(*target, 8, 5), RGB(0, 0, 0));

    // A frame count of 0 counts as one frame instead of dividing by zero.
    DrawSkinGlyph(dc, Rect(0, 0, 30, 10), *image, 1, 0, false);
    EXPECT_EQ(SourceX(*target, 29, 0), 29);

    // Margins wider than the frame leave the bar no middle: the two ends only.
    auto bar = Filled(40, 10, clBlack);
    DrawSkinBar(bar->Canvas(), Rect(0, 0, 40, 10), *image, Rect(20, 0, 15, 0), 1, 1, false,
                false);
    EXPECT_EQ(SourceX(*bar, 0, 0), 0);
    EXPECT_EQ(SourceX(*bar, 25, 0), 15);
    EXPECT_EQ(SourceX(*bar, 39, 0), 29);
    EXPECT_EQ(PixelAt(*bar, 22, 0), RGB(255, 255, 255));  // the bar's own background
}

TEST(SkinFrame, BorderDrawsCornersAndEdgesButLeavesTheCentre)
{
    auto image = CoordinateImage(30, 10);
    auto target = Filled(50, 30, clBlack);
    DrawSkinBorder(target->Canvas().Handle(), Rect(5, 5, 45, 25), *image, Rect(4, 2, 4, 2), 1,
                   1, false);
    EXPECT_EQ(GetStretchBltMode(target->Canvas().Handle()), COLORONCOLOR);
    EXPECT_EQ(PixelAt(*target, 4, 4), RGB(0, 0, 0));
    EXPECT_EQ(SourceX(*target, 5, 5), 0);
    EXPECT_EQ(SourceY(*target, 5, 5), 0);
    EXPECT_EQ(SourceX(*target, 44, 24), 29);
    EXPECT_EQ(SourceY(*target, 44, 24), 9);
    EXPECT_EQ(SourceY(*target, 20, 6), 1);  // top edge
    EXPECT_EQ(SourceX(*target, 43, 15), 28);  // right edge
    EXPECT_EQ(PixelAt(*target, 25, 15), RGB(0, 0, 0));
}

TEST(SkinTile, TilesReachPastTheRectangleInsteadOfBeingClipped)
{
    auto image = CoordinateImage(40, 40);
    auto target = Filled(60, 60, clBlack);
    TileBitmap(target->Canvas(), Rect(0, 0, 40, 40), *image, Rect(16, 16, 32, 32));
    EXPECT_EQ(SourceX(*target, 0, 0), 16);
    EXPECT_EQ(SourceX(*target, 47, 47), 31);
    EXPECT_EQ(SourceY(*target, 47, 47), 31);
    EXPECT_EQ(SourceX(*target, 33, 17), 17);
    EXPECT_EQ(PixelAt(*target, 48, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(*target, 0, 48), RGB(0, 0, 0));

    TileBitmap(target->Canvas(), Rect(0, 0, 60, 60), *image, Rect(5, 5, 5, 30));
    EXPECT_EQ(PixelAt(*target, 48, 0), RGB(0, 0, 0));
}

TEST(SkinTransparency, BothPathsKeepTheDestinationUnderTheKeyColour)
{
    auto picture = CoordinateImage(12, 8);
    picture->Canvas().Brush().SetColor(SkinKeyColor);
    picture->Canvas().FillRect(Rect(3, 2, 7, 5));
    auto viaMask = Filled(20, 12, clGreen);
    auto viaThree = Filled(20, 12, clGreen);
    TransparentBlit(viaMask->Canvas().Handle(), Rect(2, 2, 14, 10), *picture, SkinKeyColor,
                    TTransparentBlitPath::tbMaskBlt);
    TransparentBlit(viaThree->Canvas().Handle(), Rect(2, 2, 14, 10), *picture, SkinKeyColor,
                    TTransparentBlitPath::tbThreeBlits);
    EXPECT_TRUE(SamePixels(*viaMask, *viaThree));
    EXPECT_EQ(SourceX(*viaMask, 2, 2), 0);
    EXPECT_EQ(SourceX(*viaMask, 13, 9), 11);
    EXPECT_EQ(PixelAt(*viaMask, 6, 5), RGB(0, 128, 0));  // key pixel (4, 3)
    EXPECT_EQ(PixelAt(*viaMask, 1, 1), RGB(0, 128, 0));

    // The drawing routines' transparent paths agree with it.
    auto image = Filled(20, 12, clGreen);
    DrawSkinImage(image->Canvas().Handle(), Rect(2, 2, 14, 10), *picture, TRect(), 1, 1, true,
                  false, false);
    EXPECT_TRUE(SamePixels(*image, *viaMask));
    auto bar = Filled(20, 12, clGreen);
    DrawSkinBar(bar->Canvas(), Rect(2, 2, 14, 10), *picture, TRect(), 1, 1, true, false);
    EXPECT_TRUE(SamePixels(*bar, *viaMask));
}

namespace {

// The plain way to the same region: one rectangle per run, combined one at a time.
UniqueRegion RunByRunRegion(TBitmap& bitmap, int dx, int dy)
{
    UniqueRegion result(CreateRectRgn(0, 0, 0, 0));
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width();) {
            int end = x;
            while (end < bitmap.Width() && PixelAt(bitmap, end, y) != RGB(255, 0, 255))
                ++end;
            if (end > x) {
                UniqueRegion run(CreateRectRgn(x + dx, y + dy, end + dx, y + 1 + dy));
                CombineRgn(result.get(), result.get(), run.get(), RGN_OR);
            }
            x = end + 1;
        }
    }
    return result;
}

}  // namespace

TEST(SkinRegion, AllKeyColourGivesAnEmptyRegionAndTolerancesCountUpwards)
{
    auto magenta = Filled(10, 4, SkinKeyColor);
    UniqueRegion empty = BitmapToRegion(*magenta, 0, 0, SkinKeyColor, 1, 1, 1);
    ASSERT_TRUE(empty);
    RECT box;
    EXPECT_EQ(GetRgnBox(empty.get(), &box), NULLREGION);

    magenta->Canvas().SetPixel(1, 1, RGB(255, 1, 255));
    magenta->Canvas().SetPixel(2, 2, RGB(254, 0, 255));
    UniqueRegion one = BitmapToRegion(*magenta, 100, 50, SkinKeyColor, 1, 1, 1);
    EXPECT_EQ(GetRgnBox(one.get(), &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 102);
    EXPECT_EQ(box.top, 52);
    EXPECT_EQ(box.right, 103);
    EXPECT_EQ(box.bottom, 53);
}

TEST(SkinRegion, ManyBatchesCombineToTheUnionOfAllRuns)
{
    // Every other pixel is the key colour: 300 runs a row, 3000 in all, two batches.
    auto comb = Filled(600, 10, clBlack);
    for (int y = 0; y < 10; ++y)
        for (int x = (y % 2); x < 600; x += 2)
            comb->Canvas().SetPixel(x, y, SkinKeyColor);
    comb->Canvas().SetPixel(2, 0, clWhite);  // one run of three pixels
    UniqueRegion region = BitmapToRegion(*comb, 3, 4, SkinKeyColor, 0, 0, 0);
    UniqueRegion expected = RunByRunRegion(*comb, 3, 4);
    EXPECT_TRUE(EqualRgn(region.get(), expected.get()));
    EXPECT_TRUE(PtInRegion(region.get(), 3 + 599, 4 + 9) == FALSE);
    EXPECT_TRUE(PtInRegion(region.get(), 3 + 598, 4 + 9));
}

TEST(SkinRegion, ConvertsTheBitmapAndNeedsTwoRows)
{
    auto palette = std::make_unique<TBitmap>(8, 2, TPixelFormat::pf8bit);
    UniqueRegion region = BitmapToRegion(*palette, 0, 0, SkinKeyColor, 0, 0, 0);
    EXPECT_EQ(palette->PixelFormat(), TPixelFormat::pf32bit);
    RECT box;
    EXPECT_EQ(GetRgnBox(region.get(), &box), SIMPLEREGION);

    auto band = Filled(20, 1, clBlack);
    EXPECT_THROW(BitmapToRegion(*band, 0, 0, SkinKeyColor, 1, 1, 1), EInvalidGraphicOperation);
}

TEST(SkinWork, TheSharedBitmapStretchesByDroppingPixelsWhateverItsSize)
{
    ASSERT_TRUE(SkinWorkBitmap);
    SkinWorkBitmap->SetSize(64, 16);
    EXPECT_EQ(GetStretchBltMode(SkinWorkBitmap->Canvas().Handle()), COLORONCOLOR);
}
