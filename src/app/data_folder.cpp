#include "app/data_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

#ifndef CORRIDA_DATA_FROM_BIN
#define CORRIDA_DATA_FROM_BIN "../share/corrida"
#endif
#ifndef CORRIDA_INSTALLED_DATA
#define CORRIDA_INSTALLED_DATA "/usr/local/share/corrida"
#endif

std::vector<std::string> dataFolderCandidates(const char* corridaData,
                                              const std::string& executableFolder) {
    if (corridaData) return {corridaData};
    std::vector<std::string> candidates;
    if (!executableFolder.empty()) {
        candidates.push_back(executableFolder);
        candidates.push_back(
            (fs::path(executableFolder) / CORRIDA_DATA_FROM_BIN).lexically_normal());
    }
    candidates.push_back(CORRIDA_INSTALLED_DATA);
    return candidates;
}

std::optional<std::string> firstWithImages(const std::vector<std::string>& candidates) {
    for (const std::string& folder : candidates) {
        std::error_code error;
        if (!folder.empty() && fs::is_directory(fs::path(folder) / "Img", error)) return folder;
    }
    return std::nullopt;
}

bool enterDataFolder(std::ostream& errors) {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    const std::string executableFolder = error ? "" : executable.parent_path().string();
    const char* corridaData = std::getenv("CORRIDA_DATA");
    if (corridaData && !*corridaData) corridaData = nullptr;  // set but empty counts as unset

    const std::vector<std::string> candidates = dataFolderCandidates(corridaData, executableFolder);
    const std::optional<std::string> folder = firstWithImages(candidates);
    if (!folder) {
        if (corridaData) {
            errors << "CORRIDA_DATA=" << corridaData << " nao contem a pasta Img/ do jogo."
                   << std::endl;
        } else {
            errors << "Imagens do jogo nao encontradas: nenhuma pasta Img/ em";
            for (const std::string& candidate : candidates) errors << " " << candidate;
            errors << "; indique a pasta que contem Img/ em CORRIDA_DATA." << std::endl;
        }
        return false;
    }
    if (chdir(folder->c_str()) != 0) {
        errors << "Nao foi possivel entrar na pasta do jogo " << *folder << "." << std::endl;
        return false;
    }
    return true;
}
