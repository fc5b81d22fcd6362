// A small Windows program that the update tests serve as the new client (or put in place of the
// updater): started, it appends its own path and current directory to marker.txt in its current
// directory and ends.
#include <windows.h>

#include <fstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = {}, current[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    GetCurrentDirectoryA(sizeof current, current);
    std::ofstream("marker.txt", std::ios::binary | std::ios::app) << self << "\n" << current << "\n";
    return 0;
}
