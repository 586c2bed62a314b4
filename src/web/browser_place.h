// BrowserPlace: one browser's place on a server, as its WebSocket keeps it (web_port.h): none yet,
// a spectator number, or a player's number with its secret.
//
// The browser's messages (browser_message.h) ask for a place or act for the one it holds; each goes
// through the server's place requests, so the one guard judges and counts it as it does a native
// client's call. The answers are the texts the browser reads:
//   "player N SECRET"  this browser now plays N (after join or rejoin)
//   "spectator N"      this browser now watches
//   "refused join" | "refused rejoin" | "refused watch"
// A browser that holds a place is not given another of the same kind: a second join, or a watch,
// asks nothing.
//
// The place's pictures are taken as a fetch would take them, delta-packed and deflated into the
// messages of stream_message.h, in a stream that starts afresh with each new place, as the place's
// queue does.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "net/place_requests.h"
#include "stream/deflate_stream.h"
#include "stream/delta_packing.h"
#include "web/browser_message.h"

struct ServerContext;

class BrowserPlace {
  public:
    BrowserPlace(ServerContext& server, std::string host);
    // A spectator's number is free at once; a player's place waits for its secret to come back,
    // by the rejoin rules (player_slots.h).
    ~BrowserPlace();
    BrowserPlace(const BrowserPlace&) = delete;
    BrowserPlace& operator=(const BrowserPlace&) = delete;

    // What the browser is told in answer to `message`; nothing when nothing is to be said.
    std::optional<std::string> handle(const BrowserMessage& message);

    // The pictures waiting for the place, as one stream message; "" when none wait or no place is
    // held. Nothing
    // when the place was lost (a spectator that lapsed, a player whose number went to another).
    std::optional<std::string> takeStream();

    // -1 while no place is held.
    int viewer() const { return viewer_; }
    bool playing() const { return !secret.empty(); }

  private:
    std::string answerJoin();
    std::string answerRejoin(const std::string& secret);
    std::string answerWatch();
    void act(BrowserMessage::Kind kind);
    void takePlayer(int player, const std::string& playerSecret);
    void leaveAudience();

    ServerContext& server;
    PlaceRequests requests;
    int viewer_ = -1;
    std::string secret;  // empty unless playing
    DeltaPacker packer;
    std::unique_ptr<Deflater> deflater;

    void startStream();
};
