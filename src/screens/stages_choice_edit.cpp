#include "screens/stages_choice_edit.h"

#include <algorithm>

StagesScreenState openStagesScreen(const StageChoice& choice) {
    StagesScreenState state;
    state.choice = choice;
    if (choice.randomCount > 0) state.randomCount = choice.randomCount;
    return state;
}

StagesEdit applyStagesAction(StagesScreenState& state, Action action,
                             const std::vector<ListedStage>& stages) {
    const int lastRow = kStagesFixedRows + static_cast<int>(stages.size()) - 1;
    const bool onStage = state.row >= kStagesFixedRows;
    switch (action) {
        case Action::Up:
            if (state.row == 0) return StagesEdit::None;
            --state.row;
            return StagesEdit::Moved;
        case Action::Down:
            if (state.row >= lastRow) return StagesEdit::None;
            ++state.row;
            return StagesEdit::Moved;
        case Action::Left:
        case Action::Right:
            if (state.row == kRandomRow) {
                const int k = state.randomCount + (action == Action::Right ? 1 : -1);
                if (k < 1 || k > kMostChosenStages) return StagesEdit::None;
                state.randomCount = k;
                if (state.choice.randomCount > 0) state.choice.randomCount = k;
                return StagesEdit::Changed;
            }
            if (action == Action::Left && onStage && !state.choice.stages.empty()) {
                state.choice.stages.pop_back();
                return StagesEdit::Changed;
            }
            return StagesEdit::None;
        case Action::Confirm: {
            if (state.row == kClassicRow) {
                state.choice = {};
                return StagesEdit::Changed;
            }
            if (state.row == kRandomRow) {
                state.choice = {};
                state.choice.randomCount = state.randomCount;
                return StagesEdit::Changed;
            }
            const ListedStage& stage = stages[state.row - kStagesFixedRows];
            if (!stage.data.problem.empty()) return StagesEdit::Refused;
            if (state.choice.randomCount > 0) state.choice = {};
            if (static_cast<int>(state.choice.stages.size()) >= kMostChosenStages)
                return StagesEdit::Refused;
            state.choice.stages.push_back(stage.id);
            return StagesEdit::Changed;
        }
        default:
            return StagesEdit::None;
    }
}

int firstShownStage(const StagesScreenState& state, int stageCount) {
    const int visibleRows = kStagesVisibleStageRows;
    const int highlighted = state.row - kStagesFixedRows;
    const int most = std::max(0, stageCount - visibleRows);
    return std::clamp(highlighted - visibleRows + 1, 0, most);
}
