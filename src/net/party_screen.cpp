#include "net/party_screen.h"

#include <allegro.h>

#include <atomic>
#include <cstdlib>

#include "net/stop_request.h"
#include "platform/clock.h"
#include "platform/graphics.h"

namespace {

// The callback that was there before ours (the full-screen key's, the sound's): ours passes every
// key on to it. The library's callback carries no context.
std::atomic<void (*)(int)> keyListenerBefore{nullptr};

void onKeyEvent(int scanCode) {
    if (scanCode == KEY_ESC) requestStop();  // a release carries 0x80
    if (void (*before)(int) = keyListenerBefore.load()) before(scanCode);
}
END_OF_FUNCTION(onKeyEvent)

}  // namespace

PartyScreen::PartyScreen() : registry(screen) {
    if (const char* path = std::getenv("CORRIDA_SHOWN_LOG"); path && *path) {
        log.reset(std::fopen(path, "w"));
    }
    LOCK_FUNCTION(onKeyEvent);
    keyListenerBefore = keyboard_lowlevel_callback;
    keyboard_lowlevel_callback = onKeyEvent;
}

PartyScreen::~PartyScreen() {
    if (keyboard_lowlevel_callback == onKeyEvent) {
        keyboard_lowlevel_callback = keyListenerBefore.load();
    }
    keyListenerBefore = nullptr;
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
