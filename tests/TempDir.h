// A fresh folder under the temporary-files folder that is the current directory while the test
// runs; the previous directory comes back and the folder goes away afterwards.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

class TTempCurrentDir {
public:
    TTempCurrentDir()
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        static int counter = 0;
        path_ = std::string(temp) + "lexdrill-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        // A process that ended without cleaning up (a death test's child) may have left a folder
        // of the same name: process ids come back.
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        std::filesystem::create_directories(path_);
        char saved[MAX_PATH];
        GetCurrentDirectoryA(sizeof saved, saved);
        saved_ = saved;
        SetCurrentDirectoryA(path_.c_str());
    }
    TTempCurrentDir(const TTempCurrentDir&) = delete;
    TTempCurrentDir& operator=(const TTempCurrentDir&) = delete;
    ~TTempCurrentDir()
    {
        SetCurrentDirectoryA(saved_.c_str());
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::string& Path() const { return path_; }

    // Writes bytes as they are (GBK text stays GBK) to a file below the folder.
    void Write(const std::string& relative, const std::string& bytes) const
    {
        const std::filesystem::path file = std::filesystem::path(path_) / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

private:
    std::string path_;
    std::string saved_;
};
