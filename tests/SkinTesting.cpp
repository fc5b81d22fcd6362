#include "SkinTesting.h"

#include <memory>
#include <stdexcept>
#include <type_traits>

#include "Forms.h"
#include "WindowTesting.h"

std::vector<uint8_t> OwnSkinStored()
{
    HRSRC found = FindResourceA(nullptr, "Index.SkinData1.skin", reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!found)
        throw std::runtime_error("the client's skin is not among the resources");
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
    return {bytes, bytes + SizeofResource(nullptr, found)};
}

void LoadOwnSkin(TSkinData& data)
{
    const std::vector<uint8_t> stored = OwnSkinStored();
    TMemoryStream stream;
    stream.WriteBuffer(stored.data(), stored.size());
    stream.SetPosition(0);
    data.ReadSkinStream(stream);
}

void LoadSkinFile(TSkinData& data, const std::string& path)
{
    TMemoryStream file;
    file.LoadFromFile(path);
    const auto length = static_cast<int32_t>(file.Length());
    TMemoryStream stored;
    stored.WriteBuffer(&length, sizeof length);
    stored.WriteBuffer(file.Bytes().data(), file.Bytes().size());
    stored.SetPosition(0);
    data.ReadSkinStream(stored);
}

COLORREF FrameColour(TBitmap& image, int frame, int count, bool vertical)
{
    const int fw = vertical ? image.Width() : image.Width() / count;
    const int fh = vertical ? image.Height() / count : image.Height();
    const int x = vertical ? fw / 2 : (frame - 1) * fw + fw / 2;
    const int y = vertical ? (frame - 1) * fh + fh / 2 : fh / 2;
    return static_cast<COLORREF>(image.Canvas().Pixel(x, y));
}

void SmallIconPicture(HICON icon, TBitmap& picture)
{
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    picture.SetSize(cx, cy);
    picture.Canvas().Brush().SetColor(clFuchsia);
    picture.Canvas().FillRect(Rect(0, 0, cx, cy));
    // The image made for that size, as the icon's resource holds it, not the big one shrunk.
    const std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)> small(
        static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE)), DestroyIcon);
    DrawIconEx(picture.Canvas().Handle(), 0, 0, small ? small.get() : icon, cx, cy, 0, nullptr, DI_NORMAL);
}

bool SamePicture(TBitmap& a, TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Canvas().Pixel(x, y) != b.Canvas().Pixel(x, y))
                return false;
    return true;
}

COLORREF FramePixel(TBitmap& image, int frame, int count, int x, int y)
{
    const int w = image.Width() / count;
    return static_cast<COLORREF>(image.Canvas().Pixel((frame - 1) * w + x, y));
}

TWinSkinForm& AttachSkin(TComponent* owner, HWND window, TSkinData& data, TCustomForm* form)
{
    auto& skin = *TComponent::Make<TWinSkinForm>(owner);
    if (form)
        skin.AttachForm(&data, form);
    else
        skin.AttachWindow(&data, window);
    PostMessageA(window, WM_SKINSTART, 0, 1000);
    return skin;
}

TWinSkinForm& SkinWindow(TComponent* owner, HWND window, TSkinData& data, TCustomForm* form)
{
    TWinSkinForm& skin = AttachSkin(owner, window, data, form);
    Pump([&] { return skin.SkinState() == fssSkinned; }, 5000);
    return skin;
}
