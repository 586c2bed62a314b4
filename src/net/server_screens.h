// The server's own screens, drawn only for its remote players: the waiting screen shown until
// every player has joined, the countdown before each race and the winner screen.
//
// Each records exactly the instructions its clients replay; the waiting and winner pictures are
// also drawn locally when this process draws (never on a server), the countdown never is.
#pragma once

class Mapa;

// The pause picture over the still stage ("aguardando"), recorded and flushed.
void showWaitingScreen();

// Five steps of just over a second: the stage stands still under the cells at x = 400, 300, 200,
// 100 and 0 of "Img/Jogo/54321.bmp", which show 5, 4, 3, 2 and 1. The two destroys at its end leave with the caller's next flush.
void showCountdown(Mapa& stage);

// The winner picture ("parabens") for more than five seconds. Its destroy leaves with the
// caller's next flush.
void showServerWinnerScreen();

constexpr int kCountdownStepMs = 1000;
constexpr int kWinnerScreenMs = 5000;
