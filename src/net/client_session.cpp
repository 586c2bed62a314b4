#include "net/client_session.h"

#include <allegro.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "corrida.hh"
#include "net/answer_replay.h"
#include "net/corba_failure.h"
#include "net/frame_fetch.h"
#include "net/orb_setup.h"
#include "net/ordered_parts.h"
#include "net/reconnection.h"
#include "net/server_references.h"
#include "net/stop_request.h"
#include "platform/clock.h"
#include "platform/gamepads.h"
#include "platform/graphics.h"
#include "platform/input.h"
#include "platform/lost_display.h"
#include "platform/player_limits.h"
#include "stream/recording_file.h"
#include "stream/viewer_queues.h"

namespace {

// How often the window's keys are looked at: the graphics library reads them from the display every
// 10 ms, so a shorter pause only wakes the thread for nothing.
constexpr int64_t kKeyPollMs = 5;

// How the session ended when it was not by Escape: the first failure's message, and a flag both
// loops watch so that either thread's failure ends the other too.
struct FimDeSessao {
    std::atomic<bool> over{false};
    std::mutex lock;
    std::string reason;

    void fail(const std::string& message) {
        std::lock_guard<std::mutex> hold(lock);
        if (reason.empty()) reason = message;
        over = true;
    }
    bool keepGoing() const { return !key[KEY_ESC] && !over.load() && !stopRequested(); }
};

// The server's three objects, found through the naming service.
struct ObjetosDoServidor {
    FifoServer_var fifo;
    Login_var login;
    Controle_var controle;
};

// Resolves `id` in the root context; throws CORBA exceptions (NotFound for an unbound name).
CORBA::Object_ptr lookUp(CosNaming::NamingContext_ptr names, const char* id) {
    return names->resolve(oneComponentName(id));
}

// Finds the three objects and checks that they are one server's; prints why and returns false
// when it cannot.
bool findServer(CORBA::ORB_ptr orb, const std::string& address, ObjetosDoServidor& server) {
    try {
        CosNaming::NamingContext_var names = rootNamingContext(orb);
        if (CORBA::is_nil(names)) {
            std::cout << "A referencia NameService em " << address
                      << ":9001 nao e um servico de nomes CORBA." << std::endl;
            return false;
        }
        CORBA::Object_var fifo = lookUp(names, "fifo");
        server.fifo = FifoServer::_narrow(fifo);
        CORBA::Object_var login = lookUp(names, "login");
        server.login = Login::_narrow(login);
        CORBA::Object_var controle = lookUp(names, "controle");
        server.controle = Controle::_narrow(controle);
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::ServicoDeNomes, address) << std::endl;
        return false;
    }
    if (CORBA::is_nil(server.fifo) || CORBA::is_nil(server.login) ||
        CORBA::is_nil(server.controle)) {
        std::cout << "Os nomes fifo, login e controle do servico de nomes nao levam a um servidor "
                     "deste jogo."
                  << std::endl;
        return false;
    }
    std::string places;
    if (!sameServer(orb, {server.fifo, server.login, server.controle}, places)) {
        std::cout << "Os nomes fifo, login e controle do servico de nomes em " << address
                  << ":9001 levam a servidores diferentes (" << places
                  << "): alguem trocou nomes nesse servico de nomes. A entrada foi cancelada."
                  << std::endl;
        return false;
    }
    return true;
}

// What joining gave: the player number (-1 when the server is full) and the secret of the later
// calls ("" from a server that only numbers its players, or for a classic join).
struct Entrada {
    int player = -1;
    std::string secret;
};

// CORRIDA_FETCH=classic: measuring the classic client against a server that has everything: it
// joins and fetches with the original operations alone.
bool classicClient() {
    const char* forced = std::getenv("CORRIDA_FETCH");
    return forced && std::string(forced) == "classic";
}

// Joins the server, with a secret where the server offers it; nothing when the call failed (the
// reason is printed).
std::optional<Entrada> joinServer(Login_ptr login, const std::string& address) {
    try {
        if (!classicClient()) {
            try {
                CORBA::String_var secret;
                const CORBA::Short player = login->join(secret.out());
                return Entrada{player, secret.in()};
            } catch (const CORBA::BAD_OPERATION&) {
                // A server from before join: its players are numbers.
            }
        }
        return Entrada{login->logar(), ""};
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::Entrar, address) << std::endl;
        return std::nullopt;
    }
}

// Joins as a spectator; nothing when the server cannot take one (the reason is printed).
std::optional<int> watchServer(Login_ptr login, const std::string& address) {
    try {
        const int viewer = login->assistir();
        if (viewer == -1) {
            std::cout << "O servidor ja tem todos os espectadores que aceita" << std::endl;
            return std::nullopt;
        }
        if (viewer < ViewerQueues::kFirstSpectator) {
            std::cout << "O servidor respondeu com um numero de espectador invalido: " << viewer
                      << std::endl;
            return std::nullopt;
        }
        return viewer;
    } catch (const CORBA::BAD_OPERATION&) {
        std::cout << "O servidor em " << address << " nao aceita espectadores." << std::endl;
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::Entrar, address) << std::endl;
    }
    return std::nullopt;
}

// Sends one remote key press; a failure ends the session, but a lost connection is tried once
// more first (the ORB connects again).
template <typename Call>
void sendKey(Action action, Call call, FimDeSessao& end, const std::string& address) {
    if (!actionDown(action)) return;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            call();
            break;
        } catch (const CORBA::Exception& failure) {
            if (attempt == 0 && isLostConnection(failure)) continue;
            end.fail(describeCorbaFailure(failure, EtapaRede::Jogo, address));
            break;
        }
    }
    consumeAction(action);
}

// The file an environment variable names; "" when it is not set.
std::string environmentPath(const char* variable) {
    const char* path = std::getenv(variable);
    return path ? path : "";
}

// Starts `body` on a thread of its own; a thread that cannot be created ends the process, as the
// receiving thread's creation always has.
std::thread startThread(std::function<void()> body) {
    try {
        return std::thread(std::move(body));
    } catch (const std::system_error& failure) {
        std::printf("ERROR; return code from pthread_create() is %d\n", failure.code().value());
        std::fflush(stdout);
        std::exit(-1);
    }
}

void joinThread(std::thread& thread) {
    try {
        thread.join();
    } catch (const std::system_error& failure) {
        std::printf("ERROR; return code from pthread_join() is %d\n", failure.code().value());
        std::fflush(stdout);
        std::exit(-1);
    }
}

// The window's life: the fetching threads, the replaying thread, the key loop, the joins.
// Returns the failure message, if any.
std::string play(ObjetosDoServidor& server, const Fetcher& self, const std::string& address,
                 FetchPlan plan, ClientRole role, RecordingWriter* recording) {
    FimDeSessao end;
    OrderedParts parts;
    // A client with a secret gets its place back after a lost connection.
    Reconnection reconnection(
        [&]() -> std::optional<uint64_t> {
            CORBA::ULongLong next = 0;
            if (server.login->rejoin(self.secret.c_str(), next) != self.player) return std::nullopt;
            std::cout << "Conexao com o servidor restabelecida: voce continua como jogador "
                      << self.player << "." << std::endl;
            return next;
        },
        parts);
    const FetchLink link{server.fifo.in(), self, address,
                         self.secret.empty() ? nullptr : &reconnection};
    const KeepGoing keepGoing = [&end] { return end.keepGoing(); };
    const ReportFailure fail = [&end](const std::string& message) { end.fail(message); };
    ReplayOptions replay;
    replay.logPath = environmentPath("CORRIDA_REPLAY_LOG");
    // CORRIDA_BITMAP_NAMES=FILE: the bitmap names held at the last picture, written at the end.
    replay.namesPath = environmentPath("CORRIDA_BITMAP_NAMES");
    replay.shownLogPath = environmentPath("CORRIDA_SHOWN_LOG");
    replay.recording = recording;
    replay.compression = plan.compression;

    ClientFigures figures;
    std::vector<std::thread> threads;
    threads.push_back(startThread([&] { replayAnswers(parts, keepGoing, fail, replay, figures); }));
    if (plan.framesFetch) {
        // A refused first answer has ended the session already (fail sets `over`).
        if (plan.compression != Compression::None) {
            fileDeflatedOrReport(plan.firstPart, plan.firstAnswer, parts, fail);
        } else {
            fileAnswerOrReport(plan.firstAnswer, parts, fail);
        }
        for (int i = 0; i < plan.callsInFlight && !end.over; ++i) {
            threads.push_back(
                startThread([&] { fetchFrames(link, parts, keepGoing, fail, plan.compression); }));
        }
    } else {
        threads.push_back(startThread([&] { fetchClassic(link, parts, 1, keepGoing, fail); }));
    }

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
    // Escape is never cleared, so the other threads see it too; a failure sets `over`.
    end.over = true;
    parts.wake();
    for (std::thread& thread : threads) joinThread(thread);
    return end.reason;
}

// Asks the server once how to fetch; prints why and gives nothing when the server is gone.
std::optional<FetchPlan> chooseFetch(FifoServer_ptr fifo, const Fetcher& self,
                                     const std::string& address) {
    try {
        return planFetch(fifo, self, !classicClient());
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::Entrar, address) << std::endl;
        return std::nullopt;
    }
}

// Watches or plays, once the three objects are found; prints why it cannot.
void runAs(ClientRole role, ObjetosDoServidor& server, const ParametrosRede& params) {
    const std::string& address = params.address;
    Fetcher self;
    if (role == ClientRole::Spectator) {
        const std::optional<int> viewer = watchServer(server.login, address);
        if (!viewer) return;
        std::cout << "VOCE ASSISTE COMO ESPECTADOR: " << *viewer << std::endl;
        self = Fetcher{static_cast<CORBA::UShort>(*viewer), ""};
    } else {
        const std::optional<Entrada> joined = joinServer(server.login, address);
        if (!joined) return;  // already reported
        if (joined->player == -1) {
            std::cout << "O servidor ja esta cheio" << std::endl;
            return;
        }
        if (joined->player < 1 || joined->player > kMaxPlayers) {
            std::cout << "O servidor respondeu com um numero de jogador invalido: "
                      << joined->player << std::endl;
            return;
        }
        std::cout << "VOCE EH O PLAYER: " << joined->player << std::endl;
        self = Fetcher{static_cast<CORBA::UShort>(joined->player), joined->secret};
    }
    std::unique_ptr<RecordingWriter> recording;
    if (!openAskedRecording(params.recordingPath, recording)) return;
    std::optional<FinishOnLostDisplay> closeRecording;
    if (recording) closeRecording.emplace([&file = *recording] { file.finishNow(); });
    std::optional<FetchPlan> plan = chooseFetch(server.fifo, self, address);
    if (plan && startGraphics()) {
        catchStopSignals();
        std::string failure;
        {
            // A player's pads flip its own runner and pause, as its keys do.
            std::optional<GamepadSession> pads;
            if (role == ClientRole::Player) {
                pads.emplace();
                setEveryGamepadPlayerOne(true);
            }
            failure = play(server, self, address, std::move(*plan), role, recording.get());
        }
        stopGraphics();
        if (!failure.empty()) std::cout << failure << std::endl;
    }
}

}  // namespace

void runClientSession(ParametrosRede& params, ClientRole role) {
    // Ctrl+C and SIGTERM end the session as Esc does; until the window is up they wait, so that
    // they never meet the graphics library's own handlers.
    struct StopSignals {
        StopSignals() { holdStopSignals(); }
        ~StopSignals() {
            catchStopSignals();  // one held back meanwhile is spent here
            releaseStopSignals();
        }
    } stopSignals;
    const std::string& address = params.address;
    CORBA::ORB_var orb;
    try {
        orb = startOrb("ABC", address);
    } catch (const CORBA::Exception& failure) {
        std::cout << describeCorbaFailure(failure, EtapaRede::IniciarOrb, address) << std::endl;
        return;
    }

    {
        ObjetosDoServidor server;
        if (findServer(orb, address, server)) runAs(role, server, params);
    }

    try {
        orb->destroy();
    } catch (const CORBA::Exception&) {
        // The session is over either way.
    }
}
