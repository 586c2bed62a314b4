#!/usr/bin/env bash
# A client 40 ms of round trip away (the delay relay in front of the server, whose references name
# the relay) replays every picture the server flushes for it: its replay log counts 300 race
# pictures in a row with no number missing. SIGTERM then ends it in order.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" network_delay
cd "$build"

start_xvfb
start_naming_service

read -r port relay < <(free_ports 2)
"$build/delay_relay" "$relay" 127.0.0.1 "$port" 20 >"$E2E_TMP/relay.out" 2>&1 &
E2E_PIDS+=($!)
wait_for_text "$E2E_TMP/relay.out" "relay listening" 10 || fail "o relay nao iniciou"

start_server server 1 ORBendPoint="giop:tcp:127.0.0.1:$port" ORBendPointPublish="giop:tcp:127.0.0.1:$relay"
start_client client 1 CORRIDA_REPLAY_LOG="$E2E_TMP/replay.log"

# Counts pictures, not time: the countdown's five and then the race, up to 120 s on a slow machine.
for _ in $(seq 1 1200); do
  [ "$(wc -l <"$E2E_TMP/replay.log" 2>/dev/null || echo 0)" -ge 320 ] && break
  sleep 0.1
done
cp "$E2E_TMP/replay.log" "$artifacts/"
lines=$(wc -l <"$E2E_TMP/replay.log")
[ "$lines" -ge 320 ] || fail "o cliente reproduziu so $lines imagens"
gaps=$(awk 'NR > 1 && $1 != prev + 1 { print prev "->" $1 } { prev = $1 }' "$E2E_TMP/replay.log")
[ -z "$gaps" ] || fail "imagens que o servidor enviou e o cliente nao reproduziu: $gaps"
# The relay really is in the way: no picture arrives sooner than half the round trip after its flush.
fast=$(awk '$3 - $2 < 20' "$E2E_TMP/replay.log" | wc -l)
[ "$fast" -eq 0 ] || fail "$fast imagens chegaram antes do atraso do relay: o relay nao esta no caminho"
grep -q "Bitmap nao encontrado\|fudeu" "$E2E_TMP/client.out" && fail "o cliente perdeu bitmaps"
# SIGTERM ends a client as Esc does: in order, with the closing prompt and status 0.
kill -TERM "${GAME_PID[client]}"
finish_game client
echo "ok: $lines imagens seguidas a 40 ms de ida e volta (em $artifacts)"
