// tela.conf: whether the game window opens full screen, in the configuration folder
// (config_folder.h). One line: "tela-cheia" or "janela". F11 writes it; anything else in it is
// reported once, on the console (by the graphics start-up), and the window stays a window. Without
// the file: a window.
#pragma once

#include <optional>
#include <string>

inline constexpr const char* kScreenConfigFile = "tela.conf";

struct ScreenConfig {
    bool fullScreen = false;
    std::optional<std::string> problem;  // the console line, when the text was not understood
};

// Reads the text of a tela.conf (blank lines and '#' comments are skipped).
ScreenConfig parseScreenConfig(const std::string& text);

// The text that keeps `fullScreen`.
std::string formatScreenConfig(bool fullScreen);

// The saved choice (a window without a file), with the problem of a file not understood: saying
// it (once per process) is the caller's.
ScreenConfig loadScreenConfig();

// Keeps the choice for the next start; false (reported) when it could not be written.
bool saveFullScreenChoice(bool fullScreen);
