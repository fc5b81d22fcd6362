// INI files through the platform's private-profile functions, which match section and key
// names without regard to case and create the file and section on a write.
#pragma once

#include <string>

#include "SysUtils.h"

class TStringList;

class TIniFile {
public:
    explicit TIniFile(const std::string& fileName) : fileName_(fileName) {}

    const std::string& FileName() const { return fileName_; }
    // The value, up to 2047 bytes; the default when the file, section or key is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // By IniStrToIntDef: "0x" followed by hex digits is read as hexadecimal too; an empty or
    // non-numeric value gives def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // The file's section names in file order (at most 16,384 bytes of them).
    void ReadSections(TStringList& sections) const;
    // Raises Exception("Unable to write to <file>") when the platform refuses the write.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

private:
    std::string fileName_;
};
