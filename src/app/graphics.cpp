#include "app/graphics.h"

#include <allegro.h>
#include <jpgalleg.h>

#include <cstdio>

#include "app/sound_player.h"
#include "stream/gravador_tela.h"

namespace {

int requestedScale = 0;

// The enlarged window, while one is open: `screen` then names the picture drawn into.
struct ScaledWindow {
    BITMAP* window = nullptr;
    BITMAP* picture = nullptr;
    int scale = 1;
};
ScaledWindow scaled;

int chosenScale() {
    if (requestedScale >= 1) return requestedScale;
    int width = 0, height = 0;
    if (get_desktop_resolution(&width, &height) != 0) return 1;
    return fittingScale(width, height);
}

// Opens the game window at `scale`, or at scale 1 when the larger one cannot be had.
bool openGameWindow(int scale) {
    if (scale > 1 && set_gfx_mode(GFX_AUTODETECT_WINDOWED, kWindowWidth * scale,
                                  kWindowHeight * scale, 0, 0) == 0) {
        BITMAP* picture = create_bitmap(kWindowWidth, kWindowHeight);
        if (picture) {
            clear_to_color(picture, makecol(0, 0, 0));
            scaled = {screen, picture, scale};
            screen = picture;
            return true;
        }
    }
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, kWindowWidth, kWindowHeight, 0, 0) == 0;
}

void closeScaledWindow() {
    if (!scaled.picture) return;
    screen = scaled.window;
    destroy_bitmap(scaled.picture);
    scaled = {};
}

bool failed(const char* what) {
    std::printf("%s: %s\n", what, allegro_error[0] ? allegro_error : "erro desconhecido");
    std::fflush(stdout);
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

bool startGraphics() {
    if (allegro_init() != 0) return failed("Nao foi possivel iniciar a biblioteca grafica");
    jpgalleg_init();
    set_color_depth(32);
    const bool server = GravadorTela::instance().playerCount() != 0;
    const bool opened = server ? set_gfx_mode(GFX_AUTODETECT_WINDOWED, 1, 1, 0, 0) == 0
                               : openGameWindow(chosenScale());
    if (!opened) return failed("Nao foi possivel abrir a janela do jogo");
    if (install_timer() != 0) return failed("Nao foi possivel iniciar o temporizador");
    if (install_keyboard() != 0) return failed("Nao foi possivel iniciar o teclado");
    if (!server) startSound();
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
    stretch_blit(scaled.picture, scaled.window, 0, 0, kWindowWidth, kWindowHeight, 0, 0,
                 kWindowWidth * scaled.scale, kWindowHeight * scaled.scale);
}
