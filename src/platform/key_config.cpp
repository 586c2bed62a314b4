#include "platform/key_config.h"

#include <fstream>
#include <sstream>

#include "platform/config_folder.h"
#include "platform/console_report.h"
#include "platform/key_names.h"

namespace {

bool clashes(int scanCode, const KeyBinding& keys) {
    return scanCode == keys.key || (keys.alternativeKey && scanCode == keys.alternativeKey);
}

}  // namespace

KeyConfig parseKeyConfig(const std::string& text) {
    KeyConfig config{defaultFlipKeys(), {}};
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    const auto refuse = [&](int number, const std::string& shown, const std::string& why) {
        config.problems.push_back(std::string(kKeyConfigFile) + ", linha " +
                                  std::to_string(number) + " (\"" + shown + "\"): " + why +
                                  "; linha ignorada.");
    };
    std::array<int, kMaxPlayers> lineOf{};
    std::array<int, kMaxPlayers> keyOf{};
    std::array<std::string, kMaxPlayers> textOf{};
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string player, name, extra;
        if (!(words >> player)) continue;
        if (player[0] == '#') continue;
        const std::string shown = line.size() > 60 ? line.substr(0, 60) + "..." : line;
        if (!(words >> name) || (words >> extra)) {
            refuse(lineNumber, shown, "esperado \"jogadorN NOME\"");
            continue;
        }
        int number = 0;
        if (player.size() == 8 && player.compare(0, 7, "jogador") == 0 && player[7] >= '1' &&
            player[7] <= '0' + kMaxPlayers) {
            number = player[7] - '0';
        }
        if (number == 0) {
            refuse(lineNumber, shown, "jogador desconhecido (jogador1 a jogador6)");
            continue;
        }
        const ChoosableKey* entry = choosableKeyNamed(name.c_str());
        if (!entry) {
            refuse(lineNumber, shown, "tecla desconhecida");
            continue;
        }
        if (isReservedKey(entry->scanCode)) {
            refuse(lineNumber, shown, "tecla reservada a outra acao do jogo");
            continue;
        }
        if (lineOf[number - 1]) {
            refuse(lineNumber, shown,
                   "jogador ja definido na linha " + std::to_string(lineOf[number - 1]));
            continue;
        }
        int takenBy = 0;
        for (int other = 0; other < kMaxPlayers; ++other) {
            if (lineOf[other] && keyOf[other] == entry->scanCode) takenBy = other + 1;
        }
        if (takenBy) {
            refuse(lineNumber, shown, "tecla ja usada pelo jogador " + std::to_string(takenBy));
            continue;
        }
        lineOf[number - 1] = lineNumber;
        keyOf[number - 1] = entry->scanCode;
        textOf[number - 1] = shown;
    }
    // A chosen key that is the default of a player the file leaves alone would flip both.
    for (int p = 0; p < kMaxPlayers; ++p) {
        if (!lineOf[p]) continue;
        int takenBy = 0;
        for (int other = 0; other < kMaxPlayers; ++other) {
            if (!lineOf[other] && clashes(keyOf[p], config.keys[other])) takenBy = other + 1;
        }
        if (takenBy) {
            refuse(lineOf[p], textOf[p],
                   "tecla ja usada pelo jogador " + std::to_string(takenBy) + " (padrao)");
            lineOf[p] = 0;
        }
    }
    for (int p = 0; p < kMaxPlayers; ++p) {
        if (lineOf[p]) config.keys[p] = {keyOf[p], 0};
    }
    return config;
}

std::string formatKeyConfig(const std::array<KeyBinding, kMaxPlayers>& keys) {
    std::string text;
    for (int p = 0; p < kMaxPlayers; ++p) {
        const ChoosableKey* entry = choosableKey(keys[p].key);
        if (!entry) continue;
        text += "jogador" + std::to_string(p + 1) + " " + entry->name + "\n";
    }
    return text;
}

void loadKeyConfig() {
    const std::string path = configFile(kKeyConfigFile);
    if (path.empty()) return;
    std::ifstream in(path);
    if (!in) return;
    std::ostringstream text;
    text << in.rdbuf();
    KeyConfig config = parseKeyConfig(text.str());
    for (const std::string& problem : config.problems) reportLine(problem);
    setFlipKeys(config.keys);
}

bool saveKeyConfig(const std::array<KeyBinding, kMaxPlayers>& keys) {
    setFlipKeys(keys);
    return writeConfigFile(kKeyConfigFile, formatKeyConfig(keys));
}
