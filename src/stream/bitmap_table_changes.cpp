#include "stream/bitmap_table_changes.h"

#include "stream/bitmap_pieces.h"
#include "stream/instruction_text.h"

void BitmapTableChanges::absorb(const std::string& batch) {
    forEachBitmapPiece(batch, [this](const BitmapPiece& piece) {
        auto [entry, added] = changes.try_emplace(piece.name);
        if (added) order.push_back(piece.name);
        NameChange& change = entry->second;
        if (piece.effect == BitmapPiece::Effect::kDestroys) {
            change.destroyed = true;
            change.bind.clear();
        } else if (change.bind.empty()) {
            change.bind = piece.text;
        }
    });
}

std::vector<std::string> BitmapTableChanges::pieces() const {
    std::vector<std::string> result;
    for (const std::string& name : order) {
        const NameChange& change = changes.at(name);
        if (change.destroyed) result.push_back(formatInstruction(DestroyBitmap{name}));
        if (!change.bind.empty()) result.push_back(change.bind);
    }
    return result;
}

std::vector<std::string> BitmapTableChanges::bindings() const {
    std::vector<std::string> result;
    for (const std::string& name : order) {
        const NameChange& change = changes.at(name);
        if (!change.bind.empty()) result.push_back(change.bind);
    }
    return result;
}

void BitmapTableChanges::clear() {
    changes.clear();
    order.clear();
}
