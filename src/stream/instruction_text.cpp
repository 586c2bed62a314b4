#include "stream/instruction_text.h"

#include <array>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";

// The words of a piece: at most the nine a blit takes (more are ignored), each at most
// kMaxFieldLength long.
struct Words {
    std::array<std::string_view, 9> word;
    size_t count = 0;
};

std::optional<Words> splitWords(std::string_view piece) {
    Words words;
    size_t at = piece.find_first_not_of(kBlanks);
    while (at != std::string_view::npos) {
        size_t end = piece.find_first_of(kBlanks, at);
        if (end == std::string_view::npos) end = piece.size();
        if (end - at > kMaxFieldLength) return std::nullopt;
        if (words.count < words.word.size()) words.word[words.count] = piece.substr(at, end - at);
        ++words.count;
        at = piece.find_first_not_of(kBlanks, end);
    }
    return words;
}

// Decimal text to integer as the C library's atoi reads it (optional sign, digits; no number
// gives 0), but clamped to the int range instead of overflowing.
int toInt(std::string_view word) {
    const std::string text(word);
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// "WORD N" or "WORD N T" exactly: digits for N, digits with an optional "-" for T.
bool readMarker(std::string_view piece, std::string_view word, uint64_t& first, int64_t* second) {
    if (piece.substr(0, word.size()) != word || piece.size() <= word.size() + 1 ||
        piece[word.size()] != ' ') {
        return false;
    }
    const std::string rest(piece.substr(word.size() + 1));
    const char* at = rest.c_str();
    char* end = nullptr;
    if (*at < '0' || *at > '9') return false;
    first = std::strtoull(at, &end, 10);
    if (second == nullptr) return *end == '\0';
    if (*end != ' ') return false;
    at = end + 1;
    if ((*at < '0' || *at > '9') && *at != '-') return false;
    *second = std::strtoll(at, &end, 10);
    return *end == '\0';
}

}  // namespace

std::optional<Instruction> parseMarker(std::string_view piece) {
    FrameMarker frame;
    if (readMarker(piece, "frame", frame.frame, &frame.flushMs)) return frame;
    PartStart part;
    if (readMarker(piece, "part", part.part, nullptr)) return part;
    return std::nullopt;
}

namespace {

std::optional<Instruction> readWords(const Words& words) {
    const auto& w = words.word;
    const auto has = [&](size_t fields) { return words.count >= fields; };
    const std::string_view kind = w[0];
    if (kind == "load_bitmap" && has(3)) return LoadBitmap{std::string(w[1]), std::string(w[2])};
    if ((kind == "draw_sprite" || kind == "draw_sprite_v_flip") && has(5)) {
        return DrawSprite{std::string(w[1]), std::string(w[2]), toInt(w[3]), toInt(w[4]),
                          kind == "draw_sprite_v_flip"};
    }
    if (kind == "create_bitmap" && has(4)) {
        return CreateBitmap{std::string(w[1]), toInt(w[2]), toInt(w[3])};
    }
    if (kind == "destroy_bitmap" && has(2)) return DestroyBitmap{std::string(w[1])};
    if (kind == "blit" && has(9)) {
        return Blit{std::string(w[1]), std::string(w[2]), toInt(w[3]), toInt(w[4]),
                    toInt(w[5]),       toInt(w[6]),       toInt(w[7]), toInt(w[8])};
    }
    if (kind == "play_sound" && has(2)) return PlaySound{std::string(w[1])};
    if (kind == "play_music" && has(2)) return PlayMusic{std::string(w[1])};
    if (kind == "stop_music") return StopMusic{};
    return std::nullopt;
}

// printf into a buffer of kMaxInstructionLength + 1; "" when the text would not fit.
std::string formatChecked(const char* format, ...) {
    char buffer[kMaxInstructionLength + 1];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (length < 0 || static_cast<size_t>(length) > kMaxInstructionLength) return std::string();
    return std::string(buffer, static_cast<size_t>(length));
}

template <typename... Words>
bool allValid(const Words&... words) {
    return (isValidInstructionWord(words) && ...);
}

struct Writer {
    std::string operator()(const LoadBitmap& i) const {
        if (!allValid(i.name, i.path)) return {};
        return formatChecked("load_bitmap %s %s", i.name.c_str(), i.path.c_str());
    }
    std::string operator()(const CreateBitmap& i) const {
        if (!allValid(i.name)) return {};
        return formatChecked("create_bitmap %s %d %d", i.name.c_str(), i.width, i.height);
    }
    std::string operator()(const DestroyBitmap& i) const {
        if (!allValid(i.name)) return {};
        return formatChecked("destroy_bitmap %s", i.name.c_str());
    }
    std::string operator()(const DrawSprite& i) const {
        if (!allValid(i.target, i.sprite)) return {};
        return formatChecked("%s %s %s %d %d", i.flipped ? "draw_sprite_v_flip" : "draw_sprite",
                             i.target.c_str(), i.sprite.c_str(), i.x, i.y);
    }
    std::string operator()(const Blit& i) const {
        if (!allValid(i.source, i.target)) return {};
        return formatChecked("blit %s %s %d %d %d %d %d %d", i.source.c_str(), i.target.c_str(),
                             i.sourceX, i.sourceY, i.targetX, i.targetY, i.width, i.height);
    }
    std::string operator()(const PlaySound& i) const {
        if (!allValid(i.path)) return {};
        return formatChecked("play_sound %s", i.path.c_str());
    }
    std::string operator()(const PlayMusic& i) const {
        if (!allValid(i.path)) return {};
        return formatChecked("play_music %s", i.path.c_str());
    }
    std::string operator()(const StopMusic&) const { return "stop_music"; }
    std::string operator()(const FrameMarker& i) const {
        return "frame " + std::to_string(i.frame) + " " + std::to_string(i.flushMs);
    }
    std::string operator()(const PartStart& i) const { return "part " + std::to_string(i.part); }
};

}  // namespace

bool isValidInstructionWord(std::string_view word) {
    // The blanks and the separator end a word; a zero byte would end the written text's field.
    constexpr std::string_view kNotInAWord(" \t\r\n\v\f;\0", 8);
    return !word.empty() && word.size() <= kMaxFieldLength &&
           word.find_first_of(kNotInAWord) == std::string_view::npos;
}

std::optional<Instruction> parseInstruction(std::string_view piece) {
    if (std::optional<Instruction> marker = parseMarker(piece)) return marker;
    const std::optional<Words> words = splitWords(piece);
    if (!words || words->count == 0) return std::nullopt;
    return readWords(*words);
}

std::string formatInstruction(const Instruction& instruction) {
    return std::visit(Writer{}, instruction);
}

bool holdsBitmapChange(std::string_view text) {
    bool found = false;
    forEachPiece(text, [&](std::string_view piece, bool) {
        const std::optional<Instruction> instruction = parseInstruction(piece);
        found = instruction && changesBitmapTable(*instruction);
        return !found;
    });
    return found;
}
