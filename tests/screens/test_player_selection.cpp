#include <gtest/gtest.h>

#include <set>

#include "platform/clock.h"
#include "platform/gamepads.h"
#include "platform/virtual_pad.h"
#include "screens/player_selection.h"
#include "screens/screen_fixture.h"

namespace {

using PlayerSelection = ScreenTest;

int columnOf(const SelectionState& state) { return state.cursorColumn(); }

SelectionState withTaken(std::initializer_list<int> columns, int cursorColumn) {
    SelectionState state;
    state.playerCount = 6;
    for (int c : columns) state.taken[c] = true;
    state.cursorX[0] = 67 + 85 * cursorColumn;
    return state;
}

TEST(SelectionRules, CursorsJumpTakenColumnsAndStopAtTheEnds) {
    SelectionState state = withTaken({1, 2}, 0);
    state.moveRight();
    EXPECT_EQ(columnOf(state), 3);
    state.moveLeft();
    EXPECT_EQ(columnOf(state), 0);
    state.moveLeft();
    EXPECT_EQ(columnOf(state), 0) << "Left at column 0";

    state = withTaken({4, 5}, 3);
    state.moveRight();
    EXPECT_EQ(columnOf(state), 3) << "no free column on the right";

    state = withTaken({}, 5);
    state.moveRight();
    EXPECT_EQ(columnOf(state), 5) << "Right at column 5";

    state = withTaken({0, 1}, 2);
    state.moveLeft();
    EXPECT_EQ(columnOf(state), 2) << "no free column on the left";
}

TEST(SelectionRules, NextCursorIsPlacedOnAFreeColumn) {
    SelectionState state;
    state.playerCount = 3;
    state.choose();  // player 1 takes column 0
    state.placeCursor();
    EXPECT_EQ(columnOf(state), 1);
    // Placement happens once: the player may then move back over it.
    state.cursorX[1] = 67 + 85 * 4;
    state.placeCursor();
    EXPECT_EQ(columnOf(state), 4);

    SelectionState other;
    other.playerCount = 2;
    other.cursorX[0] = 67 + 85 * 2;
    other.choose();
    other.placeCursor();
    EXPECT_EQ(columnOf(other), 0) << "column 0 is free, the cursor stays there";
    EXPECT_EQ(other.sprites[0], "Img/Jogo/player3a.bmp");
}

TEST(SelectionRules, SixPlayersChoosingInTurnNeverShareACharacter) {
    SelectionState state;
    state.playerCount = 6;
    const int rightPresses[] = {2, 0, 3, 0, 1, 0};
    for (int presses : rightPresses) {
        state.placeCursor();
        for (int i = 0; i < presses; ++i) state.moveRight();
        ASSERT_FALSE(state.taken[state.cursorColumn()]);
        state.choose();
    }
    EXPECT_TRUE(state.done());
    std::set<std::string> distinct(state.sprites.begin(), state.sprites.end());
    EXPECT_EQ(distinct.size(), 6u);
}

std::vector<std::string> expectedReleases() {
    std::vector<std::string> names{"buffer_selecao", "selecao"};
    for (int i = 1; i <= 6; ++i) names.push_back("img" + std::to_string(i));
    for (int i = 0; i <= 6; ++i) names.push_back("sel_" + std::to_string(i));
    for (int i = 1; i <= 6; ++i) names.push_back("sel_j" + std::to_string(i));
    for (int i = 1; i <= 6; ++i) names.push_back("sel_j" + std::to_string(i) + "_2");
    std::vector<std::string> records;
    for (const std::string& name : names) records.push_back("destroy_bitmap " + name);
    return records;
}

TEST_F(PlayerSelection, OnePlayerGetsTheChosenCharacterAndFiveEmptyEntries) {
    // The menu's Enter is still down on entry and must not choose.
    keys.down(0, KEY_ENTER).up(120, KEY_ENTER);
    keys.press(200, KEY_RIGHT).press(400, KEY_ENTER).start();
    const std::optional<SpriteList> sprites = runPlayerSelection(1);
    ASSERT_TRUE(sprites);
    EXPECT_EQ((*sprites)[0], "Img/Jogo/player2a.bmp");
    for (int i = 1; i < 6; ++i) EXPECT_EQ((*sprites)[i], "") << i;
    EXPECT_EQ(instructionsStartingWith("destroy_bitmap"), expectedReleases());
    EXPECT_EQ(instructionsStartingWith("load_bitmap").size(), 26u);
}

TEST_F(PlayerSelection, TwoPlayersChooseInTurnAndTheSecondStartsOnAFreeColumn) {
    keys.press(100, KEY_ENTER)  // player 1: column 0
        .press(300, KEY_RIGHT)  // player 2 starts on 1, moves to 2
        .press(500, KEY_LEFT)   // back to 1 (0 is taken)
        .press(700, KEY_LEFT)   // stays on 1
        .press(900, KEY_ENTER);
    keys.start();
    const std::optional<SpriteList> sprites = runPlayerSelection(2);
    ASSERT_TRUE(sprites);
    EXPECT_EQ((*sprites)[0], "Img/Jogo/player1a.bmp");
    EXPECT_EQ((*sprites)[1], "Img/Jogo/player2a.bmp");
}

TEST_F(PlayerSelection, ThePadThatConfirmsACharacterBecomesThatPlayersAndTheKeyboardKeepsNone) {
    PumpedGamepads pads;
    ASSERT_TRUE(pads.started) << SDL_GetError();
    {
        VirtualPad first, second;
        pumpGamepads();
        giveGamepadToPlayer(1, 2);  // from an earlier selection
        const auto press = [this](int64_t atMs, VirtualPad& pad, PadButton button) {
            keys.call(atMs,
                      [&pad, button] {
                          pad.hold(button);
                          pumpGamepads();
                      })
                .call(atMs + 100, [&pad, button] {
                    pad.release(button);
                    pumpGamepads();
                });
        };
        press(100, second, PadButton::A);         // player 1: column 0, with pad 2
        press(300, first, PadButton::DpadRight);  // player 2 starts on 1, moves to 2
        keys.press(500, KEY_ENTER);               // and chooses with the keyboard
        press(700, first, PadButton::A);          // player 3: column 1, with pad 1
        keys.start();
        const std::optional<SpriteList> sprites = runPlayerSelection(3);
        ASSERT_TRUE(sprites);
        EXPECT_EQ((*sprites)[0], "Img/Jogo/player1a.bmp");
        EXPECT_EQ((*sprites)[1], "Img/Jogo/player3a.bmp");
        EXPECT_EQ((*sprites)[2], "Img/Jogo/player2a.bmp");
        EXPECT_EQ(gamepadNumberOfPlayer(1), 2);
        EXPECT_EQ(gamepadNumberOfPlayer(2), 0) << "chose with the keyboard";
        EXPECT_EQ(gamepadNumberOfPlayer(3), 1);
    }
}

TEST_F(PlayerSelection, EscapeBacksOutReleasingAllBitmaps) {
    keys.press(100, KEY_ENTER).down(400, KEY_ESC).start();
    EXPECT_FALSE(runPlayerSelection(3));
    EXPECT_EQ(key[KEY_ESC], 0);
    EXPECT_EQ(instructionsStartingWith("destroy_bitmap"), expectedReleases());

    // Escape already down on entry: no frame at all.
    batches.clear();
    KeyScript::stop();
    KeyScript atOnce;
    atOnce.down(0, KEY_ESC).start();
    EXPECT_FALSE(runPlayerSelection(2));
    EXPECT_EQ(clockMs(), 0);
    EXPECT_EQ(countOf("draw_sprite screen buffer_selecao 0 0"), 0u);
    EXPECT_EQ(instructionsStartingWith("destroy_bitmap"), expectedReleases());
}

TEST_F(PlayerSelection, FramesAreRecordedInDrawingOrder) {
    keys.press(100, KEY_ENTER).down(200, KEY_ESC).start();
    runPlayerSelection(2);
    // The frame at 153 saw player 1 choose column 0; it shows player 2's cursor still in column 0
    // (placement comes after the cursor is drawn), column 0 taken and the number 2.
    const std::vector<std::string> all = instructions();
    std::vector<std::string> frame;
    size_t start = 0;
    for (size_t i = 0, frames = 0; i < all.size(); ++i) {
        if (all[i] == "blit selecao buffer_selecao 0 0 0 0 640 480" && ++frames == 3) start = i;
    }
    ASSERT_GT(start, 0u);
    frame.assign(all.begin() + start, all.begin() + start + 15);
    const std::vector<std::string> expected{
        "blit selecao buffer_selecao 0 0 0 0 640 480",
        "blit sel_0 buffer_selecao 0 0 67 339 80 80",
        "blit sel_0 buffer_selecao 0 0 152 339 80 80",
        "blit sel_0 buffer_selecao 0 0 237 339 80 80",
        "blit sel_0 buffer_selecao 0 0 322 339 80 80",
        "blit sel_0 buffer_selecao 0 0 407 339 80 80",
        "blit sel_0 buffer_selecao 0 0 492 339 80 80",
        "blit sel_2 buffer_selecao 0 0 67 339 80 80",
        "blit sel_j1_2 buffer_selecao 0 0 72 344 70 70",
        "blit sel_j2 buffer_selecao 0 0 157 344 70 70",
        "blit sel_j3 buffer_selecao 0 0 242 344 70 70",
        "blit sel_j4 buffer_selecao 0 0 327 344 70 70",
        "blit sel_j5 buffer_selecao 0 0 412 344 70 70",
        "blit sel_j6 buffer_selecao 0 0 497 344 70 70",
        "blit img2 buffer_selecao 0 0 255 294 19 33",
    };
    EXPECT_EQ(frame, expected);
}

TEST_F(PlayerSelection, ReplayingTheRecordsDrawsTheSameScreen) {
    keys.press(100, KEY_RIGHT).press(300, KEY_ENTER).press(500, KEY_RIGHT).down(700, KEY_ESC);
    keys.start();
    runPlayerSelection(3);
    // Player 2's cursor frame shows around column 2, the taken portrait of column 1.
    EXPECT_TRUE(looksLike(window, 314, 416, pictureColour("Img/menu/sel_2.jpg")));
    EXPECT_TRUE(looksLike(window, 200, 390, pictureColour("Img/menu/sel_j2_2.jpg")));
    EXPECT_TRUE(looksLike(window, 270, 316, pictureColour("Img/menu/img2.jpg")));
    BITMAP* replayed = replayOnto(windowAtStart);
    EXPECT_EQ(differingPixels(window, replayed), 0);
    destroy_bitmap(replayed);
}

TEST_F(PlayerSelection, MissingPortraitIsReportedAndTheScreenStillWorks) {
    removePicture("Img/menu/sel_j3.jpg");
    keys.press(100, KEY_ENTER).start();
    testing::internal::CaptureStdout();
    const std::optional<SpriteList> sprites = runPlayerSelection(1);
    const std::string console = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(sprites);
    EXPECT_NE(console.find("Img/menu/sel_j3.jpg"), std::string::npos) << console;
}

}  // namespace
