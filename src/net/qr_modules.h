// A QR code as rows of modules (libqrencode), and a row's dark modules as runs, so that a picture
// can be drawn with one blit a run.
#pragma once

#include <string>
#include <vector>

// The modules of the QR code of `text` (error correction level M, the smallest version that holds
// it), row by row, true for dark; empty when the text does not fit any version.
std::vector<std::vector<bool>> qrModules(const std::string& text);

struct ModuleRun {
    int first;   // column of its first module
    int length;  // modules
};
// The runs of dark modules of one row, left to right.
std::vector<ModuleRun> darkRuns(const std::vector<bool>& row);
