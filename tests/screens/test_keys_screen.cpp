// The TECLAS screen: the players' choices saved and used, clashes shown, Esc changing nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/input.h"
#include "screens/keys_screen.h"
#include "screens/main_menu.h"
#include "screens/screen_fixture.h"

namespace {

namespace fs = std::filesystem;

class KeysScreen : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        folder = fs::temp_directory_path() / ("corrida-keys-screen-" + std::to_string(getpid()));
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        setFlipKeys(defaultFlipKeys());
    }
    void TearDown() override {
        setFlipKeys(defaultFlipKeys());
        fs::remove_all(folder);
        unsetenv("XDG_CONFIG_HOME");
        ScreenTest::TearDown();
    }
    std::string savedFile() {
        std::ifstream in(folder / "corrida" / "teclas.conf");
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Every bitmap the screen loaded or created is destroyed again, and none twice.
    void expectAllReleased() {
        std::map<std::string, int> held;
        for (const std::string& instruction : instructions()) {
            std::istringstream words(instruction);
            std::string kind, name;
            words >> kind >> name;
            if (kind == "load_bitmap" || kind == "create_bitmap") {
                EXPECT_EQ(++held[name], 1) << instruction << ": a name still held";
            } else if (kind == "destroy_bitmap") {
                EXPECT_EQ(--held[name], 0) << instruction;
            }
        }
        for (const auto& [name, count] : held) EXPECT_EQ(count, 0) << name;
    }
    fs::path folder;
};

TEST_F(KeysScreen, ThePlayersChooseInTurnAndTheKeysAreSavedAndUsed) {
    keys.press(100, KEY_Z)       // player 1
        .press(300, KEY_X)       // player 2 takes the X player 1 gave up
        .press(500, KEY_ENTER)   // player 3 keeps the right arrow
        .press(700, KEY_M)       // player 4 takes player 2's old M
        .press(900, KEY_ENTER)   // player 5 keeps Ctrl
        .press(1100, KEY_ENTER)  // player 6 keeps 3
        .start(10000);
    EXPECT_TRUE(runKeysScreen());
    EXPECT_EQ(
        savedFile(),
        "jogador1 Z\njogador2 X\njogador3 RIGHT\njogador4 M\njogador5 LCONTROL\njogador6 3\n");
    EXPECT_EQ(flipKeys()[0].key, KEY_Z);
    EXPECT_EQ(flipKeys()[3].key, KEY_M);
    // The last picture shows each player's new key in their row.
    const std::vector<std::string> all = instructions();
    const auto last =
        std::find(all.rbegin(), all.rend(), "load_bitmap tecla_j4 Img/Jogo/Teclas/M.bmp");
    EXPECT_NE(last, all.rend());
    EXPECT_EQ(countOf("load_bitmap tecla_j1 Img/Jogo/Teclas/Z.bmp"), 1u);
    EXPECT_EQ(countOf("load_bitmap tecla_j1 Img/Jogo/Teclas/X.bmp"), 1u);
    expectAllReleased();
    KeyScript::stop();
}

TEST_F(KeysScreen, ClashesAreRefusedAndShownAndEscChangesNothing) {
    keys.press(100, KEY_A)   // player 4's
        .press(400, KEY_P)   // the pause
        .press(700, KEY_Q)   // free: player 1 takes it
        .press(1000, KEY_Q)  // now player 1's: refused for player 2
        .down(1300, KEY_ESC)
        .start(10000);
    EXPECT_FALSE(runKeysScreen());
    EXPECT_FALSE(fs::exists(folder / "corrida" / "teclas.conf"));
    EXPECT_EQ(flipKeys()[0].key, KEY_X);
    EXPECT_FALSE(key[KEY_ESC]) << "the Esc is spent here, the menu stays";
    const std::vector<std::string> all = instructions();
    const auto shown = [&](const std::string& sprite) {
        return std::count(all.begin(), all.end(), "draw_sprite buffer_teclas " + sprite) > 0;
    };
    EXPECT_TRUE(shown("teclas_usada_4 100 370"));
    EXPECT_TRUE(shown("teclas_reservada 100 370"));
    EXPECT_TRUE(shown("teclas_usada_1 100 370"));
    EXPECT_FALSE(shown("teclas_usada_2 100 370"));
    // The marker moved to player 2's row once player 1 had Q.
    EXPECT_TRUE(shown("teclas_vez 100 100"));
    EXPECT_TRUE(shown("teclas_vez 100 144"));
    expectAllReleased();
    KeyScript::stop();
}

TEST_F(KeysScreen, OpensFromTheMenuRightOfTheCredits) {
    keys.press(100, KEY_DOWN)
        .press(250, KEY_RIGHT)
        .press(400, KEY_ENTER)  // the keys screen
        .press(700, KEY_ESC)    // back to the menu
        .down(1000, KEY_ESC)    // and out
        .start(10000);
    MenuMemory memory;
    EXPECT_EQ(runMainMenu(memory), 9);
    EXPECT_EQ(countOf("load_bitmap bg_teclas Img/menu/bg_teclas.jpg"), 1u);
    EXPECT_GE(countOf("blit teclas_2 buffer_menu 0 0 330 340 90 33"), 1u);
    KeyScript::stop();
}

}  // namespace
