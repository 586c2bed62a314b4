#include "platform/gamepads.h"

bool startGamepads() { return false; }
bool startGamepadsWithoutThread() { return false; }
void pumpGamepads() {}
void stopGamepads() {}
int gamepadNumberOfPlayer(int) { return 0; }
int gamepadPressing(Action) { return 0; }
void giveGamepadToPlayer(int, int) {}
void clearGamepadPlayers() {}
void setEveryGamepadPlayerOne(bool) {}
int gamepadCount() { return 0; }
