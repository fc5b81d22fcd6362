#include "Version.h"

#include <algorithm>
#include <string_view>

#include "Settings.h"
#include "Sites.h"
#include "SysUtils.h"

std::string VersionPageUrl()
{
    return ServiceSites().MakerSite + "/sikao/down/pro/lexdrill.asp";
}

std::string PublishedVersion(const std::string& body)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    std::string version = body.starts_with(byteOrderMark) ? body.substr(byteOrderMark.size()) : body;
    version.erase(0, std::min(version.find_first_not_of(" \t"), version.size()));
    version.erase(version.find_last_not_of(" \t\r\n") + 1);
    if (version.find_first_of("\r\n") != std::string::npos)
        throw Exception("The version page holds no version: its reply has more than one line");
    if (!StoresUnchanged(version))
        throw Exception("The version page holds no version: its reply cannot be recorded as it stands");
    return version;
}
