// Hostile skins in the running engine: mutated skins (the fuzz target's mutation rules:
// description values out of range, images missing, empty, cut short or with broken headers,
// containers and packed bits damaged) loaded one after another through the main window's
// SkinFile and re-applied by the skin manager to every skinned window, while the gallery's shots
// open their windows: each window the gallery photographs, menus and a message box among them,
// is painted and resized with a batch of them. No crash and no hang; the count and the time are
// printed. LEXDRILL_HOSTILE_SKINS sets how many (CI: 400), LEXDRILL_HOSTILE_SEED the sequence.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "Client.h"
#include "Gallery.h"
#include "HttpTestServer.h"
#include "Index.h"
#include "SkinMutate.h"
#include "SkinTesting.h"
#include "Sites.h"
#include "TempDir.h"
#include "TestFiles.h"
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

    // Loads a batch of mutated skins, re-applying each to every skinned window, and paints
    // and resizes window with each; the last skin of a batch is a valid one again, so that the
    // shot goes on as it would.
    void Torment(HWND window, const std::string& name, int batch)
    {
        RECT r;
        GetWindowRect(window, &r);
        for (int i = 0; i < batch && !Spent(); ++i) {
            Bytes skin = seeds_[random_() % seeds_.size()];
            for (int n = 1 + static_cast<int>(random_() % 3); n > 0; --n)
                skin = MutateSkinStream(skin, random_, [this](Bytes& b) { MutateBytes(b, random_); });
            ++loaded_;
            const TLoad load = Load(skin);
            parsed_ += load == TLoad::parsed;
            refused_ += load == TLoad::refused;
            ASSERT_TRUE(load != TLoad::parsed || Applied()) << name << ": mutated skin " << loaded_ << " was not applied";
            const int grow = i % 4 == 0 ? static_cast<int>(random_() % 200) - 100 : 0;
            SetWindowPos(window, nullptr, 0, 0, std::max<int>(1, r.right - r.left + grow),
                         std::max<int>(1, r.bottom - r.top + grow), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            Pump([] { return false; }, 1);
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
    int loaded_ = 0, parsed_ = 0, refused_ = 0, before_ = 0;
};

}  // namespace

TEST(HostileSkins, MutatedSkinsLoadAndPaintInTheRunningEngine)
{
    // The skin being tried stays beside the test program, for a crash to leave behind.
    char here[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, here);
    const std::string current = std::string(here) + "\\hostile_current.skin";

    const TTempCurrentDir folder;
    folder.Write("Config.INI", "[OLEDB5]\r\nkaoshi=司法考试\r\nksbh=K01\r\nHZSID=H7\r\n");
    const std::string server = TestServerUrl("");
    ServiceSites() = {server, server, server};
    MessageBoxesDuring(CreateClient);
    Form10->SkinData1->OnSkinChanged = [](TObject*) { ++changes; };
    Form10->SkinData1->SetActive(true);

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
           "another version) in %d rounds of the gallery's shots, %.0f s, seed %u\n",
           skins.Loaded(), skins.Parsed(), skins.Refused(), skinMessages, rounds, seconds, seed);
    EXPECT_GE(skins.Loaded(), budget);
    DeleteFileA(current.c_str());
}
