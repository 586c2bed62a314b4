// StageImageError: a stage could not be built because its picture (loaded only where the stage is
// drawn) could not be loaded. It names the path that was tried. Stage loading turns it into the
// console message; nothing else reports it.
#pragma once

#include <stdexcept>
#include <string>

class StageImageError : public std::runtime_error {
  public:
    enum class Image { kPicture };

    StageImageError(Image image, const std::string& path)
        : std::runtime_error("stage image not loaded: " + path), image(image), path(path) {}

    const Image image;
    const std::string path;
};
