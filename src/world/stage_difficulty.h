// fases/dificuldade.txt: the difficulty figure the stage solver (resolver_fases) found for each
// shipped stage, so that the game and the image generator show it without solving anything.
//
// One line per stage, "N FLIPS WINDOW": the most flips a start position's schedule takes and the
// tightest window of player 1's schedule, in frames. Blank lines and lines that start with '#' are
// skipped; a malformed line is skipped too (the stage then has no figure).
#pragma once

#include <map>
#include <string>

inline constexpr const char* kStageDifficultyFile = "fases/dificuldade.txt";

struct StageDifficulty {
    int flips = 0;
    int windowFrames = 0;

    bool operator==(const StageDifficulty& other) const {
        return flips == other.flips && windowFrames == other.windowFrames;
    }
};

// The figures of the text of a dificuldade.txt, by stage number.
std::map<int, StageDifficulty> parseStageDifficulties(const std::string& text);

// The figures of the file at `path` (at most 64 KB of it); none when it cannot be read.
std::map<int, StageDifficulty> readStageDifficulties(const std::string& path);

// "ate 6 viradas, janela de 1 quadro": the figure as the player reads it.
std::string difficultyText(const StageDifficulty& difficulty);
