// Loading a picture file of the game, refusing one that is cut short.
//
// The graphics library's BMP reader fills the rows a truncated file lacks with whatever it reads
// past the end, and gives a bitmap; loadImageFile refuses such a file, so that a cut-short picture
// is treated like any other unreadable one.
#pragma once

#include <string>

#include "platform/bitmap_handle.h"

// load_bitmap(path), or empty when the file is missing, unreadable, or an uncompressed BMP shorter
// than its header says.
BitmapHandle loadImageFile(const std::string& path);

// loadImageFile, and a failure reported on the console (file_problem.h: once per path).
BitmapHandle loadImageOrReport(const std::string& path);
