// The keys a player may choose for their flip, by the graphics library's names without "KEY_"
// (KEY_Z is "Z", KEY_0_PAD is "0_PAD"), with the label their race picture shows. The image
// generator draws one picture per entry (Img/Jogo/Teclas/NAME.bmp); the game reads the names in
// teclas.conf.
#pragma once

#include <allegro.h>

#include <cstring>

struct ChoosableKey {
    int scanCode;
    const char* name;   // Allegro's name without KEY_
    const char* label;  // what the picture says
};

inline constexpr ChoosableKey kChoosableKeys[] = {
    {KEY_A, "A", "A"},
    {KEY_B, "B", "B"},
    {KEY_C, "C", "C"},
    {KEY_D, "D", "D"},
    {KEY_E, "E", "E"},
    {KEY_F, "F", "F"},
    {KEY_G, "G", "G"},
    {KEY_H, "H", "H"},
    {KEY_I, "I", "I"},
    {KEY_J, "J", "J"},
    {KEY_K, "K", "K"},
    {KEY_L, "L", "L"},
    {KEY_M, "M", "M"},
    {KEY_N, "N", "N"},
    {KEY_O, "O", "O"},
    {KEY_Q, "Q", "Q"},
    {KEY_R, "R", "R"},
    {KEY_T, "T", "T"},
    {KEY_U, "U", "U"},
    {KEY_V, "V", "V"},
    {KEY_W, "W", "W"},
    {KEY_X, "X", "X"},
    {KEY_Y, "Y", "Y"},
    {KEY_Z, "Z", "Z"},
    {KEY_0, "0", "0"},
    {KEY_1, "1", "1"},
    {KEY_2, "2", "2"},
    {KEY_3, "3", "3"},
    {KEY_4, "4", "4"},
    {KEY_5, "5", "5"},
    {KEY_6, "6", "6"},
    {KEY_7, "7", "7"},
    {KEY_8, "8", "8"},
    {KEY_9, "9", "9"},
    {KEY_0_PAD, "0_PAD", "N0"},
    {KEY_1_PAD, "1_PAD", "N1"},
    {KEY_2_PAD, "2_PAD", "N2"},
    {KEY_3_PAD, "3_PAD", "N3"},
    {KEY_4_PAD, "4_PAD", "N4"},
    {KEY_5_PAD, "5_PAD", "N5"},
    {KEY_6_PAD, "6_PAD", "N6"},
    {KEY_7_PAD, "7_PAD", "N7"},
    {KEY_8_PAD, "8_PAD", "N8"},
    {KEY_9_PAD, "9_PAD", "N9"},
    {KEY_LEFT, "LEFT", "<"},
    {KEY_RIGHT, "RIGHT", ">"},
    {KEY_UP, "UP", "^"},
    {KEY_DOWN, "DOWN", "v"},
    {KEY_SPACE, "SPACE", "SPC"},
    {KEY_TAB, "TAB", "TAB"},
    {KEY_LSHIFT, "LSHIFT", "SHF"},
    {KEY_RSHIFT, "RSHIFT", "SHF"},
    {KEY_LCONTROL, "LCONTROL", "CTL"},
    {KEY_RCONTROL, "RCONTROL", "CTL"},
    {KEY_ALT, "ALT", "ALT"},
    {KEY_ALTGR, "ALTGR", "AGR"},
    {KEY_BACKSPACE, "BACKSPACE", "BKS"},
    {KEY_INSERT, "INSERT", "INS"},
    {KEY_DEL, "DEL", "DEL"},
    {KEY_HOME, "HOME", "HOM"},
    {KEY_END, "END", "END"},
    {KEY_PGUP, "PGUP", "PGU"},
    {KEY_PGDN, "PGDN", "PGD"},
    {KEY_COMMA, "COMMA", ","},
    {KEY_STOP, "STOP", "."},
    {KEY_SLASH, "SLASH", "/"},
    {KEY_SEMICOLON, "SEMICOLON", ";"},
    {KEY_QUOTE, "QUOTE", "'"},
    {KEY_MINUS, "MINUS", "-"},
    {KEY_EQUALS, "EQUALS", "="},
    {KEY_OPENBRACE, "OPENBRACE", "["},
    {KEY_CLOSEBRACE, "CLOSEBRACE", "]"},
    {KEY_BACKSLASH, "BACKSLASH", "\\"},
    {KEY_TILDE, "TILDE", "~"},
    {KEY_F1, "F1", "F1"},
    {KEY_F2, "F2", "F2"},
    {KEY_F3, "F3", "F3"},
    {KEY_F4, "F4", "F4"},
    {KEY_F5, "F5", "F5"},
    {KEY_F6, "F6", "F6"},
    {KEY_F7, "F7", "F7"},
    {KEY_F8, "F8", "F8"},
    {KEY_F9, "F9", "F9"},
    {KEY_F12, "F12", "F12"},
};

// The entry of `scanCode`, or null for a key no player may choose.
inline const ChoosableKey* choosableKey(int scanCode) {
    for (const ChoosableKey& entry : kChoosableKeys) {
        if (entry.scanCode == scanCode) return &entry;
    }
    return nullptr;
}

// The entry named `name` (exactly, upper case), or null.
inline const ChoosableKey* choosableKeyNamed(const char* name) {
    for (const ChoosableKey& entry : kChoosableKeys) {
        if (std::strcmp(entry.name, name) == 0) return &entry;
    }
    return nullptr;
}
