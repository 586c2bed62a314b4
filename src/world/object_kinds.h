// The kinds the objects of a stage are registered with (Objeto::kind): a runner tells what it
// hit by them, and the camera finds the speed markers by theirs.
#pragma once

inline constexpr const char* kRunnerKind = "player";
inline constexpr const char* kSpeedMarkerKind = "boostTela";
inline constexpr const char* kFinishLineKind = "linhaChegada";
