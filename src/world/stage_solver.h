// The stage solver: proves a stage winnable by driving the real game code headless.
//
// It loads a stage as a server would (no image: the collision bitmap painted from the terrain,
// every drawing just recorded), runs the real race frame on a simulated clock (34 ms a frame, the
// pace of the real race loop), and searches over the flip decisions of one runner: before every
// frame in which the runner is grounded it may flip or not. The search is depth first, not flipping
// before flipping, and never enters a state (frame, position, speed, gravity, grounded) it has
// entered before; it stops at the first schedule that touches the finish line, or when no state is
// left.
#pragma once

#include <string>
#include <vector>

#include "world/stage_loading.h"

struct Flip {
    int frame;    // race frame (counted from 0) before which the runner flipped
    int stageX;   // the runner's x at that moment
    int gravity;  // gravity after the flip: -1 towards the ceiling, +1 back to the floor
};

struct SolveResult {
    bool won = false;
    int frames = 0;           // frames run until the finish line was touched (or the last tried)
    int farthestX = 0;        // the best x any state reached
    std::vector<Flip> flips;  // the winning schedule
    long statesExplored = 0;  // race frames run
};

// startPlayer: the start position (player number 1 to 6) of the single runner.
SolveResult solveStage(const StageData& stage, int startPlayer);

// How much room a flip of a winning schedule has: the frames in which it could be made instead, the
// other flips unchanged, and the runner's x at the first and last of them. A window of a few frames
// is a hard spot of the stage. Each side is searched kWindowReach frames at most: a wider window
// reads as that wide.
constexpr int kWindowReach = 40;
struct FlipWindow {
    int earliestFrame, latestFrame;
    int earliestX, latestX;
};
std::vector<FlipWindow> flipWindows(const StageData& stage, int startPlayer,
                                    const std::vector<Flip>& flips);

// Runs the stage with `runners` runners (players 1..runners), none of them ever flipping, and
// returns the player numbers that touched the finish line (empty: nobody can win without playing).
std::vector<int> finishersWithoutFlipping(const StageData& stage, int runners, int onlyPlayer = 0);
