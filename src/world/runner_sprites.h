// The runners' sprite sheets, one per character, in character order: the image generator writes
// them, and player selection, the server, the stage solver and the tests take them from here.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/player_limits.h"

inline constexpr std::array<const char*, kMaxPlayers> kRunnerSpritePaths{
    "Img/Jogo/player1a.bmp", "Img/Jogo/player2a.bmp", "Img/Jogo/player3a.bmp",
    "Img/Jogo/player4a.bmp", "Img/Jogo/player5a.bmp", "Img/Jogo/player6a.bmp"};

// The same list as the stage loader takes it: character k's sheet for player k + 1, as when
// every player keeps the character of its own number (the server, the solver).
const std::vector<std::string>& runnerSpritesInOrder();
