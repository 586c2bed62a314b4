// The drawing stream's text form: the one reader and the one writer of it.
//
// A text is a run of pieces separated by ";"; each piece is one instruction: its kind word, then
// its fields separated by blanks, e.g. "blit bg_integrantes buffer_integrantes 0 0 0 0 640 480".
// The grammar, the limits and what a receiver does with a piece it cannot read are written in the
// README ("The drawing stream"); this is its implementation.
//
// Reading is forgiving where the receivers always were: blanks are any of space, tab and line
// ends, repeated or leading; a piece with more fields than its kind takes ignores the rest; a
// number is read as the C library's atoi reads it (no digits give 0), clamped to the int range.
// It refuses (nullopt) a piece with an unknown kind word, too few fields, or a field longer than
// kMaxFieldLength. The markers "frame N T" and "part N" are read exactly: one space between
// fields, digits only (T may be negative), nothing more.
//
// Writing never produces a malformed piece: when a name or path is no valid word, or the piece
// would be longer than kMaxInstructionLength, formatInstruction gives the empty text instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "stream/instruction.h"

constexpr size_t kMaxInstructionLength = 99;
constexpr size_t kMaxFieldLength = 51;
constexpr char kPieceSeparator = ';';

// Whether `word` can stand as one field of an instruction (non-empty, short enough, no blank,
// tab, line end, ";" or zero byte).
bool isValidInstructionWord(std::string_view word);

// Calls `each(piece, separated)` for every piece of `text`: as many as there are separators, plus
// one (which may be empty); `separated` tells whether a separator ended the piece. The pieces are
// views into `text`. Stops early, giving false, when `each` returns false.
template <typename Each>
bool forEachPiece(std::string_view text, Each&& each) {
    for (;;) {
        const size_t end = text.find(kPieceSeparator);
        if (!each(text.substr(0, end), end != std::string_view::npos)) return false;
        if (end == std::string_view::npos) return true;
        text.remove_prefix(end + 1);
    }
}

// The instruction a piece (without its separator) holds, or nullopt when it holds none.
std::optional<Instruction> parseInstruction(std::string_view piece);
// The marker (FrameMarker or PartStart) a piece holds, if it holds one; cheaper than
// parseInstruction for a reader that looks for the markers alone.
std::optional<Instruction> parseMarker(std::string_view piece);

// Calls `each(instruction, piece)` for every piece of `text` that holds an instruction, in order.
template <typename Each>
void forEachInstruction(std::string_view text, Each&& each) {
    forEachPiece(text, [&](std::string_view piece, bool) {
        if (std::optional<Instruction> instruction = parseInstruction(piece)) {
            each(*instruction, piece);
        }
        return true;
    });
}

// The piece's text, without a separator; "" when it cannot be written (see above).
std::string formatInstruction(const Instruction& instruction);

// Whether any piece of `text` changes a receiver's table of named bitmaps.
bool holdsBitmapChange(std::string_view text);
