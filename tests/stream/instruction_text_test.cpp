#include "stream/instruction_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every kind, written and read back: the reader is the writer's inverse.
TEST(InstructionText, EveryKindReadsBackAsItWasWritten) {
    const std::vector<Instruction> all{
        LoadBitmap{"bg", "Img/menu/bg.jpg"},
        CreateBitmap{"buffer", 640, 480},
        DestroyBitmap{"buffer"},
        DrawSprite{"screen", "bitmap3", -12, 400, false},
        DrawSprite{"screen", "bitmap3", 5, -7, true},
        Blit{"mapaVisual", "bufferVisual", 1, 2, -3, 4, 640, 480},
        PlaySound{"Img/Som/pulo.wav"},
        PlayMusic{"Img/Som/musica_menu.wav"},
        StopMusic{},
        FrameMarker{42, -17},
        PartStart{7},
    };
    for (const Instruction& instruction : all) {
        const std::string text = formatInstruction(instruction);
        ASSERT_FALSE(text.empty()) << instruction.index();
        const std::optional<Instruction> read = parseInstruction(text);
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(formatInstruction(*read), text);
        EXPECT_EQ(read->index(), instruction.index()) << text;
    }
    EXPECT_EQ(formatInstruction(DrawSprite{"a", "b", 1, 2, true}), "draw_sprite_v_flip a b 1 2");
    EXPECT_EQ(formatInstruction(FrameMarker{3, 1000}), "frame 3 1000");
}

// What the receivers always accepted: any blanks, words past the kind's, numbers as atoi reads
// them, clamped to the int range.
TEST(InstructionText, ReadsAsForgivinglyAsTheReceiversAlwaysDid) {
    const auto blit = parseInstruction(" \tblit  a\r\nb 1 2 3 4 5 6 extra words ");
    ASSERT_TRUE(blit);
    const Blit& b = std::get<Blit>(*blit);
    EXPECT_EQ(b.source, "a");
    EXPECT_EQ(b.target, "b");
    EXPECT_EQ(b.height, 6);

    const auto create = parseInstruction("create_bitmap x 12abc zz");
    ASSERT_TRUE(create);
    EXPECT_EQ(std::get<CreateBitmap>(*create).width, 12);
    EXPECT_EQ(std::get<CreateBitmap>(*create).height, 0);

    const auto far = parseInstruction("draw_sprite s t 99999999999 -99999999999");
    ASSERT_TRUE(far);
    EXPECT_EQ(std::get<DrawSprite>(*far).x, INT32_MAX);
    EXPECT_EQ(std::get<DrawSprite>(*far).y, INT32_MIN);
}

TEST(InstructionText, RefusesWhatNoKindReads) {
    const std::string longWord(kMaxFieldLength + 1, 'n');
    for (const std::string& piece : {
             std::string(),
             std::string("   "),
             std::string("unknown_kind a b"),
             std::string("Blit a b 1 2 3 4 5 6"),
             std::string("blit a b 1 2 3 4 5"),
             std::string("load_bitmap name"),
             std::string("destroy_bitmap"),
             "destroy_bitmap " + longWord,
             "draw_sprite a b 1 2 " + longWord,
             // The markers are exact: one space, digits, nothing more.
             std::string("frame 1"),
             std::string("frame  1 2"),
             std::string("frame 1 2 3"),
             std::string("frame x 2"),
             std::string("part -1"),
             std::string("part 1 "),
             std::string("partial 1"),
         }) {
        EXPECT_FALSE(parseInstruction(piece)) << '"' << piece << '"';
    }
    EXPECT_TRUE(parseInstruction("destroy_bitmap " + std::string(kMaxFieldLength, 'n')));
}

TEST(InstructionText, WritesNothingThatCouldNotBeReadBack) {
    EXPECT_EQ(formatInstruction(LoadBitmap{"has blank", "Img/a.bmp"}), "");
    EXPECT_EQ(formatInstruction(DestroyBitmap{"semi;colon"}), "");
    EXPECT_EQ(formatInstruction(PlaySound{""}), "");
    EXPECT_EQ(formatInstruction(LoadBitmap{std::string("\0x", 2), "b"}), "")
        << "a zero byte would cut the field short";
    EXPECT_EQ(formatInstruction(DestroyBitmap{std::string(kMaxFieldLength + 1, 'n')}), "");
    const std::string longest(kMaxFieldLength, 'n');
    EXPECT_EQ(formatInstruction(Blit{longest, longest, 1, 1, 1, 1, 1, 1}), "")
        << "longer than an instruction may be";
}

TEST(InstructionText, PiecesAreWhatLiesBetweenTheSeparators) {
    std::vector<std::pair<std::string, bool>> seen;
    forEachPiece("a;;b c;", [&](std::string_view piece, bool separated) {
        seen.emplace_back(std::string(piece), separated);
        return true;
    });
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, bool>>{
                        {"a", true}, {"", true}, {"b c", true}, {"", false}}));

    int calls = 0;
    EXPECT_FALSE(forEachPiece("a;b;c", [&](std::string_view, bool) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2) << "stops when asked";

    std::vector<size_t> kinds;
    forEachInstruction("frame 1 2;nonsense;stop_music;blit a b 0 0 0 0 1 1",
                       [&](const Instruction& instruction, std::string_view) {
                           kinds.push_back(instruction.index());
                       });
    EXPECT_EQ(kinds.size(), 3u) << "the unreadable piece is skipped";
}

// What a receiver must never miss is decided by reading the pieces, not by searching the text.
TEST(InstructionText, ABitmapChangeIsAPieceThatLoadsCreatesOrDestroys) {
    EXPECT_TRUE(holdsBitmapChange("blit a b 0 0 0 0 1 1;create_bitmap n 1 1;"));
    EXPECT_TRUE(holdsBitmapChange("  destroy_bitmap\tn"));
    EXPECT_FALSE(holdsBitmapChange("blit load_bitmap destroy_bitmap 0 0 0 0 1 1;"));
    EXPECT_FALSE(holdsBitmapChange("load_bitmap onlyaname;frame 1 1;"));
    EXPECT_FALSE(holdsBitmapChange(""));
}

}  // namespace
