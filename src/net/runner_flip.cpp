#include "net/runner_flip.h"

#include "world/runner.h"

void flipRunnerGravity(Runner& runner) { runner.flipGravity(); }
