#include "platform/screen_config.h"

#include <fstream>
#include <sstream>

#include "platform/config_folder.h"

namespace {

constexpr const char* kFullScreenWord = "tela-cheia";
constexpr const char* kWindowWord = "janela";

}  // namespace

ScreenConfig parseScreenConfig(const std::string& text) {
    ScreenConfig config;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    bool chosen = false;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string word, extra;
        if (!(words >> word) || word[0] == '#') continue;
        const bool known = (word == kFullScreenWord || word == kWindowWord) && !(words >> extra);
        if (!known || chosen) {
            if (line.size() > 60) line = line.substr(0, 60) + "...";
            config.problem = std::string(kScreenConfigFile) + ", linha " +
                             std::to_string(lineNumber) + " (\"" + line +
                             "\"): esperado \"tela-cheia\" ou \"janela\" numa unica linha; "
                             "o jogo abre numa janela.";
            config.fullScreen = false;
            return config;
        }
        config.fullScreen = word == kFullScreenWord;
        chosen = true;
    }
    return config;
}

std::string formatScreenConfig(bool fullScreen) {
    return std::string(fullScreen ? kFullScreenWord : kWindowWord) + "\n";
}

ScreenConfig loadScreenConfig() {
    const std::string path = configFile(kScreenConfigFile);
    if (path.empty()) return {};
    std::ifstream in(path);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return parseScreenConfig(text.str());
}

bool saveFullScreenChoice(bool fullScreen) {
    return writeConfigFile(kScreenConfigFile, formatScreenConfig(fullScreen));
}
