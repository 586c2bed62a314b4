// What the network modes need to start: where the naming service is and, for a server, how many
// players it admits. Filled by the console dialogue or the command line.
#pragma once

#include <cstdint>
#include <string>

#include "net/audience.h"
#include "world/stage_choice.h"

// The web port when --web names none.
constexpr int32_t kDefaultWebPort = 8080;

struct ParametrosRede {
    std::string address;         // host of the naming service, one word as typed
    int32_t numPlayers = 0;      // players of a server (1 to 6); read only for the server
    bool cheatsAllowed = false;  // a server: its clients' F10 ends the stage (--truques)
    // A server: how many spectators may watch at once (--espectadores).
    int32_t spectators = Audience::kMaxSpectators;
    // A server hosted in one step: the endpoint on port 9001 where it serves its own names
    // (net/hosted_names.h); empty when it registers in a naming service that runs already.
    std::string ownNamesEndpoint;
    // --web [PORTA]: the port a server serves browsers on (web_port.h); 0 for none.
    int32_t webPort = 0;
    // The connections the web port may hold, which the ORB's connections leave free.
    int32_t webConnections = 0;
    // corrida festa: the address the phones open ("http://ADDRESS:PORT/"), shown on the waiting
    // screen, and the server's own full-screen view (the TV); empty for a plain server.
    std::string invitationUrl;
    // --web-endereco ADDRESS: the address in the invitation; empty for this machine's LAN address.
    std::string invitationAddress;
    // --gravar: the file the match is recorded in, as this process sees it; empty for none.
    std::string recordingPath;
    // --fases: the stages of a server's matches (local ones take it too); nothing chosen: 1 and 2.
    StageChoice stages;
};
