// Every file of the generated Img/ tree, broken in each of five ways in turn, through the game's
// own loading code: the load fails in order (no crash), and the console gets exactly one line that
// names the file and says "nao encontrada" when it is gone or "ilegivel" when it is there but
// broken. A stage picture sends its stage back (the stage's own line); a sprite sheet, a key
// picture, the camera's pixel or the loading picture leave the stage playable; a client replaying
// a server's load names the file after its "fudeu"; a sound says so and stays silent.
#include <gtest/gtest.h>
#include <jpgalleg.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/file_problem.h"
#include "platform/sound_player.h"
#include "stream/gravador_tela.h"
#include "stream/interpreter.h"
#include "stream/recorded_drawing.h"
#include "world/flip_keys.h"
#include "world/mapa.h"
#include "world/runner_sprites.h"
#include "world/stage_images.h"
#include "world/stage_loading.h"
#include "world/world_fixture.h"

namespace {

namespace fs = std::filesystem;

enum class Damage { kRemoved, kTruncated, kEmptied, kRandomBytes, kOtherFormat };
const Damage kDamages[] = {Damage::kRemoved, Damage::kTruncated, Damage::kEmptied,
                           Damage::kRandomBytes, Damage::kOtherFormat};

const char* nameOf(Damage damage) {
    switch (damage) {
        case Damage::kRemoved:
            return "removed";
        case Damage::kTruncated:
            return "truncated";
        case Damage::kEmptied:
            return "emptied";
        case Damage::kRandomBytes:
            return "random bytes";
        case Damage::kOtherFormat:
            return "another format";
    }
    return "?";
}

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// A scratch copy of the generated Img/ tree as the working directory.
class ScratchImageTree {
  public:
    ScratchImageTree() : previous(fs::current_path()) {
        root = fs::temp_directory_path() / ("corrida-broken-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        fs::copy(fs::path(TEST_IMG_ROOT) / "Img", root / "Img", fs::copy_options::recursive);
        fs::current_path(root);
    }
    ~ScratchImageTree() {
        fs::current_path(previous);
        fs::remove_all(root);
    }

    // The game's files on disk, as the game names them ("Img/Jogo/1.bmp"), sorted.
    std::vector<std::string> files() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::recursive_directory_iterator(root / "Img")) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() || name.front() == '.') continue;  // build stamps
            found.push_back(fs::relative(entry.path(), root).generic_string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

  private:
    fs::path previous;
    fs::path root;
};

// Breaks `path` as `damage` says; a file of another format is a picture of the other kind (a JPEG
// where a BMP is expected and the reverse; a BMP where a sound is).
void breakFile(const std::string& path, Damage damage, std::mt19937& random) {
    const std::string original = contentsOf(path);
    switch (damage) {
        case Damage::kRemoved:
            fs::remove(path);
            break;
        case Damage::kTruncated:
            write(path, original.substr(0, original.size() / 2));
            break;
        case Damage::kEmptied:
            write(path, "");
            break;
        case Damage::kRandomBytes: {
            std::string noise(std::min<size_t>(original.size(), 64 * 1024), '\0');
            for (char& c : noise) c = static_cast<char>(random());
            write(path, noise);
            break;
        }
        case Damage::kOtherFormat: {
            const bool isBmp = fs::path(path).extension() == ".bmp";
            write(path, contentsOf(isBmp ? "Img/menu/img1.jpg" : "Img/Jogo/1.bmp"));
            break;
        }
    }
}

std::string word(Damage damage) {
    return damage == Damage::kRemoved ? "nao encontrada" : "ilegivel";
}

std::string imageLine(const std::string& path, Damage damage) {
    return damage == Damage::kRemoved ? "Imagem nao encontrada: " + path + "\n"
                                      : "Imagem ilegivel: " + path + "\n";
}

// The stages' own pictures: the stage number that loads `path`, or 0.
int stageOf(const std::string& path) {
    for (int stage = 1; stage <= 2; ++stage) {
        const StageData& data = stage == 1 ? stage1Data() : stage2Data();
        if (path == data.visualPath) return stage;
    }
    return 0;
}

// What a local stage load loads besides the stage's own pictures.
std::set<std::string> stageBorneFiles() {
    std::set<std::string> files(kRunnerSpritePaths.begin(), kRunnerSpritePaths.end());
    for (int player = 1; player <= kMaxPlayers; ++player)
        files.insert(flipKeysOf(player).localImage);
    files.insert(kTransparentPixelPath);
    files.insert("Img/menu/bg_carregando.jpg");
    return files;
}

std::string loadStageCapturing(int stage, bool& loaded) {
    const StageData& data = stage == 1 ? stage1Data() : stage2Data();
    testing::internal::CaptureStdout();
    {
        std::unique_ptr<Mapa> map =
            loadStageOrReport(stage, data, runnerSpritesInOrder(), kMaxPlayers);
        loaded = map != nullptr;
    }
    return testing::internal::GetCapturedStdout();
}

std::string replayCapturing(const std::string& batch) {
    BITMAP* window = create_bitmap(640, 480);
    testing::internal::CaptureStdout();
    {
        ListaBitmaps registry(window);
        executeBatch(registry, batch);
    }
    destroy_bitmap(window);
    return testing::internal::GetCapturedStdout();
}

bool isImage(const std::string& path) {
    const std::string extension = fs::path(path).extension().string();
    return extension == ".bmp" || extension == ".jpg";
}

}  // namespace

TEST(BrokenFiles, EveryFileOfTheTreeBrokenEachWayGetsOneLineAndNoCrash) {
    jpgalleg_init();
    ScratchImageTree tree;
    const std::vector<std::string> files = tree.files();
    ASSERT_GT(files.size(), 100u);
    const std::set<std::string> stageBorne = stageBorneFiles();
    std::mt19937 random(20240610);
    RecorderScope local(0);
    SimulatedClockScope clock;
    startSound(DIGI_NONE);
    for (const std::string& path : files) {
        const std::string pristine = contentsOf(path);
        for (Damage damage : kDamages) {
            SCOPED_TRACE(path + ", " + nameOf(damage));
            breakFile(path, damage, random);
            forgetReportedFilesForTesting();
            if (!isImage(path)) {
                ASSERT_TRUE(isKnownSound(path)) << "a sound the game never plays";
                stopSound();  // forgets what was loaded
                startSound(DIGI_NONE);
                testing::internal::CaptureStdout();
                playSound(path);
                playSound(path);
                EXPECT_EQ(testing::internal::GetCapturedStdout(),
                          std::string(damage == Damage::kRemoved ? "Som nao encontrado: "
                                                                 : "Som ilegivel: ") +
                              path + "\n");
            } else if (const int stage = stageOf(path)) {
                bool loaded = true;
                EXPECT_EQ(loadStageCapturing(stage, loaded),
                          "Nao foi possivel carregar a fase " + std::to_string(stage) +
                              ": imagem " + path + " " + word(damage) + ".\n");
                EXPECT_FALSE(loaded);
            } else if (stageBorne.count(path)) {
                bool loaded = false;
                EXPECT_EQ(loadStageCapturing(1, loaded), imageLine(path, damage));
                EXPECT_TRUE(loaded);
            } else {
                // A screen of the local game, loading the same picture twice.
                testing::internal::CaptureStdout();
                EXPECT_FALSE(recordedLoadBitmap("quadro", path));
                EXPECT_FALSE(recordedLoadBitmap("quadro", path));
                EXPECT_EQ(testing::internal::GetCapturedStdout(), imageLine(path, damage));
            }
            if (isImage(path)) {
                // A client told to load it by its server, twice.
                forgetReportedFilesForTesting();
                EXPECT_EQ(replayCapturing("load_bitmap a " + path + ";load_bitmap b " + path),
                          "fudeu\n" + imageLine(path, damage) + "fudeu");
            }
            write(path, pristine);
        }
    }
    stopSound();
}

// Every picture and sound file is read through the two loaders that report a failure: a load
// anywhere else in the game would escape the test above.
TEST(BrokenFiles, TheGameReadsItsFilesOnlyThroughTheReportingLoaders) {
    const std::regex fileLoad(
        R"(\b(load_bitmap|load_bmp|load_jpg|load_sample|load_wav|load_pcx|load_tga|load_datafile)\s*\()");
    const std::set<std::string> loaders = {"src/platform/image_file.h",
                                           "src/platform/image_file.cpp",
                                           "src/platform/sound_player.cpp"};
    int scanned = 0;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(TEST_SOURCE_ROOT) / "src")) {
        if (!entry.is_regular_file()) continue;
        const std::string relative = fs::relative(entry.path(), TEST_SOURCE_ROOT).generic_string();
        ++scanned;
        if (loaders.count(relative)) continue;
        EXPECT_FALSE(std::regex_search(contentsOf(entry.path()), fileLoad)) << relative;
    }
    EXPECT_GT(scanned, 50);
}
