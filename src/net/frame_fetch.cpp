#include "net/frame_fetch.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "net/corba_failure.h"
#include "net/fetch_ticket.h"
#include "platform/clock.h"
#include "stream/frame_marker.h"

namespace {

constexpr int64_t kPictureMs = 34;

}  // namespace

const char* const kInvalidAnswerMessage = "O servidor enviou uma resposta invalida.";
const char* const kTooMuchWaitingMessage =
    "O servidor enviou respostas fora de ordem ou depressa demais para serem mostradas; a sessao "
    "foi encerrada.";
const char* const kPlaceLostMessage =
    "A conexao com o servidor caiu e o seu lugar ja nao e seu: entre de novo.";

Filing fileFramesAnswer(const std::string& answer, OrderedParts& parts) {
    if (answer.empty()) return Filing::Filed;
    const std::optional<PartHeader> header = readPartHeader(answer);
    if (!header) return Filing::NoPartHeader;
    return parts.put(header->part, answer.substr(header->bodyStart)) ? Filing::Filed
                                                                     : Filing::TooMuchWaiting;
}

bool fileAnswerOrReport(const std::string& answer, OrderedParts& parts, const ReportFailure& fail) {
    switch (fileFramesAnswer(answer, parts)) {
        case Filing::Filed:
            return true;
        case Filing::NoPartHeader:
            fail(kInvalidAnswerMessage);
            return false;
        case Filing::TooMuchWaiting:
            fail(kTooMuchWaitingMessage);
            return false;
    }
    return false;
}

int callsInFlightFor(int64_t roundTripMs) {
    const int64_t pictures = std::max<int64_t>(roundTripMs, 0) / kPictureMs;
    return static_cast<int>(std::clamp<int64_t>(3 + pictures + pictures / 2, 3, 12));
}

std::string takeFramesFor(FifoServer_ptr fifo, const Fetcher& fetcher, CORBA::UShort waitMs) {
    CORBA::String_var answer = fetcher.secret.empty()
                                   ? fifo->takeFrames(fetcher.player, waitMs)
                                   : fifo->takeOwnFrames(fetcher.secret.c_str(), waitMs);
    return answer.in();
}

std::string takeCompressedFor(FifoServer_ptr fifo, const Fetcher& fetcher, CORBA::UShort waitMs,
                              uint64_t& part, Compression compression) {
    CORBA::ULongLong taken = 0;
    const char* secret = fetcher.secret.c_str();
    Deflated_var answer;
    if (compression == Compression::Packed && !fetcher.secret.empty()) {
        taken = fifo->pop(fetchTicket(fetcher.secret), waitMs, answer.out());
    } else if (compression == Compression::Packed) {
        answer = fifo->takePackedFrames(fetcher.player, waitMs, taken);
    } else {
        answer = fetcher.secret.empty() ? fifo->takeDeflatedFrames(fetcher.player, waitMs, taken)
                                        : fifo->takeOwnDeflatedFrames(secret, waitMs, taken);
    }
    part = taken;
    return std::string(reinterpret_cast<const char*>(answer->get_buffer()), answer->length());
}

bool fileDeflatedOrReport(uint64_t part, std::string bytes, OrderedParts& parts,
                          const ReportFailure& fail) {
    if (part == 0) return true;  // nothing waited
    if (parts.put(part, std::move(bytes))) return true;
    fail(kTooMuchWaitingMessage);
    return false;
}

// The compressions to try, best first. CORRIDA_FETCH=plain or =deflated: measuring the fetches
// against a server that has them all.
std::vector<Compression> compressionsToTry() {
    const char* forced = std::getenv("CORRIDA_FETCH");
    const std::string asked = forced ? forced : "";
    if (asked == "plain") return {};
    if (asked == "deflated") return {Compression::Deflated};
    return {Compression::Packed, Compression::Deflated};
}

FetchPlan planFetch(FifoServer_ptr fifo, const Fetcher& fetcher, bool framesAllowed) {
    FetchPlan plan;
    if (!framesAllowed) return plan;
    for (const Compression compression : compressionsToTry()) {
        try {
            const int64_t start = clockMs();
            uint64_t part = 0;
            std::string answer = takeCompressedFor(fifo, fetcher, 0, part, compression);
            const int64_t roundTrip = clockMs() - start;
            plan.framesFetch = true;
            plan.compression = compression;
            plan.callsInFlight = callsInFlightFor(roundTrip);
            plan.firstAnswer = std::move(answer);
            plan.firstPart = part;
            return plan;
        } catch (const CORBA::BAD_OPERATION&) {
            // A server from before this compression.
        }
    }
    try {
        const int64_t start = clockMs();
        std::string answer = takeFramesFor(fifo, fetcher, 0);
        const int64_t roundTrip = clockMs() - start;
        plan.framesFetch = true;
        plan.callsInFlight = callsInFlightFor(roundTrip);
        plan.firstAnswer = std::move(answer);
    } catch (const CORBA::BAD_OPERATION&) {
        // A server from before takeFrames.
    }
    return plan;
}

void fetchFrames(const FetchLink& link, OrderedParts& parts, const KeepGoing& keepGoing,
                 const ReportFailure& fail, Compression compression) {
    while (keepGoing()) {
        const uint64_t generation = link.reconnection ? link.reconnection->generation() : 0;
        try {
            if (compression != Compression::None) {
                uint64_t part = 0;
                std::string bytes =
                    takeCompressedFor(link.fifo, link.fetcher, kFramesHoldMs, part, compression);
                if (!fileDeflatedOrReport(part, std::move(bytes), parts, fail)) return;
            } else {
                const std::string answer = takeFramesFor(link.fifo, link.fetcher, kFramesHoldMs);
                if (!fileAnswerOrReport(answer, parts, fail)) return;
            }
            // No faster than the window shows: the next call waits while the backlog is full.
            parts.awaitRoom(keepGoing);
        } catch (const CORBA::Exception& failure) {
            bool placeLost = false;
            if (link.reconnection && isLostConnection(failure) && keepGoing() &&
                link.reconnection->recover(generation, placeLost)) {
                continue;
            }
            fail(placeLost ? kPlaceLostMessage
                           : describeCorbaFailure(failure, NetworkStage::Playing, link.address));
            return;
        }
    }
}

void fetchClassic(const FetchLink& link, OrderedParts& parts, uint64_t firstPart,
                  const KeepGoing& keepGoing, const ReportFailure& fail) {
    uint64_t part = firstPart;
    while (keepGoing()) {
        try {
            CORBA::String_var batch = link.fifo->getInstructions(link.fetcher.player);
            if (batch[0] != '\0') {
                if (!parts.put(part++, batch.in())) {
                    fail(kTooMuchWaitingMessage);
                    return;
                }
                parts.awaitRoom(keepGoing);
            } else {
                // Nothing recorded yet: a short rest instead of hammering the server.
                restBetweenPolls();
            }
        } catch (const CORBA::Exception& failure) {
            fail(describeCorbaFailure(failure, NetworkStage::Playing, link.address));
            return;
        }
    }
}
