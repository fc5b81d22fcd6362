// INI files: through the platform's private-profile functions (TIniFile), which match section
// and key names without regard to case and create the file and section on a write; or read once
// into memory by the same reading rules (TMemIniFile).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "SysUtils.h"

class TStream;
class TStringList;

// What both readers answer.
class TCustomIniFile {
public:
    virtual ~TCustomIniFile() = default;
    // The value, up to 2047 bytes; the default when the section or key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& def) const = 0;
    // By IniStrToIntDef: "0x" followed by hex digits is read as hexadecimal too; an empty or
    // non-numeric value gives def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // The section names in file order (at most 16,384 bytes of them).
    virtual void ReadSections(TStringList& sections) const = 0;
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const std::string& fileName) : fileName_(fileName) {}

    const std::string& FileName() const { return fileName_; }
    // The default also when the file cannot be read.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const override;
    void ReadSections(TStringList& sections) const override;
    // Raises Exception("Unable to write to <file>") when the platform refuses the write.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

private:
    std::string fileName_;
};

// An INI text parsed once, giving for every read what the platform's functions give for the
// same bytes in a file: a line feed or a carriage return ends a line; names compared without
// regard to ASCII case and without their surrounding blanks; the first of duplicate sections and
// keys; values trimmed, unquoted and cut at 2047 characters; a line without "=" a key without a
// value, which shadows later lines of the same key. Text in the ANSI code page (GBK for the
// client) is read by that code page's characters and kept byte for byte, a byte pair that is no
// character of it becomes its default character, and a text with a UTF-8 or UTF-16 mark is
// converted to the code page first.
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(const std::string& text);
    // From the stream's position to its end.
    explicit TMemIniFile(TStream& stream);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const override;
    void ReadSections(TStringList& sections) const override;

private:
    struct TKey {
        std::string name;
        std::string value;
        bool hasValue;
    };
    struct TSection {
        std::string name;
        std::vector<TKey> keys;
    };

    void Parse(const std::string& text);
    const TSection* FindSection(const std::string& name) const;

    std::vector<TSection> sections_;
    // Folded (trimmed, lower-case) name to the first section of that name.
    std::unordered_map<std::string, size_t> index_;
};
