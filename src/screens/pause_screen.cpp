#include "screens/pause_screen.h"

#include <allegro.h>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/sound_player.h"
#include "platform/window_size.h"
#include "screens/screen_image.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"

namespace {

constexpr const char* kPictureName = "paused";
constexpr const char* kBufferName = "buffer_pause";

}  // namespace

bool pKeyPressed() { return actionDown(Action::Pause); }

void showPauseScreen(const std::function<bool()>& ended) {
    BitmapHandle picture = loadScreenImage(kPictureName, "Img/menu/pause.bmp");
    // Cleared to the mask colour: where the picture does not reach (or when it is missing) the race
    // keeps showing through.
    BitmapHandle buffer =
        createScreenBuffer(kBufferName, kWindowWidth, kWindowHeight, makecol(255, 0, 255));
    recordedBlit(picture.get(), kPictureName, buffer.get(), kBufferName, 0, 0, 0, 0, kWindowWidth,
                 kWindowHeight);
    recordedDrawSprite(screen, kScreenName, buffer.get(), kBufferName, 0, 0);
    buffer.reset();
    picture.reset();
    recordedPlaySound(sound::kPause);
    flushRecording();

    while (!ended()) restBetweenPolls();

    // The local bitmaps are already gone; these records release the receivers' copies.
    recordedDestroyBitmap(kBufferName, nullptr);
    recordedDestroyBitmap(kPictureName, nullptr);
    consumeAction(Action::Pause);
}
