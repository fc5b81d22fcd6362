// Kept alone in its object file: a test program that defines SkinMessage itself links without
// pulling this one out of the library.
#include <windows.h>

#include <string>

void SkinMessage(const std::string& text)
{
    MessageBoxA(GetActiveWindow(), text.c_str(), nullptr, MB_OK);
}
