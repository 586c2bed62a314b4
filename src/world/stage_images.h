// Sizes and image paths shared by the objects of a stage.
#pragma once

// The stage is this many pixels tall; the window shows kWindowWidth x kStageHeight of it.
constexpr int kStageHeight = 480;
constexpr int kWindowWidth = 640;

// One pixel in the mask colour: the image of the camera, the speed markers and the finish lines.
inline constexpr const char* kTransparentPixelPath = "Img/Jogo/pixelTransparente.bmp";
