// The version page: the maker site's page whose body is the published client version, which
// both programs compare with the installed one (pro) for equality only.
#pragma once

#include <string>

class TIdHTTP;

std::string VersionPageUrl();

// The version page's body, fetched with http. A reply longer than a few kilobytes (more than any
// version with what an editor leaves around it) is no version: the read stops there and raises,
// so an endless or huge reply costs the programs no more than that.
std::string ReadVersionPage(TIdHTTP& http);

// The published version in the version page's body. What an editor leaves around the text of a
// saved file is not part of it: a leading UTF-8 byte-order mark, blanks and tabs around the text and
// trailing line breaks. The settings file gives pro back without surrounding blanks and cannot hold
// a line break, and a byte-order mark is on no installed version: with them every comparison would
// differ and every start would hand over again. A line break before the end means the body is no
// version (an error page served as a success): that raises, and so does a version the settings
// file cannot store and give back unchanged (surrounding quotes, more than 2,047 bytes, bytes of
// no character): recorded, it would differ at every check and every start would hand over again.
std::string PublishedVersion(const std::string& body);
