// Delta packing: the texts of a viewer's compressed fetch with each instruction's numbers written
// as their differences from the numbers the same instruction had last time, before deflating.
//
// A picture repeats the instructions of the one before it with a few numbers moved: a runner 10
// pixels on, the stage scrolled by 10, the next frame number and time. Deflate finds the repeated
// names but not numbers that differ each time; their differences ("+10") repeat as well, and a
// race picture deflates to about a third of its size.
//
// The form, instruction by instruction (the pieces between ";"):
// - An instruction's numbers are its last words that are plain integers (an optional "-", then
//   digits without a leading zero: at most 15 of them), kMaxNumbers at most; its key is the text
//   before them, which must not be empty nor start with "#". Only instructions of at most
//   kMaxNumberedLength characters count.
// - Each end remembers, for each key, the numbers of its latest instruction: kMaxKeys keys at
//   most, and once that many are remembered a new key first makes both ends forget them all.
// - An instruction whose key is remembered with as many numbers goes as "#KEY D1,D2,...", each D
//   the difference from the remembered number: empty for none, else "+N" or "-N".
// - Any other instruction goes as it is, with one more "#" before it when it starts with "#".
//
// Both ends update their memory from each instruction as it was, so they agree as long as the
// unpacker reads every packed text of the stream, in order, from its start.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What both ends remember: the latest numbers of each key.
class NumberMemory {
  public:
    static constexpr size_t kMaxKeys = 512;
    static constexpr size_t kMaxNumbers = 16;
    static constexpr size_t kMaxNumberedLength = 256;

    struct Numbered {
        std::string_view key;
        std::vector<long long> numbers;
    };
    // The key and numbers of `instruction`, nothing when it has none that count.
    static std::optional<Numbered> read(std::string_view instruction);

    // The numbers remembered for `key`; nullptr when none are.
    const std::vector<long long>* find(std::string_view key) const;
    void remember(const Numbered& instruction);
    void clear() { numbersOf.clear(); }

  private:
    std::unordered_map<std::string, std::vector<long long>> numbersOf;
};

class DeltaPacker {
  public:
    std::string pack(std::string_view text);

  private:
    NumberMemory memory;
};

class DeltaUnpacker {
  public:
    // The text that was packed; nothing when `packed` is no packer's continuation of what this
    // unpacker read before, or would unpack to more than `maxBytes`. After a failure the unpacker
    // reads nothing more until reset.
    std::optional<std::string> unpack(std::string_view packed, size_t maxBytes);
    // The stream starts afresh.
    void reset();

  private:
    NumberMemory memory;
    bool broken = false;
};
