// Colours, fonts, pens, brushes, canvases, bitmaps and pictures over GDI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BmpHeader.h"
#include "GdiHandles.h"
#include "SysUtils.h"
#include "Types.h"

class TStream;

class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// A resource that the module does not hold.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// A canvas asked to draw without a DC.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// GDI refused to make an object (usually too large or out of memory).
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

inline RECT WinRect(const TRect& r)
{
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

// ---------------------------------------------------------------------------------------------
// Colours: 0x00BBGGRR is an explicit colour; 0xFF0000nn is the system colour nn.
using TColor = int32_t;

constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000);
constexpr TColor SystemColor(int index)
{
    return clSystemColor | index;
}

constexpr TColor clScrollBar = SystemColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SystemColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SystemColor(COLOR_MENU);
constexpr TColor clWindow = SystemColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SystemColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SystemColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SystemColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SystemColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SystemColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SystemColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SystemColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SystemColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SystemColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SystemColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SystemColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SystemColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SystemColor(COLOR_INFOBK);

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The explicit colour of a colour value: system colours are looked up now.
TColor ColorToRGB(TColor color);

// ---------------------------------------------------------------------------------------------
// Fonts, pens and brushes make their GDI object when first asked for its handle. A change
// tells the owner (a canvas deselects the object) before the old handle is deleted.
class TGraphicsObject {
public:
    TGraphicsObject() = default;
    TGraphicsObject(const TGraphicsObject&) = delete;
    TGraphicsObject& operator=(const TGraphicsObject&) = delete;
    virtual ~TGraphicsObject() = default;

    std::function<void()> OnChange;

protected:
    // Call before the object's handle is replaced or its look changes.
    void Changing()
    {
        if (OnChange)
            OnChange();
    }
};

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

// The resolution the stored layouts are laid out for.
constexpr int kLayoutPixelsPerInch = 96;

class TFont : public TGraphicsObject {
public:
    // The system's default GUI font, at the size it has on a screen of kLayoutPixelsPerInch, in
    // the window-text colour.
    TFont();

    std::string Name() const { return logFont_.lfFaceName; }
    void SetName(const std::string& name);
    // Pixels; negative values give the character height, as LOGFONT does.
    int Height() const { return logFont_.lfHeight; }
    void SetHeight(int height);
    // Points at the screen's resolution.
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const;
    void SetStyle(TFontStyles style);
    BYTE Charset() const { return logFont_.lfCharSet; }
    void SetCharset(BYTE charset);

    HFONT Handle();
    // Takes ownership of font; the properties are read back from it.
    void SetHandle(HFONT font);
    void Assign(const TFont& source);

private:
    void Modified();

    LOGFONTA logFont_{};
    TColor color_ = clWindowText;
    UniqueFont handle_;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psClear };

class TPen : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);

    HPEN Handle();
    void Assign(const TPen& source);

private:
    void Modified();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    UniquePen handle_;
};

class TBitmap;

enum class TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    // A pattern brush from the bitmap (not owned; it must outlive the brush's use); nullptr
    // returns to a solid brush.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* bitmap);

    HBRUSH Handle();
    void Assign(const TBrush& source);

private:
    void Modified();

    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    TBitmap* bitmap_ = nullptr;
    UniqueBrush handle_;
};

// ---------------------------------------------------------------------------------------------
class TGraphic;

// Drawing on a DC. The base canvas draws on a DC that someone else provides and owns
// (SetHandle); derived canvases make their own DC on demand in CreateHandle.
class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Raises EInvalidOperation when there is no DC to draw on.
    HDC Handle();
    // Adopts dc (not owned); nullptr detaches. The previous DC gets its own objects back.
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont& Font() { return font_; }
    TPen& Pen() { return pen_; }
    TBrush& Brush() { return brush_; }
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD rop) { copyMode_ = rop; }

    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    // Text clipped to rect; the brush fills rect first unless its style is clear.
    void TextRect(const TRect& rect, int x, int y, const std::string& text);
    // DrawTextA in the canvas's font and brush; with DT_CALCRECT rect receives the extent.
    int DrawText(const std::string& text, TRect& rect, UINT format);
    SIZE TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const TRect& rect, TGraphic& graphic);
    // Copies source's sourceRect to destRect here with CopyMode, stretching as needed.
    void CopyRect(const TRect& destRect, TCanvas& source, const TRect& sourceRect);

    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

protected:
    // Makes a DC for a canvas that owns one; the base canvas has none to make.
    virtual void CreateHandle() {}
    // For derived canvases that replace their DC (or take it away, with nullptr).
    void ChangeHandle(HDC dc);

private:
    enum Part : unsigned { FontPart = 1, PenPart = 2, BrushPart = 4 };
    void Require(unsigned parts);
    void Deselect(unsigned parts);

    HDC dc_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    DWORD copyMode_ = SRCCOPY;
    // Our objects while they are selected into the DC; each puts back the DC's own.
    std::optional<SelectionGuard> fontSelection_;
    std::optional<SelectionGuard> penSelection_;
    std::optional<SelectionGuard> brushSelection_;
};

// ---------------------------------------------------------------------------------------------
// A picture of any kind: bitmap or JPEG.
class TGraphic {
public:
    virtual ~TGraphic() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() == 0 || Height() == 0; }

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    virtual std::unique_ptr<TGraphic> Clone() const = 0;
    // Draws the whole picture stretched into rect of canvas.
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
};

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

class TBitmap;

// The canvas of a bitmap: one memory DC kept for the bitmap's life, so its settings (such as
// the stretch mode) survive resizing and format changes.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override;

    // Puts bitmap into the DC (nullptr takes the current one out).
    void SelectBitmap(HBITMAP bitmap);

protected:
    void CreateHandle() override;

private:
    TBitmap& bitmap_;
    UniqueDC dc_;
    std::optional<SelectionGuard> bitmapSelection_;
};

// A device-independent bitmap (a DIB section; rows bottom-up in memory). pfDevice bitmaps
// hold 32 bits per pixel, what every current display uses. New pixels are white.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pfDevice);
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) { SetSize(width, height_); }
    void SetHeight(int height) { SetSize(width_, height); }
    // Keeps the pixels that stay inside; the rest is white.
    void SetSize(int width, int height);

    TPixelFormat PixelFormat() const { return format_; }
    // Converts the pixels (through GDI's colour matching for palette formats).
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const;

    // Row 0 is the top row. Raises EInvalidGraphicOperation for a row outside the bitmap.
    uint8_t* ScanLine(int row);
    // The colour table of a palette format (empty otherwise).
    const std::vector<RGBQUAD>& Palette() const { return palette_; }

    TCanvas& Canvas();
    HBITMAP Handle() const { return handle_.get(); }
    // Gives the caller the DIB section and leaves this bitmap empty.
    HBITMAP ReleaseHandle();

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent) { transparent_ = transparent; }
    // The key colour of transparent drawing: the colour set, or by default the bottom-left pixel.
    TColor TransparentColor();
    void SetTransparentColor(TColor color) { transparentColor_ = color; }

    // Turns the bitmap into a monochrome mask: pixels of color white, all others black.
    void Mask(TColor color);

    void Assign(const TBitmap& source);
    std::unique_ptr<TGraphic> Clone() const override;

    // BMP files of 1, 4, 8, 24 and 32 bits per pixel (uncompressed; 32 bits may carry the
    // standard bit fields). A file that is not valid raises EInvalidGraphic and leaves the
    // bitmap as it was.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // A BITMAP resource of the module; raises EResNotFound when there is none of that name,
    // EInvalidGraphic when it is not a valid bitmap.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);

    void Draw(TCanvas& canvas, const TRect& rect) override;

private:
    friend class TBitmapCanvas;
    struct Dib;
    static Dib CreateDib(int width, int height, int bits, const std::vector<RGBQUAD>& palette);
    void Replace(Dib&& dib, int width, int height, TPixelFormat format);
    uint32_t PixelRGB(const uint8_t* row, int x) const;

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = TPixelFormat::pfDevice;
    std::vector<RGBQUAD> palette_;
    UniqueBitmap handle_;
    uint8_t* bits_ = nullptr;
    int stride_ = 0;
    bool transparent_ = false;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TBitmapCanvas> canvas_;
};

// Copies src's srcRect to dst's dstRect, stretched, leaving the destination where the
// monochrome mask is white (three raster operations: invert, and, invert).
void MaskedStretchBlt(HDC dst, const TRect& dstRect, HDC src, const TRect& srcRect, HDC mask);

// ---------------------------------------------------------------------------------------------
// A picture holding a bitmap or a JPEG image.
class TPicture {
public:
    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic) { graphic_ = std::move(graphic); }
    // The picture as a bitmap; any other kind of graphic is replaced by an empty bitmap.
    TBitmap& Bitmap();

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // Recognises BMP and JPEG data by their first bytes; anything else raises EInvalidGraphic.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream);
    void Assign(const TPicture& source);

private:
    std::unique_ptr<TGraphic> graphic_;
};
