#include "Version.h"

#include <algorithm>
#include <string_view>

#include "IdHTTP.h"
#include "Settings.h"
#include "Sites.h"
#include "SysUtils.h"

namespace {

constexpr size_t VersionPageLimit = 4096;

// Keeps the body as it arrives, in sequence; a write past the limit raises, which ends the read.
class TVersionPageStream : public TStream {
public:
    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void* buffer, size_t count) override
    {
        if (count > VersionPageLimit - body.size())
            throw Exception(Format("The version page holds no version: its reply is longer than %d bytes",
                                   static_cast<int>(VersionPageLimit)));
        body.append(static_cast<const char*>(buffer), count);
        return count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(body.size()); }

    std::string body;
};

}  // namespace

std::string VersionPageUrl()
{
    return ServiceSites().MakerSite + "/sikao/down/pro/lexdrill.asp";
}

std::string ReadVersionPage(TIdHTTP& http)
{
    TVersionPageStream page;
    http.Get(VersionPageUrl(), page);
    return page.body;
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
