#include "stream/bound_names.h"

#include "stream/bitmap_pieces.h"
#include "stream/screen_name.h"

BoundNames::BoundNames() { bound.insert(kScreenName); }

void BoundNames::absorb(const std::string& batch) {
    forEachBitmapPiece(batch, [this](const BitmapPiece& piece) {
        if (piece.effect == BitmapPiece::Effect::kBinds) {
            if (bound.insert(piece.name).second) changed = true;
        } else if (piece.name != kScreenName && bound.erase(piece.name)) {
            changed = true;
        }
    });
}

bool BoundNames::takeChanged() {
    const bool was = changed;
    changed = false;
    return was;
}
