// Lists of equally sized images with masks, over the platform's image lists.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

#include "Graphics.h"

struct ImageListDeleter {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

class TImageList {
public:
    explicit TImageList(int width = 16, int height = 16);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // A new size empties the list.
    void SetSize(int width, int height);
    int Count() const;
    HIMAGELIST Handle() const { return list_.get(); }

    // Adds the images of a bitmap (one per Width pixels across); returns the first index.
    // mask: white where the image is transparent; nullptr for none.
    int Add(TBitmap& image, TBitmap* mask = nullptr);
    // As Add, with the pixels of maskColor transparent.
    int AddMasked(TBitmap& image, TColor maskColor);
    void Clear();

    // A disabled image is drawn embossed in the button highlight and shadow colours.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true);

private:
    void DrawDisabled(HDC dc, int x, int y, int index);

    int width_;
    int height_;
    UniqueImageList list_;
};
