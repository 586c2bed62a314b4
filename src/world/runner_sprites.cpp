#include "world/runner_sprites.h"

const std::vector<std::string>& runnerSpritesInOrder() {
    static const std::vector<std::string> sprites(kRunnerSpritePaths.begin(),
                                                  kRunnerSpritePaths.end());
    return sprites;
}
