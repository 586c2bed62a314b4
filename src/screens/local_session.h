// The local game: every player on one keyboard and one window.
#pragma once

void runLocalSession();
