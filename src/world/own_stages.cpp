#include "world/own_stages.h"

#include <allegro.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <system_error>

#include "platform/cache_folder.h"
#include "platform/console_report.h"
#include "world/level_hash.h"
#include "world/stage_images.h"
#include "world/stage_picture_cache.h"
#include "world/stage_verdict.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kOwnPictureFolder = "Img/fases/";
constexpr const char* kVerdictFolder = "veredictos/";
constexpr const char* kPlayable = "jogavel";

std::string verdictPath(const ListedStage& stage) {
    return kVerdictFolder + levelHashText(levelHash(stage.levelText)) + ".txt";
}

std::string drawIntoCache(const ListedStage& stage, const Level& level) {
    if (stagePictureExists(stage.data.visualPath)) return "";
    reportLine("Desenhando a imagem da fase " + stage.id + " em " + cacheFolder() + "...");
    std::string error;
    if (drawStagePictureIntoCache(level, stage.data.visualPath, error)) return "";
    return "nao foi possivel desenhar a imagem da fase: " + error;
}

// The cached verdict ("" for playable, else the reason), or nothing when none is cached.
bool cachedVerdict(const ListedStage& stage, std::string& reason) {
    const std::string file = cachedFile(verdictPath(stage));
    std::ifstream in(file);
    std::string line;
    if (file.empty() || !in || !std::getline(in, line) || line.empty() || line.size() > 200)
        return false;
    reason = line == kPlayable ? "" : line;
    return true;
}

std::string judgeOnce(const ListedStage& stage) {
    std::string reason;
    if (cachedVerdict(stage, reason)) return reason;
    reportLine("Conferindo a fase " + stage.id +
               " com o resolvedor (so na primeira vez que ela aparece assim)...");
    reason = unplayableReason(stage.data);
    std::string error;
    const std::string line = reason.empty() ? std::string(kPlayable) : reason;
    if (!storeInCache(
            verdictPath(stage),
            [&](const std::string& file) {
                std::ofstream out(file, std::ios::trunc);
                out << line << "\n";
                out.flush();
                return bool(out);
            },
            error))
        reportLine("Nao foi possivel guardar o veredito da fase " + stage.id + ": " + error);
    return reason;
}

// The level files of `folder` with an own stage's name, by name, at most kMaxOwnStages.
std::vector<std::string> ownStageNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path file = entry->path();
        if (file.extension() != ".txt" || !entry->is_regular_file(error)) continue;
        const std::string name = file.stem().string();
        if (isOwnStageName(name)) names.push_back(name);
        if (names.size() > 10 * size_t(kMaxOwnStages)) break;  // a folder of thousands
    }
    std::sort(names.begin(), names.end());
    if (names.size() > size_t(kMaxOwnStages)) {
        reportLine("Fases proprias demais em " + folder + ": so as " +
                   std::to_string(kMaxOwnStages) + " primeiras (por nome) entram na lista.");
        names.resize(kMaxOwnStages);
    }
    return names;
}

}  // namespace

bool isOwnStageName(const std::string& name) {
    if (name.empty() || name.size() > kMaxOwnStageNameBytes) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-';
    });
}

std::string ownStagePicturePath(const std::string& name, const std::string& text) {
    return kOwnPictureFolder + name + "-" + levelHashText(levelHash(text)) + ".jpg";
}

std::string ownStageNameOf(const std::string& picturePath) {
    const std::string folder = kOwnPictureFolder;
    const size_t hashAndSuffix = 1 + 16 + 4;  // "-HASH.jpg"
    if (picturePath.compare(0, folder.size(), folder) != 0 ||
        picturePath.size() <= folder.size() + hashAndSuffix)
        return "";
    const std::string name =
        picturePath.substr(folder.size(), picturePath.size() - folder.size() - hashAndSuffix);
    return isOwnStageName(name) ? name : "";
}

ListedStage readOwnStage(int number, const std::string& name, const std::string& path,
                         const std::string& text) {
    ListedStage stage;
    stage.number = number;
    stage.id = name;
    stage.path = path;
    stage.name = name;
    Level level;
    std::string error;
    if (!readLevel(path, text, level, error, false)) {
        stage.data.problem = error;
        return stage;
    }
    if (level.height != kStageHeight) {
        stage.data.problem = path + ": a fase tem " + std::to_string(level.height) +
                             " linhas; o jogo usa " + std::to_string(kStageHeight);
        return stage;
    }
    const std::string named = levelName(text, 0);
    stage.name = named == levelName("", 0) ? name : named;
    stage.data = stageDataOf(level);
    stage.data.visualPath = ownStagePicturePath(name, text);
    stage.theme = level.theme;
    stage.levelText = text;
    return stage;
}

bool readLevelFor(const std::string& picturePath, const std::string& text, Level& level,
                  std::string& error) {
    const std::string own = ownStageNameOf(picturePath);
    if (!readLevel(picturePath, text, level, error, own.empty())) return false;
    const std::string expected = own.empty() ? level.picturePath : ownStagePicturePath(own, text);
    if (expected != picturePath) {
        error = picturePath + ": a fase recebida e de outra imagem (" + expected + ")";
        return false;
    }
    if (level.height != kStageHeight) {
        error = picturePath + ": a fase recebida tem " + std::to_string(level.height) + " linhas";
        return false;
    }
    return true;
}

OwnStageChecks gameChecks() { return {drawIntoCache, judgeOnce}; }

std::vector<ListedStage> readOwnStageFolder(const std::string& folder, int firstNumber,
                                            const OwnStageChecks& checks) {
    std::vector<ListedStage> stages;
    for (const std::string& name : ownStageNames(folder)) {
        const std::string path = folder + "/" + name + ".txt";
        std::string text, error;
        ListedStage stage;
        if (!readLevelText(path, text, error)) {
            stage.number = firstNumber + int(stages.size());
            stage.id = stage.name = name;
            stage.path = path;
            stage.data.problem = error;
        } else {
            stage = readOwnStage(firstNumber + int(stages.size()), name, path, text);
        }
        if (stage.data.problem.empty()) {
            Level level;
            readLevel(path, text, level, error, false);
            std::string problem = checks.drawPicture(stage, level);
            if (problem.empty()) {
                const std::string reason = checks.judge(stage);
                if (!reason.empty() && reason.compare(0, path.size(), path) == 0)
                    problem = reason;
                else if (!reason.empty())
                    problem = "a fase nao e jogavel: " + reason;
            }
            // A problem the checks give whole (the child's) already names the file.
            if (!problem.empty())
                stage.data.problem =
                    problem.compare(0, path.size(), path) == 0 ? problem : path + ": " + problem;
        }
        stages.push_back(std::move(stage));
    }
    return stages;
}

namespace {

// The key under which the child gives a stage's problem: its id and its level's hash.
std::string checkedKey(const ListedStage& stage) {
    return stage.id + " " + levelHashText(levelHash(stage.levelText));
}

// Checks the own stages of `folder` in a child process: each stage's key, a tab and its problem
// ("" for a stage that may be offered), a line each, read back here.
std::map<std::string, std::string> checkInChild(const std::string& folder, int firstNumber) {
    std::map<std::string, std::string> problems;
    int channel[2];
    std::cout.flush();
    std::fflush(stdout);
    if (pipe(channel) != 0) return problems;
    const pid_t child = fork();
    if (child < 0) {
        close(channel[0]);
        close(channel[1]);
        return problems;
    }
    if (child == 0) {
        close(channel[0]);
        install_allegro(SYSTEM_NONE, &errno, nullptr);
        set_color_depth(32);
        std::string lines;
        for (const ListedStage& stage : readOwnStageFolder(folder, firstNumber, gameChecks()))
            lines += checkedKey(stage) + "\t" + stage.data.problem + "\n";
        std::cout.flush();
        size_t written = 0;
        while (written < lines.size()) {
            const ssize_t n = write(channel[1], lines.data() + written, lines.size() - written);
            if (n <= 0) break;
            written += size_t(n);
        }
        _exit(0);
    }
    close(channel[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0) text.append(buffer, size_t(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos) problems[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return problems;
}

}  // namespace

const std::vector<ListedStage>& ownStages() {
    static const std::vector<ListedStage> stages = [] {
        const std::string data = userDataFolder();
        if (data.empty()) return std::vector<ListedStage>();
        const std::string folder = data + "/" + kShippedStageFolder;
        const int first = int(shippedStages().size()) + 1;
        std::error_code missing;
        if (!fs::is_directory(folder, missing)) return std::vector<ListedStage>();
        const std::map<std::string, std::string> checked = checkInChild(folder, first);
        // The same files read here, each taking the child's verdict (a file changed meanwhile,
        // or one the child could not check, is not offered).
        OwnStageChecks childs;
        childs.drawPicture = [](const ListedStage&, const Level&) { return std::string(); };
        childs.judge = [&checked](const ListedStage& stage) {
            const auto found = checked.find(checkedKey(stage));
            return found == checked.end() ? std::string("nao foi possivel conferi-la")
                                          : found->second;
        };
        std::vector<ListedStage> read = readOwnStageFolder(folder, first, childs);
        for (const ListedStage& stage : read) {
            if (stage.data.problem.empty())
                reportLine("Fase propria " + stage.id + " pronta: " + stage.path);
            else
                reportLine("Fase " + stage.id + ": " + stage.data.problem);
        }
        return read;
    }();
    return stages;
}

const std::vector<ListedStage>& listedStages() {
    static const std::vector<ListedStage> stages = [] {
        std::vector<ListedStage> all = shippedStages();
        const std::vector<ListedStage>& own = ownStages();
        all.insert(all.end(), own.begin(), own.end());
        return all;
    }();
    return stages;
}
