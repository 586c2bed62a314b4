// The pictures in a piece of the drawing stream: the picture markers ("frame N T") it holds.
#pragma once

#include <cstddef>
#include <string>

inline size_t picturesIn(const std::string& text) {
    size_t count = 0;
    for (size_t at = text.find(";frame "); at != std::string::npos;
         at = text.find(";frame ", at + 1)) {
        ++count;
    }
    return count + (text.rfind("frame ", 0) == 0 ? 1 : 0);
}
