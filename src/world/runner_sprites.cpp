#include "world/runner_sprites.h"

const std::vector<std::string>& runnerSpritesInOrder() {
    // Made at the first call and constant after: ready for callers that take it during their own
    // static initialisation (the solver, the benchmark).
    static const std::vector<std::string> sprites(kRunnerSpritePaths.begin(),
                                                  kRunnerSpritePaths.end());
    return sprites;
}
