// A folder of this fuzzing process's own for the files a target writes and reads back.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace vortel::fuzz {

inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path p =
            std::filesystem::temp_directory_path() / ("vortel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(p);
        return p;
    }();
    return folder;
}

}  // namespace vortel::fuzz
