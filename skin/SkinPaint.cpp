#include "SkinPaint.h"

#include <algorithm>
#include <climits>
#include <vector>

std::unique_ptr<TBitmap> SkinWorkBitmap = [] {
    auto bitmap = std::make_unique<TBitmap>();
    SetStretchBltMode(bitmap->Canvas().Handle(), COLORONCOLOR);
    return bitmap;
}();

namespace {

bool Inverted(const TRect& rect)
{
    return rect.Right < rect.Left || rect.Bottom < rect.Top;
}

// Where frame frameIndex of a multi-frame image lies; pixels left over by the division are
// never used. A count below 1 would divide by zero: such an image is one frame. A state whose
// frame the skin does not have shows the nearest frame there is, never the blank past the strip.
struct Frame {
    int x, y, width, height;
};

Frame CutFrame(const TBitmap& bitmap, int frameIndex, int frameCount, bool vertical)
{
    const int count = std::max(frameCount, 1);
    frameIndex = std::clamp(frameIndex, 1, count);
    if (vertical) {
        const int height = bitmap.Height() / count;
        return {0, (frameIndex - 1) * height, bitmap.Width(), height};
    }
    const int width = bitmap.Width() / count;
    return {(frameIndex - 1) * width, 0, width, bitmap.Height()};
}

// A new bitmap of the given size whose DC stretches by dropping pixels.
std::unique_ptr<TBitmap> StretchTarget(int width, int height)
{
    auto bitmap = std::make_unique<TBitmap>(std::max(width, 0), std::max(height, 0));
    SetStretchBltMode(bitmap->Canvas().Handle(), COLORONCOLOR);
    return bitmap;
}

void Stretch(HDC dst, const TRect& to, HDC src, const Frame& frame, const TRect& from)
{
    StretchBlt(dst, to.Left, to.Top, to.Width(), to.Height(), src, frame.x + from.Left,
               frame.y + from.Top, from.Width(), from.Height(), SRCCOPY);
}

// The margins that apply to a W x H target (see StretchSkinFrame).
TRect FittedMargins(const TRect& margins, int width, int height)
{
    TRect m = margins;
    if (width < m.Left + m.Right)
        m.Left = m.Right = 0;
    if (height < m.Top + m.Bottom)
        m.Top = m.Bottom = 0;
    return m;
}

// The nine pieces other than the centre, in their drawing order: corners and edges before
// and after the centre's place, so that the later ones paint over a tiled centre.
void DrawBorderPieces(HDC dst, int dx, int dy, int w, int h, HDC src, const Frame& f,
                      const TRect& m, bool afterCentre)
{
    const int fw = f.width, fh = f.height;
    const auto piece = [&](bool wanted, const TRect& to, const TRect& from) {
        if (wanted)
            Stretch(dst, Rect(to.Left + dx, to.Top + dy, to.Right + dx, to.Bottom + dy), src, f,
                    from);
    };
    if (!afterCentre) {
        piece(m.Left * m.Top > 0, Rect(0, 0, m.Left, m.Top), Rect(0, 0, m.Left, m.Top));
        piece(m.Left * m.Bottom > 0, Rect(0, h - m.Bottom, m.Left, h),
              Rect(0, fh - m.Bottom, m.Left, fh));
        piece(m.Right * m.Top > 0, Rect(w - m.Right, 0, w, m.Top),
              Rect(fw - m.Right, 0, fw, m.Top));
        piece(m.Left > 0, Rect(0, m.Top, m.Left, h - m.Bottom),
              Rect(0, m.Top, m.Left, fh - m.Bottom));
        piece(m.Top > 0, Rect(m.Left, 0, w - m.Right, m.Top),
              Rect(m.Left, 0, fw - m.Right, m.Top));
    } else {
        piece(m.Right * m.Bottom > 0, Rect(w - m.Right, h - m.Bottom, w, h),
              Rect(fw - m.Right, fh - m.Bottom, fw, fh));
        piece(m.Right > 0, Rect(w - m.Right, m.Top, w, h - m.Bottom),
              Rect(fw - m.Right, m.Top, fw, fh - m.Bottom));
        piece(m.Bottom > 0, Rect(m.Left, h - m.Bottom, w - m.Right, h),
              Rect(m.Left, fh - m.Bottom, fw - m.Right, fh));
    }
}

bool IsNTPlatform()
{
    return (GetVersion() & 0x80000000) == 0;
}

}  // namespace

void TileBitmap(TCanvas& canvas, const TRect& destRect, TBitmap& bitmap, const TRect& sourceRect)
{
    const int w = sourceRect.Width(), h = sourceRect.Height();
    if (w < 0 || h < 0 || w * h == 0)
        return;
    TBitmap tile(w, h);
    BitBlt(tile.Canvas().Handle(), 0, 0, w, h, bitmap.Canvas().Handle(), sourceRect.Left,
           sourceRect.Top, SRCCOPY);
    for (int x = destRect.Left; x < destRect.Right; x += w)
        for (int y = destRect.Top; y < destRect.Bottom; y += h)
            canvas.Draw(x, y, tile);
}

std::unique_ptr<TBitmap> StretchSkinFrame(const TRect& rect, TBitmap& bitmap,
                                          const TRect& margins, int frameIndex, int frameCount,
                                          bool tile, bool vertical)
{
    const int w = rect.Width(), h = rect.Height();
    const TRect m = FittedMargins(margins, w, h);
    const Frame f = CutFrame(bitmap, frameIndex, frameCount, vertical);
    auto result = StretchTarget(w, h);
    HDC dst = result->Canvas().Handle();
    HDC src = bitmap.Canvas().Handle();

    DrawBorderPieces(dst, 0, 0, w, h, src, f, m, false);
    const TRect centre = Rect(m.Left, m.Top, w - m.Right, h - m.Bottom);
    const TRect centreSource = Rect(m.Left, m.Top, f.width - m.Right, f.height - m.Bottom);
    if (tile)
        TileBitmap(result->Canvas(), centre, bitmap,
                   Rect(f.x + centreSource.Left, f.y + centreSource.Top,
                        f.x + centreSource.Right, f.y + centreSource.Bottom));
    else
        Stretch(dst, centre, src, f, centreSource);
    DrawBorderPieces(dst, 0, 0, w, h, src, f, m, true);
    return result;
}

void DrawSkinImage(HDC dc, const TRect& rect, TBitmap& bitmap, const TRect& margins,
                   int frameIndex, int frameCount, bool transparent, bool tile, bool vertical)
{
    if (Inverted(rect))
        return;
    auto image = StretchSkinFrame(rect, bitmap, margins, frameIndex, frameCount, tile, vertical);
    if (transparent)
        TransparentBlit(dc, rect, *image, SkinKeyColor);
    else
        BitBlt(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), image->Canvas().Handle(), 0,
               0, SRCCOPY);
}

void DrawSkinBar(TCanvas& canvas, const TRect& rect, TBitmap& bitmap, const TRect& margins,
                 int frameIndex, int frameCount, bool transparent, bool vertical)
{
    if (Inverted(rect))
        return;
    const int w = rect.Width(), h = rect.Height();
    const int mL = margins.Left, mR = margins.Right;
    const Frame f = CutFrame(bitmap, frameIndex, frameCount, vertical);
    auto bar = StretchTarget(w, h);
    HDC dst = bar->Canvas().Handle();
    HDC src = bitmap.Canvas().Handle();

    Stretch(dst, Rect(0, 0, mL, h), src, f, Rect(0, 0, mL, f.height));
    // Without a middle of positive width the loop would never advance: draw none.
    const int m = f.width - mL - mR;
    if (m > 0)
        for (int x = mL; x < w - mR; x += m)
            Stretch(dst, Rect(x, 0, x + m, h), src, f, Rect(mL, 0, mL + m, f.height));
    Stretch(dst, Rect(w - mR, 0, w, h), src, f, Rect(f.width - mR, 0, f.width, f.height));

    if (transparent) {
        bar->SetTransparent(true);
        bar->SetTransparentColor(SkinKeyColor);
        canvas.Draw(rect.Left, rect.Top, *bar);
    } else {
        BitBlt(canvas.Handle(), rect.Left, rect.Top, w, h, dst, 0, 0, SRCCOPY);
    }
}

void DrawSkinBorder(HDC dc, const TRect& rect, TBitmap& bitmap, const TRect& margins,
                    int frameIndex, int frameCount, bool vertical)
{
    const int w = rect.Width(), h = rect.Height();
    const TRect m = FittedMargins(margins, w, h);
    const Frame f = CutFrame(bitmap, frameIndex, frameCount, vertical);
    SetStretchBltMode(dc, COLORONCOLOR);
    HDC src = bitmap.Canvas().Handle();
    DrawBorderPieces(dc, rect.Left, rect.Top, w, h, src, f, m, false);
    DrawBorderPieces(dc, rect.Left, rect.Top, w, h, src, f, m, true);
}

void DrawSkinGlyph(HDC dc, const TRect& rect, TBitmap& bitmap, int frameIndex, int frameCount,
                   bool transparent)
{
    if (Inverted(rect))
        return;
    const int w = rect.Width(), h = rect.Height();
    const Frame f = CutFrame(bitmap, frameIndex, frameCount, false);
    TBitmap glyph(w, h);
    StretchBlt(glyph.Canvas().Handle(), 0, 0, w, h, bitmap.Canvas().Handle(), f.x, 0, f.width,
               f.height, SRCCOPY);
    if (transparent)
        TransparentBlit(dc, rect, glyph, SkinKeyColor);
    else
        BitBlt(dc, rect.Left, rect.Top, w, h, glyph.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TransparentBlit(HDC dc, const TRect& rect, TBitmap& bitmap, TColor keyColour)
{
    TransparentBlit(dc, rect, bitmap, keyColour,
                    IsNTPlatform() ? TTransparentBlitPath::tbMaskBlt
                                   : TTransparentBlitPath::tbThreeBlits);
}

void TransparentBlit(HDC dc, const TRect& rect, TBitmap& bitmap, TColor keyColour,
                     TTransparentBlitPath path)
{
    if (Inverted(rect))
        return;
    const int w = rect.Width(), h = rect.Height();
    TBitmap mask;
    mask.Assign(bitmap);
    mask.Mask(keyColour);
    if (path == TTransparentBlitPath::tbMaskBlt) {
        // Where the mask is white the destination stays; elsewhere the source is copied.
        constexpr DWORD kKeepWhereWhite = 0xCCAA0029;
        MaskBlt(dc, rect.Left, rect.Top, w, h, bitmap.Canvas().Handle(), 0, 0, mask.Handle(), 0,
                0, kKeepWhereWhite);
    } else {
        MaskedStretchBlt(dc, rect, bitmap.Canvas().Handle(), Rect(0, 0, w, h),
                         mask.Canvas().Handle());
    }
}

UniqueRegion BitmapToRegion(TBitmap& bitmap, int xOffset, int yOffset, TColor colour,
                            uint8_t rTolerance, uint8_t gTolerance, uint8_t bTolerance)
{
    const int r0 = GetRValue(colour), g0 = GetGValue(colour), b0 = GetBValue(colour);
    const int r1 = std::min(255, r0 + rTolerance), g1 = std::min(255, g0 + gTolerance),
              b1 = std::min(255, b0 + bTolerance);

    bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    uint8_t* const first = bitmap.ScanLine(0);
    const ptrdiff_t stride = bitmap.ScanLine(1) - first;

    // Batches of at most 2000 rectangles go to ExtCreateRegion; the buffer grows by 500.
    constexpr DWORD kBatch = 2000, kGrowth = 500;
    DWORD room = kGrowth;
    std::vector<uint8_t> buffer(sizeof(RGNDATAHEADER) + room * sizeof(RECT));
    const auto header = [&] { return reinterpret_cast<RGNDATAHEADER*>(buffer.data()); };
    const auto rects = [&] { return reinterpret_cast<RECT*>(buffer.data() + sizeof(RGNDATAHEADER)); };
    const auto startBatch = [&] {
        *header() = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 0, 0,
                                  RECT{INT_MAX, INT_MAX, 0, 0}};
    };
    UniqueRegion result;
    const auto flush = [&] {
        UniqueRegion batch(ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()),
                                           reinterpret_cast<const RGNDATA*>(buffer.data())));
        if (!batch)
            throw EOutOfResources("Out of system resources");
        if (!result)
            result = std::move(batch);
        else
            CombineRgn(result.get(), result.get(), batch.get(), RGN_OR);
        startBatch();
    };
    const auto add = [&](int left, int top, int right, int bottom) {
        if (header()->nCount >= room) {
            room += kGrowth;
            buffer.resize(sizeof(RGNDATAHEADER) + room * sizeof(RECT));
        }
        RGNDATAHEADER& h = *header();
        rects()[h.nCount++] = RECT{left, top, right, bottom};
        h.rcBound.left = std::min<LONG>(h.rcBound.left, left);
        h.rcBound.top = std::min<LONG>(h.rcBound.top, top);
        h.rcBound.right = std::max<LONG>(h.rcBound.right, right);
        h.rcBound.bottom = std::max<LONG>(h.rcBound.bottom, bottom);
        if (h.nCount == kBatch)
            flush();
    };

    startBatch();
    const int width = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const uint8_t* row = first + y * stride;
        int x = 0;
        while (x < width) {
            const int start = x;
            for (; x < width; ++x) {
                const uint8_t* p = row + x * 4;
                const bool transparent = p[2] >= r0 && p[2] <= r1 && p[1] >= g0 && p[1] <= g1 &&
                                         p[0] >= b0 && p[0] <= b1;
                if (transparent)
                    break;
            }
            if (x > start)
                add(start + xOffset, y + yOffset, x + xOffset, y + 1 + yOffset);
            ++x;  // past the transparent pixel that ended the run
        }
    }
    flush();
    return result;
}

TCaptionTextState::TCaptionTextState(HDC dc) : FSaved(dc)
{
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    LOGFONTA font;
    if (!GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font))
        return;
    if (font.lfWeight <= FW_NORMAL && !font.lfItalic && !font.lfUnderline && !font.lfStrikeOut)
        return;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = font.lfUnderline = font.lfStrikeOut = FALSE;
    FPlainFont.reset(CreateFontIndirectA(&font));
    if (FPlainFont)
        SelectObject(dc, FPlainFont.get());
}

void DrawCenteredText(HDC dc, const TRect& rect, const std::string& text, bool enabled, UINT alignment)
{
    if (Inverted(rect))
        return;
    const TCaptionTextState state(dc);
    const UINT flags = alignment | DT_SINGLELINE | DT_EXPANDTABS;
    RECT r = WinRect(rect);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT | DT_NOCLIP);
    const int w = r.right - r.left, h = r.bottom - r.top;
    r.left = rect.Left + (rect.Width() - w) / 2;
    r.top = rect.Top + (rect.Height() - h) / 2;
    r.right = r.left + w;
    r.bottom = r.top + h;
    if (!enabled)
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}
