#include "platform/graphics.h"

#include <allegro.h>
#include <jpgalleg.h>

#include <string>
#include <utility>

#include "platform/bitmap_handle.h"
#include "platform/console_report.h"
#include "platform/sound_player.h"

namespace {

int requestedScale = 0;

// The enlarged window, while one is open: `screen` then names the picture drawn into.
struct ScaledWindow {
    BITMAP* window = nullptr;  // the library's own
    BitmapHandle picture;
    int scale = 1;
};
ScaledWindow scaled;

int chosenScale() {
    if (requestedScale >= 1) return requestedScale;
    int width = 0, height = 0;
    if (get_desktop_resolution(&width, &height) != 0) return 1;
    return fittingScale(width, height);
}

// Opens a window for a `width` x `height` picture enlarged `scale` times, or not enlarged when the
// larger window cannot be had.
bool openScaledWindow(int width, int height, int scale) {
    if (scale > 1 &&
        set_gfx_mode(GFX_AUTODETECT_WINDOWED, width * scale, height * scale, 0, 0) == 0) {
        BitmapHandle picture(create_bitmap(width, height));
        if (picture) {
            clear_to_color(picture.get(), makecol(0, 0, 0));
            scaled = {screen, std::move(picture), scale};
            screen = scaled.picture.get();
            return true;
        }
    }
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0;
}

void closeScaledWindow() {
    if (!scaled.picture) return;
    screen = scaled.window;
    scaled = {};
}

bool failed(const char* what) {
    reportLine(std::string(what) + ": " + (allegro_error[0] ? allegro_error : "erro desconhecido"));
    closeScaledWindow();
    allegro_exit();
    return false;
}

}  // namespace

void setWindowScale(int scale) {
    requestedScale = scale >= 1 && scale <= kMaxWindowScale ? scale : 0;
}

int fittingScale(int desktopWidth, int desktopHeight) {
    int scale = 1;
    while (scale < kMaxWindowScale && kWindowWidth * (scale + 1) <= desktopWidth &&
           kWindowHeight * (scale + 1) <= desktopHeight) {
        ++scale;
    }
    return scale;
}

bool startGraphics(const WindowRequest& window) {
    if (allegro_init() != 0) return failed("Nao foi possivel iniciar a biblioteca grafica");
    jpgalleg_init();
    set_color_depth(32);
    const bool opened = window.scaled ? openScaledWindow(window.width, window.height, chosenScale())
                                      : set_gfx_mode(GFX_AUTODETECT_WINDOWED, window.width,
                                                     window.height, 0, 0) == 0;
    if (!opened) return failed("Nao foi possivel abrir a janela do jogo");
    if (install_timer() != 0) return failed("Nao foi possivel iniciar o temporizador");
    if (install_keyboard() != 0) return failed("Nao foi possivel iniciar o teclado");
    if (window.sound) startSound();
    return true;
}

void stopGraphics() {
    stopSound();
    clear_keybuf();
    closeScaledWindow();
    allegro_exit();
}

int windowScale() { return scaled.scale; }

void presentWindow() {
    if (!scaled.picture) return;
    const int width = scaled.picture->w, height = scaled.picture->h;
    stretch_blit(scaled.picture.get(), scaled.window, 0, 0, width, height, 0, 0,
                 width * scaled.scale, height * scaled.scale);
}
