// The one place where the network code flips a runner: the runner's own atomic flip, accepted only
// while the runner stands on something (the rule of the local key poll).
#pragma once

class Runner;

void flipRunnerGravity(Runner& runner);
