#include "net/classic_stage_notice.h"

#include "platform/console_report.h"

void ClassicStageNotice::noteJoin(const std::string& host, int player) {
    const std::string client = host + " " + std::to_string(player);
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (told_.size() >= kRemembered) told_.clear();
        if (!told_.insert(client).second) return;
    }
    reportLine("O jogador " + std::to_string(player) + " (" + host +
               ") entrou com um cliente classico, que so tem as fases 1 e 2: as outras fases "
               "desta partida nao aparecem para ele.");
}
