#include "net/answer_replay.h"

#include <allegro.h>

#include <cinttypes>
#include <cstdio>
#include <memory>
#include <optional>

#include "net/frame_fetch.h"
#include "platform/clock.h"
#include "platform/graphics.h"
#include "stream/compressed_stream_reader.h"
#include "stream/frame_marker.h"
#include "stream/frame_replayer.h"
#include "stream/interpreter.h"
#include "stream/picture_schedule.h"
#include "stream/recording_file.h"

namespace {

// Drawing without picture times (a classic stream) is shown at most this often, and once no more
// has come for as long: an enlargement costs a few milliseconds, and the classic fetch brings many
// small answers per picture.
constexpr int64_t kUnmarkedShowGapMs = 16;

// The pictures the window showed in the last whole second, for F3.
class ShownPace {
  public:
    void shown(int64_t nowMs) {
        roll(nowMs);
        ++count;
    }
    int64_t perSecond(int64_t nowMs) {
        roll(nowMs);
        return rate;
    }

  private:
    void roll(int64_t nowMs) {
        if (nowMs - markMs < 1000) return;
        rate = nowMs - markMs < 2000 ? count * 1000 / (nowMs - markMs) : 0;
        count = 0;
        markMs = nowMs;
    }
    int64_t markMs = clockMs();
    int64_t count = 0;
    int64_t rate = 0;
};

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The window's side: shows what was drawn, counts it and logs it.
class ShownWindow {
  public:
    explicit ShownWindow(const std::string& shownLogPath) {
        if (!shownLogPath.empty()) shownLog.reset(std::fopen(shownLogPath.c_str(), "w"));
        // Whole lines as they happen: the log is read while the client runs.
        if (shownLog) std::setvbuf(shownLog.get(), nullptr, _IOLBF, 0);
    }
    void show(const std::optional<FrameMarker>& marker) {
        presentWindow();
        shownAt = clockMs();
        unshown = false;
        pace.shown(shownAt);
        if (shownLog && marker) {
            std::fprintf(shownLog.get(), "%" PRIu64 " %" PRId64 " %" PRId64 "\n", marker->frame,
                         marker->flushMs, shownAt);
        }
    }
    // Drawing without a marker: shown now if the window has not shown anything for a while.
    void drawnUnmarked() {
        unshown = true;
        if (clockMs() - shownAt >= kUnmarkedShowGapMs) show(std::nullopt);
    }
    // When the drawing left unshown is due, if any.
    std::optional<int64_t> unshownDueMs() const {
        if (!unshown) return std::nullopt;
        return shownAt + kUnmarkedShowGapMs;
    }
    ShownPace pace;

  private:
    std::unique_ptr<std::FILE, CloseFile> shownLog;
    int64_t shownAt = 0;
    bool unshown = false;
};

// How long to wait for an answer before something is due: -1 for as long as it takes.
int64_t waitBeforeDue(const PictureSchedule& schedule, const ShownWindow& window) {
    std::optional<int64_t> due = schedule.nextDueMs();
    const std::optional<int64_t> unshown = window.unshownDueMs();
    if (!due || (unshown && *unshown < *due)) due = unshown;
    if (!due) return -1;
    return std::max<int64_t>(*due - clockMs(), 0);
}

// The body of an answer as the replayer reads it: read from the stream and without its part header
// for the compressed fetch; nothing when it cannot be read.
std::optional<std::string> answerText(OrderedParts::Answer& answer, CompressedStreamReader& stream,
                                      Compression compression) {
    if (compression == Compression::None) return std::move(answer.body);
    const std::optional<std::string> text = stream.read(answer.body, answer.opensStream);
    const std::optional<PartHeader> header =
        text ? readPartHeader(*text) : std::optional<PartHeader>();
    if (!header) return std::nullopt;
    return text->substr(header->bodyStart);
}

}  // namespace

void replayAnswers(OrderedParts& parts, const std::function<bool()>& keepGoing,
                   const std::function<void(const std::string&)>& fail,
                   const ReplayOptions& options, const ClientFigures& figures) {
    // "screen" is the picture the game draws into; presentWindow shows it on the window.
    ListaBitmaps registry(screen);
    if (options.fetchMissingPicture) registry.fetchMissingPicturesWith(options.fetchMissingPicture);
    FrameReplayer replayer(registry, options.logPath, options.namesPath);
    // Leaving stops a long text mid-way: Esc, Ctrl+C and SIGTERM never wait for its drawing.
    replayer.stopWhen([&keepGoing] { return !keepGoing(); });
    if (options.recording) {
        RecordingWriter* recording = options.recording;
        replayer.recordPicturesTo([recording](int64_t ms, std::string picture) {
            recording->add(ms, std::move(picture));
        });
    }
    PictureSchedule schedule;
    ShownWindow window(options.shownLogPath);
    setWindowOverlay([&]() -> std::string {
        if (!figures.shown.load()) return "";
        const int64_t trip = figures.roundTripMs.load();
        return "ida e volta: " + (trip < 0 ? std::string("?") : std::to_string(trip) + " ms") +
               "   quadros/s: " + std::to_string(window.pace.perSecond(clockMs())) +
               "   atraso de exibicao: " + std::to_string(schedule.delayMs()) + " ms";
    });
    CompressedStreamReader stream(options.compression);
    while (keepGoing()) {
        const int64_t wait = waitBeforeDue(schedule, window);
        if (schedule.full()) {
            // No room: the fetching threads wait, and so do the answers, until pictures are due.
            if (wait > 0) sleepMs(std::min<int64_t>(wait, 20));
        } else if (std::optional<OrderedParts::Answer> answer = parts.take(keepGoing, wait)) {
            const std::optional<std::string> text =
                answerText(*answer, stream, options.compression);
            if (!text) {
                fail(kInvalidAnswerMessage);
                break;
            }
            // A stream opens with the pictures drawn before the client came.
            schedule.add(*text, answer->arrivedMs, !answer->opensStream);
            continue;  // whatever else has come goes in before the due pictures are carried out
        }
        // What is due at one moment shares an answer's budget, however many pictures it holds.
        long long budget = kAnswerWorkBudget;
        while (std::optional<PictureSchedule::Step> step = schedule.next(clockMs())) {
            switch (step->action) {
                case PictureSchedule::Action::Show:
                    replayer.carryOut(step->picture, true, budget);
                    window.show(step->picture.marker);
                    break;
                case PictureSchedule::Action::Skip:
                    replayer.carryOut(step->picture, false, budget);
                    break;
                case PictureSchedule::Action::Draw:
                    replayer.carryOut(step->picture, true, budget);
                    window.drawnUnmarked();
                    break;
            }
        }
        const std::optional<int64_t> unshown = window.unshownDueMs();
        if (unshown && *unshown <= clockMs()) window.show(std::nullopt);
    }
    setWindowOverlay({});
}
