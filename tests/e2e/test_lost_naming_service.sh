#!/usr/bin/env bash
# The naming service stops while a match runs: the players already in go on (the server's objects
# are reached directly, not through the names), the stage can still be won and the next one comes;
# a client that starts now says it cannot reach the naming service and ends in order; the server
# keeps running and ends in order when asked.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" lost_naming_service
cd "$build"

start_xvfb
start_naming_service
# F10 ends a stage on a server whose host allows it.
start_game server CORRIDA_BITMAP_NAMES="$E2E_TMP/server.names" -- servidor 2 --truques
expect_output server "Servidor Rodando!"
start_client player 1 CORRIDA_REPLAY_LOG="$E2E_TMP/player.log"
window=$(new_window "") || fail "a janela do cliente nao abriu"
start_probe_player watcher 2

count_lines() { wc -l <"$1" 2>/dev/null || echo 0; }
# stage_ends: how many times the server's recording released a stage's picture.
stage_ends() {
  awk '{ has = 0; for (i = 2; i <= NF; i++) if ($i == "mapaVisual") has = 1
         if (before && !has) n++; before = has } END { print n + 0 }' "$E2E_TMP/server.names"
}
wait_lines "$E2E_TMP/player.log" 40 60 || fail "o cliente nao recebeu a corrida"

kill -TERM "$NAMES_PID"
wait "$NAMES_PID" 2>/dev/null
! (exec 3<>/dev/tcp/127.0.0.1/9001) 2>/dev/null || fail "o servico de nomes continua respondendo"

# The race goes on for the player, who wins stage 1 (F10) and replays stage 2's countdown and race.
before=$(count_lines "$E2E_TMP/player.log")
wait_lines "$E2E_TMP/player.log" $((before + 30)) 20 || fail "a corrida parou com o servico de nomes"
press "$window" F10
for _ in $(seq 1 100); do [ "$(stage_ends)" -ge 1 ] && break; sleep 0.1; done
[ "$(stage_ends)" -ge 1 ] || fail "F10 nao encerrou a fase sem o servico de nomes"
before=$(count_lines "$E2E_TMP/player.log")
wait_lines "$E2E_TMP/player.log" $((before + 100)) 60 ||
  fail "o cliente nao recebeu a fase 2: $(cat "$E2E_TMP/player.out")"
grep -q "Bitmap nao encontrado\|fudeu" "$E2E_TMP/player.out" && fail "o cliente perdeu bitmaps"

# A client that starts now is told why it cannot join, and ends in order without a window.
windows_before=$(game_windows)
start_game late
answer late 2 127.0.0.1
expect_output late "Nao foi possivel contatar o servico de nomes em 127.0.0.1:9001"
finish_game late
[ "$(game_windows)" = "$windows_before" ] || fail "o cliente sem servico de nomes abriu uma janela"

kill -0 "${GAME_PID[server]}" 2>/dev/null || fail "o servidor terminou sem o servico de nomes"
kill -0 "${GAME_PID[player]}" 2>/dev/null || fail "o cliente terminou sem o servico de nomes"
kill -TERM "${GAME_PID[player]}"
finish_game player
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
await_exit server
echo "ok: sem o servico de nomes a partida continua e um cliente novo recebe uma mensagem"
