// The stage data the game loads is generated from assets/levels at build time: it must be exactly
// what the level files say, so that no second copy can drift from them.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "level.h"
#include "world/stage_loading.h"

TEST(StageData, IsWhatTheLevelFilesSay) {
    const std::pair<int, const StageData*> stages[] = {{1, &stage1Data()}, {2, &stage2Data()}};
    for (const auto& [number, stage] : stages) {
        SCOPED_TRACE(number);
        Level level;
        ASSERT_TRUE(loadLevel(std::string(TEST_SOURCE_ROOT) + "/assets/levels/stage" +
                                  std::to_string(number) + ".txt",
                              level));
        EXPECT_EQ(stage->visualPath, level.picturePath);
        EXPECT_EQ(stage->collisionPath, level.collisionPath);
        EXPECT_EQ(stage->width, level.width);
        ASSERT_EQ(stage->markers.size(), level.speedMarkers.size());
        for (size_t i = 0; i < stage->markers.size(); ++i) {
            EXPECT_EQ(stage->markers[i].x, level.speedMarkers[i].x) << "marker " << i;
            EXPECT_EQ(stage->markers[i].speed, level.speedMarkers[i].speed) << "marker " << i;
        }
        EXPECT_EQ(stage->finishLine.x, level.finish.x);
        EXPECT_EQ(stage->finishLine.bottomY, level.finish.bottomY);
        EXPECT_EQ(stage->finishLine.height, level.finish.height);
    }
}
