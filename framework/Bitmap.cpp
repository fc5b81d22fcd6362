// TBitmap: DIB sections, pixel formats, masks and BMP files.
#include <algorithm>
#include <cstring>
#include <limits>

#include "Graphics.h"
#include "Streams.h"

namespace {

// Larger pictures are refused before any memory is asked for.
constexpr uint64_t kMaxImageBytes = 0x7FFFFFFF;

int BitsOf(TPixelFormat format)
{
    switch (format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit:
    case TPixelFormat::pfDevice: return 32;
    }
    return 32;
}

RGBQUAD Quad(uint8_t r, uint8_t g, uint8_t b)
{
    return RGBQUAD{b, g, r, 0};
}

// Black and white; the 16 VGA colours; those 16, a 6x6x6 colour cube and 24 greys.
// White is always the last entry, so that new pixels can be filled with it.
std::vector<RGBQUAD> DefaultPalette(int bits)
{
    static const uint8_t vga[16][3] = {
        {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128}, {128, 128, 128}, {192, 192, 192}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    std::vector<RGBQUAD> palette;
    if (bits == 1)
        return {Quad(0, 0, 0), Quad(255, 255, 255)};
    if (bits == 4 || bits == 8) {
        for (int i = 0; i < 15; ++i)
            palette.push_back(Quad(vga[i][0], vga[i][1], vga[i][2]));
        if (bits == 8) {
            for (int r = 0; r < 6; ++r)
                for (int g = 0; g < 6; ++g)
                    for (int b = 0; b < 6; ++b)
                        palette.push_back(Quad(static_cast<uint8_t>(r * 51),
                                               static_cast<uint8_t>(g * 51),
                                               static_cast<uint8_t>(b * 51)));
            for (int i = 1; i <= 24; ++i) {
                const auto grey = static_cast<uint8_t>(i * 10);
                palette.push_back(Quad(grey, grey, grey));
            }
        }
        palette.push_back(Quad(255, 255, 255));
    }
    return palette;
}

// The byte that fills a row with the palette's brightest entry (or with white).
uint8_t WhiteFill(int bits, const std::vector<RGBQUAD>& palette)
{
    if (bits > 8)
        return 0xFF;
    size_t best = 0;
    for (size_t i = 1; i < palette.size(); ++i) {
        const auto sum = [](const RGBQUAD& q) { return q.rgbRed + q.rgbGreen + q.rgbBlue; };
        if (sum(palette[i]) > sum(palette[best]))
            best = i;
    }
    const auto index = static_cast<uint8_t>(best);
    if (bits == 1)
        return index ? 0xFF : 0x00;
    if (bits == 4)
        return static_cast<uint8_t>(index << 4 | index);
    return index;
}

}  // namespace

// A fresh DIB section and where its pixels are.
struct TBitmap::Dib {
    UniqueBitmap handle;
    uint8_t* bits = nullptr;
    int stride = 0;
};

TBitmap::Dib TBitmap::CreateDib(int width, int height, int bits, const std::vector<RGBQUAD>& palette)
{
    if (width < 0 || height < 0 || width > kMaxBitmapDimension || height > kMaxBitmapDimension)
        throw EOutOfResources("Out of system resources");
    Dib dib;
    if (width == 0 || height == 0)
        return dib;
    const uint64_t stride = BmpStride(width, bits);
    if (stride * static_cast<uint64_t>(height) > kMaxImageBytes)
        throw EOutOfResources("Out of system resources");

    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;  // bottom-up, as the platform keeps them
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    header->biClrUsed = static_cast<DWORD>(palette.size());
    if (!palette.empty())
        std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), palette.data(),
                    palette.size() * sizeof(RGBQUAD));
    void* pixels = nullptr;
    dib.handle.reset(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()),
                                      DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!dib.handle || !pixels)
        throw EOutOfResources("Out of system resources");
    dib.bits = static_cast<uint8_t*>(pixels);
    dib.stride = static_cast<int>(stride);
    std::memset(dib.bits, WhiteFill(bits, palette), static_cast<size_t>(stride) * height);
    return dib;
}

// ---------------------------------------------------------------------------------------------
TBitmapCanvas::~TBitmapCanvas()
{
    SelectBitmap(nullptr);
    ChangeHandle(nullptr);
}

void TBitmapCanvas::CreateHandle()
{
    dc_ = CreateMemoryDC();
    if (!dc_)
        throw EOutOfResources("Out of system resources");
    ChangeHandle(dc_.get());
    SelectBitmap(bitmap_.Handle());
}

void TBitmapCanvas::SelectBitmap(HBITMAP bitmap)
{
    bitmapSelection_.reset();
    if (dc_ && bitmap)
        bitmapSelection_.emplace(dc_.get(), bitmap);
}

// ---------------------------------------------------------------------------------------------
TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format)
{
    format_ = format;
    palette_ = DefaultPalette(BitsOf(format));
    SetSize(width, height);
}

TBitmap::~TBitmap()
{
    // The DC must let go of the bitmap before the bitmap is deleted.
    canvas_.reset();
}

int TBitmap::BitsPerPixel() const
{
    return BitsOf(format_);
}

void TBitmap::Replace(Dib&& dib, int width, int height, TPixelFormat format)
{
    if (canvas_)
        canvas_->SelectBitmap(nullptr);
    handle_ = std::move(dib.handle);
    bits_ = dib.bits;
    stride_ = dib.stride;
    width_ = handle_ ? width : 0;
    height_ = handle_ ? height : 0;
    format_ = format;
    if (canvas_)
        canvas_->SelectBitmap(handle_.get());
}

namespace {

// GDI copies between two bitmaps that no DC holds (the caller takes them out of its canvas).
void CopyPixels(HBITMAP from, HBITMAP to, int width, int height)
{
    UniqueDC source = CreateMemoryDC();
    UniqueDC target = CreateMemoryDC();
    SelectionGuard selectSource(source.get(), from);
    SelectionGuard selectTarget(target.get(), to);
    BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
}

}  // namespace

void TBitmap::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    Dib dib = CreateDib(width, height, BitsOf(format_), palette_);
    if (handle_ && dib.handle) {
        if (canvas_)
            canvas_->SelectBitmap(nullptr);
        GdiFlush();
        CopyPixels(handle_.get(), dib.handle.get(), std::min(width, width_),
                   std::min(height, height_));
    }
    Replace(std::move(dib), width, height, format_);
}

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    if (format == format_)
        return;
    std::vector<RGBQUAD> palette = DefaultPalette(BitsOf(format));
    Dib dib = CreateDib(width_, height_, BitsOf(format), palette);
    if (handle_) {
        if (canvas_)
            canvas_->SelectBitmap(nullptr);
        GdiFlush();
        if (BitsOf(format) == BitsOf(format_))
            std::memcpy(dib.bits, bits_, static_cast<size_t>(stride_) * height_);
        else
            CopyPixels(handle_.get(), dib.handle.get(), width_, height_);
    }
    palette_ = std::move(palette);
    Replace(std::move(dib), width_, height_, format);
}

uint8_t* TBitmap::ScanLine(int row)
{
    if (row < 0 || row >= height_)
        throw EInvalidGraphicOperation("Scan line index out of range");
    GdiFlush();  // GDI may still be drawing into the pixels
    return bits_ + static_cast<size_t>(height_ - 1 - row) * stride_;
}

TCanvas& TBitmap::Canvas()
{
    if (!canvas_)
        canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return *canvas_;
}

HBITMAP TBitmap::ReleaseHandle()
{
    if (canvas_)
        canvas_->SelectBitmap(nullptr);
    HBITMAP handle = handle_.release();
    bits_ = nullptr;
    stride_ = 0;
    width_ = height_ = 0;
    return handle;
}

// The pixel at x of a row as 0x00BBGGRR.
uint32_t TBitmap::PixelRGB(const uint8_t* row, int x) const
{
    const auto fromQuad = [](const RGBQUAD& q) {
        return static_cast<uint32_t>(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    };
    switch (BitsOf(format_)) {
    case 1: return fromQuad(palette_[(row[x / 8] >> (7 - x % 8)) & 1]);
    case 4: return fromQuad(palette_[(row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF]);
    case 8: return fromQuad(palette_[row[x]]);
    case 24: return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    default: return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
    }
}

TColor TBitmap::TransparentColor()
{
    if (transparentColor_ != clDefault || Empty())
        return transparentColor_;
    return static_cast<TColor>(PixelRGB(ScanLine(height_ - 1), 0));
}

void TBitmap::Mask(TColor color)
{
    if (Empty())
        return;
    const auto key = static_cast<uint32_t>(ColorToRGB(color)) & 0xFFFFFF;
    std::vector<RGBQUAD> palette = DefaultPalette(1);
    Dib mask = CreateDib(width_, height_, 1, palette);
    std::memset(mask.bits, 0, static_cast<size_t>(mask.stride) * height_);
    for (int y = 0; y < height_; ++y) {
        const uint8_t* row = ScanLine(y);
        uint8_t* out = mask.bits + static_cast<size_t>(height_ - 1 - y) * mask.stride;
        for (int x = 0; x < width_; ++x)
            if (PixelRGB(row, x) == key)
                out[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    palette_ = std::move(palette);
    Replace(std::move(mask), width_, height_, TPixelFormat::pf1bit);
}

void TBitmap::Assign(const TBitmap& source)
{
    if (&source == this)
        return;
    Dib dib = CreateDib(source.width_, source.height_, BitsOf(source.format_), source.palette_);
    if (dib.handle) {
        GdiFlush();
        std::memcpy(dib.bits, source.bits_, static_cast<size_t>(dib.stride) * source.height_);
    }
    palette_ = source.palette_;
    Replace(std::move(dib), source.width_, source.height_, source.format_);
    transparent_ = source.transparent_;
    transparentColor_ = source.transparentColor_;
}

std::unique_ptr<TGraphic> TBitmap::Clone() const
{
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(*this);
    return copy;
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect)
{
    if (Empty())
        return;
    HDC dst = canvas.Handle();
    const TRect source = Rect(0, 0, width_, height_);
    if (transparent_) {
        TBitmap mask;
        mask.Assign(*this);
        mask.Mask(TransparentColor());
        MaskedStretchBlt(dst, rect, Canvas().Handle(), source, mask.Canvas().Handle());
    } else {
        StretchBlt(dst, rect.Left, rect.Top, rect.Width(), rect.Height(), Canvas().Handle(), 0, 0,
                   width_, height_, canvas.CopyMode());
    }
}

// ---------------------------------------------------------------------------------------------
// BMP files: every header field is checked (BmpHeader) before it is used.
void TBitmap::LoadFromStream(TStream& stream)
{
    const int64_t start = stream.Position();
    const int64_t available = std::max<int64_t>(stream.Size() - start, 0);

    // The headers (and a palette) come first; read as much as could belong to them.
    std::vector<uint8_t> head(static_cast<size_t>(std::min<int64_t>(available, kBmpHeadBytes)));
    stream.ReadBuffer(head.data(), head.size());
    const TBmpLayout layout = ReadBmpLayout(head.data(), head.size(), static_cast<uint64_t>(available));

    std::vector<RGBQUAD> palette;
    for (const TBmpColour& c : layout.Palette)
        palette.push_back(RGBQUAD{c.Blue, c.Green, c.Red, 0});
    const int bits = layout.Bits;
    const TPixelFormat format = bits == 1 ? TPixelFormat::pf1bit
                                : bits == 4 ? TPixelFormat::pf4bit
                                : bits == 8 ? TPixelFormat::pf8bit
                                : bits == 24 ? TPixelFormat::pf24bit
                                             : TPixelFormat::pf32bit;
    Dib dib = CreateDib(layout.Width, layout.Height, bits, palette);
    stream.SetPosition(start + layout.PixelOffset);
    if (layout.TopDown) {
        for (int y = 0; y < layout.Height; ++y)
            stream.ReadBuffer(dib.bits + (layout.Height - 1 - y) * layout.Stride, layout.Stride);
    } else {
        stream.ReadBuffer(dib.bits, layout.Stride * layout.Height);
    }

    palette_ = std::move(palette);
    Replace(std::move(dib), layout.Width, layout.Height, format);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name)
{
    HRSRC found = FindResourceA(instance, name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        throw EResNotFound(Format("Resource %s not found", name.c_str()));
    const DWORD size = SizeofResource(instance, found);

    // Put a file header in front and let the file reader check the rest.
    BITMAPFILEHEADER file{};
    file.bfType = 'B' | 'M' << 8;
    file.bfSize = sizeof file + size;
    file.bfOffBits = BmpResourcePixelOffset(bytes, size);
    TMemoryStream stream;
    stream.WriteBuffer(&file, sizeof file);
    stream.WriteBuffer(bytes, size);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

void TBitmap::SaveToStream(TStream& stream)
{
    const int bits = BitsPerPixel();
    const uint32_t paletteBytes = static_cast<uint32_t>(palette_.size() * sizeof(RGBQUAD));
    const uint32_t imageBytes = static_cast<uint32_t>(stride_) * height_;
    BITMAPFILEHEADER file{};
    file.bfType = 'B' | 'M' << 8;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + paletteBytes;
    file.bfSize = file.bfOffBits + imageBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = height_;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bits);
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    info.biClrUsed = static_cast<DWORD>(palette_.size());
    stream.WriteBuffer(&file, sizeof file);
    stream.WriteBuffer(&info, sizeof info);
    stream.WriteBuffer(palette_.data(), paletteBytes);
    if (imageBytes) {
        GdiFlush();
        stream.WriteBuffer(bits_, imageBytes);
    }
}
