// The console dialogue that starts the program: the text menu, the choice of mode and, for the
// network modes, the naming service's address and the number of players.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "net/parametros_rede.h"
#include "platform/player_limits.h"

// Assistir (a spectator) and Rever (a playback) come only from the command line: the dialogue
// offers the first three.
enum class Modo { Servidor, Cliente, Local, Assistir, Rever, Festa };

// Shows the menu on `out`, reads the answers from `in` and fills `params`. Choice 1 is the server,
// 2 the client, anything else (a letter too) the local game. A number of players outside 1 to 6 is
// asked again. Returns nothing when the input ends before the answers are complete.
std::optional<Modo> runEntryDialogue(std::istream& in, std::ostream& out, ParametrosRede& params);

// The closing prompt: asks for Enter and waits for a new line; returns at once at end of input.
void waitForEnter(std::istream& in, std::ostream& out);
