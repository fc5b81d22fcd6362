#include "IniFiles.h"

#include <windows.h>

#include <vector>

#include "StringList.h"

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

int TIniFile::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    return IniStrToIntDef(ReadString(section, key, ""), def);
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
