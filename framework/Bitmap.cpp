// TBitmap: DIB sections, pixel formats, masks and BMP files.
#include <algorithm>
#include <cstring>
#include <limits>

#include "Graphics.h"
#include "Streams.h"

namespace {

// Larger pictures are refused before any memory is asked for.
constexpr int kMaxDimension = 32767;
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

uint64_t StrideOf(int width, int bits)
{
    return ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bits) + 31) / 32) * 4;
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
    if (width < 0 || height < 0 || width > kMaxDimension || height > kMaxDimension)
        throw EOutOfResources("Out of system resources");
    Dib dib;
    if (width == 0 || height == 0)
        return dib;
    const uint64_t stride = StrideOf(width, bits);
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
    if (!dc_)
        return;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(dc_.get(), bitmap);
        if (!originalBitmap_)
            originalBitmap_ = previous;
    } else if (originalBitmap_) {
        SelectObject(dc_.get(), originalBitmap_);
        originalBitmap_ = nullptr;
    }
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
// BMP files. Every field is checked against the data before it is used.
namespace {

class ByteReader {
public:
    explicit ByteReader(const std::vector<uint8_t>& data) : data_(data) {}
    uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
    uint16_t U16(size_t at) const
    {
        if (at + 2 > data_.size())
            throw EInvalidGraphic("Bitmap image is not valid: the header is truncated");
        return static_cast<uint16_t>(data_[at] | data_[at + 1] << 8);
    }
    int32_t I32(size_t at) const { return static_cast<int32_t>(U32(at)); }

private:
    const std::vector<uint8_t>& data_;
};

[[noreturn]] void Invalid(const char* why)
{
    throw EInvalidGraphic(std::string("Bitmap image is not valid: ") + why);
}

}  // namespace

void TBitmap::LoadFromStream(TStream& stream)
{
    const int64_t start = stream.Position();
    const int64_t available = stream.Size() - start;
    constexpr size_t kFileHeader = 14;
    constexpr size_t kLargestInfoHeader = 124;

    // The headers (and a palette) come first; read as much as could belong to them.
    std::vector<uint8_t> head(static_cast<size_t>(
        std::clamp<int64_t>(available, 0, kFileHeader + kLargestInfoHeader + 12 + 256 * 4)));
    stream.ReadBuffer(head.data(), head.size());
    const ByteReader in(head);
    if (head.size() < kFileHeader + 4 || head[0] != 'B' || head[1] != 'M')
        Invalid("no bitmap file header");
    const uint32_t offBits = in.U32(10);
    const uint32_t infoSize = in.U32(14);
    const bool core = infoSize == 12;
    if (!core && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
        infoSize != 124)
        Invalid("unknown info header size");
    if (kFileHeader + infoSize > head.size())
        Invalid("the header is truncated");

    int64_t width, height;
    uint32_t planes, bits, compression = BI_RGB, colorsUsed = 0;
    if (core) {
        width = in.U16(18);
        height = in.U16(20);
        planes = in.U16(22);
        bits = in.U16(24);
    } else {
        width = in.I32(18);
        height = in.I32(22);
        planes = in.U16(26);
        bits = in.U16(28);
        compression = in.U32(30);
        colorsUsed = in.U32(46);
    }
    const bool topDown = height < 0;
    height = topDown ? -height : height;
    if (planes != 1)
        Invalid("plane count is not 1");
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension)
        Invalid("bad dimensions");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        Invalid("unsupported bit count");

    size_t paletteAt = kFileHeader + infoSize;
    if (compression == BI_BITFIELDS && bits == 32) {
        // Only the layout of plain 32-bit pixels; the masks follow a short header.
        const size_t masksAt = infoSize == 40 ? paletteAt : kFileHeader + 40;
        if (in.U32(masksAt) != 0xFF0000 || in.U32(masksAt + 4) != 0xFF00 ||
            in.U32(masksAt + 8) != 0xFF)
            Invalid("unsupported bit fields");
        if (infoSize == 40)
            paletteAt += 12;
    } else if (compression != BI_RGB) {
        Invalid("unsupported compression");
    }

    std::vector<RGBQUAD> palette;
    if (bits <= 8) {
        const uint32_t room = 1u << bits;
        if (colorsUsed > room)
            Invalid("bad colour count");
        const uint32_t count = colorsUsed ? colorsUsed : room;
        const size_t entry = core ? 3 : 4;
        if (paletteAt + count * entry > head.size() || paletteAt + count * entry > offBits)
            Invalid("the colour table is truncated");
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* q = head.data() + paletteAt + i * entry;
            palette.push_back(Quad(q[2], q[1], q[0]));
        }
        palette.resize(room, Quad(0, 0, 0));  // every index a file may hold has a colour
    }

    const uint64_t stride = StrideOf(static_cast<int>(width), static_cast<int>(bits));
    const uint64_t imageBytes = stride * static_cast<uint64_t>(height);
    if (offBits < paletteAt)
        Invalid("bad pixel data offset");
    if (static_cast<uint64_t>(offBits) + imageBytes > static_cast<uint64_t>(available))
        Invalid("the pixel data is truncated");

    const TPixelFormat formats[] = {TPixelFormat::pf1bit, TPixelFormat::pf4bit,
                                    TPixelFormat::pf8bit, TPixelFormat::pf24bit,
                                    TPixelFormat::pf32bit};
    const TPixelFormat format = formats[bits == 1 ? 0 : bits == 4 ? 1 : bits == 8 ? 2
                                                    : bits == 24 ? 3 : 4];
    Dib dib = CreateDib(static_cast<int>(width), static_cast<int>(height), static_cast<int>(bits),
                        palette);
    stream.SetPosition(start + offBits);
    if (topDown) {
        for (int64_t y = 0; y < height; ++y)
            stream.ReadBuffer(dib.bits + (height - 1 - y) * stride, stride);
    } else {
        stream.ReadBuffer(dib.bits, imageBytes);
    }

    palette_ = std::move(palette);
    Replace(std::move(dib), static_cast<int>(width), static_cast<int>(height), format);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name)
{
    HRSRC found = FindResourceA(instance, name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        throw EResNotFound(Format("Resource %s not found", name.c_str()));
    const DWORD size = SizeofResource(instance, found);

    // A bitmap resource is a bitmap file without its file header: put one in front, with the
    // pixel offset after the info header, its colour masks and its colour table, and let the
    // file reader check the rest.
    const std::vector<uint8_t> header(bytes, bytes + std::min<DWORD>(size, 40));
    const ByteReader in(header);
    uint32_t offBits = sizeof(BITMAPFILEHEADER);
    if (size >= 40) {
        const uint32_t infoSize = in.U32(0);
        const uint32_t bits = in.U16(14);
        const uint32_t colorsUsed = in.U32(32);
        offBits += infoSize + (in.U32(16) == BI_BITFIELDS && infoSize == 40 ? 12 : 0);
        if (bits <= 8)
            offBits += 4 * (colorsUsed ? std::min(colorsUsed, 1u << bits) : 1u << bits);
    }
    BITMAPFILEHEADER file{};
    file.bfType = 'B' | 'M' << 8;
    file.bfSize = sizeof file + size;
    file.bfOffBits = offBits;
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
