#include "Settings.h"

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
