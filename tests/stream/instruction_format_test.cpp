#include "stream/instruction_format.h"

#include <gtest/gtest.h>

namespace {

TEST(InstructionFormat, WritesEachKindWithItsFieldsInOrder) {
    EXPECT_EQ(formatLoadBitmap("bg_integrantes", "Img/menu/bg_integrantes.jpg"),
              "load_bitmap bg_integrantes Img/menu/bg_integrantes.jpg");
    EXPECT_EQ(formatCreateBitmap("buffer_integrantes", 640, 480),
              "create_bitmap buffer_integrantes 640 480");
    EXPECT_EQ(formatDestroyBitmap("bitmap12"), "destroy_bitmap bitmap12");
    EXPECT_EQ(formatBlit("bg_integrantes", "buffer_integrantes", 0, 0, 0, 0, 640, 480),
              "blit bg_integrantes buffer_integrantes 0 0 0 0 640 480");
    EXPECT_EQ(formatDrawSprite("screen", "buffer_integrantes", 0, 0),
              "draw_sprite screen buffer_integrantes 0 0");
    EXPECT_EQ(formatDrawSpriteVFlip("bufferVisual", "bitmap3", 17, 5),
              "draw_sprite_v_flip bufferVisual bitmap3 17 5");
}

TEST(InstructionFormat, BlitKeepsSourceBeforeTargetAndSignedNumbers) {
    EXPECT_EQ(formatBlit("a", "b", -1, 2, -3, 4, -5, 6), "blit a b -1 2 -3 4 -5 6");
    EXPECT_EQ(formatDrawSprite("t", "s", -2147483647 - 1, 2147483647),
              "draw_sprite t s -2147483648 2147483647");
}

TEST(InstructionFormat, RefusesFieldsThatCouldNotBeReadBack) {
    const std::string longest(kMaxFieldLength, 'n');
    EXPECT_EQ(formatDestroyBitmap(longest), "destroy_bitmap " + longest);
    EXPECT_EQ(formatDestroyBitmap(longest + "n"), "");
    EXPECT_EQ(formatDestroyBitmap(""), "");
    for (const char* bad : {"two words", "semi;colon", "tab\tname", "line\nend"}) {
        EXPECT_EQ(formatCreateBitmap(bad, 1, 1), "") << bad;
        EXPECT_EQ(formatDrawSprite("screen", bad, 0, 0), "") << bad;
    }
}

TEST(InstructionFormat, RefusesInstructionsOverTheLengthLimit) {
    const std::string longest(kMaxFieldLength, 'n');
    // 12 + 51 + 1 + 51 = 115 characters: each field fits, the whole does not.
    EXPECT_EQ(formatLoadBitmap(longest, longest), "");
    EXPECT_EQ(formatBlit(longest, longest, 0, 0, 0, 0, 1, 1), "");
    const std::string source(36, 's');
    const std::string target(31, 't');
    const std::string text = formatBlit(source, target, -1000000, -1000000, 0, 0, 1, 1);
    EXPECT_EQ(text.size(), kMaxInstructionLength) << text;
    EXPECT_EQ(formatBlit(source, target, -10000000, -1000000, 0, 0, 1, 1), "")
        << "one more digit makes 100 characters";
}

}  // namespace
