#include "world/level_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "stream/work_budget.h"  // the largest bitmap a client creates

namespace {

void addRect(Level& level, int x1, int x2, int y1, int y2, bool solid) {
    x1 = std::max(0, x1);
    y1 = std::max(0, y1);
    x2 = std::min(level.width, x2);
    y2 = std::min(level.height, y2);
    if (x1 >= x2 || y1 >= y2) return;
    level.terrain.push_back({x1, x2, y1, y2, solid});
}

// A path the game can read and a generated source could quote as it is.
bool isImagePath(const std::string& path) {
    if (path.compare(0, 4, "Img/") != 0 || path.size() == 4) return false;
    if (path.find("..") != std::string::npos) return false;
    return std::all_of(path.begin(), path.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.' || c == '/';
    });
}

bool readPath(std::istringstream& words, std::string& path) {
    return bool(words >> path) && isImagePath(path);
}

bool nothingMore(std::istringstream& words) {
    std::string extra;
    return !(words >> extra);
}

// Applies one command to the level; false when its words are malformed or out of range.
bool applyCommand(const std::string& command, std::istringstream& words, Level& level) {
    int a = 0, b = 0, c = 0, d = 0;
    if (command == "size") {
        if (!(words >> a >> b) || a <= 0 || b <= 0 || a > kMaxBitmapSide || b > kMaxBitmapSide ||
            static_cast<long long>(a) * b > kMaxBitmapArea)
            return false;
        level.width = a;
        level.height = b;
    } else if (command == "theme") {
        if (!(words >> a) || a < 1 || a > kLevelThemes) return false;
        level.theme = a;
    } else if (command == "picture") {
        return readPath(words, level.picturePath) && nothingMore(words);
    } else if (command == "collision") {
        std::string ignored;
        return readPath(words, ignored) && nothingMore(words);
    } else if (command == "floor") {
        if (!(words >> a >> b >> c)) return false;
        addRect(level, a, b, c, level.height, true);
    } else if (command == "ceiling") {
        if (!(words >> a >> b >> c)) return false;
        addRect(level, a, b, 0, c, true);
    } else if (command == "block" || command == "clear") {
        if (!(words >> a >> b >> c >> d)) return false;
        addRect(level, a, b, c, d, command == "block");
    } else if (command == "speed") {
        if (!(words >> a >> b) || a < 0 || a >= level.width || b <= 0 || b > level.width)
            return false;
        level.speedMarkers.push_back({a, b});
    } else if (command == "finish") {
        if (level.finish.x >= 0 || !(words >> a >> b >> c)) return false;
        if (a < 0 || a >= level.width || b < 0 || b >= level.height || c <= 0 || c > b)
            return false;
        level.finish = {a, b, c};
    } else if (command == "sign") {
        LevelSign sign;
        if (!(words >> sign.x >> sign.y)) return false;
        std::getline(words >> std::ws, sign.text);
        level.signs.push_back(sign);
        return true;
    } else {
        return false;
    }
    return nothingMore(words);
}

// What a level without errors in its lines still lacks, or "".
std::string missingFact(const Level& level, bool pictureRequired) {
    if (pictureRequired && level.picturePath.empty())
        return "a fase nao diz onde fica sua imagem (picture)";
    if (level.speedMarkers.empty()) return "a fase nao tem marcador de velocidade (speed)";
    if (level.finish.x < 0) return "a fase nao tem linha de chegada (finish)";
    return "";
}

std::string tooLarge(const std::string& source) {
    return source + ": arquivo grande demais (mais de " + std::to_string(kMaxLevelBytes) +
           " bytes)";
}

}  // namespace

bool readLevel(const std::string& source, const std::string& text, Level& level, std::string& error,
               bool pictureRequired) {
    std::vector<unsigned char> terrain = std::move(level.solid);  // its storage serves again
    level = Level{};
    level.solid = std::move(terrain);
    level.solid.clear();
    if (text.size() > kMaxLevelBytes) {
        error = tooLarge(source);
        return false;
    }
    std::istringstream in(text);
    std::string line;
    int number = 0;
    int commands = 0;
    while (std::getline(in, line)) {
        ++number;
        const auto refuse = [&](const std::string& why) {
            error = source + ":" + std::to_string(number) + ": " + why;
            return false;
        };
        if (line.size() > kMaxLevelLineBytes)
            return refuse("linha longa demais (mais de " + std::to_string(kMaxLevelLineBytes) +
                          " bytes)");
        std::istringstream words(line.substr(0, line.find('#')));
        std::string command;
        if (!(words >> command)) continue;
        if (++commands > kMaxLevelCommands)
            return refuse("comandos demais (mais de " + std::to_string(kMaxLevelCommands) + ")");
        // The size comes first: every coordinate after it is checked against it.
        const bool misplaced = command == "size" && commands > 1;
        if (misplaced || !applyCommand(command, words, level))
            return refuse("linha invalida: " + line);
    }
    const std::string missing = missingFact(level, pictureRequired);
    if (!missing.empty()) {
        error = source + ": " + missing;
        return false;
    }
    return true;
}

bool readLevelText(const std::string& path, std::string& text, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "nao foi possivel ler a fase " + path;
        return false;
    }
    text.assign(kMaxLevelBytes + 1, '\0');
    in.read(&text[0], std::streamsize(text.size()));
    text.resize(size_t(in.gcount()));
    if (in.bad()) {
        error = "nao foi possivel ler a fase " + path;
        return false;
    }
    if (text.size() > kMaxLevelBytes) {
        error = tooLarge(path);
        return false;
    }
    return true;
}

void paintTerrain(Level& level) {
    level.solid.assign(size_t(level.width) * level.height, 0);
    // Row by row with fill: the largest stage, painted whole on every line of a file, stays quick.
    for (const LevelRect& r : level.terrain) {
        for (int y = r.y1; y < r.y2; ++y) {
            unsigned char* row = level.solid.data() + size_t(y) * level.width;
            std::fill(row + r.x1, row + r.x2, r.solid ? 1 : 0);
        }
    }
}

std::string levelName(const std::string& text, int number) {
    const std::string fallback = "fase " + std::to_string(number);
    const size_t end = text.find('\n');
    const std::string first = text.substr(0, end);
    if (first.compare(0, 1, "#") != 0) return fallback;
    const size_t colon = first.find(':');
    if (colon == std::string::npos) return fallback;
    std::string name = first.substr(colon + 1);
    name = name.substr(0, name.find('.'));
    const size_t start = name.find_first_not_of(' ');
    if (start == std::string::npos) return fallback;
    name = name.substr(start, 40);
    for (char& c : name)
        if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) > '~') c = '?';
    return name;
}
