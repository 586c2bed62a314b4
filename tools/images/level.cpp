#include "level.h"

#include "stream/interpreter.h"  // the largest bitmap a client creates

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

void paint(Level& level, int x1, int x2, int y1, int y2, unsigned char value) {
    x1 = std::max(0, x1);
    y1 = std::max(0, y1);
    x2 = std::min(level.width, x2);
    y2 = std::min(level.height, y2);
    if (x1 >= x2) return;
    // Row by row with fill: the largest stage, painted whole on every line of a file, stays quick.
    for (int y = y1; y < y2; ++y) {
        unsigned char* row = level.solid.data() + size_t(y) * level.width;
        std::fill(row + x1, row + x2, value);
    }
}

}  // namespace

bool loadLevel(const std::string& path, Level& level) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "nao foi possivel ler a fase %s\n", path.c_str());
        return false;
    }
    std::vector<unsigned char> terrain = std::move(level.solid);  // its storage serves again
    level = Level{};
    level.solid = std::move(terrain);
    level.solid.assign(size_t(level.width) * level.height, 0);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string content = line.substr(0, line.find('#'));
        std::istringstream words(content);
        std::string command;
        if (!(words >> command)) continue;
        int a = 0, b = 0, c = 0, d = 0;
        bool ok = true;
        if (command == "size") {
            ok = bool(words >> a >> b) && a > 0 && b > 0 && a <= kMaxBitmapSide &&
                 b <= kMaxBitmapSide && static_cast<long long>(a) * b <= kMaxBitmapArea;
            if (ok) {
                level.width = a;
                level.height = b;
                level.solid.assign(size_t(a) * b, 0);
            }
        } else if (command == "theme") {
            ok = bool(words >> level.theme);
        } else if (command == "floor") {
            ok = bool(words >> a >> b >> c);
            if (ok) paint(level, a, b, c, level.height, 1);
        } else if (command == "ceiling") {
            ok = bool(words >> a >> b >> c);
            if (ok) paint(level, a, b, 0, c, 1);
        } else if (command == "block" || command == "clear") {
            ok = bool(words >> a >> b >> c >> d);
            if (ok) paint(level, a, b, c, d, command == "block" ? 1 : 0);
        } else if (command == "finish") {
            ok = bool(words >> level.finishX);
        } else if (command == "sign") {
            LevelSign sign;
            ok = bool(words >> sign.x >> sign.y);
            std::getline(words >> std::ws, sign.text);
            if (ok) level.signs.push_back(sign);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "%s:%d: linha invalida: %s\n", path.c_str(), number, line.c_str());
            return false;
        }
    }
    return true;
}
