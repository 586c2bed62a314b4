#include "platform/cache_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// $VARIABLE/corrida, else $HOME/FALLBACK/corrida, else "".
std::string xdgFolder(const char* variable, const char* fallback) {
    const char* xdg = std::getenv(variable);
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/corrida";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/" + fallback + "/corrida";
    return std::string();
}

bool isComponentChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

}  // namespace

std::string cacheFolder() { return xdgFolder("XDG_CACHE_HOME", ".cache"); }

std::string userDataFolder() { return xdgFolder("XDG_DATA_HOME", ".local/share"); }

bool isCachePath(const std::string& relative) {
    if (relative.empty() || relative.size() > kMaxCachePathBytes) return false;
    size_t start = 0;
    while (true) {
        const size_t end = relative.find('/', start);
        const std::string component = relative.substr(start, end - start);
        if (component.empty() || component[0] == '.') return false;
        for (char c : component)
            if (!isComponentChar(c)) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

std::string cachedFile(const std::string& relative) {
    const std::string folder = cacheFolder();
    if (folder.empty() || !isCachePath(relative)) return std::string();
    return folder + "/" + relative;
}

bool storeInCache(const std::string& relative, const std::function<bool(const std::string&)>& write,
                  std::string& error) {
    const std::string path = cachedFile(relative);
    if (path.empty()) {
        error = cacheFolder().empty() ? "nem XDG_CACHE_HOME nem HOME definidos"
                                      : "caminho recusado: " + relative;
        return false;
    }
    std::error_code failure;
    fs::create_directories(fs::path(path).parent_path(), failure);
    if (failure) {
        error = "nao foi possivel criar a pasta de " + path + ": " + failure.message();
        return false;
    }
    // A name of this process's own: two processes drawing the same file never share one.
    const std::string temporary = path + ".novo" + std::to_string(getpid());
    if (!write(temporary)) {
        fs::remove(temporary, failure);
        error = "nao foi possivel gravar " + path;
        return false;
    }
    fs::rename(temporary, path, failure);
    if (failure) {
        error = "nao foi possivel gravar " + path + ": " + failure.message();
        fs::remove(temporary, failure);
        return false;
    }
    return true;
}
