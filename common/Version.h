// The version page: the maker site's page whose body is the published client version, which
// both programs compare with the installed one (pro) for equality only.
#pragma once

#include <string>

std::string VersionPageUrl();

// The published version in the version page's body. Trailing line breaks (a text file served as
// it was saved) are not part of it: the settings file cannot hold them, so with them every
// comparison would differ and every start would hand over again. A line break before the end
// means the body is no version (an error page served as a success): that raises.
std::string PublishedVersion(const std::string& body);
