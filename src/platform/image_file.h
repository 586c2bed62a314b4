// Loading a picture file of the game, refusing one that is cut short.
//
// The graphics library's BMP reader fills the rows a truncated file lacks with whatever it reads
// past the end, and its JPEG reader may decode a truncated file from memory it never filled; both
// give a bitmap. loadImageFile refuses such files, so that a cut-short picture is treated like any
// other unreadable one.
#pragma once

#include <string>

#include "platform/bitmap_handle.h"

// The file a relative `path` names: in the data folder (the working directory) when it is there,
// else in the cache (cache_folder.h) when it is there, else `path` itself.
std::string imageFileOf(const std::string& path);

// load_bitmap(imageFileOf(path)), or empty when the file is missing, unreadable, an uncompressed
// BMP shorter than its header says, or a JPEG without its closing marker.
BitmapHandle loadImageFile(const std::string& path);

// loadImageFile, and a failure reported on the console (file_problem.h: once per path).
BitmapHandle loadImageOrReport(const std::string& path);
