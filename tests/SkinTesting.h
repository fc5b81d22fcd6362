// Skinned windows for the tests and the gallery: the skins loaded, and windows skinned the way
// the skin manager skins them (attached, then WM_SKINSTART).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "WinSkinData.h"
#include "WinSkinForm.h"

class TCustomForm;

// The client's own skin as its layout stores it (the stream's length, then the stream), from the
// resource the build packs it into.
std::vector<uint8_t> OwnSkinStored();
void LoadOwnSkin(TSkinData& data);
// A skin file, read as a layout stores it. Unlike SkinFile this makes no skin manager, whose hook
// would skin the tests' windows too: these tests attach their skins by hand.
void LoadSkinFile(TSkinData& data, const std::string& path);

// The flat colour of frame (from 1) of count frames of a fixture image, side by side or, when
// vertical, stacked: the colour at the frame's centre.
COLORREF FrameColour(TBitmap& image, int frame, int count, bool vertical = false);
// The colour at x, y inside frame (from 1) of count frames side by side.
COLORREF FramePixel(TBitmap& image, int frame, int count, int x, int y);

// The colour a framework colour (a system colour too) stands for.
inline COLORREF Rgb(TColor colour)
{
    return static_cast<COLORREF>(ColorToRGB(colour));
}

// A skin for window, owned by owner, attached to the framework form when there is one, with
// WM_SKINSTART posted.
TWinSkinForm& AttachSkin(TComponent* owner, HWND window, TSkinData& data, TCustomForm* form = nullptr);
// The same, returned once WM_SKINSTART has been handled.
TWinSkinForm& SkinWindow(TComponent* owner, HWND window, TSkinData& data, TCustomForm* form = nullptr);
