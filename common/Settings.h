// The settings files the client and the updater share: Config.INI in the current directory and
// the dealer file under data/, each with one section OLEDB5. Every read goes to the file afresh.
#pragma once

#include <string>

// The value of key in section OLEDB5 of fileName; empty when the file, section or key is missing.
std::string ReadOledb5(const std::string& fileName, const std::string& key);

// ReadOledb5 on the current directory's Config.INI.
std::string ReadConfigKey(const std::string& key);

// Whether value, written to a settings file, reads back exactly as it stands. The platform's
// profile functions strip blanks and one pair of enclosing quotes, end a value at a line break or
// NUL and convert through the ANSI code page, and a read holds 2,047 bytes: rather than copy
// those rules, the value is tried on a scratch file. Raises when no scratch file can be made.
bool StoresUnchanged(const std::string& value);
