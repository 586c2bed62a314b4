#include "stream/bitmap_pieces.h"

#include "stream/instruction_text.h"

void forEachBitmapPiece(const std::string& batch,
                        const std::function<void(const BitmapPiece&)>& visit) {
    forEachInstruction(batch, [&](const Instruction& instruction, std::string_view piece) {
        if (const auto* load = std::get_if<LoadBitmap>(&instruction)) {
            visit({BitmapPiece::Effect::kBinds, load->name, std::string(piece)});
        } else if (const auto* create = std::get_if<CreateBitmap>(&instruction)) {
            visit({BitmapPiece::Effect::kBinds, create->name, std::string(piece)});
        } else if (const auto* destroy = std::get_if<DestroyBitmap>(&instruction)) {
            visit({BitmapPiece::Effect::kDestroys, destroy->name, std::string(piece)});
        }
    });
}
