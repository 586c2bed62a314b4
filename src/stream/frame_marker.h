// Pieces the server adds to the drawing stream for its own clients (instruction.h: FrameMarker,
// PartStart). Receivers that do not know them skip them as unknown instruction kinds.
//
//   "frame N T"  closes picture N (counted from 1 over the server's life), flushed at T ms on the
//                server's monotonic clock. A receiver counts its frames, and on the same machine
//                measures how long a picture took to reach the window.
//   "part N"     opens the Nth answer of the frames fetch to one player, so that a receiver with
//                several fetches in flight replays the answers in the order they were taken.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "stream/instruction.h"

std::string formatFrameMarker(const FrameMarker& marker);
// The marker a piece holds, if it is one.
std::optional<FrameMarker> readFrameMarker(std::string_view piece);

std::string formatPartHeader(uint64_t part);
// The part number of an answer that opens with a part header piece, and where the rest begins.
struct PartHeader {
    uint64_t part = 0;
    size_t bodyStart = 0;
};
std::optional<PartHeader> readPartHeader(std::string_view answer);
