// A small Windows program that the update tests serve as the new client (or put in place of the
// updater): started, it appends its own path and current directory to marker.txt in its current
// directory and ends.
#include <windows.h>

#include <fstream>
#include <sstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = {}, current[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    GetCurrentDirectoryA(sizeof current, current);
    // Written beside it and moved into place: a test that waits for the marker never reads it
    // half written.
    std::ostringstream marker;
    marker << std::ifstream("marker.txt", std::ios::binary).rdbuf();
    std::ofstream("marker.new", std::ios::binary) << marker.str() << self << "\n" << current << "\n";
    MoveFileExA("marker.new", "marker.txt", MOVEFILE_REPLACE_EXISTING);
    return 0;
}
