// Opens the game window the way a mode does and keeps it until standard input closes.
// Usage: graphics_probe PLAYERS (0 for the local game or a client, 1 to 6 for a server).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/graphics.h"

int main(int argc, char** argv) {
    const int players = argc > 1 ? std::atoi(argv[1]) : 0;
    // A server only records: its window just gives the library a keyboard.
    if (!startGraphics(players > 0 ? kKeyboardOnlyWindow : kGameWindow)) return 1;
    std::printf("JANELA PRONTA\n");
    std::fflush(stdout);
    for (int c; (c = std::getchar()) != EOF;) {
    }
    stopGraphics();
    return 0;
}
