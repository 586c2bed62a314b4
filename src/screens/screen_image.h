// Loading the pictures of the front-end screens, with a readable report when one is missing.
//
// A screen keeps working without a picture: it is told which file is missing on the console, draws
// whatever it still has, and never touches the missing bitmap (the drawing helpers skip a null
// one). The load is recorded in every mode, so a remote player still gets the instruction.
#pragma once

#include <allegro.h>

#include <string>

#include "platform/bitmap_handle.h"

// recordedLoadBitmap(name, path): when this process draws locally and the file cannot be read, the
// console says "Imagem nao encontrada: PATH" or "Imagem ilegivel: PATH" (once per path).
BitmapHandle loadScreenImage(const std::string& name, const std::string& path);

// recordedCreateBitmap(name, width, height), with the new bitmap cleared to `colour` locally, so a
// buffer whose background picture is missing shows a plain colour rather than stale memory.
BitmapHandle createScreenBuffer(const std::string& name, int width, int height, int colour);
