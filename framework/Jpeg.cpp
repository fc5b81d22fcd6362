#include "Jpeg.h"

#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>
#include <jerror.h>

#include "Streams.h"

namespace {

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    throw EJPEG(Format("JPEG error #%d", info->err->msg_code));
}

// A file that ends early decodes to a picture whose lower part is grey, and the library only
// warns. Our pictures are stored whole, so a short one is broken: treat it as an error. Other
// warnings (such as stray bytes between markers) leave a correct picture and are ignored.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}

// Frees the decoder on every path, including a library error thrown through it.
struct Decompressor {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};

    Decompressor()
    {
        info.err = jpeg_std_error(&errors);
        errors.error_exit = ErrorExit;
        errors.emit_message = EmitMessage;
        errors.output_message = OutputMessage;
        jpeg_create_decompress(&info);
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

void Decode(const std::vector<uint8_t>& data, TBitmap& bitmap)
{
    Decompressor jpeg;
    jpeg_mem_src(&jpeg.info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&jpeg.info, TRUE);
    // Rows come out in the bitmap's own byte order (blue, green, red).
    jpeg.info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&jpeg.info);
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.SetSize(static_cast<int>(jpeg.info.output_width),
                   static_cast<int>(jpeg.info.output_height));
    while (jpeg.info.output_scanline < jpeg.info.output_height) {
        JSAMPROW row = bitmap.ScanLine(static_cast<int>(jpeg.info.output_scanline));
        jpeg_read_scanlines(&jpeg.info, &row, 1);
    }
    jpeg_finish_decompress(&jpeg.info);
}

}  // namespace

void TJPEGImage::LoadFromStream(TStream& stream)
{
    const int64_t left = stream.Size() - stream.Position();
    if (left > 0x7FFFFFFF)
        throw EJPEG("JPEG image is too large");
    std::vector<uint8_t> data(static_cast<size_t>(left > 0 ? left : 0));
    stream.ReadBuffer(data.data(), data.size());
    TBitmap decoded;
    Decode(data, decoded);
    data_ = std::move(data);
    bitmap_.Assign(decoded);
}

void TJPEGImage::SaveToStream(TStream& stream)
{
    stream.WriteBuffer(data_.data(), data_.size());
}

void TJPEGImage::Assign(const TJPEGImage& source)
{
    if (&source == this)
        return;
    data_ = source.data_;
    bitmap_.Assign(source.bitmap_);
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const
{
    auto copy = std::make_unique<TJPEGImage>();
    copy->Assign(*this);
    return copy;
}

void TJPEGImage::Draw(TCanvas& canvas, const TRect& rect)
{
    bitmap_.Draw(canvas, rect);
}
