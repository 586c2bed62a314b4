// teclas.conf: the flip key each player chose, in the configuration folder (config_folder.h).
//
// One line per player, "jogadorN NOME", N from 1 to 6 and NOME a choosable key's name
// (key_names.h: the graphics library's name without KEY_, "jogador1 Z"). Blank lines and lines
// that start with '#' are skipped. A line that is broken, names an unknown player or key, a key of
// another action (Esc, Enter, P, S, F3, F10, F11), a key another line already gave, or the default
// key of a player the file leaves alone, is reported once, on the console, and skipped: that player
// keeps their default key. Without the file every player has today's keys.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/input.h"
#include "platform/player_limits.h"

inline constexpr const char* kKeyConfigFile = "teclas.conf";

struct KeyConfig {
    std::array<KeyBinding, kMaxPlayers> keys;
    std::vector<std::string> problems;  // one console line per skipped line
};

// Reads the text of a teclas.conf over the default keys.
KeyConfig parseKeyConfig(const std::string& text);

// The text that gives `keys` (a line for each player whose key is choosable).
std::string formatKeyConfig(const std::array<KeyBinding, kMaxPlayers>& keys);

// Reads teclas.conf, when there is one, reports its problems and makes its keys the flip keys
// (setFlipKeys). Without the file, nothing changes. Called once per process (main does, before the
// mode's session starts), so each problem is said once.
void loadKeyConfig();

// Saves `keys` to teclas.conf and makes them the flip keys. False when it could not be written
// (reported; the keys are still used for this process).
bool saveKeyConfig(const std::array<KeyBinding, kMaxPlayers>& keys);
