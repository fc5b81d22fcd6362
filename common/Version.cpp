#include "Version.h"

#include "Sites.h"
#include "SysUtils.h"

std::string VersionPageUrl()
{
    return ServiceSites().MakerSite + "/sikao/down/pro/lexdrill.asp";
}

std::string PublishedVersion(const std::string& body)
{
    const std::string version = body.substr(0, body.find_last_not_of("\r\n") + 1);
    if (version.find_first_of("\r\n") != std::string::npos)
        throw Exception("The version page holds no version: its reply has more than one line");
    return version;
}
