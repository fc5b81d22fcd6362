#include "Graphics.h"

#include <cstdlib>
#include <cstring>

#include "Jpeg.h"
#include "Streams.h"

TColor ColorToRGB(TColor color)
{
    if (color < 0)
        return static_cast<TColor>(GetSysColor(color & 0xFF));
    return color;
}

// ---------------------------------------------------------------------------------------------
namespace {

int ScreenPixelsPerInch()
{
    WindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

}  // namespace

// The stock font's height follows the screen's resolution, but the stored layouts place every
// control in pixels of a 96-dpi screen, beside pictures and skin bitmaps of fixed pixel size:
// text grown with the resolution runs into its neighbours. So the default font keeps the height
// it has at 96 dpi, found through whole points (the stock font is defined in points, and its
// pixel height at one resolution does not give the other's by proportion).
TFont::TFont()
{
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont_, &logFont_);
    static const int dpi = ScreenPixelsPerInch();
    if (dpi != kLayoutPixelsPerInch && logFont_.lfHeight != 0) {
        const int height = MulDiv(MulDiv(std::abs(logFont_.lfHeight), 72, dpi), kLayoutPixelsPerInch, 72);
        logFont_.lfHeight = logFont_.lfHeight < 0 ? -height : height;
    }
}

void TFont::Modified()
{
    Changing();
    handle_.reset();
}

void TFont::SetName(const std::string& name)
{
    Modified();
    std::memset(logFont_.lfFaceName, 0, sizeof logFont_.lfFaceName);
    std::strncpy(logFont_.lfFaceName, name.c_str(), sizeof logFont_.lfFaceName - 1);
}

void TFont::SetHeight(int height)
{
    Modified();
    logFont_.lfHeight = height;
}

int TFont::Size() const
{
    return -MulDiv(logFont_.lfHeight, 72, ScreenPixelsPerInch());
}

void TFont::SetSize(int points)
{
    SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void TFont::SetColor(TColor color)
{
    Changing();
    color_ = color;
}

TFontStyles TFont::Style() const
{
    TFontStyles style = 0;
    if (logFont_.lfWeight >= FW_BOLD)
        style |= fsBold;
    if (logFont_.lfItalic)
        style |= fsItalic;
    if (logFont_.lfUnderline)
        style |= fsUnderline;
    if (logFont_.lfStrikeOut)
        style |= fsStrikeOut;
    return style;
}

void TFont::SetStyle(TFontStyles style)
{
    Modified();
    logFont_.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
    logFont_.lfItalic = (style & fsItalic) != 0;
    logFont_.lfUnderline = (style & fsUnderline) != 0;
    logFont_.lfStrikeOut = (style & fsStrikeOut) != 0;
}

void TFont::SetCharset(BYTE charset)
{
    Modified();
    logFont_.lfCharSet = charset;
}

HFONT TFont::Handle()
{
    if (!handle_) {
        handle_.reset(CreateFontIndirectA(&logFont_));
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_.get();
}

void TFont::SetHandle(HFONT font)
{
    Modified();
    handle_.reset(font);
    if (font)
        GetObjectA(font, sizeof logFont_, &logFont_);
}

void TFont::Assign(const TFont& source)
{
    if (&source == this)
        return;
    Modified();
    logFont_ = source.logFont_;
    color_ = source.color_;
}

// ---------------------------------------------------------------------------------------------
void TPen::Modified()
{
    Changing();
    handle_.reset();
}

void TPen::SetColor(TColor color)
{
    Modified();
    color_ = color;
}

void TPen::SetWidth(int width)
{
    Modified();
    width_ = width;
}

void TPen::SetStyle(TPenStyle style)
{
    Modified();
    style_ = style;
}

HPEN TPen::Handle()
{
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_NULL};
        handle_.reset(CreatePen(styles[static_cast<int>(style_)], width_,
                                static_cast<COLORREF>(ColorToRGB(color_))));
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_.get();
}

void TPen::Assign(const TPen& source)
{
    if (&source == this)
        return;
    Modified();
    color_ = source.color_;
    width_ = source.width_;
    style_ = source.style_;
}

// ---------------------------------------------------------------------------------------------
void TBrush::Modified()
{
    Changing();
    handle_.reset();
}

void TBrush::SetColor(TColor color)
{
    Modified();
    color_ = color;
    bitmap_ = nullptr;
    if (style_ == TBrushStyle::bsClear)
        style_ = TBrushStyle::bsSolid;
}

void TBrush::SetStyle(TBrushStyle style)
{
    Modified();
    style_ = style;
}

void TBrush::SetBitmap(TBitmap* bitmap)
{
    Modified();
    bitmap_ = bitmap;
}

HBRUSH TBrush::Handle()
{
    if (style_ == TBrushStyle::bsClear)
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (!handle_) {
        if (bitmap_ && !bitmap_->Empty())
            handle_.reset(CreatePatternBrush(bitmap_->Handle()));
        else
            handle_.reset(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color_))));
        if (!handle_)
            throw EOutOfResources("Out of system resources");
    }
    return handle_.get();
}

void TBrush::Assign(const TBrush& source)
{
    if (&source == this)
        return;
    Modified();
    color_ = source.color_;
    style_ = source.style_;
    bitmap_ = source.bitmap_;
}

// ---------------------------------------------------------------------------------------------
TCanvas::TCanvas()
{
    font_.OnChange = [this] { Deselect(FontPart); };
    pen_.OnChange = [this] { Deselect(PenPart); };
    brush_.OnChange = [this] { Deselect(BrushPart); };
}

TCanvas::~TCanvas()
{
    Deselect(FontPart | PenPart | BrushPart);
    // The objects must not call back into a canvas that is going away.
    font_.OnChange = nullptr;
    pen_.OnChange = nullptr;
    brush_.OnChange = nullptr;
}

HDC TCanvas::Handle()
{
    if (!dc_)
        CreateHandle();
    if (!dc_)
        throw EInvalidOperation("Canvas does not allow drawing");
    return dc_;
}

void TCanvas::SetHandle(HDC dc)
{
    ChangeHandle(dc);
}

void TCanvas::ChangeHandle(HDC dc)
{
    Deselect(FontPart | PenPart | BrushPart);
    dc_ = dc;
}

// Selects our objects into the DC the first time a drawing operation needs them; the DC's
// own objects are remembered so that they can be put back.
void TCanvas::Require(unsigned parts)
{
    HDC dc = Handle();
    if ((parts & FontPart) && !fontSelection_) {
        fontSelection_.emplace(dc, font_.Handle());
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(font_.Color())));
    }
    if ((parts & PenPart) && !penSelection_)
        penSelection_.emplace(dc, pen_.Handle());
    if ((parts & BrushPart) && !brushSelection_) {
        brushSelection_.emplace(dc, brush_.Handle());
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(brush_.Color())));
        SetBkMode(dc, brush_.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
    }
}

void TCanvas::Deselect(unsigned parts)
{
    if (parts & FontPart)
        fontSelection_.reset();
    if (parts & PenPart)
        penSelection_.reset();
    if (parts & BrushPart)
        brushSelection_.reset();
}

void TCanvas::FillRect(const TRect& rect)
{
    Require(BrushPart);
    const RECT r = WinRect(rect);
    ::FillRect(dc_, &r, brush_.Handle());
}

void TCanvas::FrameRect(const TRect& rect)
{
    Require(BrushPart);
    const RECT r = WinRect(rect);
    ::FrameRect(dc_, &r, brush_.Handle());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    Require(PenPart | BrushPart);
    ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y)
{
    ::MoveToEx(Handle(), x, y, nullptr);
}

void TCanvas::LineTo(int x, int y)
{
    Require(PenPart);
    ::LineTo(dc_, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    Require(FontPart | BrushPart);
    ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text)
{
    Require(FontPart | BrushPart);
    const RECT r = WinRect(rect);
    UINT options = ETO_CLIPPED;
    if (brush_.Style() != TBrushStyle::bsClear)
        options |= ETO_OPAQUE;
    ::ExtTextOutA(dc_, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
}

int TCanvas::DrawText(const std::string& text, TRect& rect, UINT format)
{
    Require(FontPart | BrushPart);
    RECT r = WinRect(rect);
    const int height = ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &r, format);
    rect = Rect(r.left, r.top, r.right, r.bottom);
    return height;
}

SIZE TCanvas::TextExtent(const std::string& text)
{
    Require(FontPart);
    SIZE size{};
    ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

void TCanvas::Draw(int x, int y, TGraphic& graphic)
{
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic& graphic)
{
    graphic.Draw(*this, rect);
}

void TCanvas::CopyRect(const TRect& destRect, TCanvas& source, const TRect& sourceRect)
{
    Require(BrushPart);  // raster operations with a pattern use our brush
    ::StretchBlt(dc_, destRect.Left, destRect.Top, destRect.Width(), destRect.Height(),
                 source.Handle(), sourceRect.Left, sourceRect.Top, sourceRect.Width(),
                 sourceRect.Height(), copyMode_);
}

TColor TCanvas::Pixel(int x, int y)
{
    return static_cast<TColor>(::GetPixel(Handle(), x, y));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    ::SetPixel(Handle(), x, y, static_cast<COLORREF>(ColorToRGB(color)));
}

// ---------------------------------------------------------------------------------------------
void TGraphic::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, TFileMode::fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    TFileStream stream(fileName, TFileMode::fmCreate);
    SaveToStream(stream);
}

void MaskedStretchBlt(HDC dst, const TRect& dstRect, HDC src, const TRect& srcRect, HDC mask)
{
    // The mask's white pixels must come out white and black ones black in the AND step.
    const BackgroundColorGuard back(dst, RGB(255, 255, 255));
    const TextColorGuard text(dst, RGB(0, 0, 0));
    const int x = dstRect.Left, y = dstRect.Top, w = dstRect.Width(), h = dstRect.Height();
    const int sx = srcRect.Left, sy = srcRect.Top, sw = srcRect.Width(), sh = srcRect.Height();
    StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, SRCINVERT);
    StretchBlt(dst, x, y, w, h, mask, sx, sy, sw, sh, SRCAND);
    StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, SRCINVERT);
}

// ---------------------------------------------------------------------------------------------
TBitmap& TPicture::Bitmap()
{
    auto* bitmap = dynamic_cast<TBitmap*>(graphic_.get());
    if (!bitmap) {
        auto fresh = std::make_unique<TBitmap>();
        bitmap = fresh.get();
        graphic_ = std::move(fresh);
    }
    return *bitmap;
}

void TPicture::LoadFromStream(TStream& stream)
{
    const int64_t start = stream.Position();
    uint8_t signature[2] = {};
    const size_t got = stream.Read(signature, sizeof signature);
    stream.SetPosition(start);
    std::unique_ptr<TGraphic> graphic;
    if (got == 2 && signature[0] == 'B' && signature[1] == 'M')
        graphic = std::make_unique<TBitmap>();
    else if (got == 2 && signature[0] == 0xFF && signature[1] == 0xD8)
        graphic = std::make_unique<TJPEGImage>();
    else
        throw EInvalidGraphic("Unknown picture file format");
    graphic->LoadFromStream(stream);
    graphic_ = std::move(graphic);
}

void TPicture::LoadFromFile(const std::string& fileName)
{
    TFileStream stream(fileName, TFileMode::fmOpenRead);
    LoadFromStream(stream);
}

void TPicture::SaveToStream(TStream& stream)
{
    if (graphic_)
        graphic_->SaveToStream(stream);
}

void TPicture::Assign(const TPicture& source)
{
    if (&source != this)
        graphic_ = source.graphic_ ? source.graphic_->Clone() : nullptr;
}
