// The name the recorded instructions give the game's picture: every receiver binds it to its own
// window (interpreter.h), and it is never released.
#pragma once

inline constexpr const char* kScreenName = "screen";
