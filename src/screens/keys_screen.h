// The TECLAS screen, opened from the main menu: the players, one after the other, press the key
// that flips their runner (key_choice.h). Enter keeps the key a player has; a key another player
// has, or one of another action, is refused and the clash shown under the rows. When player 6 has
// chosen, the keys are saved in teclas.conf (key_config.h) and used at once; Esc goes back to the
// menu first and changes nothing. Returns whether the keys were saved.
#pragma once

bool runKeysScreen();
