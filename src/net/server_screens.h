// The server's own screens, drawn only for its remote players: the waiting screen shown until
// every player has joined, the countdown before each race and the winner screen.
//
// Each records exactly the instructions its clients replay; the waiting and winner pictures are
// also drawn locally when this process draws (never on a server), the countdown never is.
#pragma once

#include <string>
#include <vector>

#include "screens/winner_screen.h"

class Mapa;

// The waiting picture over the still stage ("aguardando", "Img/menu/aguardando.bmp") with the
// count line "JOINED de EXPECTED jogadores" in its band, recorded and flushed.
void showWaitingScreen(int joined, int expected);

// The count line's picture: "Img/menu/aguardando_JOINED_EXPECTED.bmp" (0 <= joined <= expected,
// 1 <= expected <= 6).
std::string waitingCountPath(int joined, int expected);
constexpr int kWaitingCountX = 170;
constexpr int kWaitingCountY = 246;

// Five steps of just over a second: the stage stands still under the cells at x = 400, 300, 200,
// 100 and 0 of "Img/Jogo/54321.bmp", which show 5, 4, 3, 2 and 1. The two destroys at its end leave
// with the caller's next flush.
void showCountdown(Mapa& stage);

// The winner picture with each stage's order of arrival (winner_screen.h) for more than five
// seconds.
void showServerWinnerScreen(const MatchArrivals& arrivals,
                            const std::vector<std::string>& runnerImages);

constexpr int kCountdownStepMs = 1000;
constexpr int kWinnerScreenMs = 5000;
