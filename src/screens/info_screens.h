// The two information screens of the main menu: instructions and credits.
//
// Each shows one full-window picture (all its text is in the picture) until Escape is pressed,
// consumes that press so the menu does not see it, releases its two bitmaps and returns true. Every
// load, creation, drawing and destruction is recorded under the screen's own bitmap names.
#pragma once

bool runInstructionsScreen();
bool runCreditsScreen();
