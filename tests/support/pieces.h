// The non-empty pieces of a batch or answer text, in order (read by the stream's own reader).
#pragma once

#include <string>
#include <vector>

std::vector<std::string> piecesOf(const std::string& text);
