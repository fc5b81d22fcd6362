#include "Install.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The little-endian number of size bytes at offset; the caller has checked that they lie within.
uint32_t Number(const uint8_t* bytes, size_t offset, size_t size)
{
    uint32_t value = 0;
    for (size_t i = size; i-- > 0;)
        value = value << 8 | bytes[offset + i];
    return value;
}

}  // namespace

bool IsWindowsProgram(const TMemoryStream& file)
{
    const uint8_t* bytes = file.Memory();
    const uint64_t size = file.Length();
    if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    // The signature and the file header that follows it: 4 + 20 bytes.
    const uint64_t signature = Number(bytes, 0x3C, 4);
    if (signature + 24 > size || std::memcmp(bytes + signature, "PE\0\0", 4) != 0)
        return false;
    const uint32_t sections = Number(bytes, signature + 6, 2);
    const uint32_t optionalSize = Number(bytes, signature + 20, 2);
    const uint64_t optional = signature + 24;
    const uint64_t table = optional + optionalSize;
    // The file reaches the end of its headers and of every section's data: a download cut short
    // passes the signature but would not run.
    uint64_t end = table + uint64_t{sections} * 40;
    if (end > size)
        return false;
    if (optionalSize >= 64)
        end = std::max<uint64_t>(end, Number(bytes, optional + 60, 4));  // the size of the headers
    for (uint64_t entry = table; entry < table + uint64_t{sections} * 40; entry += 40) {
        const uint32_t rawSize = Number(bytes, entry + 16, 4);
        if (rawSize)
            end = std::max(end, uint64_t{Number(bytes, entry + 20, 4)} + rawSize);
    }
    return end <= size;
}

void InstallProgram(const TMemoryStream& program, const std::string& fileName)
{
    const std::string partial = fileName + ".part";
    try {
        program.SaveToFile(partial);
        // The file stream writes its last buffer when it closes, where a failure goes unreported.
        WIN32_FILE_ATTRIBUTE_DATA written;
        if (!GetFileAttributesExA(partial.c_str(), GetFileExInfoStandard, &written) ||
            (static_cast<uint64_t>(written.nFileSizeHigh) << 32 | written.nFileSizeLow) != program.Length())
            throw Exception(Format("Cannot write file \"%s\"", partial.c_str()));
        if (!MoveFileExA(partial.c_str(), fileName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw EFOpenError(Format("Cannot create file \"%s\"", fileName.c_str()));
    } catch (...) {
        DeleteFileA(partial.c_str());
        throw;
    }
}
