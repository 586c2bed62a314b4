#include "screens/stages_screen.h"

#include <allegro.h>

#include <array>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/sound_player.h"
#include "platform/window_size.h"
#include "screens/screen_image.h"
#include "screens/stage_choice_file.h"
#include "screens/stages_choice_edit.h"
#include "screens/stages_layout.h"
#include "stream/recorded_drawing.h"
#include "stream/screen_name.h"

namespace {

constexpr int kFrameMs = 60;
constexpr int kDigitWidth = 14;  // the digit labels of the winner picture

struct Picture {
    std::string name;
    BitmapHandle bitmap;
};

Picture load(const std::string& name, const std::string& path) {
    return {name, loadScreenImage(name, path)};
}

void release(Picture& picture) {
    if (!picture.name.empty()) recordedDestroyBitmap(picture.name, std::move(picture.bitmap));
    picture.name.clear();
}

struct StagesPictures {
    Picture background, marker, problem, unnamed, matchWord, classic, random, buffer;
    std::array<Picture, 10> digits;
    std::vector<Picture> rows;  // one per listed stage; empty name when it has no picture

    explicit StagesPictures(const std::vector<ListedStage>& stages) {
        background = load("bg_fases", "Img/menu/bg_fases.jpg");
        marker = load("fases_vez", "Img/menu/fases_vez.bmp");
        problem = load("fases_problema", "Img/menu/fases_problema.bmp");
        unnamed = load("fases_sem_figura", "Img/menu/fases_sem_figura.bmp");
        matchWord = load("fases_partida", "Img/menu/fases_partida.bmp");
        classic = load("fases_classica", "Img/menu/fases_classica.bmp");
        random = load("fases_aleatorio", "Img/menu/fases_aleatorio.bmp");
        for (int d = 0; d < 10; ++d) {
            digits[d] = load("fases_algarismo_" + std::to_string(d),
                             "Img/menu/algarismo_" + std::to_string(d) + ".bmp");
        }
        for (size_t i = 0; i < stages.size(); ++i) {
            const std::string path = stageRowPicturePath(stages[i].id);
            std::error_code error;
            rows.push_back(std::filesystem::exists(path, error)
                               ? load("fases_linha_" + std::to_string(i + 1), path)
                               : Picture{});
        }
        buffer = {"buffer_fases", createScreenBuffer("buffer_fases", kWindowWidth, kWindowHeight,
                                                     makecol(0, 0, 0))};
    }
    ~StagesPictures() {
        for (Picture& row : rows) release(row);
        for (Picture& digit : digits) release(digit);
        for (Picture* picture :
             {&random, &classic, &matchWord, &unnamed, &problem, &marker, &background, &buffer})
            release(*picture);
    }
    StagesPictures(const StagesPictures&) = delete;
    StagesPictures& operator=(const StagesPictures&) = delete;
};

void drawOnBuffer(const StagesPictures& pictures, const Picture& sprite, int x, int y) {
    recordedDrawSprite(pictures.buffer.bitmap.get(), pictures.buffer.name, sprite.bitmap.get(),
                       sprite.name, x, y);
}

// `number`'s digits from (x, y); returns where they end.
int drawNumber(const StagesPictures& pictures, int number, int x, int y) {
    for (const char digit : std::to_string(number)) {
        drawOnBuffer(pictures, pictures.digits[digit - '0'], x, y);
        x += kDigitWidth;
    }
    return x;
}

int rowTop(int shownRow) { return kStagesFirstRowY + shownRow * kStagesRowStep; }

// The match chosen so far, under the rows.
void drawMatch(const StagesPictures& pictures, const StagesScreenState& state,
               const std::vector<ListedStage>& stages) {
    drawOnBuffer(pictures, pictures.matchWord, kStagesPanelX + 12, kStagesMatchY);
    const StageChoice& choice = state.choice;
    if (choice.empty()) {
        drawOnBuffer(pictures, pictures.classic, kStagesMatchValueX, kStagesMatchY);
    } else if (choice.randomCount > 0) {
        drawOnBuffer(pictures, pictures.random, kStagesMatchValueX, kStagesMatchY);
        drawNumber(pictures, choice.randomCount, kStagesMatchValueX + kStagesRandomWidth,
                   kStagesMatchY);
    } else {
        int x = kStagesMatchValueX;
        for (const std::string& word : choice.stages) {
            const ListedStage* stage = findListedStage(stages, word);
            x = drawNumber(pictures, stage ? stage->number : 0, x, kStagesMatchY) +
                kStagesMatchStageGap;
        }
    }
}

void drawFrame(const StagesPictures& pictures, const StagesScreenState& state,
               const std::vector<ListedStage>& stages) {
    recordedBlit(pictures.background.bitmap.get(), pictures.background.name,
                 pictures.buffer.bitmap.get(), pictures.buffer.name, 0, 0, 0, 0, kWindowWidth,
                 kWindowHeight);
    drawNumber(pictures, state.randomCount, kStagesRandomCountX, rowTop(kRandomRow));
    const int count = static_cast<int>(stages.size());
    const int first = firstShownStage(state, count);
    for (int i = first; i < count && i < first + kStagesVisibleStageRows; ++i) {
        const int top = rowTop(kStagesFixedRows + i - first);
        if (!pictures.rows[i].name.empty()) {
            drawOnBuffer(pictures, pictures.rows[i], kStagesRowPictureX, top);
        } else {
            drawOnBuffer(pictures, pictures.unnamed, kStagesRowPictureX, top);
            drawNumber(pictures, stages[i].number, kStagesRowPictureX, top);
        }
        if (!stages[i].data.problem.empty())
            drawOnBuffer(pictures, pictures.problem, kStagesFigureX, top);
    }
    const int shownRow =
        state.row < kStagesFixedRows ? state.row : state.row - first;  // stage rows scroll
    drawOnBuffer(pictures, pictures.marker, kStagesPanelX, rowTop(shownRow));
    drawMatch(pictures, state, stages);
    recordedDrawSprite(screen, kScreenName, pictures.buffer.bitmap.get(), pictures.buffer.name, 0,
                       0);
}

}  // namespace

std::string stageRowPicturePath(const std::string& id) {
    return "Img/menu/fase_linha_" + id + ".bmp";
}

StageChoice runStagesScreen(const StageChoice& choice, const std::vector<ListedStage>& stages) {
    StagesPictures pictures(stages);
    StagesScreenState state = openStagesScreen(choice);
    consumeAction(Action::Confirm);  // the Enter that opened the screen
    bool drawn = false;
    while (!actionDown(Action::Back)) {
        if (!drawn) {
            drawFrame(pictures, state, stages);
            drawn = true;
        }
        flushRecording();
        waitMoreThan(kFrameMs);
        for (const Action action :
             {Action::Up, Action::Down, Action::Left, Action::Right, Action::Confirm}) {
            if (!actionDown(action)) continue;
            consumeAction(action);
            const StagesEdit edit = applyStagesAction(state, action, stages);
            if (edit == StagesEdit::None) continue;
            drawn = false;
            recordedPlaySound(edit == StagesEdit::Moved ? sound::kMenuMove : sound::kMenuChoose);
        }
    }
    consumeAction(Action::Back);
    if (!(state.choice == choice)) saveStageChoice(state.choice);
    return state.choice;
}
