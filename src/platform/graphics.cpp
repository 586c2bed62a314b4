#include "platform/graphics.h"

#include <allegro.h>
#include <jpgalleg.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

#include "platform/background_calls.h"
#include "platform/bitmap_handle.h"
#include "platform/console_report.h"
#include "platform/enlarged_picture.h"
#include "platform/full_screen_layout.h"
#include "platform/input.h"
#include "platform/input_without_round_trip.h"
#include "platform/lost_display.h"
#include "platform/screen_config.h"
#include "platform/sound_player.h"
#include "platform/window_manager_hints.h"

namespace {

// The game window, while one is open: `screen` then names the picture drawn into, and `window`
// the library's own bitmap that shows it (null when a switch lost the window altogether).
struct GameWindow {
    BITMAP* window = nullptr;
    BitmapHandle picture;
    // A band of the picture enlarged for the window, made at the first present.
    BitmapHandle enlargedBand;
    PictureLayout layout{1, 0, 0};
    bool fullScreen = false;
};

struct Graphics {
    int requestedScale = 0;  // setWindowScale's
    bool fullScreenRequested = false;
    GameWindow game;
    // F11 seen by the keyboard's own thread: a press and its release may both be handled between
    // two pictures of a busy drawing thread, which would then never see the key down.
    std::atomic<bool> fullScreenPressed{false};
    std::atomic<void (*)(int)> otherKeyListener{nullptr};  // the sound's (the library has one)
    std::function<std::string()> windowOverlay;
    bool screenConfigReported = false;  // a problem of tela.conf is said once per process
};
// Process-wide, like the library's `screen` and window it stands beside: the library's keyboard
// callback carries no context, and every screen draws into `screen` without one.
Graphics gfx;

void onKeyEvent(int scanCode) {
    if (scanCode == KEY_F11) gfx.fullScreenPressed = true;  // a release carries 0x80
    if (void (*other)(int) = gfx.otherKeyListener.load()) other(scanCode);
}
END_OF_FUNCTION(onKeyEvent)

void listenForFullScreen() {
    LOCK_FUNCTION(onKeyEvent);
    gfx.otherKeyListener = keyboard_lowlevel_callback;
    keyboard_lowlevel_callback = onKeyEvent;
}

void stopListening() {
    if (keyboard_lowlevel_callback == onKeyEvent)
        keyboard_lowlevel_callback = gfx.otherKeyListener.load();
    gfx.otherKeyListener = nullptr;
    gfx.fullScreenPressed = false;
}

int chosenScale() {
    if (gfx.requestedScale >= 1) return gfx.requestedScale;
    int width = 0, height = 0;
    if (get_desktop_resolution(&width, &height) != 0) return 1;
    return fittingScale(width, height);
}

// Sets the library's window up for a picture of `width` x `height`: full screen, or enlarged by
// the window scale (not enlarged when the larger window cannot be had). Fills the layout of
// gfx.game.
bool openWindow(int width, int height, bool fullScreen) {
    if (fullScreen) {
        int desktopWidth = 0, desktopHeight = 0;
        if (get_desktop_resolution(&desktopWidth, &desktopHeight) != 0) return false;
        if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, desktopWidth, desktopHeight, 0, 0) != 0) {
            return false;
        }
        askFullScreen(true);
        gfx.game.layout = fullScreenLayout(desktopWidth, desktopHeight);
        return true;
    }
    const int scale = chosenScale();
    if (scale > 1 &&
        set_gfx_mode(GFX_AUTODETECT_WINDOWED, width * scale, height * scale, 0, 0) == 0) {
        gfx.game.layout = {scale, 0, 0};
        return true;
    }
    gfx.game.layout = {1, 0, 0};
    return set_gfx_mode(GFX_AUTODETECT_WINDOWED, width, height, 0, 0) == 0;
}

// The game window: full screen when asked (a window when that cannot be had), with the picture
// `screen` will name.
bool openGameWindow(int width, int height) {
    bool fullScreen = gfx.fullScreenRequested;
    if (!fullScreen) {
        const ScreenConfig saved = loadScreenConfig();
        if (saved.problem && !gfx.screenConfigReported) {
            gfx.screenConfigReported = true;
            reportLine(*saved.problem);
        }
        fullScreen = saved.fullScreen;
    }
    if (fullScreen && !openWindow(width, height, true)) fullScreen = false;
    if (!fullScreen && !openWindow(width, height, false)) return false;
    BitmapHandle picture(create_bitmap(width, height));
    if (!picture) return false;
    clear_to_color(picture.get(), makecol(0, 0, 0));
    clear_to_color(screen, makecol(0, 0, 0));
    gfx.game.window = screen;
    gfx.game.picture = std::move(picture);
    gfx.game.fullScreen = fullScreen;
    screen = gfx.game.picture.get();
    return true;
}

void closeGameWindow() {
    if (!gfx.game.picture) return;
    screen = gfx.game.window;
    gfx.game = {};
}

// Window to full screen or back, between two pictures. The library frees its own `screen` when it
// changes mode, so it gets it back for the change; the game's picture stays.
void switchFullScreen() {
    const int width = gfx.game.picture->w, height = gfx.game.picture->h;
    const bool wanted = !gfx.game.fullScreen;
    screen = gfx.game.window;
    if (gfx.game.fullScreen) askFullScreen(false);
    bool now = wanted;
    if (!openWindow(width, height, wanted)) {
        reportLine(std::string(wanted ? "Nao foi possivel abrir a tela cheia"
                                      : "Nao foi possivel voltar a janela") +
                   ": " + (allegro_error[0] ? allegro_error : "erro desconhecido"));
        now = !wanted;
        if (!openWindow(width, height, now)) screen = nullptr;
    }
    gfx.game.window = screen;
    gfx.game.fullScreen = now;
    screen = gfx.game.picture.get();
    if (!gfx.game.window) {
        reportLine("A janela do jogo se perdeu; a imagem nao sera mais mostrada.");
        return;
    }
    clear_to_color(gfx.game.window, makecol(0, 0, 0));
    if (now == wanted) saveFullScreenChoice(now);
}

bool failed(const char* what) {
    reportLine(std::string(what) + ": " + (allegro_error[0] ? allegro_error : "erro desconhecido"));
    closeGameWindow();
    allegro_exit();
    return false;
}

}  // namespace

void setWindowScale(int scale) {
    gfx.requestedScale = scale >= 1 && scale <= kMaxWindowScale ? scale : 0;
}

void setFullScreenRequested(bool fullScreen) { gfx.fullScreenRequested = fullScreen; }

int fittingScale(int desktopWidth, int desktopHeight) {
    int scale = 1;
    while (scale < kMaxWindowScale && kWindowWidth * (scale + 1) <= desktopWidth &&
           kWindowHeight * (scale + 1) <= desktopHeight) {
        ++scale;
    }
    return scale;
}

bool startGraphics(const WindowRequest& window) {
    useSleepingBackgroundThread();
    if (allegro_init() != 0) return failed("Nao foi possivel iniciar a biblioteca grafica");
    jpgalleg_init();
    set_color_depth(32);
    const bool opened = window.scaled ? openGameWindow(window.width, window.height)
                                      : set_gfx_mode(GFX_AUTODETECT_WINDOWED, window.width,
                                                     window.height, 0, 0) == 0;
    if (!opened) return failed("Nao foi possivel abrir a janela do jogo");
    endProcessOnLostDisplay();
    readInputOnlyWhenPending();
    if (install_timer() != 0) return failed("Nao foi possivel iniciar o temporizador");
    if (install_keyboard() != 0) return failed("Nao foi possivel iniciar o teclado");
    if (window.sound) startSound();
    if (gfx.game.picture) listenForFullScreen();
    return true;
}

void stopGraphics() {
    readInputEveryRound();
    stopListening();
    stopSound();
    clear_keybuf();
    closeGameWindow();
    allegro_exit();
}

int windowScale() { return gfx.game.picture ? gfx.game.layout.factor : 1; }

bool windowIsFullScreen() { return gfx.game.picture && gfx.game.fullScreen; }

void setWindowOverlay(std::function<std::string()> text) { gfx.windowOverlay = std::move(text); }

bool windowSwitchAsked() {
    return gfx.game.picture && (gfx.fullScreenPressed.load() || actionDown(Action::FullScreen));
}

namespace {

// The bitmap a band of the picture is enlarged into for the window, when the picture's kind allows
// it.
BITMAP* enlargedBand() {
    GameWindow& game = gfx.game;
    const int factor = game.layout.factor;
    const int width = game.picture->w * factor, height = kEnlargedBandRows * factor;
    if (!game.enlargedBand || game.enlargedBand->w != width || game.enlargedBand->h != height) {
        game.enlargedBand = BitmapHandle(create_bitmap_ex(32, width, height));
    }
    return canEnlargeInto(game.picture.get(), game.enlargedBand.get(), factor, kEnlargedBandRows)
               ? game.enlargedBand.get()
               : nullptr;
}

}  // namespace

void presentWindow() {
    if (!gfx.game.picture) return;
    if (gfx.fullScreenPressed.exchange(false) || actionDown(Action::FullScreen)) {
        consumeAction(Action::FullScreen);
        if (gfx.game.window) switchFullScreen();
    }
    if (!gfx.game.window) return;
    const int width = gfx.game.picture->w, height = gfx.game.picture->h;
    const PictureLayout& at = gfx.game.layout;
    if (at.factor == 1) {
        blit(gfx.game.picture.get(), gfx.game.window, 0, 0, at.x, at.y, width, height);
    } else if (BITMAP* band = enlargedBand()) {
        for (int y = 0; y < height; y += kEnlargedBandRows) {
            const int rows = std::min(kEnlargedBandRows, height - y);
            enlargeInto(gfx.game.picture.get(), y, rows, band, at.factor);
            blit(band, gfx.game.window, 0, 0, at.x, at.y + y * at.factor, width * at.factor,
                 rows * at.factor);
        }
    } else {
        stretch_blit(gfx.game.picture.get(), gfx.game.window, 0, 0, width, height, at.x, at.y,
                     width * at.factor, height * at.factor);
    }
    if (gfx.windowOverlay) {
        const std::string text = gfx.windowOverlay();
        if (!text.empty()) {
            textout_ex(gfx.game.window, font, text.c_str(), at.x + 6, at.y + 6,
                       makecol(255, 255, 255), makecol(0, 0, 0));
        }
    }
}
