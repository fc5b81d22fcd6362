// The skin engine's drawing routines: frames cut out of multi-frame skin images, nine-slice
// stretching, bars with a repeated middle, transparent copies with a key colour, and window
// regions made from a bitmap's opaque pixels. Main (GUI) thread only.
#pragma once

#include <memory>
#include <string>

#include "Graphics.h"

// The transparent colour of every skin image and of the region builder.
constexpr TColor SkinKeyColor = clFuchsia;

// One off-screen bitmap shared by the painters (stretch mode COLORONCOLOR). A painter must be
// done with it before the next one uses it; painters do not nest.
extern std::unique_ptr<TBitmap> SkinWorkBitmap;

// Margins are four widths: Left, Top, Right, Bottom. Frames are numbered from 1; a frame
// count below 1 counts as 1; a frame number past the count draws the last frame, one below 1
// the first. Vertical: the frames lie one under the other.

// Repeats sourceRect of bitmap over destRect of canvas; the last column and row of tiles may
// reach past destRect's right and bottom edges.
void TileBitmap(TCanvas& canvas, const TRect& destRect, TBitmap& bitmap, const TRect& sourceRect);

// The pixels outside the colour range [colour, colour + tolerance] (per channel, capped at
// 255) as a region moved by the offsets; an empty region when every pixel is in range.
// Converts bitmap to 32 bits per pixel. Needs at least two rows: fewer raise the bitmap's
// scan-line range error.
UniqueRegion BitmapToRegion(TBitmap& bitmap, int xOffset, int yOffset, TColor colour,
                            uint8_t rTolerance, uint8_t gTolerance, uint8_t bTolerance);

// A new bitmap of rect's size holding one frame stretched nine-slice (corners kept, edges
// stretched along one axis, the centre along both or tiled). Along an axis where the target
// is smaller than its two margins, those margins are dropped.
std::unique_ptr<TBitmap> StretchSkinFrame(const TRect& rect, TBitmap& bitmap,
                                          const TRect& margins, int frameIndex, int frameCount,
                                          bool tile, bool vertical);

// StretchSkinFrame drawn into rect of dc, with the key colour transparent when asked.
void DrawSkinImage(HDC dc, const TRect& rect, TBitmap& bitmap, const TRect& margins,
                   int frameIndex, int frameCount, bool transparent, bool tile, bool vertical);

// One frame as a left part, a middle repeated at its own width and a right part, each
// stretched to rect's height; only the left and right margins count. A frame with no middle
// (narrower than its two margins) gives the left and right parts only.
void DrawSkinBar(TCanvas& canvas, const TRect& rect, TBitmap& bitmap, const TRect& margins,
                 int frameIndex, int frameCount, bool transparent, bool vertical);

// The corners and edges of one frame around rect of dc; the centre is left as it is.
// Leaves dc in stretch mode COLORONCOLOR.
void DrawSkinBorder(HDC dc, const TRect& rect, TBitmap& bitmap, const TRect& margins,
                    int frameIndex, int frameCount, bool vertical);

// One frame of a horizontal strip stretched into rect.
void DrawSkinGlyph(HDC dc, const TRect& rect, TBitmap& bitmap, int frameIndex, int frameCount,
                   bool transparent);

// How TransparentBlit combines the picture with the destination: one masked blit (NT
// platforms) or three raster operations (the Windows 95 family). Both give the same picture.
enum class TTransparentBlitPath { tbMaskBlt, tbThreeBlits };

// Copies bitmap from its origin, unstretched, to rect of dc; keyColour pixels leave the
// destination as it was. The first form picks the path for the running platform.
void TransparentBlit(HDC dc, const TRect& rect, TBitmap& bitmap, TColor keyColour);
void TransparentBlit(HDC dc, const TRect& rect, TBitmap& bitmap, TColor keyColour,
                     TTransparentBlitPath path);

// Trace points of the engine; they write nothing.
inline void SkinDebugLog(const std::string&) {}

// A caption's DC state for one scope: transparent background, hollow brush, the selected font
// without bold, italic, underline or strike-out. Everything it or the caption changes (the text
// colour too) is put back at the end.
class TCaptionTextState {
public:
    explicit TCaptionTextState(HDC dc);

private:
    UniqueFont FPlainFont;  // freed after the DC has let go of it
    SavedDC FSaved;
};

// One line of text centred both ways in rect of dc, in the text colour and the plain form of
// the font selected there (see TCaptionTextState); a disabled text comes out in the button
// shadow colour. alignment is DT_LEFT,
// DT_CENTER or DT_RIGHT; the measured text is centred whatever it is.
void DrawCenteredText(HDC dc, const TRect& rect, const std::string& text, bool enabled, UINT alignment);
