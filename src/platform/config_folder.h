// The folder of the player's choices: $XDG_CONFIG_HOME/corrida, or ~/.config/corrida when that
// variable is unset or empty (the XDG base directory rules). It holds teclas.conf (key_config.h)
// and tela.conf (the full-screen choice, screen_config.h).
#pragma once

#include <string>

// The folder's path, or empty when neither XDG_CONFIG_HOME nor HOME is set.
std::string configFolder();

// The path of `file` in that folder (empty when there is none).
std::string configFile(const std::string& file);

// Writes `text` to `file` in that folder, creating the folder (and its parents) as needed, through
// a temporary file renamed over the old one. False, with a console line, when it cannot.
bool writeConfigFile(const std::string& file, const std::string& text);
