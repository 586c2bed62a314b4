// What a client shows is what the server drew: the same deterministic race frames of stage 1,
// played once locally (drawn on the window) and once as a server (only recorded), give the same
// picture, pixel for pixel, once the client has replayed the server's batches.
#include <gtest/gtest.h>
#include <jpgalleg.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/server_match.h"
#include "platform/clock.h"
#include "stream/gravador_tela.h"
#include "stream/interpreter.h"
#include "world/flip_keys.h"
#include "world/mapa.h"
#include "world/stage_loading.h"
#include "world/world_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPlayers = 2;
const std::vector<int> kCheckpoints = {1, 15, 45, 90};

// The game's images, except that each player's number picture (what a server names) is the same
// picture as the player's key (what the local game loads): the one intended difference between
// the two pictures is which file is named, and this test compares the drawing itself.
class SameKeyPictures {
  public:
    SameKeyPictures() {
        jpgalleg_init();  // the stage pictures are JPEG files
        const fs::path source = fs::path(TEST_IMG_ROOT) / "Img";
        for (const auto& entry : fs::recursive_directory_iterator(source)) {
            if (!entry.is_regular_file()) continue;
            const fs::path relative = fs::relative(entry.path(), source.parent_path());
            fs::create_directories(dir.path() / relative.parent_path());
            fs::create_symlink(entry.path(), dir.path() / relative);
        }
        for (int player = 1; player <= kMaxPlayers; ++player) {
            const FlipKeys& keys = flipKeysOf(player);
            fs::remove(keys.recordedImage);
            fs::copy_file(keys.localImage, keys.recordedImage);
        }
    }

  private:
    TempImageDir dir;
};

BITMAP* blackWindow() {
    BITMAP* window = create_bitmap(640, 480);
    clear_to_color(window, makecol(0, 0, 0));
    return window;
}

// Plays the frames of stage 1, calling `atCheckpoint(frame)` after each checkpoint frame.
template <typename Checkpoint>
void raceStage1(Checkpoint atCheckpoint) {
    SimulatedClockScope clock(1000);
    std::unique_ptr<Mapa> stage = loadStage1(serverRunnerImages(), kPlayers);
    for (int frame = 1; frame <= kCheckpoints.back(); ++frame) {
        stage->raceFrame();
        advanceSimulatedClock(kFrameGapMs + 1);
        GravadorTela::instance().flush();
        atCheckpoint(frame);
    }
    stage.reset();  // its runners and their key timers with it
}

bool isCheckpoint(int frame) {
    for (int checkpoint : kCheckpoints) {
        if (checkpoint == frame) return true;
    }
    return false;
}

long differingPixels(BITMAP* a, BITMAP* b) {
    long count = 0;
    for (int y = 0; y < a->h; ++y) {
        for (int x = 0; x < a->w; ++x) count += getpixel(a, x, y) != getpixel(b, x, y);
    }
    return count;
}

TEST(ServerReplay, ClientPictureEqualsTheLocalPictureOfTheSameFrames) {
    SameKeyPictures images;
    BITMAP* const realScreen = screen;

    // Local play: the game draws on its window.
    std::map<int, BITMAP*> local;
    BITMAP* window = blackWindow();
    screen = window;
    {
        RecorderScope localRecorder(0);
        raceStage1([&](int frame) {
            if (!isCheckpoint(frame)) return;
            local[frame] = create_bitmap(640, 480);
            blit(window, local[frame], 0, 0, 0, 0, 640, 480);
        });
    }

    // A server for two players: nothing drawn, everything recorded; player 1's client replays it.
    BITMAP* serverWindow = blackWindow();
    BITMAP* client = blackWindow();
    screen = serverWindow;
    {
        RecorderScope server(kPlayers);
        ListaBitmaps registry(client);
        long long heaviest = 0;
        raceStage1([&](int frame) {
            // Every batch, the empty ones included, as the client's receiving loop takes them.
            while (server.queues().queuedBatches(1) > 0) {
                const std::string batch = server.queues().takeBatch(1);
                WorkBudget budget;
                if (!batch.empty()) executeBatch(registry, batch, budget);
                EXPECT_EQ(budget.piecesSkipped(), 0) << "frame " << frame;
                heaviest = std::max(heaviest, budget.pixelsUsed());
            }
            if (!isCheckpoint(frame)) return;
            EXPECT_EQ(0, differingPixels(local[frame], client)) << "frame " << frame;
        });
        // The stage's loading, the heaviest picture, leaves most of a picture's work budget.
        EXPECT_LE(heaviest, kPictureWorkBudget / 2) << heaviest;
        // The server's own window was never drawn on.
        BITMAP* black = blackWindow();
        EXPECT_EQ(0, differingPixels(serverWindow, black));
        destroy_bitmap(black);
    }
    screen = realScreen;
    for (auto& [frame, picture] : local) destroy_bitmap(picture);
    destroy_bitmap(window);
    destroy_bitmap(serverWindow);
    destroy_bitmap(client);
}

}  // namespace
