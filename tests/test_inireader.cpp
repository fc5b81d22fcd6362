// The in-memory INI reader against the platform's INI functions, which the skin description was
// once read through: for the reading rules one by one, for the three skins of the tests and for
// a few thousand mutated descriptions, every section list and value must be the platform's, and
// a skin parsed either way must come out the same.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "IniFiles.h"
#include "PlatformSkinLoad.h"
#include "SkinMutate.h"
#include "SkinRead.h"
#include "SkinTesting.h"
#include "TempDir.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<std::string> Names(const TCustomIniFile& ini)
{
    TStringList list;
    ini.ReadSections(list);
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Strings(i));
    return names;
}

std::string Swapcase(std::string s)
{
    for (char& c : s)
        c = std::isupper(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(c))
                                                      : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The sections a text names and, for each, the names its lines give before "=" (each as it
// stands and trimmed, in its own case and the other). A line feed and a carriage return each
// end a line.
std::vector<std::pair<std::string, std::vector<std::string>>> Questions(const std::string& text)
{
    std::vector<std::pair<std::string, std::vector<std::string>>> questions{{"", {}}};
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end == start)
            continue;
        const std::string line = text.substr(start, end - start);
        const std::string trimmed = Trim(line);
        if (trimmed.size() > 1 && trimmed[0] == '[') {
            const size_t close = trimmed.rfind(']');
            questions.push_back({trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1), {}});
            continue;
        }
        // A C string ends at a NUL: so does every name the platform is asked for.
        const std::string name = line.substr(0, std::min(line.find('='), line.find('\0')));
        for (const std::string& asked : {name, Trim(name), Swapcase(Trim(name))})
            questions.back().second.push_back(asked);
    }
    for (auto& [section, keys] : questions)
        keys.push_back("NoSuchKey");
    questions.push_back({"NoSuchSection", {"Image"}});
    return questions;
}

class IniReader : public testing::Test {
protected:
    // Every answer the platform gives for text, asked of the in-memory reader too.
    void ExpectSameAnswers(const std::string& text, const std::string& what)
    {
        const std::string path = folder.Path() + "\\d" + std::to_string(++files) + ".ini";
        std::ofstream(path, std::ios::binary) << text;
        const TIniFile platform(path);
        const TMemIniFile memory(text);
        const std::vector<std::string> sections = Names(platform);
        EXPECT_EQ(sections, Names(memory)) << what;
        const auto same = [&](const std::string& section, const std::string& key) {
            ASSERT_EQ(platform.ReadString(section, key, "<none>"), memory.ReadString(section, key, "<none>"))
                << what << ": [" << section << "] " << key;
        };
        // Every key of each section, and the section in other case and blanks by its first key.
        for (const auto& [section, keys] : Questions(text)) {
            for (const std::string& key : keys)
                ASSERT_NO_FATAL_FAILURE(same(section, key));
            for (const std::string& asked : {Swapcase(section), " " + section + " "})
                ASSERT_NO_FATAL_FAILURE(same(asked, keys.front()));
        }
        DeleteFileA(path.c_str());
    }

    TTempCurrentDir folder;
    int files = 0;
};

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TMemoryStream StreamOf(const Bytes& bytes)
{
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

// The three skin files of the tests.
std::vector<Bytes> SkinFiles()
{
    const Bytes stored = OwnSkinStored();
    return {Bytes(stored.begin() + 4, stored.end()), ReadFile(LEXDRILL_SECOND_SKIN), ReadFile(LEXDRILL_FORMSKIN_FIXTURE)};
}

std::string DescriptionOf(const Bytes& skinFile)
{
    TMemoryStream stream = StreamOf(skinFile);
    std::string description;
    EXPECT_TRUE(ExtractDescription(stream, description));
    return description;
}

// The skin file with its description replaced.
Bytes WithDescription(const Bytes& skinFile, const std::string& description)
{
    TMemoryStream packed = StreamOf(skinFile), unpacked;
    TSkinReader::Unpack(packed, unpacked);
    std::vector<TSkinEntry> entries;
    EXPECT_TRUE(SplitContainer(unpacked.Bytes(), entries));
    for (TSkinEntry& entry : entries)
        if (entry.name.find(".ini") != std::string::npos)
            entry.bytes.assign(description.begin(), description.end());
    return PackLZH(BuildContainer(entries));
}

// Everything a parse fills in, images by their size, format and pixels.
std::string Describe(TSkinData& d)
{
    std::ostringstream out;
    auto image = [&](TBitmap& b) {
        TMemoryStream bytes;
        if (!b.Empty())
            b.SaveToStream(bytes);
        out << " img " << b.Width() << "x" << b.Height() << " " << static_cast<int>(b.PixelFormat()) << " "
            << std::hash<std::string>()(std::string(reinterpret_cast<const char*>(bytes.Memory()), bytes.Length()));
    };
    auto object = [&](TDataSkinObject* o) {
        if (!o) {
            out << "absent\n";
            return;
        }
        out << o->Name << " " << o->LeftWidth << " " << o->TopHeight << " " << o->RightWidth << " "
            << o->BottomHeight << " " << o->Trans << " " << o->Tile << " " << o->FrameCount << " " << o->Style
            << " " << o->NormalColour << " " << o->MouseOverColour << " " << o->PressedColour << " "
            << o->NormalColour2 << " " << o->MouseOverColour2 << " " << o->PressedColour2;
        image(o->Image);
        if (auto* border = dynamic_cast<TDataSkinBorder*>(o))
            image(border->Image2);
        if (auto* title = dynamic_cast<TDataSkinTitle*>(o))
            out << " " << title->TextAlignment << " " << title->Textbackground << " " << title->FontHeight << " "
                << title->TXTBackleft << " " << title->TXTBackRight << " " << title->ActiveTextColour << " "
                << title->InactiveTextColour;
        if (auto* button = dynamic_cast<TDataSkinButton*>(o)) {
            image(button->CheckImage);
            image(button->RadioImage);
            out << " " << button->RadioButtonFrame << " " << button->CheckButtonFrame << " "
                << button->HasNormalColour2 << button->HasMouseOverColour2 << button->HasPressedColour2;
        }
        if (auto* sys = dynamic_cast<TDataSkinSysButton*>(o))
            out << " " << sys->Action << " " << sys->Align << " " << sys->Xcoord << " " << sys->Ycoord << " "
                << sys->CombineOp << " " << sys->Visibility << " " << sys->Visibility1;
        out << "\n";
    };
    for (TDataSkinObject* o : {static_cast<TDataSkinObject*>(&d.Left), static_cast<TDataSkinObject*>(&d.Right),
                               static_cast<TDataSkinObject*>(&d.Top), static_cast<TDataSkinObject*>(&d.Bottom),
                               static_cast<TDataSkinObject*>(&d.Title), static_cast<TDataSkinObject*>(&d.Buttons)})
        object(o);
    for (const auto& button : d.FTitleButtons)
        object(button.get());
    for (TDataSkinObject* o :
         {d.MenuBar.get(), static_cast<TDataSkinObject*>(d.Progress.get()), d.GroupBoxEdge.get(), d.Toolbars.get(),
          static_cast<TDataSkinObject*>(d.Tabs.get()), d.StatusBarEdges.get(),
          static_cast<TDataSkinObject*>(d.ComboButton.get()), d.SunkEdge.get(), d.ExtraImages.get(),
          d.Headerbar.get(), d.MenuItem.get(), d.MenuBackground.get(), d.Scrollbar.get(), d.HorzScroll.get(),
          d.VertScroll.get(), d.HorzScrollThumb.get(), d.VertScrollThumb.get(), d.TrackbarThumbHorz.get(),
          d.TrackbarThumbVert.get(), d.TrackbarThumbLeft.get(), d.TrackbarThumbRight.get(),
          d.TrackbarThumbUp.get(), d.TrackbarThumbDown.get(), static_cast<TDataSkinObject*>(d.UpDownHorz.get()),
          static_cast<TDataSkinObject*>(d.UpDownVert.get())})
        object(o);
    const TSkinColours& c = d.Colours;
    for (TColor colour : {c.WindowText, c.ButtonFace, c.Scrollbar, c.HilightText, c.Hilight, c.Menubar, c.Menu,
                          c.MenuText, c.ButtonText, c.ButtonHilight, c.Buttonlight, c.ButtonShadow,
                          c.ButtonDkShadow, c.MenuBarText, c.TitleTextActive, c.TitleTextNoActive})
        out << colour << " ";
    out << d.FSkinLoaded;
    return out.str();
}

// The skin file parsed through the platform and through the in-memory reader.
void ExpectSameSkin(const Bytes& skinFile, const std::string& what)
{
    TSkinData platform(nullptr), memory(nullptr);
    TMemoryStream file = StreamOf(skinFile);
    ASSERT_TRUE(LoadSkinThroughPlatform(platform, file)) << what;
    TSkinReader reader;
    file.SetPosition(0);
    ASSERT_TRUE(reader.LoadFromStream(file));
    TMemoryStream description;
    std::string name;
    reader.ExtractByPart(".ini", description, name);
    memory.ParseDescription(TMemIniFile(description), reader);
    EXPECT_EQ(Describe(platform), Describe(memory)) << what;
}

// The lines of a description, each with its line break.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size() - 1) + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

// One of the reading rules put to the test on a random line of the text.
std::string MutateByRule(const std::string& text, std::minstd_rand& random)
{
    std::vector<std::string> lines = SplitLines(text);
    if (lines.empty())
        return text;
    const size_t at = random() % lines.size();
    std::string& line = lines[at];
    const size_t equals = line.find('=');
    static const char* const blanks[] = {" ", "\t", "  \t ", "\xA1\xA1", "\x1A", "\x0B", "\x1C", "\x1F"};
    static const char* const extraLines[] = {
        ";Image=comment.bmp\r\n", "# hash\r\n", "NoEquals\r\n", "[Unclosed\r\n", "=novalue\r\n", "\r\n",
        "   \r\n", "[Buttons] trailing\r\n", "[ Spaced ]\r\nImage=s.bmp\r\n", "[]\r\nImage=e.bmp\r\n",
        "Image\r\n", "[Colours]\r\nButtonText=1 2 3\r\n", "[\xD6\xD0\x81\x5D]\r\nAction=1\r\n",
        "[Button\xD6\xD0]\r\nAction=2\r\n", "[Button9] ]x\r\nAction=3\r\n"};
    const std::string blank = blanks[random() % std::size(blanks)];
    switch (random() % 12) {
    case 0:  // case of the names
        for (size_t i = 0; i < (equals == std::string::npos ? line.size() : equals); ++i)
            if (random() % 2)
                line[i] = Swapcase(std::string(1, line[i]))[0];
        break;
    case 1:  // a duplicate, later in the text, of a key with another value or of a whole header
        lines.insert(lines.begin() + static_cast<ptrdiff_t>(at + random() % (lines.size() - at)),
                     equals == std::string::npos ? line : line.substr(0, equals + 1) + "7\r\n");
        break;
    case 2:  // blanks around the name or the value
        line.insert(equals == std::string::npos || random() % 2 ? 0 : equals + random() % 2, blank);
        break;
    case 3:
        line.insert(line.find_last_not_of("\r\n") + 1, blank);
        break;
    case 4:  // quotes, matched or not
        if (equals != std::string::npos) {
            static const char* const quotes[][2] = {{"\"", "\""}, {"'", "'"}, {"\"", ""}, {"'", "\""}, {"\"", "\"  "}};
            const auto& q = quotes[random() % std::size(quotes)];
            line.insert(line.find_last_not_of("\r\n") + 1, q[1]);
            line.insert(equals + 1, q[0]);
        }
        break;
    case 5:  // comment and malformed lines
        lines.insert(lines.begin() + static_cast<ptrdiff_t>(at), extraLines[random() % std::size(extraLines)]);
        break;
    case 6: {  // no break after the last line, or other breaks throughout
        std::string joined = JoinLines(lines);
        if (random() % 2) {
            while (!joined.empty() && (joined.back() == '\n' || joined.back() == '\r'))
                joined.pop_back();
        } else {
            const std::string to = random() % 2 ? "\n" : "\r";
            for (size_t p = 0; (p = joined.find("\r\n", p)) != std::string::npos; p += to.size())
                joined.replace(p, 2, to);
        }
        return joined;
    }
    case 7:  // GBK text in a name or a value
        line.insert(equals == std::string::npos ? 1 : equals + 1 + random() % 2,
                    random() % 2 ? "\xD6\xD0\xCE\xC4" : "\xB0\x5D\xB0\x5B\xB0\x3D");
        break;
    case 8:  // values about the length where they are cut
        if (equals != std::string::npos) {
            std::string value(2040 + random() % 12, 'v');
            if (random() % 2)
                value = "\"" + value + "\"";
            line = line.substr(0, equals + 1) + value + "\r\n";
        }
        break;
    case 9:  // a NUL in a name or a value
        line.insert(random() % (line.size() + 1), 1, '\0');
        break;
    default: {  // the hostile-skin mutator's values
        Bytes bytes(text.begin(), text.end());
        MutateDescriptionValue(bytes, random);
        return std::string(bytes.begin(), bytes.end());
    }
    }
    return JoinLines(lines);
}

// A few whole sections of a description, so that each check stays small.
std::string Excerpt(const std::string& description, std::minstd_rand& random)
{
    std::vector<std::string> blocks{""};
    for (const std::string& line : SplitLines(description)) {
        if (!line.empty() && line[0] == '[')
            blocks.push_back("");
        blocks.back() += line;
    }
    std::string text;
    for (int i = 0, n = 2 + static_cast<int>(random() % 3); i < n; ++i)
        text += blocks[random() % blocks.size()];
    return text;
}

}  // namespace

TEST_F(IniReader, AnswersAsThePlatformDoesRuleByRule)
{
    // The run under another code page (tests/CMakeLists.txt) must really have it.
    if (const char* codePage = getenv("LEXDRILL_CODE_PAGE")) {
        ASSERT_EQ(GetACP(), strtoul(codePage, nullptr, 10));
    }
    const char* const cases[] = {
        "[Main]\r\nKey=Value\r\n",
        "[main]\r\nkEY=first\r\nKey=second\r\n[MAIN]\r\nOther=in the duplicate\r\n",
        "  [Main]  \r\n  Key  =  spaced value \t \r\n\tTab\t=\tx\r\nIdeo\xA1\xA1=\xA1\xA1v\xA1\xA1\r\nZ\x1A=\x1Aq\x1A\r\n",
        "[ Main ]\r\nKey=1\r\n[Main ]\r\nKey=2\r\n",
        "[Q]\r\nA=\"quoted\"\r\nB='single'\r\nC=\"open\r\nD=\"\r\nE=\"\"\r\nF='mixed\"\r\nG= \" spaced \" \r\n",
        "[C]\r\n;Key=commented\r\nKey=real\r\n#Hash=1\r\nNoEquals\r\n=empty name\r\n[Broken\r\nAfter=1\r\n",
        "[V]\r\nKey\r\nKey=shadowed by the line without a value\r\n",
        "[T]\r\nA=1\r\n[T2]\r\nLast=no break",
        "[N]\nUnix=1\n[R]\rMac=2\r",
        "[CR only]\rA=1\rB=2",
        "[\xD6\xD0\xCE\xC4]\r\n\xC3\xFB=\xD6\xB5\r\n[\xB0\x5D]\r\nTrail=\xB0\x5D\xB0\x5B\r\n",
        // Bytes that lead in one code page and stand alone in another, before "]", "=" and a line end.
        "[\xA1]\r\nK\xB0=1\r\n[\xC8\xE0]\r\n\xE0\x5D=\xDF\r\n[\x81]\rL=\xA1\r\xFEX=2\n",
        "[S] ; trailing\r\nA=1\r\n[a]b]\r\nB=2\r\n[]\r\nC=3\r\n",
        "Before=any section\r\n[A]\r\nx=1\r\n",
        "\xEF\xBB\xBF[Bom]\r\nKey=\xE4\xB8\xAD\r\n",
    };
    for (const char* text : cases)
        ExpectSameAnswers(std::string(text, text + std::char_traits<char>::length(text)), text);
    const char nuls[] = "[Z]\r\nNul\0Name=1\r\nV=a\0b\r\nW=\0c\r\n\0X=2\r\nY=3\r\0\r\n[\0Q]\r\nA=1\r\n";
    ExpectSameAnswers(std::string(nuls, sizeof nuls - 1), "NULs");
    for (const size_t length : {2045, 2046, 2047, 2048, 2049, 3000})
        for (const std::string quote : {"", "\"", "'"})
            ExpectSameAnswers("[L]\r\nK=" + quote + std::string(length, 'x') + quote + "\r\n",
                              "value of " + std::to_string(length) + " with " + quote);
    std::string many;
    for (int i = 0; i < 1800; ++i)
        many += "[Section" + std::to_string(i) + "]\r\n";
    ExpectSameAnswers(many, "16 KB of section names");
}

// Each skin as it is, 600 mutated excerpts of its description, and a dozen mutated whole
// descriptions parsed both ways; one test a skin, so that they can run side by side.
class SkinDescriptions : public IniReader, public testing::WithParamInterface<int> {};

TEST_P(SkinDescriptions, AnswerAsThePlatformDoesAsTheyAreAndMutated)
{
    const int skin = GetParam();
    std::minstd_rand random(26 + skin);
    const Bytes file = SkinFiles()[static_cast<size_t>(skin)];
    const std::string description = DescriptionOf(file);
    const std::string name = "skin " + std::to_string(skin);
    ExpectSameAnswers(description, name);
    ExpectSameSkin(file, name);
    for (int i = 0; i < 600 && !HasFatalFailure(); ++i) {
        std::string text = Excerpt(description, random);
        for (int m = 0, n = 1 + static_cast<int>(random() % 3); m < n; ++m)
            text = MutateByRule(text, random);
        ExpectSameAnswers(text, name + " mutation " + std::to_string(i) + ":\n" + text);
        if (i % 50 == 0) {
            std::string whole = description;
            for (int m = 0; m < 3; ++m)
                whole = MutateByRule(whole, random);
            ExpectSameSkin(WithDescription(file, whole), "whole " + name + ":\n" + whole);
        }
    }
}

// The client's skin, the second test skin and the form-skin fixture.
INSTANTIATE_TEST_SUITE_P(TestSkins, SkinDescriptions, testing::Values(0, 1, 2));
