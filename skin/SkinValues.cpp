#include "SkinValues.h"

#include <algorithm>

int32_t ClampSkinSize(int32_t value)
{
    return std::clamp(value, 0, kMaxSkinExtent);
}

int32_t ClampSkinOffset(int32_t value)
{
    return std::clamp(value, -kMaxSkinExtent, kMaxSkinExtent);
}

int32_t ClampFrameCount(int32_t value, int32_t def)
{
    return value < 1 ? def : std::min(value, kMaxSkinExtent);
}

int32_t ParseColourText(const std::string& text, int32_t def)
{
    const std::string value = Trim(text);
    if (value.empty())
        return def;
    // Components are kept modulo 256 as their digits come, so no number can overflow.
    int components[3] = {0, 0, 0};
    int taken = 0;
    int pending = 0;
    bool inNumber = false;
    for (const char c : value) {
        if (c >= '0' && c <= '9') {
            pending = (pending * 10 + (c - '0')) % 256;
            inNumber = true;
        } else if (inNumber) {
            if (taken < 3)
                components[taken++] = pending;
            pending = 0;
            inNumber = false;
        }
    }
    // A last number counts only as the blue of a text that gave red and green already.
    if (inNumber && taken == 2)
        components[taken++] = pending;
    return components[0] + 256 * components[1] + 65536 * components[2];
}

std::string SkinImageName(const std::string& value)
{
    const size_t cut = value.find_last_of("\\:");
    const std::string name = cut == std::string::npos ? value : value.substr(cut + 1);
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".bmp") != 0)
        return {};
    return name;
}
