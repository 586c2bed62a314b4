#include "screens/playback_session.h"

#include <allegro.h>

#include <iostream>

#include "platform/clock.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "stream/recording_player.h"

namespace {

// How long the last picture stays before the playback ends.
constexpr int64_t kLastPictureHoldMs = 1000;

bool taken(Action action) {
    if (!actionDown(action)) return false;
    consumeAction(action);
    return true;
}

}  // namespace

int runPlayback(const std::string& path) {
    std::string error;
    std::optional<Recording> recording = readRecordingFile(path, error);
    if (!recording) {
        std::cout << "Nao foi possivel rever a gravacao: " << error << std::endl;
        return 1;
    }
    const std::string problem = recording->problem;
    if (!problem.empty()) {
        std::cout << "A gravacao " << path << " sera vista ate onde pode ser lida (" << problem
                  << ")." << std::endl;
    }
    if (!startGraphics()) return 1;
    {
        RecordingPlayer player(std::move(*recording), screen);
        // Play time = clock - start, while not paused.
        int64_t start = clockMs();
        bool paused = false;
        int64_t pausedAt = 0;
        int64_t endedAt = -1;
        const auto jumpTo = [&](int64_t playMs) {
            player.seek(playMs);
            const int64_t now = paused ? pausedAt : clockMs();
            start = now - player.position();
        };
        while (!taken(Action::Back)) {
            if (taken(Action::Pause)) {
                if (paused) start += clockMs() - pausedAt;
                pausedAt = clockMs();
                paused = !paused;
            }
            if (taken(Action::Left)) jumpTo(player.position() - kJumpMs);
            if (taken(Action::Right)) jumpTo(player.position() + kJumpMs);
            if (taken(Action::ToStart)) jumpTo(0);
            if (!paused && player.showUntil(clockMs() - start) > 0) presentWindow();
            if (player.finished()) {
                if (endedAt < 0) endedAt = clockMs();
                if (clockMs() - endedAt >= kLastPictureHoldMs) break;
            } else {
                endedAt = -1;
            }
            restBetweenPolls();
        }
    }
    stopGraphics();
    return 0;
}
