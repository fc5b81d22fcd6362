#include "Settings.h"

#include <windows.h>

#include "IniFiles.h"

std::string ReadOledb5(const std::string& fileName, const std::string& key)
{
    return TIniFile(fileName).ReadString("OLEDB5", key, "");
}

std::string ReadConfigKey(const std::string& key)
{
    // The directory is used as it stands, a drive root's trailing separator included.
    return ReadOledb5(GetCurrentDir() + "/Config.INI", key);
}

bool StoresUnchanged(const std::string& value)
{
    char folder[MAX_PATH + 1];
    char file[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH || !GetTempFileNameA(folder, "ini", 0, file))
        throw Exception("No scratch settings file can be made in the temporary folder");
    struct TScratch {
        const char* name;
        ~TScratch() { DeleteFileA(name); }
    } scratch{file};
    TIniFile ini(file);
    ini.WriteString("OLEDB5", "pro", value);
    return ini.ReadString("OLEDB5", "pro", "") == value;
}
