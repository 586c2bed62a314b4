#include "world/stage_verdict.h"

#include <vector>

#include "platform/player_limits.h"
#include "world/stage_solver.h"

std::string unplayableReason(const StageData& stage) {
    for (int player = 1; player <= kMaxPlayers; ++player)
        if (!solveStage(stage, player).won)
            return "a partir da largada " + std::to_string(player) + " nao chega ao fim";
    for (int player = 1; player <= kMaxPlayers; ++player)
        if (!finishersWithoutFlipping(stage, kMaxPlayers, player).empty())
            return "o jogador " + std::to_string(player) + " chega ao fim sem virar nenhuma vez";
    const std::vector<int> together = finishersWithoutFlipping(stage, kMaxPlayers);
    if (!together.empty())
        return "com seis corredores parados, o jogador " + std::to_string(together[0]) +
               " chega ao fim sem virar";
    return "";
}
