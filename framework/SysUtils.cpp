#include "SysUtils.h"

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
#endif
