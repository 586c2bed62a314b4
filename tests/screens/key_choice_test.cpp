// The TECLAS screen's rules: one player after the other, clashes and other actions' keys refused.
#include "screens/key_choice.h"

#include <allegro.h>
#include <gtest/gtest.h>

namespace {

TEST(KeyChoice, EachPlayerInTurnTakesAFreeKeyOrKeepsTheirs) {
    KeyChoice choice = startKeyChoice(defaultFlipKeys());
    EXPECT_TRUE(pressKey(choice, KEY_Z));
    EXPECT_EQ(choice.player, 1);
    EXPECT_TRUE(pressKey(choice, KEY_X)) << "player 1 gave X up";
    keepKey(choice);
    EXPECT_EQ(choice.keys[2].key, KEY_RIGHT);
    for (int p = 3; p < 6; ++p) keepKey(choice);
    EXPECT_TRUE(choiceDone(choice));
    EXPECT_FALSE(pressKey(choice, KEY_Q)) << "nobody is choosing any more";
    EXPECT_EQ(choice.keys[0].key, KEY_Z);
    EXPECT_EQ(choice.keys[0].alternativeKey, 0);
    EXPECT_EQ(choice.keys[1].key, KEY_X);
    EXPECT_EQ(choice.keys[4].alternativeKey, defaultFlipKeys()[4].alternativeKey);
}

TEST(KeyChoice, AClashNamesThePlayerAndTheTurnStays) {
    KeyChoice choice = startKeyChoice(defaultFlipKeys());
    EXPECT_FALSE(pressKey(choice, KEY_A));
    EXPECT_EQ(choice.clashWith, 4);
    EXPECT_FALSE(pressKey(choice, KEY_RCONTROL)) << "player 5's second key";
    EXPECT_EQ(choice.clashWith, 5);
    EXPECT_FALSE(pressKey(choice, KEY_3_PAD));
    EXPECT_EQ(choice.clashWith, 6);
    EXPECT_FALSE(pressKey(choice, KEY_P));
    EXPECT_EQ(choice.clashWith, kReservedClash);
    EXPECT_FALSE(pressKey(choice, KEY_ENTER));
    EXPECT_EQ(choice.player, 0);
    EXPECT_EQ(choice.keys[0].key, KEY_X);
    EXPECT_TRUE(pressKey(choice, KEY_X)) << "a player may press the key they have";
    EXPECT_EQ(choice.clashWith, 0) << "the refusal goes with the turn";
}

}  // namespace
