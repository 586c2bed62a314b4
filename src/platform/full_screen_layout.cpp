#include "platform/full_screen_layout.h"

#include <algorithm>

#include "platform/window_size.h"

PictureLayout fullScreenLayout(int width, int height) {
    const int factor = std::max(1, std::min(width / kWindowWidth, height / kWindowHeight));
    return {factor, std::max(0, (width - kWindowWidth * factor) / 2),
            std::max(0, (height - kWindowHeight * factor) / 2)};
}
