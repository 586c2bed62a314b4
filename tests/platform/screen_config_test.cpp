// tela.conf: the full-screen choice read back as written, and anything else refused.
#include "platform/screen_config.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/config_folder.h"

namespace {

namespace fs = std::filesystem;

TEST(ScreenConfig, TheChoiceIsReadBackAsWritten) {
    for (const bool fullScreen : {true, false}) {
        const ScreenConfig config = parseScreenConfig(formatScreenConfig(fullScreen));
        EXPECT_EQ(config.fullScreen, fullScreen);
        EXPECT_FALSE(config.problem);
    }
    EXPECT_TRUE(parseScreenConfig("# F11\n\n  tela-cheia  \r\n").fullScreen);
    EXPECT_FALSE(parseScreenConfig("").fullScreen);
}

TEST(ScreenConfig, AnythingElseIsReportedAndLeavesAWindow) {
    for (const char* text : {"tela cheia\n", "TELA-CHEIA\n", "tela-cheia sim\n",
                             "tela-cheia\njanela\n", "\x01\x02\n"}) {
        const ScreenConfig config = parseScreenConfig(text);
        EXPECT_FALSE(config.fullScreen) << text;
        ASSERT_TRUE(config.problem) << text;
        EXPECT_NE(config.problem->find("tela.conf, linha "), std::string::npos) << *config.problem;
    }
}

TEST(ScreenConfig, SavedInTheConfigurationFolder) {
    const fs::path folder =
        fs::temp_directory_path() / ("corrida-screen-" + std::to_string(getpid()));
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    EXPECT_FALSE(loadScreenConfig().fullScreen);
    ASSERT_TRUE(saveFullScreenChoice(true));
    std::ifstream in(folder / "corrida" / "tela.conf");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "tela-cheia");
    EXPECT_TRUE(loadScreenConfig().fullScreen);
    ASSERT_TRUE(saveFullScreenChoice(false));
    EXPECT_FALSE(loadScreenConfig().fullScreen);
    fs::remove_all(folder);
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
