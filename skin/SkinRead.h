// The skin container: an LZHUF-packed list of named entries (bitmaps and the skin description).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "StringList.h"
#include "Streams.h"

class TSkinReader {
public:
    static constexpr uint32_t kMagic = 20000;
    static constexpr int kMaxEntries = 1001;

    // Unpacks and indexes a skin stream. False (after telling the user) when it holds a
    // container of another version. Raises ElzhException when the stream states an unpacked
    // size that its packed bytes cannot hold.
    bool LoadFromStream(TMemoryStream& stream);
    static void Unpack(TMemoryStream& source, TMemoryStream& target);

    // Entry names compare in lower case; an absent entry leaves the target empty.
    void ExtractByName(const std::string& name, TMemoryStream& target);
    // The first entry whose lower-case name contains part; name receives that entry's name.
    void ExtractByPart(const std::string& part, TMemoryStream& target, std::string& name);

private:
    template <typename Match>
    int Extract(Match match, TMemoryStream& target);

    TStringList FNames;
    int FCount = 0;
    std::array<uint32_t, kMaxEntries> FSizes{};
    TMemoryStream FData;
    std::array<uint32_t, 4> FHeader{};
};

// Shows a message to the user: a message box in the program, something observable in tests.
void SkinMessage(const std::string& text);
