// RecordedBatch: up to four instruction texts of the recording, as the recorder hands them on.
#pragma once

#include <optional>
#include <string>

#include "stream/frame_marker.h"

struct RecordedBatch {
    std::string text;                        // the instruction texts, each ended by ";"
    bool essential = false;                  // loads, creates or destroys a bitmap
    std::optional<FrameMarker> closesFrame;  // set on the batch that ends a picture
};
