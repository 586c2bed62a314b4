// The gamepads through SDL's virtual joysticks: no hardware, no display.
#include "platform/gamepads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/virtual_pad.h"

namespace {

// Pumped by hand: every change is read at the next pumpGamepads.
class Gamepads : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(startGamepadsWithoutThread()); }
    void TearDown() override { stopGamepads(); }
    void hold(VirtualPad& pad, PadButton button) {
        pad.hold(button);
        pumpGamepads();
    }
    void release(VirtualPad& pad, PadButton button) {
        pad.release(button);
        pumpGamepads();
    }
};

TEST_F(Gamepads, AFaceButtonFlipsThePadsPlayerOncePerPressAndStartPauses) {
    VirtualPad pad;
    ASSERT_TRUE(pad.plugged()) << SDL_GetError();
    pumpGamepads();
    EXPECT_EQ(gamepadCount(), 1);
    EXPECT_EQ(gamepadNumberOfPlayer(2), 0) << "nobody's until given";
    giveGamepadToPlayer(1, 2);
    EXPECT_EQ(gamepadNumberOfPlayer(2), 1);

    hold(pad, PadButton::A);
    EXPECT_TRUE(actionDown(Action::Flip2));
    EXPECT_FALSE(actionDown(Action::Flip1));
    EXPECT_TRUE(actionDown(Action::Confirm));
    EXPECT_EQ(gamepadPressing(Action::Confirm), 1);
    consumeAction(Action::Flip2);
    EXPECT_FALSE(actionDown(Action::Flip2)) << "held, but taken";
    EXPECT_FALSE(actionDown(Action::Confirm)) << "the press that flipped does not confirm too";
    release(pad, PadButton::A);
    for (PadButton face : {PadButton::B, PadButton::X, PadButton::Y}) {
        hold(pad, face);
        EXPECT_TRUE(actionDown(Action::Flip2)) << static_cast<int>(face);
        EXPECT_FALSE(actionDown(Action::Confirm)) << static_cast<int>(face);
        release(pad, face);
        EXPECT_FALSE(actionDown(Action::Flip2)) << "released before it was taken";
    }

    hold(pad, PadButton::Start);
    EXPECT_TRUE(actionDown(Action::Pause));
    EXPECT_FALSE(actionDown(Action::Flip2));
    consumeAction(Action::Pause);
    EXPECT_FALSE(actionDown(Action::Pause));
    release(pad, PadButton::Start);
    hold(pad, PadButton::Start);
    EXPECT_TRUE(actionDown(Action::Pause)) << "a new press";
    release(pad, PadButton::Start);

    clearGamepadPlayers();
    hold(pad, PadButton::B);
    for (int player = 1; player <= kMaxPlayers; ++player) {
        EXPECT_FALSE(actionDown(flipAction(player))) << "a pad of nobody flips nobody";
    }
}

TEST_F(Gamepads, APadPulledOutLeavesItsPlayerUntilTheNextPadIsPluggedIn) {
    VirtualPad first;
    VirtualPad second;
    pumpGamepads();
    ASSERT_EQ(gamepadCount(), 2);
    giveGamepadToPlayer(2, 3);
    hold(second, PadButton::Y);
    ASSERT_TRUE(actionDown(Action::Flip3));

    second.pullOut();
    pumpGamepads();
    EXPECT_EQ(gamepadCount(), 1);
    EXPECT_EQ(gamepadNumberOfPlayer(3), 0);
    EXPECT_FALSE(actionDown(Action::Flip3)) << "the held button went with the pad";
    hold(first, PadButton::A);
    EXPECT_FALSE(actionDown(Action::Flip3)) << "the other pad is not player 3's";
    release(first, PadButton::A);

    VirtualPad third;
    pumpGamepads();
    EXPECT_EQ(gamepadCount(), 2);
    EXPECT_EQ(gamepadNumberOfPlayer(3), 2) << "the new pad took the free number and the player";
    hold(third, PadButton::X);
    EXPECT_TRUE(actionDown(Action::Flip3));
    EXPECT_EQ(gamepadPressing(Action::Flip3), 2);
}

TEST_F(Gamepads, OnAClientEveryPadFlipsPlayerOneAndTheMenusMoveWithAnyPad) {
    VirtualPad first;
    VirtualPad second;
    pumpGamepads();
    setEveryGamepadPlayerOne(true);
    hold(second, PadButton::B);
    EXPECT_TRUE(actionDown(Action::Flip1));
    EXPECT_EQ(gamepadPressing(Action::Flip1), 2);
    release(second, PadButton::B);

    const std::pair<PadButton, Action> menu[] = {
        {PadButton::DpadUp, Action::Up},     {PadButton::DpadDown, Action::Down},
        {PadButton::DpadLeft, Action::Left}, {PadButton::DpadRight, Action::Right},
        {PadButton::Back, Action::Back},     {PadButton::A, Action::Confirm},
    };
    for (const auto& [button, action] : menu) {
        hold(first, button);
        EXPECT_TRUE(actionDown(action)) << static_cast<int>(button);
        consumeAction(action);
        EXPECT_FALSE(actionDown(action)) << static_cast<int>(button);
        release(first, button);
    }
}

TEST(GamepadsStopped, NoPadAndNoActionWithoutSdl) {
    EXPECT_EQ(gamepadCount(), 0);
    EXPECT_EQ(gamepadNumberOfPlayer(1), 0);
    EXPECT_FALSE(actionDown(Action::Pause));
    pumpGamepads();
}

// Waits up to two seconds for `condition`, which the pads' thread makes true.
bool eventually(const std::function<bool()>& condition) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > limit) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The pads' own thread reads them while another thread (as the race's timer does) asks for flips.
TEST(GamepadsThread, ReadsThePadsWhileAnotherThreadAsks) {
    ASSERT_TRUE(startGamepads());
    std::atomic<bool> asking{true};
    std::atomic<int> flipsSeen{0};
    std::thread timer([&] {
        while (asking) {
            if (actionDown(Action::Flip1)) {
                ++flipsSeen;
                consumeAction(Action::Flip1);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    {
        VirtualPad pad;
        EXPECT_TRUE(eventually([] { return gamepadCount() == 1; }));
        giveGamepadToPlayer(1, 1);
        pad.hold(PadButton::A);
        EXPECT_TRUE(eventually([&] { return flipsSeen == 1; }));
        pad.release(PadButton::A);
        pad.hold(PadButton::Start);
        EXPECT_TRUE(eventually([] { return actionDown(Action::Pause); }));
    }
    EXPECT_TRUE(eventually([] { return gamepadCount() == 0; }));
    EXPECT_FALSE(actionDown(Action::Pause));
    asking = false;
    timer.join();
    stopGamepads();
    EXPECT_EQ(flipsSeen, 1);
}

}  // namespace
