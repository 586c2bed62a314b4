#include "screens/pause_screen.h"

#include <allegro.h>

#include "platform/clock.h"
#include "platform/sound_player.h"
#include "screens/screen_image.h"
#include "stream/recorded_drawing.h"

bool pKeyPressed() { return key[KEY_P] != 0; }

void showPauseScreen(const std::function<bool()>& ended) {
    BitmapHandle picture = loadScreenImage("paused", "Img/menu/pause.bmp");
    // Cleared to the mask colour: where the picture does not reach (or when it is missing) the race
    // keeps showing through.
    BitmapHandle buffer = createScreenBuffer("buffer_pause", 640, 480, makecol(255, 0, 255));
    recordedBlit(picture.get(), "paused", buffer.get(), "buffer_pause", 0, 0, 0, 0, 640, 480);
    recordedDrawSprite(screen, "screen", buffer.get(), "buffer_pause", 0, 0);
    buffer.reset();
    picture.reset();
    recordedPlaySound(sound::kPause);
    flushRecording();

    while (!ended()) restBetweenPolls();

    // The local bitmaps are already gone; these records release the receivers' copies.
    recordedDestroyBitmap("buffer_pause", nullptr);
    recordedDestroyBitmap("paused", nullptr);
    key[KEY_P] = 0;
}
