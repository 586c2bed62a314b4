#include "screens/local_session.h"

#include <allegro.h>

#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/gamepads.h"
#include "platform/graphics.h"
#include "platform/lost_display.h"
#include "platform/player_limits.h"
#include "screens/main_menu.h"
#include "screens/match_stages.h"
#include "screens/player_selection.h"
#include "screens/stage_choice_file.h"
#include "screens/stage_run.h"
#include "stream/gravador_tela.h"
#include "stream/recording_subscriber.h"
#include "world/stage_loading.h"

namespace {

constexpr int kLeaveTheGame = 9;

}  // namespace

void playLocalMatches(const StageData& stage1, const StageData& stage2) {
    LocalMatchRules rules;
    playLocalMatches(stage1, stage2, rules);
}

void playLocalMatches(const StageData& stage1, const StageData& stage2, LocalMatchRules& rules,
                      const StageChoice& chosen) {
    MenuMemory menu;
    menu.stages = chosen;
    std::mt19937 random(std::random_device{}());
    for (;;) {
        const int playerCount = runMainMenu(menu);
        if (playerCount == kLeaveTheGame || playerCount < 1 || playerCount > kMaxPlayers) return;
        const std::optional<SpriteList> chosen = runPlayerSelection(playerCount);
        if (!chosen) continue;
        const std::vector<std::string> sprites(chosen->begin(), chosen->begin() + playerCount);
        const std::vector<MatchStage> stages =
            menu.stages.empty() ? std::vector<MatchStage>{{1, &stage1}, {2, &stage2}}
                                : matchStagesOf(menu.stages, random);
        playMatch(stages, StageEntrants{sprites, playerCount}, rules);
    }
}

void runLocalSession(const std::string& recordingPath, const std::optional<StageChoice>& stages) {
    // --gravar: what the window shows, written off the game thread.
    std::unique_ptr<RecordingWriter> recordingFile;
    if (!openAskedRecording(recordingPath, recordingFile)) return;
    std::optional<FinishOnLostDisplay> closeRecording;
    if (recordingFile) closeRecording.emplace([&file = *recordingFile] { file.finishNow(); });
    if (!startGraphics()) return;
    GravadorTela& recorder = GravadorTela::instance();
    std::optional<RecordingSubscriber> recording;
    if (recordingFile) recorder.subscribe(recording.emplace(*recordingFile));
    {
        GamepadSession pads;
        LocalMatchRules rules;
        playLocalMatches(stage1Data(), stage2Data(), rules, stages ? *stages : loadStageChoice());
    }
    if (recording) recorder.unsubscribe(*recording);
    stopGraphics();
}
