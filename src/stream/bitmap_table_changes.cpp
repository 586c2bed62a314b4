#include "stream/bitmap_table_changes.h"

namespace {

constexpr char kBlanks[] = " \t\r\n\v\f";

// The first two blank-separated words of `piece` and how many words it has, up to 4.
struct PieceHead {
    std::string kind;
    std::string name;
    int words = 0;
};

PieceHead readHead(const std::string& piece) {
    PieceHead head;
    size_t at = piece.find_first_not_of(kBlanks);
    while (at != std::string::npos && head.words < 4) {
        size_t end = piece.find_first_of(kBlanks, at);
        if (end == std::string::npos) end = piece.size();
        if (head.words == 0) head.kind.assign(piece, at, end - at);
        if (head.words == 1) head.name.assign(piece, at, end - at);
        ++head.words;
        at = piece.find_first_not_of(kBlanks, end);
    }
    return head;
}

bool binds(const PieceHead& head) {
    return (head.kind == "load_bitmap" && head.words >= 3) ||
           (head.kind == "create_bitmap" && head.words >= 4);
}

}  // namespace

void BitmapTableChanges::absorb(const std::string& batch) {
    size_t start = 0;
    while (start < batch.size()) {
        size_t end = batch.find(';', start);
        if (end == std::string::npos) end = batch.size();
        const std::string piece = batch.substr(start, end - start);
        start = end + 1;
        const PieceHead head = readHead(piece);
        const bool destroys = head.kind == "destroy_bitmap" && head.words >= 2;
        if (!destroys && !binds(head)) continue;
        auto [entry, added] = changes.try_emplace(head.name);
        if (added) order.push_back(head.name);
        NameChange& change = entry->second;
        if (destroys) {
            change.destroyed = true;
            change.bind.clear();
        } else if (change.bind.empty()) {
            change.bind = piece;
        }
    }
}

std::vector<std::string> BitmapTableChanges::pieces() const {
    std::vector<std::string> result;
    for (const std::string& name : order) {
        const NameChange& change = changes.at(name);
        if (change.destroyed) result.push_back("destroy_bitmap " + name);
        if (!change.bind.empty()) result.push_back(change.bind);
    }
    return result;
}

void BitmapTableChanges::clear() {
    changes.clear();
    order.clear();
}
