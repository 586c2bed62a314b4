// Sizes and image paths shared by the objects of a stage.
#pragma once

#include "platform/window_size.h"

// The stage is as tall as the window, which shows kWindowWidth x kStageHeight of it.
constexpr int kStageHeight = kWindowHeight;

// What the recorded instructions call the stage's picture and the buffer each frame is composed in.
inline constexpr const char* kStagePictureName = "mapaVisual";
inline constexpr const char* kStageBufferName = "bufferVisual";

// One pixel in the mask colour: the image of the camera, the speed markers and the finish lines.
inline constexpr const char* kTransparentPixelPath = "Img/Jogo/pixelTransparente.bmp";
