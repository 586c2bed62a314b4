// A fuzz target's own folder under /tmp: made at start-up, entered as the working folder, and
// removed when the process ends.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace scratch_folder_detail {
inline std::filesystem::path& folder() {
    static std::filesystem::path path;
    return path;
}
inline void remove() {
    std::error_code ignored;
    std::filesystem::remove_all(folder(), ignored);
}
}  // namespace scratch_folder_detail

// Makes and enters /tmp/corrida_fuzz_TARGET_XXXXXX, or ends the process saying why.
inline const std::filesystem::path& enterScratchFolder(const std::string& target) {
    std::string pattern = "/tmp/corrida_fuzz_" + target + "_XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror((target + ": mkdtemp").c_str());
        std::exit(1);
    }
    scratch_folder_detail::folder() = pattern;
    std::atexit(scratch_folder_detail::remove);
    std::filesystem::current_path(pattern);
    return scratch_folder_detail::folder();
}
