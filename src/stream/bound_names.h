// BoundNames: the bitmap names a receiver's table holds after a run of batches, worked out from
// the batch texts alone, without loading anything. It follows the receiver's rules: "screen" is
// always bound and never released; a load_bitmap or create_bitmap piece binds its name unless the
// name is bound already; a destroy_bitmap piece unbinds it. (A receiver also binds the name of a
// create it refuses; a load that fails binds nothing, which this cannot know: it takes every load
// as found.)
//
// Measuring: a server writes what its recording leaves bound, a client what its table holds, both
// as lines "PICTURE NAME..." (formatBoundNames), and the long-session check compares them.
#pragma once

#include <cstdint>
#include <set>
#include <string>

class BoundNames {
  public:
    BoundNames();

    // Applies the bitmap pieces of one batch text (pieces separated by ";").
    void absorb(const std::string& batch);
    const std::set<std::string>& names() const { return bound; }
    // Whether the names changed since the last call (or since construction).
    bool takeChanged();

  private:
    std::set<std::string> bound;
    bool changed = true;
};

// "PICTURE NAME NAME...", the names in the order given, without a line end.
template <typename Names>
std::string formatBoundNames(uint64_t picture, const Names& names) {
    std::string line = std::to_string(picture);
    for (const std::string& name : names) line += " " + name;
    return line;
}
