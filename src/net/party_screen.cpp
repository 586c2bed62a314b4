#include "net/party_screen.h"

#include <allegro.h>

#include <chrono>
#include <cstdlib>

#include "net/stop_request.h"
#include "platform/clock.h"
#include "platform/graphics.h"

namespace {

constexpr auto kEscLookEvery = std::chrono::milliseconds(20);

}  // namespace

PartyScreen::PartyScreen() : registry(screen) {
    if (const char* path = std::getenv("CORRIDA_SHOWN_LOG"); path && *path) {
        log.reset(std::fopen(path, "w"));
    }
    escWatch = std::thread([this] {
        while (!ending.load()) {
            if (key[KEY_ESC]) requestStop();
            std::this_thread::sleep_for(kEscLookEvery);
        }
    });
}

PartyScreen::~PartyScreen() {
    ending = true;
    escWatch.join();
}

void PartyScreen::take(const RecordedBatch& batch, int64_t nowMs) {
    executeBatch(registry, batch.text);
    if (!batch.closesFrame) return;
    presentWindow();
    ++shown;
    if (log) {
        std::fprintf(log.get(), "%llu %lld %lld\n",
                     static_cast<unsigned long long>(batch.closesFrame->frame),
                     static_cast<long long>(nowMs), static_cast<long long>(clockMs()));
        std::fflush(log.get());
    }
}
