// How many players a match takes: one per runner, one runner per start position.
#pragma once

constexpr int kMinPlayers = 1;
constexpr int kMaxPlayers = 6;
