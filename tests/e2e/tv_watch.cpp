// tv_watch: watches the runners on a screen from outside, for the party's tests and its latency
// measure. Every INTERVAL_MS it copies the game's picture from the X screen (the 640 x 480 picture
// shown FACTOR times larger with its top left corner at LEFT, TOP: a full-screen window), takes
// every FACTOR-th pixel back, and finds each runner's sheet in it as sprite_probe does (upright or
// upside down, at least 75% of the frame's visible pixels equal), first near where it was last.
//
// Usage: tv_watch SECONDS LEFT TOP FACTOR INTERVAL_MS SHEET.bmp...   (the display from $DISPLAY)
//
// One line each time a runner's pose changes (upright, flipped or none) or it moves up or down by
// kMoved pixels or more since the last line: "MS POSE..." with MS the monotonic clock in
// milliseconds when the changed pixels were asked for (CLOCK_MONOTONIC, the game's clockMs()),
// and one POSE a sheet, "u:X:Y", "f:X:Y" or "n". Ends after SECONDS, or at SIGINT / SIGTERM, with
// "SUMMARY samples N median_ms M": how many pictures it looked at, and the median time between two
// (a change is seen at most that much after it was shown).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <allegro.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 42;
constexpr int kHeight = 47;
constexpr int kPictureWidth = 640;
constexpr int kPictureHeight = 480;
constexpr int kNear = 64;  // how far from its last place a runner is looked for first
constexpr int kQuickPixels = 24;
constexpr size_t kWholeLookEvery = 8;
// A runner that stands moves neither up nor down: this much is a move (a flip's first).
constexpr int kMoved = 2;

volatile sig_atomic_t ended = 0;
void end(int) { ended = 1; }

int64_t nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

struct Visible {
    int dx, dy;
    uint32_t colour;
};

struct Frame {
    bool flipped;
    std::vector<Visible> visible;
};

struct Pose {
    char kind = 'n';  // 'u', 'f' or 'n'
    int x = 0, y = 0;
};

std::vector<Frame> framesOf(BITMAP* sheet) {
    std::vector<Frame> frames;
    const int mask = bitmap_mask_color(sheet);
    for (int k = 0; k < 9; ++k) {
        const int fx = k < 5 ? k * kWidth : (k - 5) * kWidth;
        const int fy = k < 5 ? 0 : kHeight + 2;
        for (int flipped = 0; flipped < 2; ++flipped) {
            Frame frame{flipped != 0, {}};
            for (int y = 0; y < kHeight; ++y) {
                for (int x = 0; x < kWidth; ++x) {
                    const int colour =
                        getpixel(sheet, fx + x, fy + (flipped ? kHeight - 1 - y : y));
                    if (colour != mask) {
                        // As the X server holds it: red, green, blue from the high byte down.
                        const uint32_t rgb = (getr32(colour) << 16) | (getg32(colour) << 8) |
                                             static_cast<uint32_t>(getb32(colour));
                        frame.visible.push_back({x, y, rgb});
                    }
                }
            }
            // Spread the first pixels over the figure, so that a quick look rejects most places.
            std::vector<Visible> spread;
            const size_t step = frame.visible.size() / kQuickPixels + 1;
            for (size_t start = 0; start < step; ++start) {
                for (size_t i = start; i < frame.visible.size(); i += step) {
                    spread.push_back(frame.visible[i]);
                }
            }
            frame.visible = spread;
            if (frame.visible.size() >= 50) frames.push_back(std::move(frame));
        }
    }
    return frames;
}

double scoreAt(const std::vector<uint32_t>& picture, const Frame& frame, int x, int y) {
    const int allowed = static_cast<int>(frame.visible.size()) / 4;
    int misses = 0;
    int looked = 0;
    for (const Visible& pixel : frame.visible) {
        if (picture[(y + pixel.dy) * kPictureWidth + x + pixel.dx] != pixel.colour) {
            if (++misses > allowed) return 0;
        }
        ++looked;
        // Most places are told apart by their first few pixels.
        if ((looked == 4 && misses > 2) || (looked == kQuickPixels && misses > kQuickPixels / 3)) {
            return 0;
        }
    }
    return 1.0 - static_cast<double>(misses) / frame.visible.size();
}

Pose find(const std::vector<uint32_t>& picture, const std::vector<Frame>& frames, int x0, int y0,
          int x1, int y1) {
    double best = 0;
    Pose pose;
    for (const Frame& frame : frames) {
        for (int y = std::max(0, y0); y <= std::min(kPictureHeight - kHeight, y1); ++y) {
            for (int x = std::max(0, x0); x <= std::min(kPictureWidth - kWidth, x1); ++x) {
                const double score = scoreAt(picture, frame, x, y);
                if (score > best) {
                    best = score;
                    pose = {frame.flipped ? 'f' : 'u', x, y};
                }
            }
        }
    }
    if (best < 0.75) return Pose{};
    return pose;
}

std::string text(const Pose& pose) {
    if (pose.kind == 'n') return "n";
    return std::string(1, pose.kind) + ":" + std::to_string(pose.x) + ":" + std::to_string(pose.y);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr, "uso: tv_watch SEGUNDOS ESQUERDA TOPO FATOR INTERVALO_MS FOLHA...\n");
        return 2;
    }
    const double seconds = std::atof(argv[1]);
    const int left = std::atoi(argv[2]), top = std::atoi(argv[3]), factor = std::atoi(argv[4]);
    const int intervalMs = std::atoi(argv[5]);
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    std::vector<std::vector<Frame>> sheets;
    for (int i = 6; i < argc; ++i) {
        BITMAP* sheet = load_bitmap(argv[i], nullptr);
        if (!sheet) {
            std::fprintf(stderr, "imagem ilegivel: %s\n", argv[i]);
            return 2;
        }
        sheets.push_back(framesOf(sheet));
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "sem tela\n");
        return 2;
    }
    signal(SIGINT, end);
    signal(SIGTERM, end);
    const Window root = DefaultRootWindow(display);
    // The copy goes through shared memory: a whole plain image request each sample would set the
    // pace.
    const int screenNumber = DefaultScreen(display);
    XShmSegmentInfo segment{};
    XImage* image = nullptr;
    if (XShmQueryExtension(display)) {
        image = XShmCreateImage(display, DefaultVisual(display, screenNumber),
                                DefaultDepth(display, screenNumber), ZPixmap, nullptr, &segment,
                                kPictureWidth * factor, kPictureHeight * factor);
    }
    if (image) {
        segment.shmid =
            shmget(IPC_PRIVATE, image->bytes_per_line * image->height, IPC_CREAT | 0600);
        segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
        segment.readOnly = False;
        XShmAttach(display, &segment);
        XSync(display, False);
        shmctl(segment.shmid, IPC_RMID, nullptr);
    }
    std::vector<uint32_t> picture(kPictureWidth * kPictureHeight);
    std::vector<Pose> last(sheets.size());
    std::vector<Pose> shown(sheets.size(), Pose{'?'});
    const int64_t until = nowMs() + static_cast<int64_t>(seconds * 1000);
    std::vector<int64_t> gaps;
    int64_t previous = -1;
    while (!ended && nowMs() < until) {
        const int64_t asked = nowMs();
        if (previous >= 0) gaps.push_back(asked - previous);
        previous = asked;
        XImage* plain = nullptr;
        if (image) {
            if (!XShmGetImage(display, root, image, left, top, AllPlanes)) return 3;
        } else {
            plain = XGetImage(display, root, left, top, kPictureWidth * factor,
                              kPictureHeight * factor, AllPlanes, ZPixmap);
            if (!plain) return 3;
        }
        const XImage* copy = image ? image : plain;
        for (int y = 0; y < kPictureHeight; ++y) {
            const auto* row =
                reinterpret_cast<const uint32_t*>(copy->data + y * factor * copy->bytes_per_line);
            for (int x = 0; x < kPictureWidth; ++x) {
                picture[y * kPictureWidth + x] = row[x * factor] & 0xffffff;
            }
        }
        if (plain) XDestroyImage(plain);
        bool changed = false;
        std::vector<std::string> now(sheets.size());
        for (size_t i = 0; i < sheets.size(); ++i) {
            Pose pose;
            if (last[i].kind != 'n') {
                pose = find(picture, sheets[i], last[i].x - kNear, last[i].y - kNear,
                            last[i].x + kNear, last[i].y + kNear);
            }
            // The whole picture is looked through at once when a runner is lost, and then only
            // every kWholeLookEvery samples while it stays away, so the samples keep their pace.
            if (pose.kind == 'n' && (last[i].kind != 'n' || gaps.size() % kWholeLookEvery == 0)) {
                pose = find(picture, sheets[i], 0, 0, kPictureWidth, kPictureHeight);
            }
            if (pose.kind != shown[i].kind || std::abs(pose.y - shown[i].y) >= kMoved) {
                changed = true;
            }
            last[i] = pose;
            now[i] = text(pose);
        }
        if (changed) {
            shown = last;
            std::printf("%lld", static_cast<long long>(asked));
            for (const std::string& pose : now) std::printf(" %s", pose.c_str());
            std::printf("\n");
            std::fflush(stdout);
        }
        const int64_t next = asked + intervalMs;
        while (nowMs() < next && !ended) {
            const timespec pause{0, 1000000};
            nanosleep(&pause, nullptr);
        }
    }
    if (image) {
        XShmDetach(display, &segment);
        XDestroyImage(image);
        shmdt(segment.shmaddr);
    }
    XCloseDisplay(display);
    std::sort(gaps.begin(), gaps.end());
    std::printf("SUMMARY samples %zu median_ms %lld\n", gaps.size() + 1,
                static_cast<long long>(gaps.empty() ? 0 : gaps[gaps.size() / 2]));
    return 0;
}
