// The server's matches, played for its remote players without menus.
//
// A match is stage 1 (still frame, waiting screen with the count of players joined until every
// player has joined, countdown, race), an interval of two seconds, stage 2 (countdown, race) and
// the winner screen with each stage's order of arrival; then the next match. A stage whose runners
// all drop out before the finish line is played again. Remote inputs reach a race only while its
// frame loop runs: the race is opened after the stage's runners are in the runner table and closed
// before they are released. A remote pause holds the race in the pause screen; a remote cheat (F10
// on a client) ends the stage as won, as F10 does in local play, and is used up by it. Esc on the
// server's window during a race ends the matches, and so does a stop request (Ctrl+C,
// stop_request.h) at any wait for players or during a race.
#pragma once

#include <string>
#include <vector>

#include "screens/stage_run.h"

struct StageData;

class ContadorLogin;
class Mapa;
struct ServerContext;

// Shows the still stage under the waiting screen, again each time the number of players who have
// joined changes, until all of `logins.maxPlayers` have joined or a stop is requested.
void waitForEveryPlayer(Mapa& stage, const ContadorLogin& logins);

// The runner sheets of players 1 to 6.
const std::vector<std::string>& serverRunnerImages();

// One attempt at stage `stageNumber` (1 or 2) for `playerCount` players. When it is won and
// `arrivals` is given, it receives the player numbers in order of arrival at the finish line.
StageOutcome runServerStage(int stageNumber, const StageData& stage, ServerContext& server,
                            std::vector<int>* arrivals = nullptr);

// Matches until Esc during a race, or until a stage cannot be loaded (reported).
void playServerMatches(ServerContext& server);

constexpr int kServerFrameGapMs = 33;
constexpr int kServerIntervalMs = 2000;
