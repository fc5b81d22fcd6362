#include "IniFiles.h"

#include <windows.h>

#include <algorithm>

#include "StringList.h"
#include "Streams.h"

int TCustomIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    return IniStrToIntDef(ReadString(section, key, ""), def);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    char buffer[2048];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                                  sizeof buffer, fileName_.c_str());
    return std::string(buffer, length);
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
        throw Exception(Format("Unable to write to %s", fileName_.c_str()));
}

void TIniFile::ReadSections(TStringList& sections) const
{
    std::vector<char> buffer(16384);
    const DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                        fileName_.c_str());
    sections.Clear();
    // Names are NUL-separated; a list cut at the buffer's end loses its partial last name.
    for (DWORD start = 0, i = 0; i < length; ++i)
        if (buffer[i] == '\0') {
            sections.Add(std::string(buffer.data() + start, i - start));
            start = i + 1;
        }
}

// ---------------------------------------------------------------------------------------------
// The platform reads the file as characters of the ANSI code page: a lead byte of that code
// page and the byte after it are one character (whatever that byte is, but NUL), so the second
// byte is never a bracket, a quote, a blank or a line break. Which bytes lead is the code page's
// own rule: on a code page without double-byte characters none does.
namespace {

constexpr size_t kValueChars = 2047;
constexpr size_t kSectionNameChars = 16384;

bool IsLeadByte(char c)
{
    return IsDBCSLeadByte(static_cast<BYTE>(c));
}

size_t CharLength(const std::string& s, size_t i)
{
    return IsLeadByte(s[i]) && i + 1 < s.size() && s[i + 1] != '\0' ? 2 : 1;
}

std::string FromWide(const std::wstring& wide)
{
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), length, nullptr, nullptr);
    return ansi;
}

std::wstring ToWide(UINT codePage, const char* bytes, size_t count)
{
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(count), wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// Text in the ANSI code page as the platform passes it on: valid text comes back byte for byte,
// a byte pair that is no character of the code page as its default character.
std::string Ansi(const std::string& text)
{
    return FromWide(ToWide(CP_ACP, text.data(), text.size()));
}

// The blanks the platform trims: the C blanks and ^Z (no double-byte character's second byte is one).
bool IsBlank(char c)
{
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

// [begin, end) without the blanks around it.
void TrimRange(const std::string& s, size_t& begin, size_t& end)
{
    size_t lastEnd = begin;
    bool leading = true;
    size_t first = begin;
    for (size_t i = begin; i < end;) {
        const size_t length = CharLength(s, i);
        if (!IsBlank(s[i])) {
            if (leading)
                first = i;
            leading = false;
            lastEnd = i + length;
        }
        i += length;
    }
    if (leading) {
        begin = end;
        return;
    }
    begin = first;
    end = std::min(lastEnd, end);
}

// A name asked for as the platform takes it: up to a NUL, without the blanks around it.
std::string Trimmed(const std::string& name)
{
    const std::string s = Ansi(name.substr(0, name.find('\0')));
    size_t begin = 0, end = s.size();
    TrimRange(s, begin, end);
    return s.substr(begin, end - begin);
}

// A name or value ends at a NUL, as a C string does.
std::string CString(const std::string& s, size_t begin, size_t end)
{
    const size_t nul = s.find('\0', begin);
    return s.substr(begin, std::min(end, nul) - begin);
}

// ASCII letters folded to lower case; the second byte of a double-byte character is left alone.
std::string Folded(std::string s)
{
    for (size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (s[i] >= 'A' && s[i] <= 'Z')
            s[i] = static_cast<char>(s[i] - 'A' + 'a');
    return s;
}

size_t CharCount(const std::string& s)
{
    size_t count = 0;
    for (size_t i = 0; i < s.size(); i += CharLength(s, i))
        ++count;
    return count;
}

// The bytes of the first chars characters.
size_t PrefixBytes(const std::string& s, size_t chars)
{
    size_t i = 0;
    for (; i < s.size() && chars > 0; --chars)
        i += CharLength(s, i);
    return std::min(i, s.size());
}

// What the platform copies out of a value (or default): a pair of matching quotes around it
// is dropped, and at most 2047 characters are kept, the closing quote counting among them.
std::string CopyEntry(const std::string& value)
{
    const bool quoted = value.size() > 1 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    const std::string rest = quoted ? value.substr(1) : value;
    std::string out = rest.substr(0, PrefixBytes(rest, kValueChars));
    if (quoted && CharCount(rest) <= kValueChars + 1 && !out.empty()) {
        size_t last = 0;
        for (size_t i = 0; i < out.size(); i += CharLength(out, i))
            last = i;
        out.erase(last);
    }
    // The caller's buffer holds 2047 bytes: a value of double-byte characters is cut at a whole one.
    size_t fit = 0;
    while (fit < out.size() && fit + CharLength(out, fit) <= kValueChars)
        fit += CharLength(out, fit);
    out.erase(fit);
    return out;
}

// A file's text as the platform holds it: read as UTF-8 or UTF-16 after their byte-order marks,
// else in the ANSI code page, and given back in the ANSI code page.
std::string AnsiText(const std::string& text)
{
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return FromWide(ToWide(CP_UTF8, text.data() + 3, text.size() - 3));
    if (text.size() < 2 || (text.compare(0, 2, "\xFF\xFE") != 0 && text.compare(0, 2, "\xFE\xFF") != 0))
        return Ansi(text);
    std::wstring wide;
    const bool big = text[0] == '\xFE';
    for (size_t i = 2; i + 1 < text.size(); i += 2) {
        const auto a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(text[i + 1]);
        wide.push_back(static_cast<wchar_t>(big ? (a << 8 | b) : (b << 8 | a)));
    }
    return FromWide(wide);
}

// The end of the line that starts at start: a line feed and a carriage return each end a line.
size_t LineEnd(const std::string& s, size_t start)
{
    size_t i = start;
    while (i < s.size() && s[i] != '\n' && s[i] != '\r')
        i += CharLength(s, i);
    return std::min(i, s.size());
}

}  // namespace

TMemIniFile::TMemIniFile(const std::string& text)
{
    Parse(AnsiText(text));
}

TMemIniFile::TMemIniFile(TStream& stream)
{
    const int64_t size = std::max<int64_t>(0, stream.Size() - stream.Position());
    std::string text(static_cast<size_t>(size), '\0');
    text.resize(stream.Read(text.data(), text.size()));
    Parse(AnsiText(text));
}

void TMemIniFile::Parse(const std::string& text)
{
    // Keys before the first header belong to a section without a name.
    sections_.push_back({"", {}});
    index_.emplace("", 0);
    for (size_t start = 0; start < text.size();) {
        const size_t lineEnd = LineEnd(text, start);
        size_t begin = start, end = lineEnd;
        start = lineEnd + 1;
        TrimRange(text, begin, end);
        if (begin == end)
            continue;
        if (text[begin] == '[') {
            size_t bracket = std::string::npos;
            for (size_t i = begin + 1; i < end; i += CharLength(text, i))
                if (text[i] == ']')
                    bracket = i;
            if (bracket != std::string::npos) {
                size_t nameBegin = begin + 1, nameEnd = bracket;
                TrimRange(text, nameBegin, nameEnd);
                sections_.push_back({CString(text, nameBegin, nameEnd), {}});
                index_.emplace(Folded(sections_.back().name), sections_.size() - 1);
                continue;
            }
        }
        size_t equals = begin;
        while (equals < end && text[equals] != '=')
            equals += CharLength(text, equals);
        TKey key{};
        if (equals < end) {
            size_t nameEnd = equals, valueBegin = equals + 1, valueEnd = end;
            TrimRange(text, begin, nameEnd);
            TrimRange(text, valueBegin, valueEnd);
            key.name = Folded(CString(text, begin, nameEnd));
            key.value = CString(text, valueBegin, valueEnd);
            key.hasValue = true;
        } else {
            key.name = Folded(CString(text, begin, end));
        }
        sections_.back().keys.push_back(std::move(key));
    }
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const std::string& name) const
{
    const auto found = index_.find(Folded(Trimmed(name)));
    return found == index_.end() ? nullptr : &sections_[found->second];
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    if (const TSection* found = FindSection(section)) {
        const std::string name = Folded(Trimmed(key));
        const auto entry = std::find_if(found->keys.begin(), found->keys.end(),
                                        [&](const TKey& k) { return k.name == name; });
        if (entry != found->keys.end() && entry->hasValue)
            return CopyEntry(entry->value);
    }
    // The platform drops the default's trailing spaces, then copies it as it copies a value.
    const std::string given = Ansi(def.substr(0, def.find('\0')));
    return CopyEntry(given.substr(0, given.find_last_not_of(' ') + 1));
}

void TMemIniFile::ReadSections(TStringList& sections) const
{
    sections.Clear();
    // Each name and its terminating NUL, in a buffer whose last character ends the list.
    size_t room = kSectionNameChars - 1;
    for (const TSection& section : sections_) {
        if (section.name.empty())
            continue;
        const size_t length = CharCount(section.name) + 1;
        if (length > room)
            return;
        sections.Add(section.name);
        room -= length;
    }
}
