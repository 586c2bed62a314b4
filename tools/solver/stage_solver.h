// The stage solver: proves a stage winnable by driving the real game code headless.
//
// It loads a stage as a server would (collision image only, every drawing just recorded), runs the
// real race frame on a simulated clock (34 ms a frame, the pace of the real race loop), and
// searches over the flip decisions of one runner: before every frame in which the runner is
// grounded it may flip or not. The search goes frame by frame over every physically distinct state
// (position, speed, gravity, grounded), restoring each one into the live stage before advancing it,
// until a runner touches the finish line or no state survives.
#pragma once

#include <string>
#include <vector>

struct Flip {
    int frame;    // race frame (counted from 0) before which the runner flipped
    int stageX;   // the runner's x at that moment
    int gravity;  // gravity after the flip: -1 towards the ceiling, +1 back to the floor
};

struct SolveResult {
    bool won = false;
    int frames = 0;           // frames run until the finish line was touched (or all states died)
    int farthestX = 0;        // the best x any state reached
    std::vector<Flip> flips;  // the winning schedule
    long statesExplored = 0;
};

// Which stage: 1 or 2. startPlayer: the start position (player number 1 to 6) of the single runner.
SolveResult solveStage(int stage, int startPlayer, int beamWidth = 48);

// How much room a flip of a winning schedule has: the frames in which it could be made instead, the
// other flips unchanged, and the runner's x at the first and last of them. A window of a few frames
// is a hard spot of the stage.
struct FlipWindow {
    int earliestFrame, latestFrame;
    int earliestX, latestX;
};
std::vector<FlipWindow> flipWindows(int stage, int startPlayer, const std::vector<Flip>& flips);

// Runs the stage with `runners` runners (players 1..runners), none of them ever flipping, and
// returns the player numbers that touched the finish line (empty: nobody can win without playing).
std::vector<int> finishersWithoutFlipping(int stage, int runners, int onlyPlayer = 0);
