#include "platform/config_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/console_report.h"

namespace fs = std::filesystem;

std::string configFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg) return std::string(xdg) + "/corrida";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/corrida";
    return std::string();
}

std::string configFile(const std::string& file) {
    const std::string folder = configFolder();
    return folder.empty() ? folder : folder + "/" + file;
}

bool writeConfigFile(const std::string& file, const std::string& text) {
    const std::string path = configFile(file);
    if (path.empty()) {
        reportLine("Nao foi possivel gravar " + file + ": nem XDG_CONFIG_HOME nem HOME definidos.");
        return false;
    }
    std::error_code error;
    fs::create_directories(configFolder(), error);
    const std::string temporary = path + ".novo";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            reportLine("Nao foi possivel gravar " + path + ".");
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, path, error);
    if (error) {
        reportLine("Nao foi possivel gravar " + path + ": " + error.message());
        fs::remove(temporary, error);
        return false;
    }
    return true;
}
