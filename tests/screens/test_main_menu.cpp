#include <gtest/gtest.h>

#include "platform/clock.h"
#include "screens/main_menu.h"
#include "screens/screen_fixture.h"

namespace {

class MainMenu : public ScreenTest {
  protected:
    // Applies one frame's rules with `keysDown` held, starting on `from`; returns the new item.
    int afterKeys(int from, std::initializer_list<int> keysDown, MenuAction* action = nullptr) {
        clearAllKeys();
        for (int code : keysDown) key[code] = 1;
        int item = from;
        const MenuAction result = applyMenuRules(item, memory);
        if (action) *action = result;
        clearAllKeys();
        return item;
    }

    MenuMemory memory;
};

TEST_F(MainMenu, ArrowKeysFollowTheNavigationGraph) {
    struct Move {
        int from, scancode, to;
    };
    const Move moves[] = {
        {1, KEY_RIGHT, 2},
        {5, KEY_RIGHT, 6},
        {6, KEY_RIGHT, 6},
        {2, KEY_LEFT, 1},
        {6, KEY_LEFT, 5},
        {1, KEY_LEFT, 1},
        {1, KEY_DOWN, 7},
        {6, KEY_DOWN, 7},
        {7, KEY_DOWN, 8},
        {8, KEY_DOWN, 9},
        {9, KEY_DOWN, 9},
        {8, KEY_UP, 7},
        {9, KEY_UP, 8},
        {1, KEY_UP, 1},
        {4, KEY_UP, 4},
        {7, KEY_LEFT, 7},
        // The stages item, right of the instructions.
        {8, KEY_RIGHT, 11},
        {11, KEY_LEFT, 8},
        {11, KEY_UP, 10},
        {11, KEY_DOWN, 9},
        {11, KEY_RIGHT, 11},
        {9, KEY_LEFT, 9},
        // The keys item, right of the credits.
        {7, KEY_RIGHT, 10},
        {10, KEY_LEFT, 7},
        {10, KEY_RIGHT, 10},
        {10, KEY_DOWN, 8},
        {10, KEY_UP, 3},
    };
    for (const Move& move : moves) {
        memory.lastPlayerCount = 3;
        EXPECT_EQ(afterKeys(move.from, {move.scancode}), move.to)
            << "from " << move.from << " with scan code " << move.scancode;
    }
}

TEST_F(MainMenu, LeftAndRightRememberThePlayerCountForUpFromCredits) {
    memory.lastPlayerCount = 1;
    EXPECT_EQ(afterKeys(4, {KEY_RIGHT}), 5);
    EXPECT_EQ(memory.lastPlayerCount, 5);
    EXPECT_EQ(afterKeys(5, {KEY_LEFT}), 4);
    EXPECT_EQ(memory.lastPlayerCount, 4);
    EXPECT_EQ(afterKeys(4, {KEY_DOWN}), 7);
    EXPECT_EQ(memory.lastPlayerCount, 4) << "Down does not touch it";
    EXPECT_EQ(afterKeys(7, {KEY_UP}), 4);
    // Left or Right that does nothing leaves it alone.
    EXPECT_EQ(afterKeys(6, {KEY_RIGHT}), 6);
    EXPECT_EQ(memory.lastPlayerCount, 4);
}

TEST_F(MainMenu, OnlyTheFirstMatchingRuleActs) {
    memory.lastPlayerCount = 2;
    EXPECT_EQ(afterKeys(3, {KEY_DOWN, KEY_RIGHT}), 7);
    EXPECT_EQ(memory.lastPlayerCount, 2);
    MenuAction action;
    EXPECT_EQ(afterKeys(2, {KEY_RIGHT, KEY_ENTER}, &action), 3);
    EXPECT_EQ(action, MenuAction::None);
    EXPECT_EQ(afterKeys(7, {KEY_UP, KEY_ENTER}, &action), 3) << "Right from 2 stored 3";
    EXPECT_EQ(action, MenuAction::None);
    // Up on item 1 matches no rule, so Enter chooses it.
    EXPECT_EQ(afterKeys(1, {KEY_UP, KEY_ENTER}, &action), 1);
    EXPECT_EQ(action, MenuAction::Choose);

    const std::pair<int, MenuAction> enterOn[] = {
        {1, MenuAction::Choose},       {6, MenuAction::Choose}, {7, MenuAction::Credits},
        {8, MenuAction::Instructions}, {9, MenuAction::Leave},  {10, MenuAction::Keys},
        {11, MenuAction::Stages},
    };
    for (auto [item, expected] : enterOn) {
        afterKeys(item, {KEY_ENTER}, &action);
        EXPECT_EQ(action, expected) << "Enter on " << item;
    }
}

std::vector<std::string> expectedReleases() {
    std::vector<std::string> names{"menu", "chooseplayer", "chooseplayer_2"};
    for (int i = 1; i <= 6; ++i) names.push_back("img" + std::to_string(i) + "_menu");
    for (int i = 1; i <= 6; ++i) names.push_back("img" + std::to_string(i) + "_2");
    for (const char* n :
         {"instrucoes", "instrucoes_2", "integrantes", "integrantes_2", "sairdojogo",
          "sairdojogo_2", "teclas", "teclas_2", "fases", "fases_2", "buffer_menu"}) {
        names.push_back(n);
    }
    std::vector<std::string> records;
    for (const std::string& name : names) records.push_back("destroy_bitmap " + name);
    return records;
}

TEST_F(MainMenu, EveryWayOutGivesItsResultAndReleasesAllBitmaps) {
    struct Way {
        const char* what;
        std::function<void(KeyScript&)> script;
        int result;
    };
    const Way ways[] = {
        {"Enter at once", [](KeyScript& k) { k.down(0, KEY_ENTER); }, 1},
        {"Right Right Enter",
         [](KeyScript& k) { k.press(100, KEY_RIGHT).press(300, KEY_RIGHT).down(500, KEY_ENTER); },
         3},
        {"Esc", [](KeyScript& k) { k.press(200, KEY_RIGHT).down(400, KEY_ESC); }, 9},
        {"Enter on leave",
         [](KeyScript& k) {
             k.press(100, KEY_DOWN).press(300, KEY_DOWN).press(500, KEY_DOWN).down(700, KEY_ENTER);
         },
         9},
    };
    for (const Way& way : ways) {
        batches.clear();
        keys = KeyScript();
        way.script(keys);
        keys.start(20000);
        EXPECT_EQ(runMainMenu(memory), way.result) << way.what;
        EXPECT_TRUE(key[KEY_ENTER] || key[KEY_ESC]) << way.what << ": the ending press stays down";
        EXPECT_EQ(instructionsStartingWith("destroy_bitmap"), expectedReleases()) << way.what;
        EXPECT_EQ(instructionsStartingWith("load_bitmap").size(), 25u) << way.what;
        EXPECT_EQ(instructions().front(), "load_bitmap menu Img/menu/menu.jpg") << way.what;
        KeyScript::stop();
    }
}

TEST_F(MainMenu, ThePlayerCountReachedIsRememberedAcrossCalls) {
    keys.press(100, KEY_RIGHT).press(250, KEY_RIGHT).press(400, KEY_RIGHT).down(600, KEY_ENTER);
    keys.start();
    EXPECT_EQ(runMainMenu(memory), 4);
    KeyScript::stop();

    // The next menu starts on item 1; Down then Up leads to 4.
    KeyScript again;
    again.press(100, KEY_DOWN).press(250, KEY_UP).down(400, KEY_ENTER).start();
    batches.clear();
    EXPECT_EQ(runMainMenu(memory), 4);
    // Its first frame highlighted item 1.
    const std::vector<std::string> blits = instructionsStartingWith("blit");
    ASSERT_GE(blits.size(), 11u);
    EXPECT_EQ(blits[2], "blit img1_2 buffer_menu 0 0 304 294 13 33");
}

TEST_F(MainMenu, CreditsAndInstructionsOpenInPlace) {
    keys.press(100, KEY_DOWN)
        .press(250, KEY_ENTER)  // credits
        .press(600, KEY_ESC)    // back to the menu
        .press(800, KEY_DOWN)   // item 8
        .press(950, KEY_ENTER)  // instructions
        .press(1300, KEY_ESC)
        .press(1500, KEY_UP)  // 7
        .press(1650, KEY_UP)  // the last player count, 1
        .down(1800, KEY_ENTER);
    keys.start();
    EXPECT_EQ(runMainMenu(memory), 1);
    EXPECT_EQ(countOf("load_bitmap bg_integrantes Img/menu/bg_integrantes.jpg"), 1u);
    EXPECT_EQ(countOf("load_bitmap bg_instrucoes Img/menu/bg_instrucoes.jpg"), 1u);

    // Right after the credits screen, the menu frame shows item 7 still highlighted.
    const std::vector<std::string> all = instructions();
    size_t after = 0;
    while (after < all.size() && all[after] != "destroy_bitmap bg_integrantes") ++after;
    ASSERT_LT(after, all.size());
    EXPECT_EQ(all[after + 1], "blit menu buffer_menu 0 0 0 0 640 480");
    EXPECT_EQ(instructionsStartingWith("blit integrantes", after).front(),
              "blit integrantes_2 buffer_menu 0 0 130 340 122 33");
}

TEST_F(MainMenu, FramesComeMoreThanSixtyMillisecondsApart) {
    keys.down(1000, KEY_ESC).start();
    EXPECT_EQ(runMainMenu(memory), 9);
    // Frames at 61, 122, ... 1037: Esc is looked at before each wait, so the press at 1000 ends
    // the menu after the seventeenth frame.
    EXPECT_EQ(clockMs(), 1037);
}

TEST_F(MainMenu, DrawsOnlyWhenWhatItShowsChanges) {
    // Two moves and a visit to the credits in seventeen frames: the picture at the start, after
    // each move and on the way back from the credits, and never in between.
    keys.press(100, KEY_RIGHT).press(400, KEY_LEFT).press(500, KEY_DOWN);
    keys.press(600, KEY_ENTER).press(700, KEY_ESC).down(1000, KEY_ESC).start();
    EXPECT_EQ(runMainMenu(memory), 9);
    EXPECT_EQ(countOf("draw_sprite screen buffer_menu 0 0"), 5u);
}

TEST_F(MainMenu, ReplayingTheRecordsDrawsTheSameMenu) {
    keys.press(100, KEY_RIGHT).press(250, KEY_RIGHT).press(400, KEY_DOWN).down(600, KEY_ESC);
    keys.start();
    runMainMenu(memory);
    // Item 7 is highlighted, the label is not.
    EXPECT_TRUE(looksLike(window, 190, 356, pictureColour("Img/menu/integrantes_2.jpg")));
    EXPECT_TRUE(looksLike(window, 230, 311, pictureColour("Img/menu/chooseplayer.jpg")));
    EXPECT_TRUE(looksLike(window, 379, 310, pictureColour("Img/menu/img3.jpg")));
    EXPECT_TRUE(looksLike(window, 600, 100, pictureColour("Img/menu/menu.jpg")));
    BITMAP* replayed = replayOnto(windowAtStart);
    EXPECT_EQ(differingPixels(window, replayed), 0);
    destroy_bitmap(replayed);
}

TEST_F(MainMenu, MissingItemPictureIsReportedAndTheMenuStillWorks) {
    removePicture("Img/menu/img2_2.jpg");
    keys.press(100, KEY_RIGHT).down(300, KEY_ENTER).start();
    testing::internal::CaptureStdout();
    const int result = runMainMenu(memory);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(result, 2);
    EXPECT_NE(console.find("Img/menu/img2_2.jpg"), std::string::npos) << console;
    EXPECT_EQ(instructionsStartingWith("destroy_bitmap"), expectedReleases());
}

}  // namespace
