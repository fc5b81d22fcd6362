#include <gtest/gtest.h>

#include <tuple>

#include "Graphics.h"
#include "ImgUtil.h"

namespace {

using Pixel = std::tuple<int, int, int>;  // blue, green, red

// Every pixel distinct: blue and green give its place.
void Paint(TBitmap& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.Canvas().SetPixel(x, y, static_cast<TColor>(RGB(200, y * 10, x * 10)));
}

Pixel At(TBitmap& bitmap, int x, int y)
{
    const uint8_t* p = bitmap.ScanLine(y) + x * 3;
    return {p[0], p[1], p[2]};
}

Pixel Painted(int x, int y)
{
    return {x * 10, y * 10, 200};
}

std::vector<Pixel> All(TBitmap& bitmap)
{
    std::vector<Pixel> pixels;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            pixels.push_back(At(bitmap, x, y));
    return pixels;
}

}  // namespace

TEST(ImgUtil, EachOperationMovesPixelsWhereExpected)
{
    // 5 pixels make rows of 15 bytes in a stride of 16.
    TBitmap bitmap(5, 3, TPixelFormat::pf24bit);
    Paint(bitmap);
    MirrorBitmap(bitmap);
    EXPECT_EQ(At(bitmap, 0, 1), Painted(4, 1));
    EXPECT_EQ(At(bitmap, 2, 2), Painted(2, 2));
    MirrorBitmap(bitmap);
    FlipBitmap(bitmap);
    EXPECT_EQ(At(bitmap, 3, 0), Painted(3, 2));
    EXPECT_EQ(At(bitmap, 3, 1), Painted(3, 1));
    FlipBitmap(bitmap);

    RotateBitmapLeft(bitmap);
    ASSERT_EQ(bitmap.Width(), 3);
    ASSERT_EQ(bitmap.Height(), 5);
    EXPECT_EQ(At(bitmap, 0, 0), Painted(4, 0));  // the old top-right corner
    EXPECT_EQ(At(bitmap, 2, 4), Painted(0, 2));
    EXPECT_EQ(At(bitmap, 1, 3), Painted(1, 1));
    RotateBitmapRight(bitmap);
    ASSERT_EQ(bitmap.Width(), 5);

    RotateBitmapRight(bitmap);
    ASSERT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(At(bitmap, 2, 0), Painted(0, 0));  // the old top-left corner
    EXPECT_EQ(At(bitmap, 0, 4), Painted(4, 2));
    EXPECT_EQ(At(bitmap, 1, 3), Painted(3, 1));
    RotateBitmapLeft(bitmap);

    TBitmap original(5, 3, TPixelFormat::pf24bit);
    Paint(original);
    EXPECT_EQ(All(bitmap), All(original));
}

TEST(ImgUtil, DegenerateSizesStayAsTheyAre)
{
    TBitmap column(1, 4, TPixelFormat::pf24bit), row(4, 1, TPixelFormat::pf24bit);
    TBitmap dot(1, 1, TPixelFormat::pf24bit);
    Paint(column);
    Paint(row);
    Paint(dot);
    const auto columnPixels = All(column), rowPixels = All(row), dotPixels = All(dot);
    MirrorBitmap(column);
    FlipBitmap(row);
    for (auto operation : {MirrorBitmap, FlipBitmap, RotateBitmapLeft, RotateBitmapRight})
        operation(dot);
    EXPECT_EQ(All(column), columnPixels);
    EXPECT_EQ(All(row), rowPixels);
    EXPECT_EQ(All(dot), dotPixels);

    TBitmap empty;
    for (auto operation : {MirrorBitmap, FlipBitmap, RotateBitmapLeft, RotateBitmapRight})
        operation(empty);
    EXPECT_TRUE(empty.Empty());
}

TEST(ImgUtil, OtherPixelFormatsAreConvertedFirst)
{
    // Rows of 8-bit and 32-bit bitmaps are shorter or longer than 3 bytes a pixel.
    for (TPixelFormat format : {TPixelFormat::pf8bit, TPixelFormat::pf32bit, TPixelFormat::pfDevice}) {
        TBitmap bitmap(7, 2, format);
        bitmap.Canvas().SetPixel(0, 0, clRed);
        bitmap.Canvas().SetPixel(6, 1, clBlue);
        RotateBitmapLeft(bitmap);
        MirrorBitmap(bitmap);
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
        ASSERT_EQ(bitmap.Width(), 2);
        EXPECT_EQ(At(bitmap, 1, 6), Pixel(0, 0, 255));
        EXPECT_EQ(At(bitmap, 0, 0), Pixel(255, 0, 0));
    }
}
