// Hostile skins in the running engine: mutated skins (the fuzz target's mutation rules:
// description values out of range, images missing, empty, cut short or with broken headers,
// containers and packed bits damaged) loaded one after another through the main window's
// SkinFile and re-applied by the skin manager to every skinned window, while the gallery's shots
// open their windows: each window the gallery photographs, menus and a message box among them,
// is painted and resized with a batch of them. No crash and no hang; a skin whose only damage
// is to images looks, in a picture of the window, like the skin with those images missing: no
// white box where they were. The count and the time are printed. LEXDRILL_HOSTILE_SKINS sets
// how many (CI: 400), LEXDRILL_HOSTILE_SEED the sequence.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ClientTesting.h"
#include "Gallery.h"
#include "GdiHandles.h"
#include "Index.h"
#include "LZH.h"
#include "SkinMutate.h"
#include "SkinPack.h"
#include "SkinRead.h"
#include "SkinTesting.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "WinSkinDataManage.h"
#include "WindowTesting.h"

using Bytes = std::vector<uint8_t>;

// A container of another version is reported to the user; here it is only counted.
int skinMessages = 0;
void SkinMessage(const std::string&)
{
    ++skinMessages;
}

namespace {

int changes = 0;

int EnvOr(const char* name, int fallback)
{
    const char* value = getenv(name);
    return value ? atoi(value) : fallback;
}

Bytes ReadBytes(const std::string& path)
{
    const std::string bytes = ReadFile(path);
    return {bytes.begin(), bytes.end()};
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The byte mutator under the rules, as libFuzzer's is in the fuzz target: a few bits flipped,
// bytes and words set to edge values, runs erased, repeated or cut off.
void MutateBytes(Bytes& bytes, std::minstd_rand& random)
{
    static const uint32_t words[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    for (int n = 1 + static_cast<int>(random() % 3); n > 0 && !bytes.empty(); --n) {
        const size_t at = random() % bytes.size();
        switch (random() % 6) {
        case 0:
            bytes[at] ^= static_cast<uint8_t>(1 << (random() % 8));
            break;
        case 1:
            bytes[at] = static_cast<uint8_t>(words[random() % std::size(words)]);
            break;
        case 2: {
            const uint32_t w = words[random() % std::size(words)];
            for (size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
                bytes[at + i] = static_cast<uint8_t>(w >> (8 * i));
            break;
        }
        case 3:
            bytes.erase(bytes.begin() + static_cast<ptrdiff_t>(at),
                        bytes.begin() + static_cast<ptrdiff_t>(std::min(bytes.size(), at + 1 + random() % 16)));
            break;
        case 4: {
            const Bytes run(bytes.begin() + static_cast<ptrdiff_t>(at),
                            bytes.begin() + static_cast<ptrdiff_t>(std::min(bytes.size(), at + 1 + random() % 16)));
            bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(random() % bytes.size()), run.begin(), run.end());
            break;
        }
        default:
            bytes.resize(at);
            break;
        }
    }
}

// Pixels white in the window's picture with skin where its picture with missing shows none;
// -1 when the pair could not be judged (see its definition).
int WhiteWhereMissingShowsNone(HWND window, const std::string& path, const Bytes& skin, const Bytes& missing);
// The seed with the images a mutation took out, emptied or left undecodable (cut short, a
// broken header) emptied instead: what the mutated skin must look like. Empty when the mutation
// did anything else.
Bytes WithDamagedImagesMissing(const Bytes& seed, const Bytes& mutated);

class THostileSkins {
public:
    THostileSkins(std::vector<Bytes> seeds, std::string path, int budget, unsigned seed)
        : seeds_(std::move(seeds)), path_(std::move(path)), budget_(budget), random_(seed)
    {
    }

    bool Spent() const { return loaded_ >= budget_; }
    int Loaded() const { return loaded_; }
    int Parsed() const { return parsed_; }
    int Refused() const { return refused_; }
    // Mutated skins whose only damage was to images, compared with those images missing; pairs
    // of pictures that never held still are not judged.
    int Compared() const { return compared_; }
    int Unsteady() const { return unsteady_; }

    // Loads a batch of mutated skins, re-applying each to every skinned window, and paints
    // and resizes window with each; the last skin of a batch is a valid one again, so that the
    // shot goes on as it would.
    void Torment(HWND window, const std::string& name, int batch)
    {
        RECT r;
        GetWindowRect(window, &r);
        for (int i = 0; i < batch && !Spent(); ++i) {
            const Bytes& seed = seeds_[random_() % seeds_.size()];
            Bytes skin = seed;
            for (int n = 1 + static_cast<int>(random_() % 3); n > 0; --n)
                skin = MutateSkinStream(skin, random_, [this](Bytes& b) { MutateBytes(b, random_); });
            ++loaded_;
            const TLoad load = Load(skin);
            parsed_ += load == TLoad::parsed;
            refused_ += load == TLoad::refused;
            ASSERT_TRUE(load != TLoad::parsed || Applied()) << name << ": mutated skin " << loaded_ << " was not applied";
            if (load == TLoad::parsed) {
                if (const Bytes missing = WithDamagedImagesMissing(seed, skin); !missing.empty()) {
                    const int white = WhiteWhereMissingShowsNone(window, path_, skin, missing);
                    unsteady_ += white < 0;
                    compared_ += white >= 0;
                    EXPECT_LE(white, 0) << name << ": mutated skin " << loaded_
                                        << " drew white where its damaged images were";
                }
            }
            const int grow = i % 4 == 0 ? static_cast<int>(random_() % 200) - 100 : 0;
            SetWindowPos(window, nullptr, 0, 0, std::max<int>(1, r.right - r.left + grow),
                         std::max<int>(1, r.bottom - r.top + grow), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Wait(1);
            ASSERT_TRUE(IsWindow(window)) << name;
        }
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(Load(seeds_[0]) == TLoad::parsed && Applied()) << name;
    }

private:
    enum class TLoad { parsed, notLoaded, refused };

    // Through the skin file, as a user's would be; the manager's reload at once. A skin without
    // a description, or whose packed bits state more than they hold, is refused with an error;
    // neither it nor a container of another version is re-applied.
    TLoad Load(const Bytes& skin)
    {
        WriteFile(path_, skin);
        TSkinData* data = Form10->SkinData1;
        before_ = changes;
        try {
            data->SetSkinFile(path_);
        } catch (const Exception&) {
            EXPECT_FALSE(data->FSkinLoaded);
            return TLoad::refused;
        }
        if (!data->FSkinLoaded)
            return TLoad::notLoaded;
        SkinManage->SetMode(smReload, 1);
        return TLoad::parsed;
    }

    bool Applied() const
    {
        const int before = before_;
        return Pump([before] { return changes > before; }, 10000);
    }

    std::vector<Bytes> seeds_;
    std::string path_;
    int budget_;
    std::minstd_rand random_;
    int loaded_ = 0, parsed_ = 0, refused_ = 0, compared_ = 0, unsteady_ = 0, before_ = 0;
};

// One element of a skin two ways: its image emptied in the container, and its Image line taken
// out of the description.
struct TImageCase {
    std::string section;
    Bytes emptied, missing;
};

Bytes Stream(const std::vector<TSkinEntry>& entries)
{
    return PackLZH(BuildContainer(entries));
}

bool IsBitmap(const Bytes& bytes)
{
    return bytes.size() > 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

// Whether the skin reader draws an image of these bytes as a missing one: nothing, or a bitmap
// the decoder refuses (one cut short among them).
bool DrawnAsMissing(const Bytes& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
        return true;
    } catch (const std::exception&) {
        return false;  // the reader would refuse the whole skin
    }
    return bitmap.Empty();
}

Bytes WithDamagedImagesMissing(const Bytes& seed, const Bytes& mutated)
{
    std::vector<TSkinEntry> before, after;
    if (!SplitContainer(UnpackSkinStream(seed), before) || !SplitContainer(UnpackSkinStream(mutated), after))
        return {};
    const auto named = [](std::vector<TSkinEntry>& entries, const std::string& name) {
        return std::find_if(entries.begin(), entries.end(), [&](const TSkinEntry& e) { return e.name == name; });
    };
    for (const TSkinEntry& e : after)
        if (named(before, e.name) == before.end())
            return {};
    bool damaged = false;
    for (TSkinEntry& e : before) {
        const auto now = named(after, e.name);
        if (now != after.end() && now->bytes == e.bytes)
            continue;
        if (!IsBitmap(e.bytes) || (now != after.end() && !DrawnAsMissing(now->bytes)))
            return {};
        e.bytes.clear();
        damaged = true;
    }
    return damaged ? Stream(before) : Bytes{};
}

std::vector<TImageCase> ElementImageCases(const Bytes& stream)
{
    std::vector<TSkinEntry> entries;
    if (!SplitContainer(UnpackSkinStream(stream), entries))
        return {};
    const auto ini = std::find_if(entries.begin(), entries.end(), [](const TSkinEntry& e) {
        return e.name.size() > 4 && e.name.compare(e.name.size() - 4, 4, ".ini") == 0;
    });
    if (ini == entries.end())
        return {};
    const std::string text(ini->bytes.begin(), ini->bytes.end());
    std::vector<TImageCase> cases;
    std::string section;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(at, end - at);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']')
            section = line.substr(1, line.size() - 2);
        if (line.rfind("Image=", 0) == 0) {
            const std::string image = line.substr(6);
            TImageCase c{section, {}, {}};
            std::vector<TSkinEntry> emptied = entries;
            for (TSkinEntry& e : emptied)
                if (_stricmp(e.name.c_str(), image.c_str()) == 0)
                    e.bytes.clear();
            c.emptied = Stream(emptied);
            std::vector<TSkinEntry> missing = entries;
            const std::string rest = text.substr(0, at) + text.substr(end);
            missing[static_cast<size_t>(ini - entries.begin())].bytes.assign(rest.begin(), rest.end());
            c.missing = Stream(missing);
            cases.push_back(std::move(c));
        }
        at = end;
    }
    return cases;
}

// Loads a skin through the main window's SkinFile and has the manager re-apply it at once.
bool LoadFile(const std::string& path, const Bytes& skin)
{
    WriteFile(path, skin);
    const int before = changes;
    Form10->SkinData1->SetSkinFile(path);
    if (!Form10->SkinData1->FSkinLoaded)
        return false;
    SkinManage->SetMode(smReload, 1);
    return Pump([before] { return changes > before; }, 10000);
}

// A pixel another window covered when the picture was taken.
constexpr uint32_t kCovered = 0xFF000000;

// The window's client area as it shows; the caret hidden, which blinks. The tests running beside this one share the desktop: what their windows cover is
// marked, not compared.
std::vector<uint32_t> Picture(HWND window)
{
    std::vector<uint32_t> pixels;
    RECT r;
    GetClientRect(window, &r);
    const int w = r.right, h = r.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HideCaret(nullptr);
    {
        // Not clipped by the window's own children: only other windows count as covering.
        const WindowDC screen(window, GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS));
        const UniqueBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        const UniqueDC memory = CreateMemoryDC();
        const SelectionGuard selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, w, h, screen.Get(), 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const uint32_t*>(bits);
        for (int i = 0; bits && i < w * h; ++i)
            pixels.push_back(p[i] & 0xFFFFFF);
        // The part of the client area on show, in screen coordinates.
        const UniqueRegion visible(CreateRectRgn(0, 0, 0, 0));
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        if (GetRandomRgn(screen.Get(), visible.get(), SYSRGN) == 1) {
            OffsetRgn(visible.get(), -origin.x, -origin.y);
            std::vector<uint32_t> shown(pixels.size(), kCovered);
            std::vector<char> data(GetRegionData(visible.get(), 0, nullptr));
            auto* region = reinterpret_cast<RGNDATA*>(data.data());
            if (!data.empty() && GetRegionData(visible.get(), static_cast<DWORD>(data.size()), region)) {
                const auto* rects = reinterpret_cast<const RECT*>(region->Buffer);
                for (DWORD i = 0; i < region->rdh.nCount; ++i)
                    for (int y = std::max(0L, rects[i].top); y < std::min<long>(h, rects[i].bottom); ++y)
                        for (int x = std::max(0L, rects[i].left); x < std::min<long>(w, rects[i].right); ++x) {
                            const size_t at = static_cast<size_t>(y) * w + x;
                            shown[at] = pixels[at];
                        }
            }
            pixels.swap(shown);
        }
    }
    ShowCaret(nullptr);
    return pixels;
}

// The picture once the window has finished painting with the skin: some parts (a tab control's
// scroller, the scroll bars) are painted by messages of their own, later on a busy machine.
std::vector<uint32_t> PictureWith(HWND window, const std::string& path, const Bytes& skin)
{
    if (!LoadFile(path, skin))
        return {};
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<uint32_t> last = Picture(window), now;
    for (int i = 0; i < 40; ++i) {
        Wait(50);
        now = Picture(window);
        if (now == last)
            break;
        last.swap(now);
    }
    return now;
}

// An element whose image is damaged must be drawn as a missing one, never as an opaque white
// box. A test running beside this one may take the activation or the focus between the two
// pictures, or cover most of the window: the pair is taken again, and after four tries not
// judged (-1). The mutated skin is left loaded.
int WhiteWhereMissingShowsNone(HWND window, const std::string& path, const Bytes& skin, const Bytes& missing)
{
    RECT client;
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return -1;
    int white = -1;
    for (int attempt = 0; attempt < 4 && white < 0; ++attempt) {
        const HWND active = GetForegroundWindow(), focus = GetFocus();
        const std::vector<uint32_t> without = PictureWith(window, path, missing);
        const std::vector<uint32_t> with = PictureWith(window, path, skin);
        if (GetForegroundWindow() != active || GetFocus() != focus || with.empty() || with.size() != without.size())
            continue;
        size_t shown = 0;
        int count = 0;
        for (size_t i = 0; i < with.size(); ++i) {
            if (with[i] == kCovered || without[i] == kCovered)
                continue;
            ++shown;
            count += with[i] == 0xFFFFFF && without[i] != 0xFFFFFF;
        }
        if (2 * shown >= with.size())
            white = count;
    }
    return white;
}

}  // namespace

class HostileSkins : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The skin being tried stays beside the test program, for a crash to leave behind.
        char here[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, here);
        current = std::string(here) + "\\hostile_current.skin";
        folder = std::make_unique<TTempCurrentDir>();
        CreateClientIn(*folder);
        Form10->SkinData1->OnSkinChanged = [](TObject*) { ++changes; };
        Form10->SkinData1->SetActive(true);
    }
    static void TearDownTestSuite()
    {
        DeleteFileA(current.c_str());
        folder.reset();
    }

    static inline std::unique_ptr<TTempCurrentDir> folder;
    static inline std::string current;
};

TEST_F(HostileSkins, MutatedSkinsLoadAndPaintInTheRunningEngine)
{

    const Bytes own = OwnSkinStored();
    std::vector<Bytes> seeds = {ReadBytes(LEXDRILL_SECOND_SKIN), Bytes(own.begin() + 4, own.end()),
                                ReadBytes(LEXDRILL_FORMSKIN_FIXTURE)};
    for (const Bytes& s : seeds)
        ASSERT_FALSE(s.empty());
    const int budget = EnvOr("LEXDRILL_HOSTILE_SKINS", 400);
    const auto seed = static_cast<unsigned>(EnvOr("LEXDRILL_HOSTILE_SEED", 1));
    THostileSkins skins(seeds, current, budget, seed);

    const ULONGLONG start = GetTickCount64();
    const auto torment = [&](int batch) {
        return [&skins, batch](HWND window, const std::string& name) { skins.Torment(window, name, batch); };
    };
    GalleryCamera = {torment(40), torment(10)};
    int rounds = 0;
    while (!skins.Spent() && !testing::Test::HasFatalFailure()) {
        for (const auto& shot : kShots)
            shot();
        ++rounds;
    }
    const double seconds = static_cast<double>(GetTickCount64() - start) / 1000;
    printf("hostile skins: %d loaded (%d parsed to the end, %d refused with an error, %d told to the user as "
           "another version) in %d rounds of the gallery's shots, %.0f s, seed %u; %d with damaged images "
           "compared with them missing, %d not judged\n",
           skins.Loaded(), skins.Parsed(), skins.Refused(), skinMessages, rounds, seconds, seed, skins.Compared(),
           skins.Unsteady());
    EXPECT_GE(skins.Loaded(), budget);
    EXPECT_GT(skins.Compared(), 0) << "no picture was compared";
}

TEST_F(HostileSkins, AnElementWhoseImageIsEmptyIsDrawnAsAMissingOne)
{
    // Every element of the fixture, its image emptied (as a damaged or missing image leaves
    // it), against the same skin without the element: the control windows of the gallery must
    // look the same, with no opaque white box where the image would have been.
    const std::vector<TImageCase> cases = ElementImageCases(ReadBytes(LEXDRILL_FORMSKIN_FIXTURE));
    ASSERT_GE(cases.size(), 10u);
    const std::string path = folder->Path() + "\\element.skin";
    int compared = 0, unsteady = 0;
    const auto compare = [&](HWND window, const std::string& name) {
        if (name != "small_controls" && name != "lists" && name != "tabs_positions")
            return;
        for (const TImageCase& c : cases) {
            size_t total = 1;
            // A test running beside this one may cover most of this window for a while, or take
            // its activation between the two pictures (a control's focus rectangle comes and
            // goes with it): then the pictures are taken again.
            int white = 0, differing = 0;
            size_t shown = 0;
            bool steady = false;
            for (int attempt = 0; attempt < 8 && (attempt == 0 || !steady || 2 * shown < total); ++attempt) {
                SetForegroundWindow(window);
                Pump([window] { return GetForegroundWindow() == window; }, 2000);
                // Another test's window may hold the activation throughout: what counts is that
                // both pictures show the same one.
                const bool active = GetForegroundWindow() == window;
                const HWND focus = GetFocus();
                const std::vector<uint32_t> emptied = PictureWith(window, path, c.emptied);
                const std::vector<uint32_t> missing = PictureWith(window, path, c.missing);
                steady = (GetForegroundWindow() == window) == active && GetFocus() == focus;
                ASSERT_FALSE(emptied.empty()) << name;
                ASSERT_EQ(emptied.size(), missing.size()) << name;
                total = emptied.size();
                white = differing = 0;
                shown = 0;
                for (size_t i = 0; i < emptied.size(); ++i) {
                    if (emptied[i] == kCovered || missing[i] == kCovered)
                        continue;
                    ++shown;
                    differing += emptied[i] != missing[i];
                    white += emptied[i] == 0xFFFFFF && missing[i] != 0xFFFFFF;
                }
            }
            // A case whose pictures never held still is not judged; nearly all must be.
            if (!steady) {
                ++unsteady;
                continue;
            }
            EXPECT_GE(2 * shown, total) << name << ": [" << c.section << "] covered by other windows";
            EXPECT_EQ(white, 0) << name << ": [" << c.section << "] drawn white where its image was empty";
            EXPECT_EQ(differing, 0) << name << ": [" << c.section << "] empty and missing differ";
            ++compared;
        }
        ASSERT_TRUE(LoadFile(path, ReadBytes(LEXDRILL_FORMSKIN_FIXTURE)));
    };
    GalleryCamera = {compare, [](HWND, const std::string&) {}};
    for (const auto& shot : kShots)
        shot();
    EXPECT_EQ(compared + unsteady, static_cast<int>(3 * cases.size()));
    EXPECT_LE(10 * unsteady, compared) << "too many cases whose activation or focus kept changing";
}
