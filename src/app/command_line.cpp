#include "app/command_line.h"

#include <algorithm>
#include <cctype>

#include "world/stage_choice.h"

namespace {

// What the options asked for, besides the fields of the command line they fill.
struct Reading {
    CommandLine line;
    bool help = false;
    bool version = false;
};

// One option of the command line. `apply` records it (with its value, when it takes one) and
// returns an error text, empty when the value is fine.
struct OptionRow {
    const char* name;
    const char* shortName;  // nullptr when it has none
    const char* valueName;  // nullptr when it takes no value
    const char* help;
    std::string (*apply)(Reading& reading, const std::string& value);
    // The value may be left out: the next word is the value only when it is a number.
    bool valueOptional = false;
};

bool allDigits(const std::string& word) {
    return !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

bool isAddress(const std::string& word);

const OptionRow kOptions[] = {
    {"--help", "-h", nullptr, "mostra esta ajuda",
     [](Reading& reading, const std::string&) {
         reading.help = true;
         return std::string();
     }},
    {"--version", "-V", nullptr, "mostra a versao",
     [](Reading& reading, const std::string&) {
         reading.version = true;
         return std::string();
     }},
    {"--escala", nullptr, "N", "janela N vezes maior (1 a 4; padrao: a maior que cabe na tela)",
     [](Reading& reading, const std::string& value) {
         if (value.size() != 1 || value[0] < '1' || value[0] > '4') {
             return "escala invalida: " + value + " (de 1 a 4)";
         }
         reading.line.scale = value[0] - '0';
         return std::string();
     }},
    {"--espectadores", nullptr, "N",
     "no servidor: ate N espectadores ao mesmo tempo (0 a 500; padrao: 64)",
     [](Reading& reading, const std::string& value) {
         const bool digits = !value.empty() && value.size() <= 3 &&
                             std::all_of(value.begin(), value.end(), [](char c) {
                                 return std::isdigit(static_cast<unsigned char>(c));
                             });
         if (!digits || std::stoi(value) > Audience::kMostSpectators) {
             return "numero de espectadores invalido: " + value + " (de 0 a " +
                    std::to_string(Audience::kMostSpectators) + ")";
         }
         reading.line.params.spectators = std::stoi(value);
         return std::string();
     }},
    {"--fases", nullptr, "LISTA",
     "jogo local e servidor: as fases da partida, em ordem (3,7,1), ou aleatorio:K (K fases "
     "sorteadas; de 1 a 12)",
     [](Reading& reading, const std::string& value) {
         std::string error;
         const std::optional<StageChoice> choice = parseStageChoice(value, error);
         if (!choice) return error;
         reading.line.params.stages = *choice;
         return std::string();
     }},
    {"--gravar", nullptr, "ARQUIVO", "grava a partida em ARQUIVO (para rever)",
     [](Reading& reading, const std::string& value) {
         if (value.empty()) return std::string("falta o nome do arquivo de --gravar");
         reading.line.params.recordingPath = value;
         return std::string();
     }},
    {"--tela-cheia", nullptr, nullptr, "tela cheia (F11 alterna entre janela e tela cheia)",
     [](Reading& reading, const std::string&) {
         reading.line.fullScreen = true;
         return std::string();
     }},
    {"--web", nullptr, "[PORTA]",
     "no servidor: tambem serve a pagina para navegadores na PORTA (padrao: 8080)",
     [](Reading& reading, const std::string& value) {
         if (value.empty()) {
             reading.line.params.webPort = kDefaultWebPort;
             return std::string();
         }
         if (!allDigits(value) || value.size() > 5 || std::stoi(value) < 1 ||
             std::stoi(value) > 65535) {
             return "porta web invalida: " + value + " (de 1 a 65535)";
         }
         reading.line.params.webPort = std::stoi(value);
         return std::string();
     },
     true},
    {"--web-endereco", nullptr, "ENDERECO",
     "na festa: o endereco que o codigo da tela mostra (padrao: o desta maquina na rede)",
     [](Reading& reading, const std::string& value) {
         if (!isAddress(value)) return "endereco web invalido: " + value;
         reading.line.params.invitationAddress = value;
         return std::string();
     }},
    {"--truques", nullptr, nullptr, "no servidor: F10 dos clientes pula a fase",
     [](Reading& reading, const std::string&) {
         reading.line.params.cheatsAllowed = true;
         return std::string();
     }},
};

const OptionRow* findOption(const std::string& word) {
    for (const OptionRow& row : kOptions) {
        if (word == row.name || (row.shortName && word == row.shortName)) return &row;
    }
    return nullptr;
}

CommandLine failure(const std::string& text) {
    CommandLine line;
    line.action = CommandLineAction::Error;
    line.error = text;
    return line;
}

// A player count: one or two decimal digits, 1 to 6.
std::optional<int32_t> playerCount(const std::string& word) {
    if (word.empty() || word.size() > 2) return std::nullopt;
    for (const char c : word) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    const int32_t count = std::stoi(word);
    if (count < kMinPlayers || count > kMaxPlayers) return std::nullopt;
    return count;
}

// A host name or IPv4 address. It goes into a corbaloc reference, so only the characters of host
// names are taken.
bool isAddress(const std::string& word) {
    if (word.empty() || word.front() == '-' || word.front() == '.') return false;
    return std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
    });
}

// The player count of a mode that hosts a match on this machine (words[1]); the problem, or empty.
// `whose` ends the missing-count message ("do servidor", "da festa").
std::string readHostedPlayers(const std::vector<std::string>& words, const std::string& whose,
                              CommandLine& line) {
    if (words.size() < 2) return "falta o numero de jogadores " + whose;
    const std::optional<int32_t> count = playerCount(words[1]);
    if (!count) {
        return "numero de jogadores invalido: " + words[1] + " (de " + std::to_string(kMinPlayers) +
               " a " + std::to_string(kMaxPlayers) + ")";
    }
    line.params.numPlayers = *count;
    line.params.address = kThisMachine;
    return "";
}

// Fills the mode and its parameters from the words that are not options; returns an error text,
// empty when they are fine.
std::string readMode(const std::vector<std::string>& words, CommandLine& line) {
    const std::string& mode = words[0];
    size_t used = 1;
    if (mode == "local") {
        line.mode = Modo::Local;
    } else if (mode == "servidor") {
        line.mode = Modo::Servidor;
        const std::string problem = readHostedPlayers(words, "do servidor", line);
        if (!problem.empty()) return problem;
        used = 2;
        if (words.size() > 2) {
            if (!isAddress(words[2])) return "endereco invalido: " + words[2];
            line.params.address = words[2];
            used = 3;
        }
    } else if (mode == "festa") {
        line.mode = Modo::Festa;
        const std::string problem = readHostedPlayers(words, "da festa", line);
        if (!problem.empty()) return problem;
        if (line.params.webPort == 0) line.params.webPort = kDefaultWebPort;
        used = 2;
    } else if (mode == "cliente" || mode == "assistir") {
        line.mode = mode == "cliente" ? Modo::Cliente : Modo::Assistir;
        if (words.size() < 2) return "falta o endereco do servidor de nomes";
        if (!isAddress(words[1])) return "endereco invalido: " + words[1];
        line.params.address = words[1];
        used = 2;
    } else if (mode == "rever") {
        line.mode = Modo::Rever;
        if (words.size() < 2 || words[1].empty()) return "falta o arquivo da gravacao";
        line.playbackPath = words[1];
        used = 2;
    } else {
        return "modo desconhecido: " + mode +
               " (local, servidor, festa, cliente, assistir ou rever)";
    }
    if (words.size() > used) return "argumento a mais: " + words[used];
    if (!line.params.stages.empty() && line.mode != Modo::Local && line.mode != Modo::Servidor &&
        line.mode != Modo::Festa)
        return "--fases vale so para local, servidor e festa";
    if (!line.params.invitationAddress.empty() && line.mode != Modo::Festa) {
        return "--web-endereco vale apenas para a festa";
    }
    return "";
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& words) {
    Reading reading;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        // "--name=value" carries its value in the same word.
        const size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const OptionRow* row = findOption(name);
        if (!row) return failure("opcao desconhecida: " + name);
        std::string value;
        if (row->valueName) {
            if (equals != std::string::npos) {
                value = word.substr(equals + 1);
                if (value.empty() && row->valueOptional) return failure("falta o valor de " + name);
            } else if (row->valueOptional) {
                if (i + 1 < words.size() && allDigits(words[i + 1])) value = words[++i];
            } else if (i + 1 < words.size()) {
                value = words[++i];
            } else {
                return failure("falta o valor de " + name);
            }
        } else if (equals != std::string::npos) {
            return failure(name + " nao recebe valor");
        }
        const std::string error = row->apply(reading, value);
        if (!error.empty()) return failure(error);
    }

    CommandLine& line = reading.line;
    if (reading.help) {
        line.action = CommandLineAction::Help;
    } else if (reading.version) {
        line.action = CommandLineAction::Version;
    } else if (positional.empty()) {
        line.action = CommandLineAction::Dialogue;
    } else {
        const std::string error = readMode(positional, line);
        if (!error.empty()) return failure(error);
        line.action = CommandLineAction::Run;
    }
    return line;
}

std::string usageText(const std::string& program) {
    std::string text =
        "uso: " + program +
        " [opcoes] [local | servidor N [ENDERECO] | festa N | cliente ENDERECO |\n"
        "       assistir ENDERECO | rever ARQUIVO]\n" +
        "  (sem argumentos)       o menu no console\n"
        "  local                  jogo local, todos no mesmo teclado\n"
        "  servidor N [ENDERECO]  servidor para N jogadores (1 a 6), com o servico de nomes\n"
        "                         em ENDERECO (padrao: esta maquina, que o inicia se nada\n"
        "                         responder na porta 9001)\n"
        "  festa N                servidor para N jogadores com a pagina web, em tela cheia:\n"
        "                         os celulares entram pelo codigo da tela (a TV)\n"
        "  cliente ENDERECO       cliente do servico de nomes em ENDERECO\n"
        "  assistir ENDERECO      assiste a partida do servidor em ENDERECO, sem jogar\n"
        "  rever ARQUIVO          reve uma partida gravada com --gravar (P pausa, setas\n"
        "                         voltam e avancam 5 s, Home volta ao inicio, Esc sai)\n"
        "opcoes:\n";
    for (const OptionRow& row : kOptions) {
        std::string names = row.name;
        if (row.shortName) names = std::string(row.shortName) + ", " + names;
        if (row.valueName) names += std::string(" ") + row.valueName;
        names.resize(std::max<size_t>(names.size() + 2, 23), ' ');
        text += "  " + names + row.help + "\n";
    }
    return text;
}
