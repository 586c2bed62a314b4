// The pieces of a batch text that change a receiver's table of named bitmaps: a load_bitmap or a
// create_bitmap with all its fields binds its name, a destroy_bitmap with a name unbinds it.
// Every other piece (drawing, sound, markers, unknown kinds, too few fields) leaves the table
// alone.
#pragma once

#include <functional>
#include <string>

struct BitmapPiece {
    enum class Effect { kBinds, kDestroys };
    Effect effect;
    std::string name;
    std::string text;  // the whole piece, without its ";"
};

// Calls `visit` with each bitmap piece of `batch` (pieces separated by ";"), in order.
void forEachBitmapPiece(const std::string& batch,
                        const std::function<void(const BitmapPiece&)>& visit);
