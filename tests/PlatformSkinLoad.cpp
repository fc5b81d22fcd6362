#include "PlatformSkinLoad.h"

#include <windows.h>

#include "IniFiles.h"
#include "SkinRead.h"

namespace {

bool OpenDescription(TSkinReader& reader, TMemoryStream& skinFile, TMemoryStream& description)
{
    if (!reader.LoadFromStream(skinFile))
        return false;
    std::string name;
    reader.ExtractByPart(".ini", description, name);
    return !name.empty();
}

}  // namespace

bool ExtractDescription(TMemoryStream& skinFile, std::string& description)
{
    TSkinReader reader;
    TMemoryStream entry;
    if (!OpenDescription(reader, skinFile, entry))
        return false;
    description.assign(reinterpret_cast<const char*>(entry.Memory()), entry.Length());
    return true;
}

bool LoadSkinThroughPlatform(TSkinData& data, TMemoryStream& skinFile)
{
    TSkinReader reader;
    TMemoryStream description;
    if (!OpenDescription(reader, skinFile, description))
        return false;
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    if (!GetTempFileNameA(folder, "skn", 0, path))
        return false;
    description.SaveToFile(path);
    try {
        data.ParseDescription(TIniFile(path), reader);
    } catch (...) {
        DeleteFileA(path);
        throw;
    }
    DeleteFileA(path);
    return true;
}
