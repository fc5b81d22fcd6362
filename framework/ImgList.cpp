#include "ImgList.h"

TImageList::TImageList(int width, int height) : width_(0), height_(0)
{
    SetSize(width, height);
}

void TImageList::SetSize(int width, int height)
{
    UniqueImageList list(ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 4, 4));
    if (!list)
        throw EOutOfResources("Out of system resources");
    list_ = std::move(list);
    width_ = width;
    height_ = height;
}

int TImageList::Count() const
{
    return ImageList_GetImageCount(list_.get());
}

int TImageList::Add(TBitmap& image, TBitmap* mask)
{
    // The list copies the pixels; a bitmap held by a DC cannot be read, so both are
    // taken out of their canvases' DCs through a copy.
    TBitmap imageCopy;
    imageCopy.Assign(image);
    TBitmap maskCopy;
    if (mask)
        maskCopy.Assign(*mask);
    const int index = ImageList_Add(list_.get(), imageCopy.Handle(), mask ? maskCopy.Handle() : nullptr);
    if (index < 0)
        throw EInvalidOperation("Failed to add image to the image list");
    return index;
}

int TImageList::AddMasked(TBitmap& image, TColor maskColor)
{
    TBitmap mask;
    mask.Assign(image);
    mask.Mask(maskColor);
    return Add(image, &mask);
}

void TImageList::Clear()
{
    ImageList_Remove(list_.get(), -1);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled)
{
    if (index < 0 || index >= Count())
        return;
    if (enabled)
        ImageList_Draw(list_.get(), index, canvas.Handle(), x, y, ILD_TRANSPARENT);
    else
        DrawDisabled(canvas.Handle(), x, y, index);
}

void TImageList::DrawDisabled(HDC dc, int x, int y, int index)
{
    // A monochrome picture of the image's opaque pixels: black where the image shows.
    TBitmap shape(width_, height_, TPixelFormat::pf1bit);
    HDC shapeDC = shape.Canvas().Handle();
    PatBlt(shapeDC, 0, 0, width_, height_, WHITENESS);
    ImageList_Draw(list_.get(), index, shapeDC, 0, 0, ILD_MASK);

    // Paints the brush where the shape is black and keeps the destination elsewhere.
    constexpr DWORD kBrushWhereBlack = 0x00B8074A;
    const BackgroundColorGuard back(dc, RGB(255, 255, 255));
    const TextColorGuard text(dc, RGB(0, 0, 0));
    for (const auto& [offset, color] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}}) {
        UniqueBrush brush(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(color))));
        SelectionGuard select(dc, brush.get());
        BitBlt(dc, x + offset, y + offset, width_, height_, shapeDC, 0, 0, kBrushWhereBlack);
    }
}
