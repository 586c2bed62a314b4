// ReceivedPicture: one picture of a fetched text. A text is a run of pictures, each its drawing
// followed by its "frame N T" marker piece (frame_marker.h); what follows the last marker (all of
// a classic batch, which carries none) is drawing whose picture has not ended.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "stream/frame_marker.h"

struct ReceivedPicture {
    std::string drawing;                // its pieces, each ended by ";" (the last maybe not)
    std::optional<FrameMarker> marker;  // none for drawing whose picture has not ended
    // The picture as the stream carried it: its drawing and its marker piece.
    std::string text() const;
};

// The pictures of `text`, in order.
std::vector<ReceivedPicture> splitPictures(const std::string& text);

// The pieces of `drawing` that are not ordinary drawing (blits and sprites): the bitmap changes,
// the sounds and anything else, in order. A picture that is not shown is carried out this way.
std::string withoutDrawing(const std::string& drawing);
