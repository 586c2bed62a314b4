#include "stream/recording_player.h"

#include <algorithm>

#include "stream/bitmap_table_changes.h"
#include "stream/instruction_text.h"

RecordingPlayer::RecordingPlayer(Recording recorded, BITMAP* window)
    : recording(std::move(recorded)), window(window) {
    int64_t playTime = 0;
    for (size_t i = 0; i < recording.pictures.size(); ++i) {
        if (i > 0) {
            const int64_t gap = recording.pictures[i].ms - recording.pictures[i - 1].ms;
            playTime += std::clamp<int64_t>(gap, 0, kLongestGapMs);
        }
        playTimes.push_back(playTime);
    }
    restartTable();
}

void RecordingPlayer::restartTable() {
    replayer.reset();
    registry = std::make_unique<ListaBitmaps>(window);
    replayer = std::make_unique<FrameReplayer>(*registry, "");
}

size_t RecordingPlayer::showUntil(int64_t playMs) {
    size_t shown = 0;
    while (next < playTimes.size() && playTimes[next] <= playMs) {
        replayer->replay(recording.pictures[next].text);
        ++next;
        ++shown;
    }
    drawn += shown;
    positionMs = std::max(positionMs, std::min(playMs, length()));
    return shown;
}

void RecordingPlayer::seek(int64_t playMs) {
    playMs = std::clamp<int64_t>(playMs, 0, length());
    // The picture on the window at that moment: the last one at or before it.
    const size_t after =
        std::upper_bound(playTimes.begin(), playTimes.end(), playMs) - playTimes.begin();
    const size_t target = after > 0 ? after - 1 : 0;
    restartTable();
    BitmapTableChanges table;
    for (size_t i = 0; i < target; ++i) {
        if (recording.pictures[i].changesBitmaps) table.absorb(recording.pictures[i].text);
    }
    std::string bindings;
    for (const std::string& piece : table.pieces()) bindings += piece + kPieceSeparator;
    clear_to_color(window, makecol(0, 0, 0));
    if (!bindings.empty()) replayer->replay(bindings);
    next = target;
    positionMs = playMs;
}
