// BitmapTableChanges: the net effect of a run of batches on a receiver's table of named bitmaps.
//
// A receiver that cannot be given every batch in time (it stopped fetching) must still end up with
// the same bitmap names as the server. Its batches are absorbed here instead: drawing pieces are
// left out, and the load_bitmap, create_bitmap and destroy_bitmap pieces are folded name by name
// into at most two pieces each, which replayed give the table the same names bound to the same
// files as the whole run would have. The memory held is bounded by the number of names, not by
// the length of the run.
//
// The folding follows the receiver's rule that the first binding of a name wins until the name is
// destroyed: after the last destroy of a name only its first load or create counts; with no
// destroy, only its first load or create counts.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

class BitmapTableChanges {
  public:
    // Folds in the bitmap pieces of one batch text (pieces separated by ";").
    void absorb(const std::string& batch);
    bool empty() const { return order.empty(); }
    // The folded pieces, each an instruction text without ";", names in the order first seen.
    std::vector<std::string> pieces() const;
    // The load and create pieces alone, in the same order: what a table may not hold yet (a table
    // that holds a name already keeps its own binding).
    std::vector<std::string> bindings() const;
    void clear();

  private:
    struct NameChange {
        bool destroyed = false;  // a destroy comes first: the receiver's old binding goes
        std::string bind;        // the load or create piece that binds the name afterwards
    };
    std::unordered_map<std::string, NameChange> changes;
    std::vector<std::string> order;
};
