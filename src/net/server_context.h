// ServerContext: what a server's game thread and its remote-request threads share, made by the
// server session before either starts and passed to both: the drawing recorder (installed as the
// process's recorder while the context lives, so that everything drawn is recorded), the viewers'
// streams it feeds, a queue and a deflate stream per player and spectator, the control state of the
// race in progress, who holds each player and spectator number, and the count of what the server
// refused.
#pragma once

#include <string>

#include "net/audience.h"
#include "net/calls_in_flight.h"
#include "net/classic_stage_notice.h"
#include "net/estado_controle.h"
#include "net/level_fetch_rate.h"
#include "net/player_slots.h"
#include "net/refusal_counts.h"
#include "stream/gravador_tela.h"
#include "stream/viewer_streams.h"
#include "world/stage_list.h"

struct ServerContext {
    // `cheatsAllowed`: the host lets the remote cheat work (--truques); `spectators`: how many may
    // watch at once (--espectadores).
    explicit ServerContext(int playerCount, bool cheatsAllowed = false,
                           int spectators = Audience::kMaxSpectators)
        : playerCount(playerCount),
          viewers(playerCount),
          slots(playerCount),
          spectators(
              ViewerQueues::kFirstSpectator,
              [this](uint16_t viewer) { viewers.restartQueue(viewer); },
              [this](uint16_t viewer) { viewers.closeSpectator(viewer); }, spectators),
          callsInFlight(callsPerAddressFor(this->spectators.maxPerAddress())) {
        control.cheatsAllowed = cheatsAllowed;
        recorder.subscribe(viewers);
        GravadorTela::install(&recorder);
    }
    ~ServerContext() { GravadorTela::install(nullptr); }
    ServerContext(const ServerContext&) = delete;
    ServerContext& operator=(const ServerContext&) = delete;

    const int playerCount;
    ViewerStreams viewers;
    GravadorTela recorder{SessionMode::RecordsOnly};
    EstadoControle control;
    PlayerSlots slots;
    Audience spectators;
    CallsInFlight callsInFlight;
    RefusalCounts refusals;
    // The stages whose levels the server sends a client that lacks their pictures (null: none),
    // and how often each address may ask (FifoServer's stageLevel).
    const std::vector<ListedStage>* stages = nullptr;
    LevelFetchRate levelFetches;
    // Whether the match plays stages other than 1 and 2, which a classic client does not hold:
    // the server then says so when one joins.
    bool otherStagesInMatch = false;
    ClassicStageNotice classicNotice;
    // `corrida festa`: the address the waiting screen invites the phones to ("http://...:PORT/");
    // empty for a plain server. Set before the game thread starts.
    std::string invitationUrl;
};
