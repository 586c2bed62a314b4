// The program's command line: what the words after "corrida" ask for.
//
//   corrida                         the console dialogue, exactly as without a command line
//   corrida --help | --version      print and end
//   corrida local                   the local game
//   corrida servidor N [ENDERECO]   a server for N players (1 to 6); naming service at ENDERECO,
//                                   this machine by default
//   corrida festa N                 a server for N players with the web port, full screen, whose
//                                   waiting screen invites the phones (party_session.h)
//   corrida cliente ENDERECO        a client of the naming service at ENDERECO
//   corrida rever ARQUIVO           plays a recording back
//   corrida assistir ENDERECO       a spectator of the server whose naming service is at ENDERECO
//   --escala N                      with any of these: the game window enlarged N times (1 to 4)
//   --tela-cheia                    with any of these: the game window full screen (F11 switches)
//   --truques                       a server lets its clients' F10 skip the stage
//   --espectadores N                a server lets N spectators watch at once (0 to 500)
//   --web [PORTA]                   a server also serves browsers on PORTA (8080 by default)
//   --fases LISTA                   local and server: the matches' stages (stage_choice.h)
//   --web-endereco ENDERECO         the party's invitation shows ENDERECO (this machine's by
//   default)
//
// Options start with "--" and may stand anywhere; "--" ends them. Every word is checked here, so
// the modes get only values they can trust. A new option is one more row in the option table of
// command_line.cpp and, when it carries a value, one more field in CommandLine.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/entry_dialogue.h"

enum class CommandLineAction {
    Dialogue,  // no words: the console dialogue
    Help,
    Version,
    Run,    // `mode` with `params`
    Error,  // `error` says what is wrong in one line
};

struct CommandLine {
    CommandLineAction action = CommandLineAction::Dialogue;
    Modo mode = Modo::Local;
    ParametrosRede params;
    std::string error;
    std::string playbackPath;  // rever ARQUIVO
    int scale = 0;             // --escala N: the window's scale, 1 to 4; 0 when not given
    bool fullScreen = false;   // --tela-cheia
};

// The naming service's address of a server started without ENDERECO: this machine.
inline const char* const kThisMachine = "127.0.0.1";

// Reads the words after the program's name.
CommandLine parseCommandLine(const std::vector<std::string>& words);

// The usage text, several lines ending in a line break, for `program` (as typed).
std::string usageText(const std::string& program);
