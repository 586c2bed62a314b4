#include "net/client_keys.h"

#include "net/corba_failure.h"
#include "platform/clock.h"
#include "platform/input.h"

namespace {

// How often the window's keys are looked at: the graphics library reads them from the display every
// 10 ms, so a shorter pause only wakes the thread for nothing.
constexpr int64_t kKeyPollMs = 5;

// Sends one remote key press; a failure ends the session, but a lost connection is tried once
// more first (the ORB connects again).
template <typename Call>
void sendKey(Action action, Call call, SessionEnd& end, const std::string& address) {
    if (!actionDown(action)) return;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            call();
            break;
        } catch (const CORBA::Exception& failure) {
            if (attempt == 0 && isLostConnection(failure)) continue;
            end.fail(describeCorbaFailure(failure, NetworkStage::Playing, address));
            break;
        }
    }
    consumeAction(action);
}

}  // namespace

void runKeyLoop(ServerObjects& server, const Fetcher& self, ClientRole role, SessionEnd& end,
                ClientFigures& figures, const std::string& address) {
    const CORBA::Short ownNumber = static_cast<CORBA::Short>(self.player);
    const char* secret = self.secret.c_str();
    const bool numbered = self.secret.empty();
    Controle_ptr controle = server.controle.in();
    int64_t measuredAt = 0;
    const auto figuresKey = [&] {
        if (actionDown(Action::Overlay)) {
            consumeAction(Action::Overlay);
            figures.shown = !figures.shown.load();
        }
        // While shown, the round trip of a call the server answers at once, once a second.
        if (!figures.shown.load() || clockMs() - measuredAt < 1000) return;
        measuredAt = clockMs();
        try {
            server.fifo->_non_existent();
            figures.roundTripMs = clockMs() - measuredAt;
        } catch (const CORBA::Exception&) {
            figures.roundTripMs = -1;
        }
    };
    // A spectator's keys change nothing in the match: only S (the sound), F3 and Esc work.
    while (role == ClientRole::Spectator && end.keepGoing()) {
        figuresKey();
        sleepMs(kKeyPollMs);
    }
    while (end.keepGoing()) {
        figuresKey();
        sendKey(
            // The client's own runner flips with player 1's key (teclas.conf) or any gamepad.
            Action::Flip1,
            [&] { numbered ? controle->alterarGravidade(ownNumber) : controle->flip(secret); }, end,
            address);
        sendKey(
            Action::Pause, [&] { numbered ? controle->pausar() : controle->pause(secret); }, end,
            address);
        sendKey(
            Action::Cheat, [&] { numbered ? controle->usarCheat() : controle->cheat(secret); }, end,
            address);
        sleepMs(kKeyPollMs);
    }
}
