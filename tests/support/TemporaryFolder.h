// A fresh, empty folder that is the current folder for as long as the
// object lives: the program names its files relative to it. The previous
// current folder comes back and the folder is removed at the end.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

class CurrentTemporaryFolder {
public:
    explicit CurrentTemporaryFolder(const std::string& prefix)
    {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path()
            / (prefix + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~CurrentTemporaryFolder()
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    CurrentTemporaryFolder(const CurrentTemporaryFolder&) = delete;
    CurrentTemporaryFolder& operator=(const CurrentTemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_ = std::filesystem::current_path();
    std::filesystem::path path_;
};
