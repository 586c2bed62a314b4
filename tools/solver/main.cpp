// resolver_fases: proves the stages winnable and not winnable without playing.
//
// Usage (from the data folder, which holds Img/ and fases/):
//   resolver_fases                  check every shipped stage (fases/stageN.txt)
//   resolver_fases FASE             check one stage: a shipped stage's number, or a level file's
//                                   path
//   resolver_fases FASE JOGADOR     solve the stage from one start position, print the schedule
// A check exits 1 if the stage cannot be won from each of the six start positions, or if a runner
// that never flips reaches the finish line, and prints the stage's difficulty: the most flips a
// start's schedule took and the tightest window of player 1's schedule, in frames. A shipped
// stage's check also exits 1 when that figure is not the one fases/dificuldade.txt gives it (the
// figure the game shows).
#include <allegro.h>
#include <jpgalleg.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>

#include "world/stage_difficulty.h"
#include "world/stage_list.h"
#include "world/stage_solver.h"

namespace {

void printSchedule(const std::string& stage, int player, const SolveResult& r,
                   const std::vector<FlipWindow>& windows) {
    if (!r.won) {
        std::printf(
            "%s, largada do jogador %d: SEM SOLUCAO (mais longe: x %d, %d quadros, %ld estados)\n",
            stage.c_str(), player, r.farthestX, r.frames, r.statesExplored);
        return;
    }
    std::printf("%s, largada do jogador %d: chegada no quadro %d com %zu viradas (%ld estados)\n",
                stage.c_str(), player, r.frames, r.flips.size(), r.statesExplored);
    std::printf("  quadro      x  para   janela (quadros, x)\n");
    for (size_t i = 0; i < r.flips.size(); ++i) {
        const Flip& f = r.flips[i];
        const FlipWindow& w = windows[i];
        const int frames = w.latestFrame - w.earliestFrame + 1;
        std::printf("  %6d  %5d  %-5s  %4d..%-4d  x %5d..%-5d  %2d quadros%s\n", f.frame, f.stageX,
                    f.gravity < 0 ? "teto" : "chao", w.earliestFrame, w.latestFrame, w.earliestX,
                    w.latestX, frames, frames < 8 ? "  <- dificil" : "");
    }
}

// Whether the figure found for shipped stage `number` is the one the game shows.
bool figureAsShown(const std::string& name, int number, const StageDifficulty& found) {
    const std::map<int, StageDifficulty> shown = readStageDifficulties(kStageDifficultyFile);
    const auto line = shown.find(number);
    if (line == shown.end()) {
        std::printf("%s: %s nao tem a dificuldade desta fase (\"%d %d %d\")\n", name.c_str(),
                    kStageDifficultyFile, number, found.flips, found.windowFrames);
        return false;
    }
    if (line->second == found) return true;
    std::printf("%s: %s diz \"%d %d %d\"; a dificuldade encontrada e \"%d %d %d\"\n", name.c_str(),
                kStageDifficultyFile, number, line->second.flips, line->second.windowFrames, number,
                found.flips, found.windowFrames);
    return false;
}

bool checkStage(const std::string& name, const StageData& stage, int shippedNumber = 0) {
    bool ok = true;
    size_t mostFlips = 0;
    int tightest = 0;
    // Player 1's schedule in full (with the flip windows); the other starts in one line each.
    for (int player = 1; player <= 6; ++player) {
        const SolveResult r = solveStage(stage, player);
        if (player == 1 && r.won) {
            const std::vector<FlipWindow> windows = flipWindows(stage, player, r.flips);
            tightest = 2 * kWindowReach + 1;
            for (const FlipWindow& w : windows)
                tightest = std::min(tightest, w.latestFrame - w.earliestFrame + 1);
            printSchedule(name, player, r, windows);
        } else if (!r.won) {
            printSchedule(name, player, r, {});
        } else {
            std::printf(
                "%s, largada do jogador %d: chegada no quadro %d com %zu viradas (%ld "
                "estados)\n",
                name.c_str(), player, r.frames, r.flips.size(), r.statesExplored);
        }
        if (!r.won) ok = false;
        mostFlips = std::max(mostFlips, r.flips.size());
    }
    for (int player = 1; player <= 6; ++player) {
        if (!finishersWithoutFlipping(stage, 6, player).empty()) {
            std::printf("%s: o jogador %d chega sem virar nenhuma vez\n", name.c_str(), player);
            ok = false;
        }
    }
    const std::vector<int> together = finishersWithoutFlipping(stage, 6);
    if (!together.empty()) {
        std::printf("%s: com seis corredores parados, o jogador %d chega sem virar\n", name.c_str(),
                    together[0]);
        ok = false;
    }
    if (ok) {
        std::printf("%s: ninguem chega sem virar a gravidade\n", name.c_str());
        std::printf("%s: dificuldade: ate %zu viradas, janela mais estreita de %d quadros\n",
                    name.c_str(), mostFlips, tightest);
        if (shippedNumber > 0)
            ok = figureAsShown(name, shippedNumber, {static_cast<int>(mostFlips), tightest});
    }
    return ok;
}

// A shipped stage's number or a level file's path; its stage, with a problem if it has none.
ListedStage stageNamed(const std::string& argument) {
    const bool number = !argument.empty() &&
                        argument.find_first_not_of("0123456789") == std::string::npos &&
                        argument.size() <= 3;
    if (!number) return readListedStage(0, argument);
    const int n = std::atoi(argument.c_str());
    return readListedStage(
        n, std::string(kShippedStageFolder) + "/stage" + std::to_string(n) + ".txt");
}

std::string titleOf(const ListedStage& stage) {
    return stage.number > 0 ? "fase " + std::to_string(stage.number) : stage.path;
}

int run(int argc, char** argv) {
    if (argc > 3) {
        std::fprintf(stderr, "uso: %s [FASE [JOGADOR(1..6)]]\n", argv[0]);
        return 2;
    }
    if (argc == 1) {
        bool ok = true;
        for (const ListedStage& stage : readStageFolder(kShippedStageFolder)) {
            if (!stage.data.problem.empty()) {
                std::fprintf(stderr, "%s\n", stage.data.problem.c_str());
                ok = false;
                continue;
            }
            ok = checkStage(titleOf(stage), stage.data, stage.number) && ok;
        }
        return ok ? 0 : 1;
    }
    const ListedStage stage = stageNamed(argv[1]);
    if (!stage.data.problem.empty()) {
        std::fprintf(stderr, "%s\n", stage.data.problem.c_str());
        return 2;
    }
    if (argc == 2) return checkStage(titleOf(stage), stage.data, stage.number) ? 0 : 1;
    const int player = std::atoi(argv[2]);
    if (player < 1 || player > 6) {
        std::fprintf(stderr, "uso: %s [FASE [JOGADOR(1..6)]]\n", argv[0]);
        return 2;
    }
    const SolveResult r = solveStage(stage.data, player);
    printSchedule(titleOf(stage), player, r,
                  r.won ? flipWindows(stage.data, player, r.flips) : std::vector<FlipWindow>{});
    return r.won ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    return run(argc, argv);
}
