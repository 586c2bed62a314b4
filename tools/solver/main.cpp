// resolver_fases: proves the stages winnable and not winnable without playing.
//
// Usage (from the folder that holds Img/):
//   resolver_fases                  check both stages: exit 1 if a stage cannot be won from each of
//                                   the six start positions, or if a runner that never flips
//                                   reaches the finish line
//   resolver_fases STAGE [PLAYER]   solve one stage from one start position and print the schedule
#include <allegro.h>
#include <jpgalleg.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "stage_solver.h"
#include "world/stage_image_error.h"

namespace {

void printSchedule(int stage, int player, const SolveResult& r) {
    if (!r.won) {
        std::printf(
            "fase %d, largada do jogador %d: SEM SOLUCAO (mais longe: x %d, %d quadros, %ld "
            "estados)\n",
            stage, player, r.farthestX, r.frames, r.statesExplored);
        return;
    }
    std::printf(
        "fase %d, largada do jogador %d: chegada no quadro %d com %zu viradas (%ld estados)\n",
        stage, player, r.frames, r.flips.size(), r.statesExplored);
    const std::vector<FlipWindow> windows = flipWindows(stage, player, r.flips);
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

bool checkStage(int stage) {
    bool ok = true;
    // Player 1's schedule in full (with the flip windows); the other starts in one line each.
    for (int player = 1; player <= 6; ++player) {
        const SolveResult r = solveStage(stage, player);
        if (player == 1 || !r.won) {
            printSchedule(stage, player, r);
        } else {
            std::printf("fase %d, largada do jogador %d: chegada no quadro %d com %zu viradas\n",
                        stage, player, r.frames, r.flips.size());
        }
        if (!r.won) ok = false;
    }
    for (int player = 1; player <= 6; ++player) {
        if (!finishersWithoutFlipping(stage, 6, player).empty()) {
            std::printf("fase %d: o jogador %d chega sem virar nenhuma vez\n", stage, player);
            ok = false;
        }
    }
    const std::vector<int> together = finishersWithoutFlipping(stage, 6);
    if (!together.empty()) {
        std::printf("fase %d: com seis corredores parados, o jogador %d chega sem virar\n", stage,
                    together[0]);
        ok = false;
    }
    if (ok) std::printf("fase %d: ninguem chega sem virar a gravidade\n", stage);
    return ok;
}

int run(int argc, char** argv) {
    if (argc >= 2) {
        const int stage = std::atoi(argv[1]);
        const int player = argc >= 3 ? std::atoi(argv[2]) : 1;
        if ((stage != 1 && stage != 2) || player < 1 || player > 6) {
            std::fprintf(stderr, "uso: %s [FASE(1|2) [JOGADOR(1..6)]]\n", argv[0]);
            return 2;
        }
        const SolveResult r = solveStage(stage, player);
        printSchedule(stage, player, r);
        return r.won ? 0 : 1;
    }
    const bool first = checkStage(1);
    const bool second = checkStage(2);
    return first && second ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    jpgalleg_init();
    try {
        return run(argc, argv);
    } catch (const StageImageError&) {
        // The stage map could not load its collision image.
        std::fprintf(stderr,
                     "imagens das fases nao encontradas: rode a partir da pasta que tem Img/\n");
        return 2;
    }
}
