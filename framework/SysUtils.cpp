#include "SysUtils.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        result.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    return result;
}

std::string Trim(const std::string& s)
{
    size_t first = 0;
    while (first < s.size() && static_cast<unsigned char>(s[first]) <= ' ')
        ++first;
    size_t last = s.size();
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ')
        --last;
    return s.substr(first, last - first);
}

std::string UpperCase(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string LowerCase(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string IntToStr(long long value)
{
    return std::to_string(value);
}

std::string FloatToStr(double value)
{
    std::string text = Format("%.15g", value);
#ifdef _WIN32
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1)
        if (const size_t point = text.find('.'); point != std::string::npos)
            text.replace(point, 1, separator);
#endif
    return text;
}

int StrToIntDef(const std::string& s, int def)
{
    size_t i = 0;
    const bool negative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        ++i;
    const bool hex = i < s.size() && s[i] == '$';
    if (hex)
        ++i;
    if (i == s.size() || (hex && s.size() - i > 8))
        return def;
    uint64_t value = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return def;
        value = value * (hex ? 16 : 10) + static_cast<unsigned>(digit);
        if (!hex && value > 2147483648ull)
            return def;
    }
    if (hex) {
        const auto bits = static_cast<int32_t>(static_cast<uint32_t>(value));
        return negative ? static_cast<int>(0u - static_cast<uint32_t>(bits)) : bits;
    }
    if (!negative && value > 2147483647ull)
        return def;
    return negative ? static_cast<int>(-static_cast<int64_t>(value)) : static_cast<int>(value);
}

int IniStrToIntDef(const std::string& s, int def)
{
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        std::string hex = s.substr(1);
        hex[0] = '$';
        return StrToIntDef(hex, def);
    }
    return StrToIntDef(s, def);
}

#ifdef _WIN32
namespace {

constexpr UINT GbkCodePage = 936;

}  // namespace

std::wstring GbkToWide(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(GbkCodePage, 0, text.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(GbkCodePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string WideToGbk(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    std::string narrow(static_cast<size_t>(WideCharToMultiByte(GbkCodePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(GbkCodePage, 0, text.data(), size, narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr);
    return narrow;
}

std::string GetCurrentDir()
{
    std::string dir(MAX_PATH, '\0');
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), dir.data());
    if (length >= dir.size()) {  // too small: length is the size needed, terminator included
        dir.resize(length);
        length = GetCurrentDirectoryA(static_cast<DWORD>(dir.size()), dir.data());
    }
    dir.resize(length);
    return dir;
}

TDateTime Now()
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    FILETIME file;
    SystemTimeToFileTime(&local, &file);
    // 100-ns ticks since 1 January 1601, which lies 109205 days before the day count's origin.
    const unsigned long long ticks = (static_cast<unsigned long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
    return static_cast<double>(ticks) / (SecsPerDay * 1e7) - 109205;
}

std::string TimeToStr(TDateTime value)
{
    const long long msPerDay = 86400000;
    const long long ms = std::llround(std::fabs(value) * msPerDay) % msPerDay;
    SYSTEMTIME time = {};
    time.wHour = static_cast<WORD>(ms / 3600000);
    time.wMinute = static_cast<WORD>(ms / 60000 % 60);
    time.wSecond = static_cast<WORD>(ms / 1000 % 60);
    char text[64];
    const int length = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, sizeof text);
    return length > 0 ? std::string(text, static_cast<size_t>(length) - 1) : std::string();
}
#endif
