#include "stream/bitmap_pieces.h"

#include <optional>

namespace {

constexpr char kBlanks[] = " \t\r\n\v\f";

// The piece's effect on the table, reading its kind, its name and how many words it has (up to 4).
std::optional<BitmapPiece> readBitmapPiece(const std::string& piece) {
    std::string kind, name;
    int words = 0;
    size_t at = piece.find_first_not_of(kBlanks);
    while (at != std::string::npos && words < 4) {
        size_t end = piece.find_first_of(kBlanks, at);
        if (end == std::string::npos) end = piece.size();
        if (words == 0) kind.assign(piece, at, end - at);
        if (words == 1) name.assign(piece, at, end - at);
        ++words;
        at = piece.find_first_not_of(kBlanks, end);
    }
    if ((kind == "load_bitmap" && words >= 3) || (kind == "create_bitmap" && words >= 4)) {
        return BitmapPiece{BitmapPiece::Effect::kBinds, name, piece};
    }
    if (kind == "destroy_bitmap" && words >= 2) {
        return BitmapPiece{BitmapPiece::Effect::kDestroys, name, piece};
    }
    return std::nullopt;
}

}  // namespace

void forEachBitmapPiece(const std::string& batch,
                        const std::function<void(const BitmapPiece&)>& visit) {
    size_t start = 0;
    while (start < batch.size()) {
        size_t end = batch.find(';', start);
        if (end == std::string::npos) end = batch.size();
        const std::optional<BitmapPiece> piece = readBitmapPiece(batch.substr(start, end - start));
        start = end + 1;
        if (piece) visit(*piece);
    }
}
