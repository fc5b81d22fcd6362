// Exceptions and small string helpers shared by every unit. Strings are 8-bit text in the
// program's ANSI code page (GBK at run time).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A silent exception: it unwinds to the message loop, whose default handler shows nothing.
class EAbort : public Exception {
public:
    using Exception::Exception;
};

// Raised when a stream or list index runs past what it holds.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

class EListError : public Exception {
public:
    using Exception::Exception;
};

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Trim(const std::string& s);
// ASCII letters changed; other bytes kept (class names, keys).
std::string UpperCase(std::string s);
std::string LowerCase(std::string s);
std::string IntToStr(long long value);
// The general form of a number: the shortest of fixed and scientific notation, up to 15
// significant digits, with the user's decimal separator.
std::string FloatToStr(double value);
// A 32-bit integer: an optional sign, then decimal digits or "$" and up to eight hex digits
// (which may wrap to a negative value). Anything else, or a decimal out of range, gives def.
int StrToIntDef(const std::string& s, int def);
// An integer value of an INI file: as StrToIntDef, and a value longer than two characters
// that starts with "0x" or "0X" is hexadecimal too.
int IniStrToIntDef(const std::string& s, int def);

#ifdef _WIN32
// Program text is GBK whatever the machine's ANSI code page; wide strings cross the platform's
// COM interfaces (connection strings, URLs) converted with code page 936.
std::wstring GbkToWide(const std::string& text);
std::string WideToGbk(const std::wstring& text);

// The process's current directory, without a trailing separator (except at a drive root).
std::string GetCurrentDir();

// Days since 30 December 1899, the time of day as the fraction; spans are differences of these.
using TDateTime = double;
constexpr TDateTime SecsPerDay = 86400;
// The local date and time, to the millisecond.
TDateTime Now();
// The time of day of value in the user's long time format; a negative value (a span counted
// past zero) is shown by its absolute value.
std::string TimeToStr(TDateTime value);
#endif
