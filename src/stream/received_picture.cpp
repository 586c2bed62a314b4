#include "stream/received_picture.h"

#include "stream/instruction_text.h"

std::string ReceivedPicture::text() const {
    if (!marker) return drawing;
    return drawing + formatFrameMarker(*marker) + kPieceSeparator;
}

std::vector<ReceivedPicture> splitPictures(const std::string& text) {
    std::vector<ReceivedPicture> pictures;
    size_t drawingStart = 0;
    forEachPiece(text, [&](std::string_view piece, bool) {
        if (const std::optional<FrameMarker> marker = readFrameMarker(piece)) {
            const size_t start = static_cast<size_t>(piece.data() - text.data());
            pictures.push_back({text.substr(drawingStart, start - drawingStart), marker});
            drawingStart = start + piece.size() + 1;
        }
        return true;
    });
    if (drawingStart < text.size()) pictures.push_back({text.substr(drawingStart), std::nullopt});
    return pictures;
}

std::string withoutDrawing(const std::string& drawing) {
    std::string kept;
    forEachPiece(drawing, [&](std::string_view piece, bool separated) {
        const std::optional<Instruction> instruction = parseInstruction(piece);
        if (!instruction || !onlyDraws(*instruction)) {
            kept += piece;
            if (separated) kept += kPieceSeparator;
        }
        return true;
    });
    return kept;
}
