#!/usr/bin/env bash
# The long-session check (scripts/soak) in short: one whole match with two players, then the same
# checks: each client's bitmap table against the server's recording, no lost bitmap, the replay
# pace. The long run with six players is scripts/soak itself (README, "Long sessions").
build="$(cd "$1" && pwd)"
# The game's configuration is the test's own (see lib.sh).
XDG_CONFIG_HOME="$(mktemp -d /tmp/corrida-soak-config.XXXXXX)"
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
SOAK_BUILD="$build" SOAK_PLAYERS=2 SOAK_LOCKED=1 SOAK_ARTIFACTS=short_soak bash "$(dirname "$0")/../../scripts/soak" 1 1
