#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <random>

#include "LZH.h"
#include "SkinPack.h"
#include "SkinRead.h"

namespace {

std::vector<std::string> messages;

// The largest single allocation asked for while watchAllocations is set.
bool watchAllocations = false;
size_t largestAllocation = 0;

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(const TMemoryStream& stream)
{
    return stream.Bytes();
}

Bytes ToBytes(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

void Fill(TMemoryStream& stream, const Bytes& bytes)
{
    stream.Clear();
    stream.WriteBuffer(bytes.data(), bytes.size());
}

Bytes Unpack(const Bytes& skinStream)
{
    TMemoryStream source, target;
    Fill(source, skinStream);
    TSkinReader::Unpack(source, target);
    return ToBytes(target);
}

Bytes Text(size_t size)
{
    static const char* const words[] = {"skin", "frame", "caption", "button", "=", "\r\n",
                                        "[Colours]", "Bitmap", "12632256", " ", "menu", "考试"};
    std::mt19937 random(7);
    std::string text;
    while (text.size() < size)
        text += words[random() % std::size(words)];
    text.resize(size);
    return ToBytes(text);
}

// A 24-bit bitmap file: a header, then flat 8 x 8 blocks of colour with a magenta key column,
// as skin images are drawn.
Bytes Image(size_t size)
{
    Bytes image = ToBytes(std::string("BM"));
    image.resize(54);
    for (size_t i = 0; image.size() < size; ++i) {
        const size_t x = i % 97, y = i / 97;
        const uint8_t shade = static_cast<uint8_t>(x / 8 * 20 + y / 8 * 7);
        const Bytes pixel = x % 32 == 0 ? Bytes{255, 0, 255} : Bytes{shade, uint8_t(shade / 2), 200};
        image.insert(image.end(), pixel.begin(), pixel.end());
    }
    image.resize(size);
    return image;
}

Bytes Random(size_t size)
{
    std::mt19937 random(11);
    Bytes bytes(size);
    for (uint8_t& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

void PutU32(Bytes& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A container written by hand, so that it can be as wrong as a damaged one.
Bytes RawContainer(const std::string& names, const std::vector<uint32_t>& sizes, const Bytes& data,
                   uint32_t magic = TSkinReader::kMagic)
{
    Bytes out;
    PutU32(out, magic);
    PutU32(out, static_cast<uint32_t>(names.size()));
    PutU32(out, 0);
    PutU32(out, 0);
    out.insert(out.end(), names.begin(), names.end());
    for (uint32_t size : sizes)
        PutU32(out, size);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

bool Load(TSkinReader& reader, const Bytes& container)
{
    TMemoryStream stream;
    Fill(stream, PackLZH(container));
    return reader.LoadFromStream(stream);
}

std::string Entry(TSkinReader& reader, const std::string& name)
{
    TMemoryStream target;
    reader.ExtractByName(name, target);
    return std::string(target.Bytes().begin(), target.Bytes().end());
}

const char* const kOldSkinMessage = "This is Older Skin File\rPlease update to new version !";

}  // namespace

void* operator new(size_t size)
{
    if (watchAllocations)
        largestAllocation = std::max(largestAllocation, size);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

// The compiler sees these free what its inlined operator new gave: the pair is ours.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
#pragma GCC diagnostic pop

void SkinMessage(const std::string& text)
{
    messages.push_back(text);
}

TEST(LZH, RoundTripsTextsImagesAndRandomDataOfEdgeSizes)
{
    const size_t sizes[] = {0, 1, 2, 3, 59, 60, 61, 4035, 4036, 4037, 4095, 4096, 4097, 8192, 65535, 65537};
    for (auto make : {Text, Image, Random})
        for (size_t size : sizes) {
            SCOPED_TRACE(size);
            const Bytes data = make(size);
            ASSERT_EQ(Unpack(PackLZH(data)), data);
        }
}

TEST(LZH, RoundTripsSeveralMegabytesAndCompressesSkinLikeData)
{
    Bytes data = Text(2'000'000);
    const Bytes image = Image(1'500'000), random = Random(500'000);
    data.insert(data.end(), image.begin(), image.end());
    data.insert(data.end(), random.begin(), random.end());
    const Bytes packed = PackLZH(data);
    EXPECT_EQ(Unpack(packed), data);
    EXPECT_LT(PackLZH(image).size(), image.size() / 4);

    // Long runs reach the format's best ratio, about 48:1.
    const Bytes zeros(4'000'000, 0);
    const Bytes packedZeros = PackLZH(zeros);
    EXPECT_LT(packedZeros.size(), zeros.size() / 40);
    EXPECT_EQ(Unpack(packedZeros), zeros);
}

TEST(LZH, SizeFieldEdges)
{
    // Zero and negative sizes decode nothing; a size the packed bytes cannot hold is refused;
    // bytes missing from a truncated stream read as zero bits up to the stated size.
    Bytes stream = PackLZH(Text(1000));
    for (uint32_t size : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        std::copy_n(reinterpret_cast<const uint8_t*>(&size), 4, stream.begin());
        EXPECT_TRUE(Unpack(stream).empty());
    }
    const uint32_t huge = 0x7FFFFFFF;
    std::copy_n(reinterpret_cast<const uint8_t*>(&huge), 4, stream.begin());
    EXPECT_THROW(Unpack(stream), ElzhException);
    EXPECT_TRUE(Unpack(Bytes{1, 2}).empty());

    Bytes truncated = PackLZH(Text(100'000));
    truncated.resize(truncated.size() / 2);
    const Bytes out = Unpack(truncated);
    EXPECT_GE(out.size(), 100'000u);
    EXPECT_LT(out.size(), 100'060u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 1000), Text(1000));
}

Bytes Stream(uint32_t size, TLZHEncoder& encoder)
{
    Bytes stream;
    PutU32(stream, size);
    const Bytes bits = encoder.Finish();
    stream.insert(stream.end(), bits.begin(), bits.end());
    return stream;
}

TEST(LZH, MatchCrossingTheStatedSizeIsWrittenWholeAndUnwrittenRingReadsZero)
{
    TLZHEncoder encoder;
    encoder.EncodeSymbol('a');
    encoder.EncodeSymbol(256 - 3 + 60);  // a 60-byte copy of the byte just written
    encoder.EncodeOffset(0);
    EXPECT_EQ(Unpack(Stream(10, encoder)), Bytes(61, 'a'));

    // At the first write position the longest distance copies ring bytes not yet written.
    TLZHEncoder damaged;
    damaged.EncodeSymbol(256 - 3 + 10);
    damaged.EncodeOffset(4095);
    EXPECT_EQ(Unpack(Stream(10, damaged)), Bytes(10, 0));
}

TEST(LZH, DecodesAStreamOfAnIndependentPacker)
{
    // tools/lzhuf_pack.py wrote it from the format's description, not from our tree code: 67,391
    // symbols, so the adaptive tree is rebuilt three times, with every byte value, distances of
    // every upper code and nearly every match length.
    const std::string folder = getenv("LEXDRILL_TEST_DATA");
    TMemoryStream packed, plain;
    packed.LoadFromFile(folder + "/lzhuf_packed.bin");
    plain.LoadFromFile(folder + "/lzhuf_plain.bin");
    ASSERT_EQ(plain.Length(), 80034u);
    const Bytes out = Unpack(ToBytes(packed));
    ASSERT_EQ(out.size(), plain.Length());
    const auto [at, expected] = std::mismatch(out.begin(), out.end(), plain.Bytes().begin());
    EXPECT_EQ(at, out.end()) << "first difference at byte " << at - out.begin();
}

TEST(SkinReader, FixtureSkinPackedByTheBuild)
{
    TMemoryStream stream;
    stream.LoadFromFile(LEXDRILL_FIXTURE_SKIN);
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadFromStream(stream));

    TMemoryStream target;
    std::string name = "unchanged";
    reader.ExtractByPart(".ini", target, name);
    EXPECT_EQ(name, "skin.ini");
    TMemoryStream file;
    file.LoadFromFile(std::string(getenv("LEXDRILL_TEST_DATA")) + "/skin/Skin.ini");
    EXPECT_EQ(target.Bytes(), file.Bytes());
    EXPECT_EQ(target.Position(), 0);

    file.LoadFromFile(std::string(getenv("LEXDRILL_TEST_DATA")) + "/skin/Title.BMP");
    reader.ExtractByName("TITLE.bmp", target);
    EXPECT_EQ(target.Bytes(), file.Bytes());
    EXPECT_EQ(Entry(reader, "buttons.bmp").substr(0, 2), "BM");

    // The part is not lower-cased, so capitals never match; a miss keeps the name.
    reader.ExtractByPart(".INI", target, name);
    EXPECT_EQ(target.Length(), 0u);
    reader.ExtractByPart(".gif", target, name);
    EXPECT_EQ(name, "skin.ini");
}

TEST(SkinReader, OtherVersionsAndEmptyContainersAreReportedAndRefused)
{
    for (const Bytes& container :
         {RawContainer("a.ini\r\n", {1}, {'x'}, 19999), Bytes{}, Bytes{0x20, 0x4E, 0, 0}}) {
        messages.clear();
        TSkinReader reader;
        EXPECT_FALSE(Load(reader, container));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], kOldSkinMessage);
    }
}

TEST(SkinReader, NamesCaseAndDuplicates)
{
    // The last line needs no line end; duplicates and names differing in case find the first.
    TSkinReader reader;
    ASSERT_TRUE(Load(reader, RawContainer("One.BMP\r\none.bmp\r\nTwo", {2, 3, 4},
                                          ToBytes("aabbbcccc"))));
    EXPECT_EQ(Entry(reader, "ONE.bmp"), "aa");
    EXPECT_EQ(Entry(reader, "two"), "cccc");
    EXPECT_EQ(Entry(reader, "three"), "");

    // Capitals in the second byte of a GBK character are not part of any letter.
    ASSERT_TRUE(Load(reader, RawContainer("\xB0" "A.BMP\r\n", {1}, ToBytes("z"))));
    TMemoryStream target;
    std::string name;
    reader.ExtractByPart(".bmp", target, name);
    EXPECT_EQ(name, "\xB0" "A.bmp");
    EXPECT_EQ(Entry(reader, "\xB0" "A.Bmp"), "z");
    EXPECT_EQ(Entry(reader, "\xB0" "a.bmp"), "");
}

TEST(SkinReader, MoreNamesThanTheIndexHolds)
{
    // Only the first 1001 entries are indexed, and they are found where the writer put them.
    std::string names;
    std::vector<uint32_t> sizes;
    std::string data;
    for (int i = 0; i < 1100; ++i) {
        names += 'e';
        names += std::to_string(i);
        names += "\r\n";
        sizes.push_back(static_cast<uint32_t>(std::to_string(i).size()));
        data += std::to_string(i);
    }
    TSkinReader reader;
    ASSERT_TRUE(Load(reader, RawContainer(names, sizes, ToBytes(data))));
    EXPECT_EQ(Entry(reader, "e0"), "0");
    EXPECT_EQ(Entry(reader, "e1000"), "1000");
    EXPECT_EQ(Entry(reader, "e1001"), "");

    // A name list of 300,000 line ends is split no further than the index holds: no allocation
    // beyond the copies of its bytes, where a record for every name would take 32 bytes each.
    const Bytes lineEnds = RawContainer(std::string(300000, '\n'), {}, {});
    TMemoryStream packed;
    Fill(packed, PackLZH(lineEnds));
    largestAllocation = 0;
    watchAllocations = true;
    const bool loaded = reader.LoadFromStream(packed);
    watchAllocations = false;
    EXPECT_TRUE(loaded);
    EXPECT_LE(largestAllocation, lineEnds.size());
    EXPECT_EQ(Entry(reader, ""), "");
}

TEST(SkinReader, DamagedContainersNeverReadOutsideTheirBytes)
{
    TSkinReader reader;
    // Sizes whose 32-bit sum wraps to 0 must not bring the third entry back to the start.
    ASSERT_TRUE(Load(reader, RawContainer("a\r\nb\r\nc\r\nd\r\n", {2, 0x80000000u, 0x80000000u - 2, 1},
                                          ToBytes("xy"))));
    EXPECT_EQ(Entry(reader, "a"), "xy");
    EXPECT_EQ(Entry(reader, "b"), "");
    EXPECT_EQ(Entry(reader, "d"), "");

    // A name list that runs past the end, and a size table cut short.
    Bytes container = RawContainer("a\r\nb\r\n", {}, {});
    container[4] = 200;
    ASSERT_TRUE(Load(reader, container));
    EXPECT_EQ(Entry(reader, "a"), "");
    ASSERT_TRUE(Load(reader, RawContainer("a\r\nb\r\n", {}, {0, 0, 0, 0, 1})));
    EXPECT_EQ(Entry(reader, "a"), "");
    EXPECT_EQ(Entry(reader, "b"), "");
}

TEST(SkinPacker, RefusesWhatAReaderCouldNotIndex)
{
    EXPECT_THROW(BuildContainer({{"a\r\nb", {}}}), std::invalid_argument);
    EXPECT_THROW(BuildContainer(std::vector<TSkinEntry>(1002)), std::invalid_argument);
    const Bytes container = BuildContainer({{"A.ini", ToBytes("t")}, {"b.bmp", {}}});
    EXPECT_EQ(container, RawContainer("A.ini\r\nb.bmp\r\n", {1, 0}, ToBytes("t")));
}
