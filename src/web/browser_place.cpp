#include "web/browser_place.h"

#include "net/server_context.h"
#include "web/stream_message.h"

BrowserPlace::BrowserPlace(ServerContext& server, std::string host)
    : server(server), requests(server, [host = std::move(host)] { return host; }) {}

BrowserPlace::~BrowserPlace() { leaveAudience(); }

void BrowserPlace::leaveAudience() {
    if (viewer_ >= 0 && !playing()) requests.leave(viewer_);
    viewer_ = -1;
}

void BrowserPlace::takePlayer(int player, const std::string& playerSecret) {
    leaveAudience();
    viewer_ = player;
    secret = playerSecret;
    startStream();
}

void BrowserPlace::startStream() {
    packer = DeltaPacker();
    deflater = std::make_unique<Deflater>();
}

std::string BrowserPlace::answerJoin() {
    const PlayerSlots::Joined joined = requests.joinWithSecret();
    if (joined.player < 0) return "refused join";
    takePlayer(joined.player, joined.secret);
    return "player " + std::to_string(joined.player) + " " + joined.secret;
}

std::string BrowserPlace::answerRejoin(const std::string& asked) {
    const std::optional<PlaceRequests::Rejoined> back = requests.rejoin(asked);
    if (!back) return "refused rejoin";
    takePlayer(back->player, asked);
    return "player " + std::to_string(back->player) + " " + asked;
}

std::string BrowserPlace::answerWatch() {
    const int spectator = requests.watch();
    if (spectator < 0) return "refused watch";
    viewer_ = spectator;
    startStream();
    return "spectator " + std::to_string(spectator);
}

void BrowserPlace::act(BrowserMessage::Kind kind) {
    // Only a player's own place, and only while the guard still finds it the secret's.
    if (!playing()) {
        ++server.refusals.foreignCalls;
        return;
    }
    const std::optional<int> player = requests.guard().find(Claim::ofSecret(secret.c_str()));
    if (!player) return;
    if (kind == BrowserMessage::Kind::Flip) {
        requests.flip(*player);
    } else {
        requests.pause(*player);
    }
}

std::optional<std::string> BrowserPlace::handle(const BrowserMessage& message) {
    using Kind = BrowserMessage::Kind;
    switch (message.kind) {
        case Kind::Watch:
            if (viewer_ >= 0) return std::nullopt;
            return answerWatch();
        case Kind::Join:
            if (playing()) return std::nullopt;
            return answerJoin();
        case Kind::Rejoin:
            if (playing() && message.secret == secret) return std::nullopt;
            return answerRejoin(message.secret);
        case Kind::Flip:
        case Kind::Pause:
            act(message.kind);
            return std::nullopt;
        case Kind::Ping:
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::string> BrowserPlace::takeStream() {
    if (viewer_ < 0) return std::string();
    const Claim claim = playing() ? Claim::ofSecret(secret.c_str()) : Claim::viewerNumber(viewer_);
    const std::optional<int> held = requests.guard().admitPush(claim);
    if (!held || *held != viewer_) return std::nullopt;
    const std::string text = server.viewers.queues().takeFrames(static_cast<uint16_t>(viewer_), 0);
    if (text.empty()) return std::string();
    return streamMessage(*deflater, packer.pack(text));
}
