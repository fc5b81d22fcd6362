// The version page: the maker site's page whose body is the published client version, which
// both programs compare with the installed one (pro) for equality only.
#pragma once

#include <string>

std::string VersionPageUrl();

// The published version in the version page's body. What an editor leaves around the text of a
// saved file is not part of it: a leading UTF-8 byte-order mark, blanks and tabs around the text and
// trailing line breaks. The settings file gives pro back without surrounding blanks and cannot hold
// a line break, and a byte-order mark is on no installed version: with them every comparison would
// differ and every start would hand over again. A line break before the end means the body is no
// version (an error page served as a success): that raises, and so does a version the settings
// file cannot store and give back unchanged (surrounding quotes, more than 2,047 bytes, bytes of
// no character): recorded, it would differ at every check and every start would hand over again.
std::string PublishedVersion(const std::string& body);
