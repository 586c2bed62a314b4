#include "screens/info_screens.h"

#include <allegro.h>

#include <utility>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/window_size.h"
#include "screens/screen_image.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"

namespace {

bool showPictureUntilEscape(const char* pictureName, const char* picturePath,
                            const char* bufferName) {
    BitmapHandle picture = loadScreenImage(pictureName, picturePath);
    BitmapHandle buffer =
        createScreenBuffer(bufferName, kWindowWidth, kWindowHeight, makecol(0, 0, 0));
    recordedBlit(picture.get(), pictureName, buffer.get(), bufferName, 0, 0, 0, 0, kWindowWidth,
                 kWindowHeight);
    recordedDrawSprite(screen, kScreenName, buffer.get(), bufferName, 0, 0);
    flushRecording();

    while (!actionDown(Action::Back)) restBetweenPolls();
    consumeAction(Action::Back);

    recordedDestroyBitmap(bufferName, std::move(buffer));
    recordedDestroyBitmap(pictureName, std::move(picture));
    return true;
}

}  // namespace

bool runInstructionsScreen() {
    return showPictureUntilEscape("bg_instrucoes", "Img/menu/bg_instrucoes.jpg",
                                  "buffer_instrucoes");
}

bool runCreditsScreen() {
    return showPictureUntilEscape("bg_integrantes", "Img/menu/bg_integrantes.jpg",
                                  "buffer_integrantes");
}
