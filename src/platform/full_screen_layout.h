// Where the 640 x 480 picture sits on a full screen: enlarged by the largest whole factor that
// fits, centred, the rest of the screen black.
#pragma once

struct PictureLayout {
    int factor;  // 1 or more
    int x;       // the enlarged picture's top-left corner on the screen
    int y;
};

// The layout on a screen of `width` x `height` pixels. A screen smaller than the picture shows it
// at factor 1 from its top-left corner.
PictureLayout fullScreenLayout(int width, int height);
