// JPEG pictures, decoded through libjpeg into a 24-bit bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "Graphics.h"

// A library error; the message is "JPEG error #n" with the library's message code.
class EJPEG : public EInvalidGraphic {
public:
    using EInvalidGraphic::EInvalidGraphic;
};

class TJPEGImage : public TGraphic {
public:
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }

    // Reads the rest of the stream and decodes it at once, so a broken file fails here and
    // not at the first paint. A failure leaves the image as it was.
    void LoadFromStream(TStream& stream) override;
    // Writes the file as it was read.
    void SaveToStream(TStream& stream) override;

    const TBitmap& Bitmap() const { return bitmap_; }
    void Assign(const TJPEGImage& source);
    std::unique_ptr<TGraphic> Clone() const override;
    void Draw(TCanvas& canvas, const TRect& rect) override;

private:
    std::vector<uint8_t> data_;
    TBitmap bitmap_;
};
