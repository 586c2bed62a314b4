// The "frame N T" markers of a stream text, in order: what a test reads to count pictures.
#pragma once

#include <string>
#include <vector>

#include "stream/frame_marker.h"

std::vector<FrameMarker> frameMarkersIn(const std::string& text);
