#include "world/xdg_homes.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

const char* const kWallStage =
    "# Stage: um muro. Suba ao teto antes do muro e volte ao chao antes da chegada.\n"
    "size 2600 480\n"
    "theme 3\n"
    "floor 0 2600 440\n"
    "ceiling 0 2600 40\n"
    "speed 2 10\n"
    "block 1200 1260 120 480\n"
    "sign 900 110 ^ TETO\n"
    "sign 1500 110 v CHAO\n"
    "clear 2300 2600 0 50\n"
    "clear 2550 2600 430 480\n"
    "finish 2000 440 75\n";

const char* const kImpassableStage =
    "# Stage: parede.\n"
    "size 2600 480\n"
    "floor 0 2600 440\n"
    "ceiling 0 2600 40\n"
    "speed 2 10\n"
    "block 1200 1260 0 480\n"
    "finish 2000 440 75\n";

XdgHomes::XdgHomes() {
    std::string pattern = (fs::temp_directory_path() / "corrida_xdg_XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    if (const char* cache = std::getenv("XDG_CACHE_HOME")) hadCache_ = true, oldCache_ = cache;
    if (const char* data = std::getenv("XDG_DATA_HOME")) hadData_ = true, oldData_ = data;
    setenv("XDG_CACHE_HOME", (root_ / "cache").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
}

XdgHomes::~XdgHomes() {
    if (hadCache_)
        setenv("XDG_CACHE_HOME", oldCache_.c_str(), 1);
    else
        unsetenv("XDG_CACHE_HOME");
    if (hadData_)
        setenv("XDG_DATA_HOME", oldData_.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
    std::error_code error;
    fs::remove_all(root_, error);
}

void XdgHomes::writeOwnStage(const std::string& name, const std::string& text) const {
    fs::create_directories(ownStages());
    std::ofstream(ownStages() / (name + ".txt"), std::ios::binary) << text;
}

std::vector<std::string> XdgHomes::files() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root_))
        if (entry.is_regular_file()) found.push_back(fs::relative(entry.path(), root_).string());
    std::sort(found.begin(), found.end());
    return found;
}
