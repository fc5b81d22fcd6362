// Times the region builder and the nine-slice stretch against the plainest correct way to
// the same result. Prints one line per case.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "SkinPaint.h"
#include "Timing.h"

namespace {

// One CombineRgn per run of opaque pixels.
UniqueRegion RunByRunRegion(TBitmap& bitmap)
{
    UniqueRegion result(CreateRectRgn(0, 0, 0, 0));
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width();) {
            int end = x;
            while (end < bitmap.Width() &&
                   !(row[end * 4] == 255 && row[end * 4 + 1] == 0 && row[end * 4 + 2] == 255))
                ++end;
            if (end > x) {
                UniqueRegion run(CreateRectRgn(x, y, end, y + 1));
                CombineRgn(result.get(), result.get(), run.get(), RGN_OR);
            }
            x = end + 1;
        }
    }
    return result;
}

void Fill(TBitmap& bitmap, const TRect& rect, TColor colour)
{
    bitmap.Canvas().Brush().SetColor(colour);
    bitmap.Canvas().FillRect(rect);
}

void CompareRegions(const char* name, TBitmap& bitmap, int repeats)
{
    const double skin = MedianMilliseconds(
        [&] { UniqueRegion r = BitmapToRegion(bitmap, 0, 0, SkinKeyColor, 0, 0, 0); }, repeats);
    const double plain = MedianMilliseconds([&] { UniqueRegion r = RunByRunRegion(bitmap); }, repeats);
    UniqueRegion a = BitmapToRegion(bitmap, 0, 0, SkinKeyColor, 0, 0, 0);
    UniqueRegion b = RunByRunRegion(bitmap);
    std::printf("%s: BitmapToRegion %.2f ms, one CombineRgn per run %.2f ms, ratio %.1f, equal %s\n",
                name, skin, plain, plain / skin, EqualRgn(a.get(), b.get()) ? "yes" : "NO");
}

}  // namespace

int main()
{
    // A caption band: rounded top corners and a dotted texture of key pixels every 16 columns,
    // 120 runs a row.
    TBitmap caption(1920, 40, TPixelFormat::pf32bit);
    Fill(caption, Rect(0, 0, 1920, 40), RGB(40, 80, 160));
    for (int y = 0; y < 40; ++y)
        for (int x = y % 16; x < 1920; x += 16)
            caption.Canvas().SetPixel(x, y, SkinKeyColor);
    for (int y = 0; y < 6; ++y) {
        Fill(caption, Rect(0, y, 6 - y, y + 1), SkinKeyColor);
        Fill(caption, Rect(1914 + y, y, 1920, y + 1), SkinKeyColor);
    }
    CompareRegions("1920x40 caption band", caption, 9);

    TBitmap screen(1920, 1080, TPixelFormat::pf32bit);
    Fill(screen, Rect(0, 0, 1920, 1080), SkinKeyColor);
    Fill(screen, Rect(4, 4, 1916, 1076), RGB(40, 80, 160));
    CompareRegions("1920x1080 with a 4-pixel key border", screen, 5);

    // A 5-frame 300 x 60 skin image, frame 60 x 60, margins 10/24/10/10.
    TBitmap skin(300, 60, TPixelFormat::pf32bit);
    for (int i = 0; i < 5; ++i)
        Fill(skin, Rect(i * 60, 0, i * 60 + 60, 60), RGB(30 * i, 100, 200));
    const TRect target = Rect(0, 0, 1920, 1080);
    const TRect margins = Rect(10, 24, 10, 10);
    for (bool tile : {false, true}) {
        const double nine = MedianMilliseconds(
            [&] { auto b = StretchSkinFrame(target, skin, margins, 2, 5, tile, false); }, 9);
        const double plain = MedianMilliseconds(
            [&] {
                TBitmap b(1920, 1080);
                SetStretchBltMode(b.Canvas().Handle(), COLORONCOLOR);
                StretchBlt(b.Canvas().Handle(), 0, 0, 1920, 1080, skin.Canvas().Handle(), 60, 0,
                           60, 60, SRCCOPY);
            },
            9);
        std::printf("StretchSkinFrame 1920x1080 (%s centre) %.2f ms, one StretchBlt %.2f ms, ratio %.1f\n",
                    tile ? "tiled" : "stretched", nine, plain, nine / plain);
    }
    return 0;
}
