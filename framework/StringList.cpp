#include "StringList.h"

#include <limits>

#include "Streams.h"

namespace {

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SameText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

const std::string& TStringList::Strings(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    return items_[static_cast<size_t>(index)];
}

void TStringList::SetString(int index, const std::string& value)
{
    Strings(index);
    items_[static_cast<size_t>(index)] = value;
}

int TStringList::Add(const std::string& value)
{
    items_.push_back(value);
    return Count() - 1;
}

void TStringList::Insert(int index, const std::string& value)
{
    if (index < 0 || index > Count())
        throw EListError(Format("List index out of bounds (%d)", index));
    items_.insert(items_.begin() + index, value);
}

void TStringList::Delete(int index)
{
    Strings(index);
    items_.erase(items_.begin() + index);
}

int TStringList::IndexOf(const std::string& value) const
{
    for (int i = 0; i < Count(); ++i)
        if (SameText(items_[static_cast<size_t>(i)], value))
            return i;
    return -1;
}

std::string TStringList::Names(int index) const
{
    const std::string& line = Strings(index);
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

std::string TStringList::Values(const std::string& name) const
{
    for (const std::string& line : items_) {
        const size_t eq = line.find('=');
        if (eq != std::string::npos && SameText(line.substr(0, eq), name))
            return line.substr(eq + 1);
    }
    return {};
}

std::string TStringList::Text() const
{
    std::string text;
    for (const std::string& line : items_) {
        text += line;
        text += "\r\n";
    }
    return text;
}

void TStringList::SetText(const std::string& text)
{
    SetText(text, std::numeric_limits<size_t>::max());
}

size_t TStringList::SetText(const std::string& text, size_t limit)
{
    items_.clear();
    size_t lines = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        if (lines++ < limit)
            items_.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
    return lines;
}

void TStringList::LoadFromStream(TStream& stream)
{
    const int64_t left = stream.Size() - stream.Position();
    std::string text(static_cast<size_t>(left > 0 ? left : 0), '\0');
    stream.ReadBuffer(text.data(), text.size());
    SetText(text);
}

void TStringList::SaveToStream(TStream& stream) const
{
    const std::string text = Text();
    stream.WriteBuffer(text.data(), text.size());
}
