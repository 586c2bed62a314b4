#!/usr/bin/env bash
# A server whose race a client paused, and whose client then went away, still ends in order on
# Ctrl+C: nobody is left to lift the pause, yet the race ends, the server says "Servidor
# encerrado." and returns to its console, which ends with status 0.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" paused_server_stop
cd "$build"
[ -f Img/menu/pause.bmp ] || fail "imagens do jogo ausentes em $build/Img"

start_xvfb
start_naming_service

# Job control keeps Ctrl+C (SIGINT) alive in a background job.
set -m
start_game server
set +m
answer server 1 127.0.0.1 1
expect_output server "Servidor Rodando!"
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

start_client client 1 CORRIDA_REPLAY_LOG="$E2E_TMP/client.log"
client_window=$(new_window "$server_window") || fail "a janela do cliente nao abriu"

# P counts only during the race, after the countdown's five pictures (and a lost stage starts
# again with a countdown), so P is pressed again when a few screenshots after a press show no pause.
wait_lines "$E2E_TMP/client.log" 40 60 || fail "o cliente nao recebeu a corrida"
paused=""
for attempt in $(seq 1 10); do
  press "$client_window" p
  for look in 1 2 3 4; do
    shot paused 0
    if shows_sprite "$artifacts/paused.png" Img/menu/pause.bmp 0 0; then
      paused=yes
      break 2
    fi
    sleep 0.3
  done
done
[ -n "$paused" ] || fail "P no cliente nao pausou a corrida (paused.png)"

# The client goes away with the race paused; the server is stopped with Ctrl+C.
kill -9 "${GAME_PID[client]}"
wait "${GAME_PID[client]}" 2>/dev/null
sleep 0.5
kill -0 "${GAME_PID[server]}" 2>/dev/null || fail "o servidor terminou quando o cliente saiu"
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado." 10
finish_game server
echo "ok: servidor pausado encerrado com Ctrl+C"
