#include "app/graphics.h"

#include <allegro.h>
#include <jpgalleg.h>

#include <cstdio>

#include "stream/gravador_tela.h"

namespace {

bool failed(const char* what) {
    std::printf("%s: %s\n", what, allegro_error[0] ? allegro_error : "erro desconhecido");
    std::fflush(stdout);
    allegro_exit();
    return false;
}

}  // namespace

bool startGraphics() {
    if (allegro_init() != 0) return failed("Nao foi possivel iniciar a biblioteca grafica");
    jpgalleg_init();
    set_color_depth(32);
    const bool server = GravadorTela::instance().playerCount() != 0;
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, server ? 1 : kWindowWidth, server ? 1 : kWindowHeight,
                     0, 0) != 0) {
        return failed("Nao foi possivel abrir a janela do jogo");
    }
    if (install_timer() != 0) return failed("Nao foi possivel iniciar o temporizador");
    if (install_keyboard() != 0) return failed("Nao foi possivel iniciar o teclado");
    return true;
}

void stopGraphics() {
    clear_keybuf();
    allegro_exit();
}
