// An ordered list of strings with the text form "line CR LF line CR LF". Portable.
#pragma once

#include <string>
#include <vector>

#include "SysUtils.h"

class TStream;

class TStringList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside 0..Count-1.
    const std::string& Strings(int index) const;
    void SetString(int index, const std::string& value);
    int Add(const std::string& value);
    void Insert(int index, const std::string& value);
    void Delete(int index);
    void Clear() { items_.clear(); }
    int IndexOf(const std::string& value) const;  // case-insensitive, -1 when absent

    // Name=Value access as the INI readers use it.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;

    // Lines end at CR LF, LF or CR; the text form ends every line with CR LF.
    std::string Text() const;
    void SetText(const std::string& text);
    // Keeps only the first limit lines, so that a text of many short lines costs no more than
    // its bytes; answers how many lines the text holds.
    size_t SetText(const std::string& text, size_t limit);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::string> items_;
};

// ASCII case-insensitive comparison, as the platform's INI and list lookups compare names.
bool SameText(const std::string& a, const std::string& b);
