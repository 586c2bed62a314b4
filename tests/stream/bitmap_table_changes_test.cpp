// Folding a run of batches must leave a receiver's bitmap table exactly as replaying the whole run
// would: the same names bound, each to the bitmap of the same instruction.
#include "stream/bitmap_table_changes.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "stream/interpreter.h"

namespace {

std::string joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces) text += piece + ";";
    return text;
}

// What a table shows for each name: unbound, bound to no bitmap, or a bitmap's size (every
// create below has a size of its own, so the size says which instruction made it).
std::string describe(const ListaBitmaps& table, const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += name + "=";
        if (!table.isBound(name)) {
            text += "-";
        } else if (BITMAP* bitmap = table.find(name)) {
            text += std::to_string(bitmap->w) + "x" + std::to_string(bitmap->h);
        } else {
            text += "null";
        }
        text += " ";
    }
    return text;
}

// A random run over a few names: creates (some failing), destroys, draws, unknown kinds.
std::vector<std::string> randomRun(std::mt19937& random, const std::vector<std::string>& names,
                                   int length, int& sizeSeed) {
    std::vector<std::string> run;
    for (int i = 0; i < length; ++i) {
        const std::string& name = names[random() % names.size()];
        switch (random() % 6) {
            case 0:
            case 1:
                run.push_back("create_bitmap " + name + " " + std::to_string(++sizeSeed) + " 3");
                break;
            case 2:
                run.push_back("destroy_bitmap " + name);
                break;
            case 3:
                run.push_back("create_bitmap " + name + " 0 3");  // bound to no bitmap
                break;
            case 4:
                run.push_back("draw_sprite screen " + name + " 1 1");
                break;
            default:
                run.push_back("frame " + std::to_string(i) + " 5");
        }
    }
    return run;
}

TEST(BitmapTableChanges, FoldedRunLeavesTheTableAsTheWholeRun) {
    BITMAP* window = create_bitmap(8, 8);
    const std::vector<std::string> names = {"a", "b", "c", "screen"};
    std::mt19937 random(7);
    int sizeSeed = 0;
    for (int trial = 0; trial < 300; ++trial) {
        ListaBitmaps whole(window);
        ListaBitmaps folded(window);
        const std::string before = joined(randomRun(random, names, 6, sizeSeed));
        executeBatch(whole, before);
        executeBatch(folded, before);
        ASSERT_EQ(describe(whole, names), describe(folded, names));

        const std::vector<std::string> run = randomRun(random, names, 1 + trial % 40, sizeSeed);
        BitmapTableChanges changes;
        // Batches of up to four pieces, as the recorder cuts them.
        for (size_t i = 0; i < run.size(); i += 4) {
            changes.absorb(joined({run.begin() + i, run.begin() + std::min(i + 4, run.size())}));
        }
        executeBatch(whole, joined(run));
        executeBatch(folded, joined(changes.pieces()));
        ASSERT_EQ(describe(whole, names), describe(folded, names))
            << "before: " << before << "\nrun: " << joined(run)
            << "\nfolded: " << joined(changes.pieces());
        EXPECT_LE(changes.pieces().size(), 2 * names.size());
    }
    destroy_bitmap(window);
}

TEST(BitmapTableChanges, KeepsLoadsAsRecordedAndIgnoresEverythingElse) {
    BitmapTableChanges changes;
    changes.absorb("load_bitmap fase Img/fase1.jpg;blit a b 0 0 0 0 1 1;load_bitmap;");
    changes.absorb("destroy_bitmap;create_bitmap x 5;load_bitmap fase Img/fase2.jpg;");
    EXPECT_EQ(changes.pieces(), std::vector<std::string>{"load_bitmap fase Img/fase1.jpg"})
        << "pieces lacking fields do nothing on a receiver, and the first load of a name wins";
    changes.absorb("destroy_bitmap fase;destroy_bitmap fase;load_bitmap fase Img/fase2.jpg;");
    EXPECT_EQ(changes.pieces(),
              (std::vector<std::string>{"destroy_bitmap fase", "load_bitmap fase Img/fase2.jpg"}));
    changes.clear();
    EXPECT_TRUE(changes.empty());
}

}  // namespace
