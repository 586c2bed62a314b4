#include "stream/frame_marker.h"

#include "stream/instruction_text.h"

std::string formatFrameMarker(const FrameMarker& marker) { return formatInstruction(marker); }

std::optional<FrameMarker> readFrameMarker(std::string_view piece) {
    const std::optional<Instruction> instruction = parseMarker(piece);
    if (!instruction || !std::holds_alternative<FrameMarker>(*instruction)) return std::nullopt;
    return std::get<FrameMarker>(*instruction);
}

std::string formatPartHeader(uint64_t part) { return formatInstruction(PartStart{part}); }

std::optional<PartHeader> readPartHeader(std::string_view answer) {
    std::optional<PartHeader> header;
    forEachPiece(answer, [&](std::string_view piece, bool separated) {
        const std::optional<Instruction> instruction = parseMarker(piece);
        if (separated && instruction && std::holds_alternative<PartStart>(*instruction)) {
            header = PartHeader{std::get<PartStart>(*instruction).part, piece.size() + 1};
        }
        return false;  // the first piece alone
    });
    return header;
}
