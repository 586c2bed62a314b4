#include "support/pieces.h"

#include "stream/instruction_text.h"

std::vector<std::string> piecesOf(const std::string& text) {
    std::vector<std::string> pieces;
    forEachPiece(text, [&](std::string_view piece, bool) {
        if (!piece.empty()) pieces.emplace_back(piece);
        return true;
    });
    return pieces;
}
