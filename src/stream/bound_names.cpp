#include "stream/bound_names.h"

#include <vector>

namespace {

constexpr char kBlanks[] = " \t\r\n\v\f";

std::vector<std::string> words(const std::string& piece) {
    std::vector<std::string> result;
    size_t at = piece.find_first_not_of(kBlanks);
    while (at != std::string::npos) {
        size_t end = piece.find_first_of(kBlanks, at);
        if (end == std::string::npos) end = piece.size();
        result.emplace_back(piece, at, end - at);
        at = piece.find_first_not_of(kBlanks, end);
    }
    return result;
}

}  // namespace

BoundNames::BoundNames() { bound.insert("screen"); }

void BoundNames::absorb(const std::string& batch) {
    size_t start = 0;
    while (start < batch.size()) {
        size_t end = batch.find(';', start);
        if (end == std::string::npos) end = batch.size();
        const std::vector<std::string> w = words(batch.substr(start, end - start));
        start = end + 1;
        if (w.empty()) continue;
        const bool binds =
            (w[0] == "load_bitmap" && w.size() >= 3) || (w[0] == "create_bitmap" && w.size() >= 4);
        if (binds && bound.insert(w[1]).second) changed = true;
        if (w[0] == "destroy_bitmap" && w.size() >= 2 && w[1] != "screen" && bound.erase(w[1])) {
            changed = true;
        }
    }
}

bool BoundNames::takeChanged() {
    const bool was = changed;
    changed = false;
    return was;
}
