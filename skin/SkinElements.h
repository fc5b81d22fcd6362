// The element records a skin description is read into: one per skinned part of the screen,
// each with its image (a strip of FrameCount frames), nine-slice margins and colours.
#pragma once

#include <cstdint>
#include <string>

#include "Classes.h"
#include "Graphics.h"

// A colour value that a description leaves unset.
constexpr TColor kColourNotGiven = 0x1FFFFFFF;

class TDataSkinObject : public TObject {
public:
    explicit TDataSkinObject(const std::string& name) : Name(name) {}
    TDataSkinObject(const TDataSkinObject&) = delete;
    TDataSkinObject& operator=(const TDataSkinObject&) = delete;

    int32_t LeftWidth = 0;
    int32_t TopHeight = 0;
    int32_t RightWidth = 0;
    int32_t BottomHeight = 0;
    TBitmap Image;
    int32_t Trans = 0;  // 1: magenta pixels are transparent
    int32_t Tile = 0;   // how the middle parts are filled (stretched or repeated)
    std::string Name;   // the section (or fixed name) the element was read from
    int32_t FrameCount = 0;
    int32_t Style = 0;
    int32_t NormalColour = 0;
    int32_t MouseOverColour = 0;
    int32_t PressedColour = 0;
    TColor NormalColour2 = 0;     // text colours of the normal, hot and pressed states
    TColor MouseOverColour2 = 0;
    TColor PressedColour2 = 0;
};

// An element with a second image: a tab border, a progress chunk, an up-down glyph, the
// combo button's mirrored copy.
class TDataSkinBorder : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;

    TBitmap Image2;
};

// The caption text; its margins hold the text offsets.
class TDataSkinTitle : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;

    int32_t TextAlignment = 0;
    int32_t Textbackground = 0;
    int32_t FontHeight = 0;
    int32_t TXTBackleft = 0;
    int32_t TXTBackRight = 0;
    TColor ActiveTextColour = kColourNotGiven;
    TColor InactiveTextColour = kColourNotGiven;
};

// Push buttons, with the check box and radio button images.
class TDataSkinButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;

    TBitmap CheckImage;
    TBitmap RadioImage;
    int32_t RadioButtonFrame = 0;
    int32_t CheckButtonFrame = 0;
    bool HasNormalColour2 = false;
    bool HasMouseOverColour2 = false;
    bool HasPressedColour2 = false;
};

// One caption button.
class TDataSkinSysButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;

    int32_t Action = 0;
    int32_t Align = 0;
    int32_t Xcoord = 0;
    int32_t Ycoord = 0;
    int32_t CombineOp = 0;
    int32_t Visibility = 0;
    int32_t Visibility1 = 0;
};
