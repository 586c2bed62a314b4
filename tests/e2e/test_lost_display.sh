#!/usr/bin/env bash
# The X display goes away under a local game, and under a client and a spectator of a server (whose
# own tiny window is on another display, which stays): each ends within 10 s with its one-line
# message and a non-zero status of its own (not a signal's), and its recording (--gravar) is
# closed whole: gzip reads it to its end, and "corrida rever" plays it without finding it cut
# short. The server goes on and ends in order.
# Consoles are kept in test-artifacts/lost_display/ of the build dir.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" lost_display
cd "$build"

message="A janela do jogo foi perdida (o servidor grafico X caiu ou a sessao terminou)."
# Displays of this test's own: the one that stays (the server's, then the playbacks') and the two
# that are taken away.
lasting_display=245
local_display=246
network_display=247

# start_display N: a private Xvfb on :N; sets $display_pid.
start_display() {
  local n="$1"
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && fail "o display :$n ja esta em uso"
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >"$E2E_TMP/xvfb$n.log" 2>&1 &
  display_pid=$!
  E2E_PIDS+=($display_pid)
  answers() { running "$display_pid" && DISPLAY=":$1" xdpyinfo >/dev/null 2>&1; }
  wait_until 5 answers "$n" || fail "Xvfb nao iniciou em :$n"
}

# take_display_away PID: ends that Xvfb, as a logout or a dying X server does.
take_display_away() {
  kill -TERM "$1"
  gone() { ! running "$1"; }
  wait_until 5 gone "$1" || kill -9 "$1"
}

recorded_pictures() { zcat "$1" 2>/dev/null | wc -l; }
has_pictures() { [ "$(recorded_pictures "$1")" -ge "$2" ]; }

# ends_on_lost_display NAME: the program NAME ended within 10 s of the display going, with the
# message and a status that is neither 0 nor a signal's.
ends_on_lost_display() {
  local name="$1" status
  exited() { ! running "${GAME_PID[$1]}"; }
  wait_until 10 exited "$name" || fail "$name nao terminou em 10 s depois que o display sumiu"
  wait "${GAME_PID[$name]}"
  status=$?
  [ "$status" -ne 0 ] && [ "$status" -lt 128 ] ||
    fail "$name terminou com status $status; saida: $(cat "$E2E_TMP/$name.out")"
  grep -qF -- "$message" "$E2E_TMP/$name.out" || fail "$name nao disse \"$message\""
  echo "$name: status $status"
}

# recording_is_whole FILE: gzip finds the compressed stream ended properly, and the program's own
# reader plays it (on the lasting display) without reporting it cut short.
recording_is_whole() {
  local file="$1" name known window
  name="replay_$(basename "$file" .gz)"
  gzip -t "$file" 2>"$E2E_TMP/$name.gzip.txt" || fail "a gravacao $file nao esta inteira"
  [ "$(zcat "$file" | sed -n 1p)" = "corrida-gravacao 1" ] || fail "a gravacao $file nao tem o cabecalho"
  known=$(DISPLAY=":$lasting_display" game_windows)
  start_game "$name" DISPLAY=":$lasting_display" -- rever "$file"
  window=$(DISPLAY=":$lasting_display" new_window "$known") || fail "rever $file nao abriu a janela"
  grep -F -e "sera vista ate onde pode ser lida" -e "Nao foi possivel rever" "$E2E_TMP/$name.out" &&
    fail "rever achou a gravacao $file cortada"
  DISPLAY=":$lasting_display" press "$window" Escape
  await_exit "$name"
}

start_display "$lasting_display"
lasting_pid=$display_pid
E2E_XVFB=$lasting_pid # goes last at the cleanup
export DISPLAY=":$lasting_display"

# The local game, in its menu (one picture recorded: the menu stands still).
start_display "$local_display"
local_xvfb=$display_pid
start_game local DISPLAY=":$local_display" -- --gravar "$E2E_TMP/local.gz" local
DISPLAY=":$local_display" wait_for_window corrida >/dev/null || fail "a janela do jogo local nao abriu"
wait_until 20 has_pictures "$E2E_TMP/local.gz" 2 || fail "o jogo local nao gravou a tela"
take_display_away "$local_xvfb"
ends_on_lost_display local
recording_is_whole "$E2E_TMP/local.gz"

# A server for one player, hosting its own names, on the lasting display; a player and a spectator
# on the other one, both recording the race.
start_game server -- servidor 1
expect_output server "Servidor Rodando!" 30
start_display "$network_display"
network_xvfb=$display_pid
start_game client DISPLAY=":$network_display" CORRIDA_REPLAY_LOG="$E2E_TMP/client.log" -- \
  --gravar "$E2E_TMP/client.gz" cliente 127.0.0.1
expect_output client "VOCE EH O PLAYER: 1"
start_game watcher DISPLAY=":$network_display" CORRIDA_REPLAY_LOG="$E2E_TMP/watcher.log" -- \
  --gravar "$E2E_TMP/watcher.gz" assistir 127.0.0.1
expect_output watcher "VOCE ASSISTE COMO ESPECTADOR: 7"
wait_lines "$E2E_TMP/client.log" 100 60 || fail "a corrida nao chegou ao cliente"
wait_lines "$E2E_TMP/watcher.log" 100 60 || fail "a corrida nao chegou ao espectador"
take_display_away "$network_xvfb"
ends_on_lost_display client
ends_on_lost_display watcher
recording_is_whole "$E2E_TMP/client.gz"
recording_is_whole "$E2E_TMP/watcher.gz"

# The server, whose display stayed, went on; it still ends in order.
running "${GAME_PID[server]}" || fail "o servidor terminou junto: $(cat "$E2E_TMP/server.out")"
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
await_exit server
echo "ok: local, cliente e espectador terminaram com a mensagem e as gravacoes inteiras" \
  "($(recorded_pictures "$E2E_TMP/local.gz"), $(recorded_pictures "$E2E_TMP/client.gz")," \
  "$(recorded_pictures "$E2E_TMP/watcher.gz") linhas)"
