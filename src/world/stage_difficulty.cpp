#include "world/stage_difficulty.h"

#include <fstream>
#include <sstream>

namespace {

constexpr size_t kLongestFile = 64 * 1024;
constexpr int kMostNumber = 100000;

}  // namespace

std::map<int, StageDifficulty> parseStageDifficulties(const std::string& text) {
    std::map<int, StageDifficulty> figures;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        int number = 0;
        StageDifficulty figure;
        std::string extra;
        if (!(words >> number >> figure.flips >> figure.windowFrames) || words >> extra) continue;
        if (number < 1 || number > kMostNumber || figure.flips < 0 || figure.flips > kMostNumber ||
            figure.windowFrames < 1 || figure.windowFrames > kMostNumber)
            continue;
        figures[number] = figure;
    }
    return figures;
}

std::map<int, StageDifficulty> readStageDifficulties(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text(kLongestFile, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return parseStageDifficulties(text);
}

std::string difficultyText(const StageDifficulty& difficulty) {
    return "ate " + std::to_string(difficulty.flips) +
           (difficulty.flips == 1 ? " virada" : " viradas") + ", janela de " +
           std::to_string(difficulty.windowFrames) +
           (difficulty.windowFrames == 1 ? " quadro" : " quadros");
}
