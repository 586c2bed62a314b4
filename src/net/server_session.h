// The server: runs the whole game for remote players and publishes it through the naming service.
#pragma once

#include "app/entry_dialogue.h"

void runServerSession(ParametrosRede& params);
