#include "Install.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

bool IsWindowsProgram(const TMemoryStream& file)
{
    const uint8_t* bytes = file.Memory();
    const size_t size = file.Length();
    if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return false;
    const uint32_t offset = bytes[0x3C] | bytes[0x3D] << 8 | bytes[0x3E] << 16 | static_cast<uint32_t>(bytes[0x3F]) << 24;
    return offset <= size - 4 && std::memcmp(bytes + offset, "PE\0\0", 4) == 0;
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
