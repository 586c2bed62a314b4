#include "world/runner_table.h"

RunnerTable runnerTable{};
