#include "stream/delta_packing.h"

#include "stream/instruction_text.h"

namespace {

constexpr size_t kMaxDigits = 15;
constexpr long long kNumberBound = 999'999'999'999'999;  // the largest of kMaxDigits digits

// The value of `word` when it is written as a plain integer: an optional "-", then one to
// `maxDigits` digits without a leading zero ("-0" is not plain).
std::optional<long long> plainInteger(std::string_view word, size_t maxDigits = kMaxDigits) {
    const bool negative = !word.empty() && word.front() == '-';
    const std::string_view digits = negative ? word.substr(1) : word;
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    if (digits.front() == '0' && (digits.size() > 1 || negative)) return std::nullopt;
    long long value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

// A difference as the packed form writes it: empty, or "+N" / "-N" with N plain and not zero (one
// digit more than a number: two numbers may differ by that much).
std::optional<long long> difference(std::string_view word) {
    if (word.empty()) return 0;
    if (word.front() != '+' && word.front() != '-') return std::nullopt;
    const std::optional<long long> size = plainInteger(word.substr(1), kMaxDigits + 1);
    if (!size || *size == 0) return std::nullopt;
    return word.front() == '-' ? -*size : *size;
}

std::string differenceText(long long from, long long to) {
    if (from == to) return std::string();
    return (to > from ? "+" : "") + std::to_string(to - from);
}

}  // namespace

std::optional<NumberMemory::Numbered> NumberMemory::read(std::string_view instruction) {
    if (instruction.size() > kMaxNumberedLength) return std::nullopt;
    Numbered found;
    size_t keyEnd = instruction.size();
    while (found.numbers.size() < kMaxNumbers) {
        const size_t blank = instruction.rfind(' ', keyEnd == 0 ? 0 : keyEnd - 1);
        if (keyEnd == 0 || blank == std::string_view::npos) break;
        const std::optional<long long> value =
            plainInteger(instruction.substr(blank + 1, keyEnd - blank - 1));
        if (!value) break;
        found.numbers.insert(found.numbers.begin(), *value);
        keyEnd = blank;
    }
    if (found.numbers.empty() || keyEnd == 0 || instruction.front() == '#') return std::nullopt;
    found.key = instruction.substr(0, keyEnd);
    return found;
}

const std::vector<long long>* NumberMemory::find(std::string_view key) const {
    const auto known = numbersOf.find(std::string(key));
    return known == numbersOf.end() ? nullptr : &known->second;
}

void NumberMemory::remember(const Numbered& instruction) {
    const std::string key(instruction.key);
    const auto known = numbersOf.find(key);
    if (known != numbersOf.end()) {
        known->second = instruction.numbers;
        return;
    }
    if (numbersOf.size() >= kMaxKeys) numbersOf.clear();
    numbersOf.emplace(key, instruction.numbers);
}

std::string DeltaPacker::pack(std::string_view text) {
    std::string packed;
    packed.reserve(text.size());
    forEachPiece(text, [&](std::string_view instruction, bool more) {
        const std::optional<NumberMemory::Numbered> numbered = NumberMemory::read(instruction);
        const std::vector<long long>* before = numbered ? memory.find(numbered->key) : nullptr;
        if (before && before->size() == numbered->numbers.size()) {
            packed += '#';
            packed += numbered->key;
            packed += ' ';
            for (size_t i = 0; i < before->size(); ++i) {
                if (i > 0) packed += ',';
                packed += differenceText((*before)[i], numbered->numbers[i]);
            }
        } else {
            if (!instruction.empty() && instruction.front() == '#') packed += '#';
            packed += instruction;
        }
        if (numbered) memory.remember(*numbered);
        if (more) packed += kPieceSeparator;
        return true;
    });
    return packed;
}

std::optional<std::string> DeltaUnpacker::unpack(std::string_view packed, size_t maxBytes) {
    if (broken) return std::nullopt;
    std::string text;
    const bool whole = forEachPiece(packed, [&](std::string_view piece, bool more) {
        const size_t start = text.size();
        if (piece.size() >= 2 && piece[0] == '#' && piece[1] == '#') {
            text += piece.substr(1);
        } else if (!piece.empty() && piece[0] == '#') {
            const size_t blank = piece.rfind(' ');
            if (blank == std::string_view::npos) return false;
            const std::string_view key = piece.substr(1, blank - 1);
            const std::vector<long long>* before = memory.find(key);
            if (!before) return false;
            text += key;
            std::string_view differences = piece.substr(blank + 1);
            for (size_t i = 0; i < before->size(); ++i) {
                const size_t comma = differences.find(',');
                const bool last = i + 1 == before->size();
                if (last != (comma == std::string_view::npos)) return false;
                const std::optional<long long> step = difference(differences.substr(0, comma));
                if (!step) return false;
                const long long value = (*before)[i] + *step;  // both within 16 digits
                if (value > kNumberBound || value < -kNumberBound) return false;
                text += ' ';
                text += std::to_string(value);
                if (!last) differences.remove_prefix(comma + 1);
            }
        } else {
            text += piece;
        }
        const std::optional<NumberMemory::Numbered> numbered =
            NumberMemory::read(std::string_view(text).substr(start));
        if (numbered) memory.remember(*numbered);
        if (more) text += kPieceSeparator;
        return text.size() <= maxBytes;
    });
    if (!whole) {
        broken = true;
        return std::nullopt;
    }
    return text;
}

void DeltaUnpacker::reset() {
    memory.clear();
    broken = false;
}
