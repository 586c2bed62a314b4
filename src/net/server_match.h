// The server's matches, played for its remote players without menus.
//
// A match is its first stage (still frame, waiting screen with the count of players joined until
// every player has joined, countdown, race), an interval of two seconds, the next stage (countdown,
// race), and so on, and the winner screen with each stage's order of arrival; then the next match.
// The stages are stage 1 and stage 2 unless the server was given others (--fases). A stage whose
// runners all drop out before the finish line is played again. Remote inputs reach a race only
// while its frame loop runs: the race is opened after the stage's runners are in the runner table
// and closed before they are released. A remote pause holds the race in the pause screen; a remote
// cheat (F10 on a client) ends the stage as won, as F10 does in local play, and is used up by it.
// Esc on the server's window during a race ends the matches, and so does a stop request (Ctrl+C,
// stop_request.h) at any wait for players or during a race, a paused one included.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "screens/match_loop.h"
#include "world/stage_choice.h"

struct StageData;

class PlayerSlots;
class Mapa;
struct ServerContext;

// Shows the still stage under the waiting screen, again each time the number of players who have
// joined changes, until every player number is held and played (PlayerSlots::everyonePlaying) or a
// stop is requested. A viewer who comes meanwhile gets the picture with its queue
// (ViewerQueues::restartQueue). With an invitation URL (`corrida festa`) the waiting screen is the
// party's (party_invitation.h), drawn again each time a place is taken or freed.
void waitForEveryPlayer(Mapa& stage, PlayerSlots& slots, const std::string& invitationUrl = "");

// The runner sheets of players 1 to 6.
const std::vector<std::string>& serverRunnerImages();

// One attempt at stage `stageNumber` (1 or 2) for `playerCount` players. When it is won and
// `arrivals` is given, it receives the player numbers in order of arrival at the finish line.
StageOutcome runServerStage(int stageNumber, const StageData& stage, ServerContext& server,
                            std::vector<int>* arrivals = nullptr);

// Matches until Esc during a race, a stop request, or until a stage cannot be loaded (reported).
// Their stages by `stages` (nothing chosen: stage 1 and stage 2; random ones drawn again for each
// match).
void playServerMatches(ServerContext& server, const StageChoice& stages = {});

// The server's rules of a stage and a match (match_loop.h): the waiting screen before stage 1 and
// the countdown before each race; remote inputs let in only during the frame loop, remote flips
// held off while a frame moves the runners (remote_race.h); the race ends on Esc, the remote cheat
// or a stop request; the remote pause holds it until the pause is lifted or a stop is requested;
// the winner screen stays five seconds.
class ServerMatchRules : public MatchRules {
  public:
    explicit ServerMatchRules(ServerContext& server) : server(server) {}
    bool prepareRace(int stageNumber, Mapa& stage) override;
    void openRace(Mapa& stage) override;
    void closeRace() override;
    bool raceInterrupted() override;
    bool raceFrame(Mapa& stage) override;
    bool pauseRequested() override;
    bool pauseEnded() override;
    StageOutcome decideOutcome(int stageNumber, bool finished) override;
    void showWinner(const MatchArrivals& arrivals, const StageEntrants& entrants) override;
    bool stageLoadAbandoned() override;

  private:
    ServerContext& server;
    int64_t pausedAtMs = 0;
};

// The longest a remote pause lasts: nobody can hold a race still for longer than this.
constexpr int64_t kLongestRemotePauseMs = 30000;
