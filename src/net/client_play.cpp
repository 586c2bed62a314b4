#include "net/client_play.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "net/answer_replay.h"
#include "net/client_keys.h"
#include "net/ordered_parts.h"
#include "net/reconnection.h"
#include "net/session_end.h"
#include "net/stage_level_fetch.h"

namespace {

// The file an environment variable names; "" when it is not set.
std::string environmentPath(const char* variable) {
    const char* path = std::getenv(variable);
    return path ? path : "";
}

// The session's threads: one that cannot be started ends the session with the system's answer.
class SessionThreads {
  public:
    explicit SessionThreads(SessionEnd& end) : end(end) {}
    ~SessionThreads() { joinAll(); }
    SessionThreads(const SessionThreads&) = delete;
    SessionThreads& operator=(const SessionThreads&) = delete;

    void start(std::function<void()> body) {
        try {
            threads.emplace_back(std::move(body));
        } catch (const std::system_error& failure) {
            failed = true;
            end.fail("ERROR; return code from pthread_create() is " +
                     std::to_string(failure.code().value()));
        }
    }
    void joinAll() {
        for (std::thread& thread : threads) {
            if (!thread.joinable()) continue;
            try {
                thread.join();
            } catch (const std::system_error& failure) {
                failed = true;
                std::cout << "ERROR; return code from pthread_join() is " << failure.code().value()
                          << std::endl;
                thread.detach();
            }
        }
    }
    bool anyFailed() const { return failed; }

  private:
    SessionEnd& end;
    std::vector<std::thread> threads;
    bool failed = false;
};

}  // namespace

PlayOutcome play(ServerObjects& server, const Fetcher& self, const std::string& address,
                 FetchPlan plan, ClientRole role, RecordingWriter* recording) {
    SessionEnd end;
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
    replay.fetchMissingPicture = StageLevelFetch(server.fifo.in());

    ClientFigures figures;
    SessionThreads threads(end);
    threads.start([&] { replayAnswers(parts, keepGoing, fail, replay, figures); });
    if (plan.framesFetch) {
        // A refused first answer has ended the session already (fail sets `over`).
        if (plan.compression != Compression::None) {
            fileDeflatedOrReport(plan.firstPart, plan.firstAnswer, parts, fail);
        } else {
            fileAnswerOrReport(plan.firstAnswer, parts, fail);
        }
        for (int i = 0; i < plan.callsInFlight && !end.over; ++i) {
            threads.start([&] { fetchFrames(link, parts, keepGoing, fail, plan.compression); });
        }
    } else {
        threads.start([&] { fetchClassic(link, parts, 1, keepGoing, fail); });
    }

    runKeyLoop(server, self, role, end, figures, address);
    // Escape is never cleared, so the other threads see it too; a failure sets `over`.
    end.over = true;
    parts.wake();
    threads.joinAll();
    return PlayOutcome{end.reason, threads.anyFailed()};
}
