// The long-session check compares the bitmap names a server's recording leaves bound with what a
// client's table holds: both sides must agree with the interpreter, picture by picture.
#include "stream/bound_names.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "stream/bound_names_log.h"
#include "stream/frame_replayer.h"
#include "stream/interpreter.h"
#include "stream/subscription.h"
#include "support/recording_server.h"

namespace {

std::vector<std::string> asVector(const std::set<std::string>& names) {
    return {names.begin(), names.end()};
}

std::vector<std::string> fileLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

TEST(BoundNames, AgreesWithTheInterpretersTable) {
    BITMAP* window = create_bitmap(8, 8);
    const std::vector<std::string> names = {"a", "b", "screen"};
    std::mt19937 random(11);
    testing::internal::CaptureStdout();
    for (int trial = 0; trial < 200; ++trial) {
        ListaBitmaps table(window);
        BoundNames bound;
        for (int i = 0; i < 12; ++i) {
            const std::string& name = names[random() % names.size()];
            std::string piece;
            switch (random() % 6) {
                case 0:
                    piece = "create_bitmap " + name + " 3 3";
                    break;
                case 1:
                    piece = "create_bitmap " + name + " -1 3";
                    break;  // refused, yet bound
                case 2:
                    piece = "load_bitmap " + name + " Img/Jogo/54321.bmp";
                    break;
                case 3:
                    piece = "destroy_bitmap " + name;
                    break;
                case 4:
                    piece = "create_bitmap " + name;
                    break;  // lacks fields: nothing
                default:
                    piece = "draw_sprite screen " + name + " 0 0";
            }
            executeBatch(table, piece + ";");
            bound.absorb(piece + ";");
            ASSERT_EQ(table.names(), asVector(bound.names())) << "trial " << trial << ": " << piece;
        }
    }
    testing::internal::GetCapturedStdout();
    destroy_bitmap(window);
}

TEST(BoundNames, ReportsAChangeOnlyWhenTheNamesChange) {
    BoundNames bound;
    EXPECT_TRUE(bound.takeChanged()) << "the first line is always written";
    bound.absorb("blit a screen 0 0 0 0 1 1;destroy_bitmap screen;destroy_bitmap nada;");
    EXPECT_FALSE(bound.takeChanged());
    bound.absorb("create_bitmap num 1 1;destroy_bitmap num;");
    EXPECT_TRUE(bound.takeChanged()) << "bound and unbound within one batch still counts";
    EXPECT_EQ(formatBoundNames(7, bound.names()), "7 screen");
}

// What a client writes at its end is the server's line for the client's last picture, also when
// the client's last answer runs on past that picture.
TEST(BoundNames, TheRecordersLogAndTheReplayersFileAgree) {
    const std::string serverPath = testing::TempDir() + "server_names.txt";
    const std::string clientPath = testing::TempDir() + "client_names.txt";
    RecordingServer recorder(1);
    std::unique_ptr<BoundNamesLog> log = BoundNamesLog::open(serverPath);
    ASSERT_TRUE(log);
    const Subscription logging(recorder.recorder, log.get());
    BITMAP* window = create_bitmap(8, 8);
    {
        ListaBitmaps table(window);
        FrameReplayer replayer(table, "", clientPath);
        for (int stage = 1; stage <= 3; ++stage) {
            recorder.addInstruction("destroy_bitmap mapa");
            recorder.addInstruction("create_bitmap mapa " + std::to_string(stage) + " 2");
            recorder.addInstruction("create_bitmap num" + std::to_string(stage) + " 2 2");
            recorder.addInstruction("destroy_bitmap num" + std::to_string(stage - 1));
            recorder.flush();
            for (int n = 0; n < 5; ++n) {
                recorder.addInstruction("draw_sprite screen mapa 0 " + std::to_string(n));
                recorder.flush();
            }
            replayer.replay(recorder.takeFrames(1, 0).substr(7));  // after "part N;"
        }
        replayer.replay("create_bitmap sobra 2 2;");  // no picture ends after it
        EXPECT_EQ(replayer.lastFrame(), 18u);
    }
    destroy_bitmap(window);

    const std::vector<std::string> server = fileLines(serverPath);
    ASSERT_EQ(server.size(), 4u) << "the first line and one per stage change";
    EXPECT_EQ(server[0], "0 screen");
    EXPECT_EQ(server[3], "13 mapa num3 screen");
    EXPECT_EQ(fileLines(clientPath), std::vector<std::string>{"18 mapa num3 screen"});
    std::remove(serverPath.c_str());
    std::remove(clientPath.c_str());
}

}  // namespace
