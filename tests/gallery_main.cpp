// The gallery program: every shot of the gallery (gallery.cpp) saved as PNG pictures in the
// folder named on the command line (scripts/test.sh: build/gallery), and the client's windows
// once more on the second test skin, their names beginning "second_".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "ClientTesting.h"
#include "Gallery.h"
#include "Graphics.h"
#include "Index.h"
#include "TempDir.h"
#include "WinSkinData.h"
#include "WindowTesting.h"

namespace {

std::string folder;
std::string prefix;

// ---------------------------------------------------------------------------------------------
// PNG files: 24-bit pixels, zlib's stored (uncompressed) blocks.

uint32_t Crc(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFF;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

std::string BigEndian(uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Chunk(const char* type, const std::string& data)
{
    const std::string body = type + data;
    return BigEndian(static_cast<uint32_t>(data.size())) + body + BigEndian(Crc(body));
}

void SavePng(TBitmap& picture, const std::string& path)
{
    const int w = picture.Width(), h = picture.Height();
    std::string raw;
    for (int y = 0; y < h; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < w; ++x) {
            const COLORREF c = GetPixel(picture.Canvas().Handle(), x, y);
            raw += {static_cast<char>(GetRValue(c)), static_cast<char>(GetGValue(c)), static_cast<char>(GetBValue(c))};
        }
    }
    std::string zlib = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t n = std::min<size_t>(65535, raw.size() - at);
        const bool last = at + n >= raw.size();
        zlib += {static_cast<char>(last), static_cast<char>(n), static_cast<char>(n >> 8),
                 static_cast<char>(~n), static_cast<char>(~n >> 8)};
        zlib += raw.substr(at, n);
    }
    zlib += BigEndian((b << 16) | a);
    const std::string header = BigEndian(static_cast<uint32_t>(w)) + BigEndian(static_cast<uint32_t>(h)) +
                               std::string("\x08\x02\x00\x00\x00", 5);
    const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", zlib) +
                            Chunk("IEND", "");
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(png.data(), 1, png.size(), file) != png.size())
        throw std::runtime_error("cannot write " + path);
    std::fclose(file);
}

// ---------------------------------------------------------------------------------------------


// The window as it shows on a plain backdrop, cut by its region, with a margin around it.
void SaveWindow(HWND w, const std::string& name)
{
    constexpr int margin = 12;
    RECT r;
    GetWindowRect(w, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    TBitmap picture(width + 2 * margin, height + 2 * margin);
    HDC dc = picture.Canvas().Handle();
    {
        const WindowDC window(w, GetWindowDC(w));
        BitBlt(dc, margin, margin, width, height, window.Get(), 0, 0, SRCCOPY);
    }
    UniqueRegion outside(CreateRectRgn(0, 0, picture.Width(), picture.Height()));
    UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(w, shape.get()) == ERROR)
        SetRectRgn(shape.get(), 0, 0, width, height);
    OffsetRgn(shape.get(), margin, margin);
    CombineRgn(outside.get(), outside.get(), shape.get(), RGN_DIFF);
    UniqueBrush backdrop(CreateSolidBrush(RGB(58, 110, 165)));
    FillRgn(dc, outside.get(), backdrop.get());
    SavePng(picture, folder + "/" + prefix + name + ".png");
    std::printf("gallery: %s/%s%s.png\n", folder.c_str(), prefix.c_str(), name.c_str());
}

// What the screen shows over a window and the menu open beside it.
void SaveScreen(HWND w, const std::string& name)
{
    RECT r;
    GetWindowRect(w, &r);
    if (HWND menu = ShownMenuWindow()) {
        RECT m;
        GetWindowRect(menu, &m);
        UnionRect(&r, &r, &m);
    }
    InflateRect(&r, 12, 12);
    // A blit that reaches past the screen copies nothing at all.
    const RECT screenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&r, &r, &screenRect);
    TBitmap picture(r.right - r.left, r.bottom - r.top);
    const WindowDC screen(nullptr);
    BitBlt(picture.Canvas().Handle(), 0, 0, picture.Width(), picture.Height(), screen.Get(), r.left, r.top, SRCCOPY);
    SavePng(picture, folder + "/" + prefix + name + ".png");
    std::printf("gallery: %s/%s%s.png\n", folder.c_str(), prefix.c_str(), name.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    // The folder's full path: the client runs in a current folder of its own.
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(argc > 1 ? argv[1] : "gallery", MAX_PATH, full, nullptr);
    folder = length > 0 && length < MAX_PATH ? full : argc > 1 ? argv[1] : "gallery";
    CreateDirectoryA(folder.c_str(), nullptr);
    GalleryCamera = {SaveWindow, SaveScreen};
    try {
        // The client, in a folder of its own, its pages from the tests' local server; its
        // database cannot be opened here, and that message box is answered.
        const TTempCurrentDir dir;
        CreateClientIn(dir);
        TSkinData* data = Form10->SkinData1;
        data->SetActive(true);
        for (const auto& shot : kShots)
            shot();

        // The second skin, through the component's skin file as the manager reloads it.
        bool reloaded = false;
        data->OnSkinChanged = [&](TObject*) { reloaded = true; };
        data->SetSkinFile(LEXDRILL_SECOND_SKIN);
        if (!data->FSkinLoaded || !Pump([&] { return reloaded; }, 5000))
            throw std::runtime_error("the second skin was not applied");
        prefix = "second_";
        ClientShots();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gallery: %s\n", e.what());
        return 1;
    }
    return 0;
}
