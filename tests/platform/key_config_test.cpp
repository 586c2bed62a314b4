// teclas.conf: its reading, its refusals, and a chosen key flipping its player's runner.
#include "platform/key_config.h"

#include <allegro.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/config_folder.h"
#include "platform/input.h"
#include "world/flip_keys.h"
#include "world/runner.h"
#include "world/world_fixture.h"

namespace {

namespace fs = std::filesystem;

class KeyConfigTest : public ::testing::Test {
  protected:
    KeyConfigTest() {
        folder = fs::temp_directory_path() / ("corrida-keys-" + std::to_string(getpid()));
        fs::create_directories(folder);
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    }
    ~KeyConfigTest() override {
        setFlipKeys(defaultFlipKeys());
        for (int i = 0; i < KEY_MAX; ++i) key[i] = 0;
        fs::remove_all(folder);
    }
    fs::path folder;
};

TEST_F(KeyConfigTest, TheFileLivesInTheXdgConfigFolder) {
    EXPECT_EQ(configFile("teclas.conf"), folder.string() + "/corrida/teclas.conf");
}

TEST_F(KeyConfigTest, WithoutTheFileEveryPlayerKeepsTodaysKeys) {
    setFlipKeys(defaultFlipKeys());
    loadKeyConfig();
    for (int p = 0; p < 6; ++p) {
        EXPECT_EQ(flipKeys()[p].key, defaultFlipKeys()[p].key);
        EXPECT_EQ(flipKeys()[p].alternativeKey, defaultFlipKeys()[p].alternativeKey);
    }
    EXPECT_STREQ(flipKeysOf(1).localImage, "Img/Jogo/X.bmp");
}

TEST_F(KeyConfigTest, BrokenOrUnknownLinesAreReportedAndSkipped) {
    const KeyConfig config = parseKeyConfig(
        "jogador1 Z\n"
        "# a comment\n"
        "\n"
        "jogador2\n"       // broken
        "jogador7 Q\n"     // unknown player
        "jogador3 NADA\n"  // unknown key
        "jogador4 P\n"     // pause
        "jogador5 Z\n"     // taken by line 1
        "jogador6 M\n"     // player 2's default
        "jogador1 Q\n");   // player 1 twice
    EXPECT_EQ(config.keys[0].key, KEY_Z);
    EXPECT_EQ(config.keys[0].alternativeKey, 0);
    for (int p = 1; p < 6; ++p) EXPECT_EQ(config.keys[p].key, defaultFlipKeys()[p].key) << p;
    ASSERT_EQ(config.problems.size(), 7u);
    EXPECT_NE(config.problems[0].find("linha 4"), std::string::npos) << config.problems[0];
}

TEST_F(KeyConfigTest, SavedKeysReadBackTheSame) {
    std::array<KeyBinding, 6> keys = defaultFlipKeys();
    keys[0] = {KEY_M, 0};
    keys[1] = {KEY_X, 0};
    ASSERT_TRUE(saveKeyConfig(keys));
    setFlipKeys(defaultFlipKeys());
    loadKeyConfig();
    EXPECT_EQ(flipKeys()[0].key, KEY_M);
    EXPECT_EQ(flipKeys()[1].key, KEY_X);
}

TEST_F(KeyConfigTest, ZChosenForPlayerOneFlipsItsRunnerAndXNoLonger) {
    fs::create_directories(folder / "corrida");
    std::ofstream(folder / "corrida" / "teclas.conf") << "jogador1 Z\n";
    loadKeyConfig();
    RecorderScope server{1};
    Runner runner("", 42, 47, false, 1, 0, 0);
    EXPECT_STREQ(flipKeysOf(1).localImage, "Img/Jogo/Teclas/Z.bmp");
    EXPECT_TRUE(fs::exists(std::string(TEST_IMG_ROOT) + "/" + flipKeysOf(1).localImage));
    setGrounded(runner, true);
    key[KEY_X] = 1;
    pollKey(&runner);
    EXPECT_EQ(runner.gravity(), 1) << "X no longer flips player 1";
    key[KEY_X] = 0;
    key[KEY_Z] = 1;
    pollKey(&runner);
    EXPECT_EQ(runner.gravity(), -1) << "Z does";
    EXPECT_EQ(key[KEY_Z], 0) << "and its press is taken";
}

}  // namespace
