// Watches a window from outside and logs when what it shows changes: every INTERVAL_MS it copies
// the window's pixels from the X server (shared memory when the server offers it, else a plain
// image request) and compares them with the last copy.
//
// Usage: window_sampler WINDOW_ID SECONDS [INTERVAL_MS]   (WINDOW_ID decimal or 0x hex; the
// interval is 3 ms by default)
//
// One line per change, "MS": the monotonic clock in milliseconds when the changed pixels were
// asked for (CLOCK_MONOTONIC, the clock of the game's own clockMs()). At the end one line:
//
//   SUMMARY changes N seconds S per_second R median_ms M p95_ms P under_10ms U samples K late L
//           grab_ms G cpu_pct C
//
// (one line): the intervals are those between two changes; "late" counts the samples taken more
// than twice the interval after the one before (a change shorter than that gap can be missed);
// grab_ms is the median time one copy took; cpu_pct this program's own CPU in % of one core.
// SIGINT or SIGTERM ends the sampling early, with the summary. The window must stay unobscured
// and on the screen. A window that goes away ends the program with status 3 and a message.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/resource.h>
#include <sys/shm.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kWindowGone = 3;

volatile sig_atomic_t stopAsked = 0;
void askToStop(int) { stopAsked = 1; }

// The first error the X server reported since the last look (0: none).
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event) {
    if (lastXError == 0) lastXError = event->error_code;
    return 0;
}
int connectionLost(Display*) {
    std::fprintf(stderr, "window_sampler: the connection to the X server was lost\n");
    std::exit(kWindowGone);
}

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

void sleepUntil(double ms) {
    timespec t{};
    t.tv_sec = static_cast<time_t>(ms / 1000);
    t.tv_nsec = static_cast<long>((ms - t.tv_sec * 1000.0) * 1e6);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR && !stopAsked) {
    }
}

[[noreturn]] void windowGone(Window window, const char* what) {
    std::fprintf(stderr, "window_sampler: the window 0x%lx %s\n", window, what);
    std::exit(kWindowGone);
}

// Copies of one window's pixels, through shared memory when possible.
class Grabber {
  public:
    Grabber(Display* display, Window window) : display_(display), window_(window) {}
    ~Grabber() { release(); }
    Grabber(const Grabber&) = delete;
    Grabber& operator=(const Grabber&) = delete;

    // Takes a copy of the window into pixels(); false when the window cannot be read any more.
    bool grab() {
        XWindowAttributes attributes{};
        if (!sizeKnown_) {
            if (!XGetWindowAttributes(display_, window_, &attributes)) return false;
            if (attributes.map_state != IsViewable) return false;
            open(attributes);
        }
        lastXError = 0;
        if (shm_) {
            // A request with a reply: an error has reached recordXError by the time it returns.
            if (!XShmGetImage(display_, window_, image_, 0, 0, AllPlanes)) return false;
            if (lastXError != 0) return false;
            pixels_ = image_->data;
            return true;
        }
        XImage* image = XGetImage(display_, window_, 0, 0, width_, height_, AllPlanes, ZPixmap);
        if (image == nullptr || lastXError != 0) {
            if (image) XDestroyImage(image);
            return false;
        }
        copy_.assign(image->data, image->data + image->bytes_per_line * image->height);
        XDestroyImage(image);
        pixels_ = copy_.data();
        size_ = copy_.size();
        return true;
    }
    const char* pixels() const { return pixels_; }
    size_t size() const { return size_; }
    // The window's size changed: the next grab measures it again.
    void resized() {
        release();
        sizeKnown_ = false;
    }

  private:
    void open(const XWindowAttributes& attributes) {
        width_ = attributes.width;
        height_ = attributes.height;
        sizeKnown_ = true;
        shm_ = XShmQueryExtension(display_) && openShared(attributes);
    }
    bool openShared(const XWindowAttributes& attributes) {
        image_ = XShmCreateImage(display_, attributes.visual, attributes.depth, ZPixmap, nullptr,
                                 &segment_, width_, height_);
        if (image_ == nullptr) return false;
        size_ = static_cast<size_t>(image_->bytes_per_line) * image_->height;
        segment_.shmid = shmget(IPC_PRIVATE, size_, IPC_CREAT | 0600);
        if (segment_.shmid < 0) return dropShared();
        segment_.shmaddr = image_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
        if (segment_.shmaddr == reinterpret_cast<char*>(-1)) {
            segment_.shmaddr = nullptr;
            return dropShared();
        }
        segment_.readOnly = False;
        lastXError = 0;
        const bool attached = XShmAttach(display_, &segment_);
        XSync(display_, False);
        // Marked for removal now: it goes when both this program and the server let it go.
        shmctl(segment_.shmid, IPC_RMID, nullptr);
        if (!attached || lastXError != 0) return dropShared();
        attached_ = true;
        return true;
    }
    bool dropShared() {
        release();
        return false;
    }
    void release() {
        if (attached_) XShmDetach(display_, &segment_);
        attached_ = false;
        if (segment_.shmaddr) shmdt(segment_.shmaddr);
        if (segment_.shmid >= 0 && segment_.shmaddr == nullptr) shmctl(segment_.shmid, IPC_RMID, 0);
        segment_ = XShmSegmentInfo{};
        segment_.shmid = -1;
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
        image_ = nullptr;
        pixels_ = nullptr;
        shm_ = false;
    }

    Display* display_;
    Window window_;
    bool sizeKnown_ = false;
    int width_ = 0;
    int height_ = 0;
    bool shm_ = false;
    bool attached_ = false;
    XShmSegmentInfo segment_{0, -1, nullptr, False};
    XImage* image_ = nullptr;
    std::vector<char> copy_;
    const char* pixels_ = nullptr;
    size_t size_ = 0;
};

double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(share * (values.size() - 1) + 0.5);
    return values[std::min(at, values.size() - 1)];
}

// Whether the window's events say it was destroyed or unmapped; notes a change of size.
bool goneOrResized(Display* display, Window window, Grabber& grabber) {
    bool gone = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.xany.window != window) continue;
        if (event.type == DestroyNotify || event.type == UnmapNotify) gone = true;
        if (event.type == ConfigureNotify) grabber.resized();
    }
    return gone;
}

// What one run saw: the times of the changes and of the samples.
struct Sampling {
    std::vector<double> changes;  // ms
    std::vector<double> grabs;    // how long each copy took, ms
    long samples = 0;
    long late = 0;
    double elapsedMs = 0;
    double cpuMs = 0;
};

// Samples the window every `intervalMs` for `seconds`, printing each change as it is seen.
Sampling sample(Display* display, Window window, double seconds, double intervalMs) {
    Grabber grabber(display, window);
    Sampling run;
    std::vector<char> last;
    const double cpuStart = cpuMs();
    const double start = nowMs();
    const double stop = start + seconds * 1000;
    double next = start, previousSample = 0;
    for (double asked = nowMs(); asked < stop && !stopAsked; asked = nowMs()) {
        if (goneOrResized(display, window, grabber)) windowGone(window, "went away");
        if (!grabber.grab())
            windowGone(window, "cannot be read (gone, unmapped or off the screen)");
        run.grabs.push_back(nowMs() - asked);
        if (run.samples > 0 && asked - previousSample > 2 * intervalMs) ++run.late;
        previousSample = asked;
        ++run.samples;
        const char* pixels = grabber.pixels();
        const size_t size = grabber.size();
        if (last.size() != size || std::memcmp(last.data(), pixels, size) != 0) {
            if (!last.empty()) {
                run.changes.push_back(asked);
                std::printf("%.0f\n", asked);
            }
            last.assign(pixels, pixels + size);
        }
        next += intervalMs;
        const double now = nowMs();
        if (next < now) next = now;  // behind: the next sample at once, no catching up
        sleepUntil(std::min(next, stop));
    }
    run.elapsedMs = nowMs() - start;
    run.cpuMs = cpuMs() - cpuStart;
    return run;
}

void printSummary(const Sampling& run) {
    std::vector<double> intervals;
    for (size_t i = 1; i < run.changes.size(); ++i) {
        intervals.push_back(run.changes[i] - run.changes[i - 1]);
    }
    const long under10 =
        std::count_if(intervals.begin(), intervals.end(), [](double ms) { return ms < 10; });
    const double seconds = run.elapsedMs / 1000;
    std::printf(
        "SUMMARY changes %zu seconds %.1f per_second %.1f median_ms %.1f p95_ms %.1f "
        "under_10ms %ld samples %ld late %ld grab_ms %.2f cpu_pct %.1f\n",
        run.changes.size(), seconds, run.changes.size() / seconds, percentile(intervals, 0.5),
        percentile(intervals, 0.95), under10, run.samples, run.late, percentile(run.grabs, 0.5),
        100 * run.cpuMs / run.elapsedMs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: window_sampler WINDOW_ID SECONDS [INTERVAL_MS]\n");
        return 2;
    }
    char* end = nullptr;
    const Window window = std::strtoul(argv[1], &end, 0);
    const double seconds = std::atof(argv[2]);
    const double interval = argc > 3 ? std::atof(argv[3]) : 3;
    if (*end != '\0' || window == 0 || seconds <= 0 || interval <= 0) {
        std::fprintf(stderr, "window_sampler: bad WINDOW_ID, SECONDS or INTERVAL_MS\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "window_sampler: cannot open the display\n");
        return 2;
    }
    struct sigaction stopping {};
    stopping.sa_handler = askToStop;
    stopping.sa_flags = SA_RESTART;  // the X calls go on; the sleep ends at once (never restarted)
    sigaction(SIGINT, &stopping, nullptr);
    sigaction(SIGTERM, &stopping, nullptr);
    XSetErrorHandler(recordXError);
    XSetIOErrorHandler(connectionLost);
    lastXError = 0;
    XSelectInput(display, window, StructureNotifyMask);
    XSync(display, False);
    if (lastXError != 0) windowGone(window, "does not exist");
    const Sampling run = sample(display, window, seconds, interval);
    printSummary(run);
    XCloseDisplay(display);
    return 0;
}
