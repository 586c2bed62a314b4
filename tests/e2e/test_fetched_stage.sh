#!/usr/bin/env bash
# A client that lacks a stage's picture gets it from the server. A server (hosted in one step, for
# one player) plays stage 1; the clients' data folder is a copy of the build's without
# Img/Jogo/visual1.jpg, and their cache a folder of the test's own. The first client asks the server
# for the stage's level, draws the picture into its cache (the very bytes the generator wrote) and
# shows the stage; the second, with a server of its own, finds it in the cache and asks nothing.
# Screenshots and consoles are kept in BUILD/test-artifacts/fetched_stage/.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" fetched_stage
cd "$build"
[ -f Img/Jogo/visual1.jpg ] || fail "imagem do jogo ausente: Img/Jogo/visual1.jpg"

client_data="$E2E_TMP/client_data"
mkdir -p "$client_data"
cp -r Img fases "$client_data/"
rm "$client_data/Img/Jogo/visual1.jpg"
cache="$E2E_TMP/client_cache"
cached="$cache/corrida/Img/Jogo/visual1.jpg"

start_xvfb

# stage_shown NAME: the shot NAME shows the stage: its floor rows, at whatever place the stage has
# scrolled to in its first 6000 pixels (the race has just begun; each place tried costs time).
stage_shown() {
  "$build/tests/screen_match_probe" --find-x "$E2E_TMP/$1.bmp" Img/Jogo/visual1.jpg 400 80 6000 \
    >>"$E2E_TMP/checks.log"
}
# play_stage CLIENT SHOT: a one-player server and the client CLIENT (the test's data folder and
# cache); the race starts as soon as the client joins, so its window changes until the stage shows
# in the shot SHOT. Both are stopped again afterwards.
play_stage() {
  local server_window window
  host_server "server_$1" 1
  server_window=$(new_window "") || fail "a janela do servidor nao abriu"
  xdotool windowmove "$server_window" 1000 700
  start_game "$1" CORRIDA_DATA="$client_data" XDG_CACHE_HOME="$cache" -- cliente 127.0.0.1
  expect_output "$1" "VOCE EH O PLAYER: 1"
  window=$(new_window "$server_window") || fail "a janela de $1 nao abriu"
  wait_for_screen 30 "$window" "$2" stage_shown || fail "$1 nao mostra a fase ($2.png)"
  for name in "$1" "server_$1"; do
    kill -TERM "${GAME_PID[$name]}" 2>/dev/null
    wait_until 10 bash -c "! kill -0 ${GAME_PID[$name]} 2>/dev/null" || fail "$name nao terminou"
    cp "$E2E_TMP/$name.out" "$artifacts/"
  done
}

# The first client asks the server for the stage's level and draws the picture into its cache.
start=$(date +%s%N)
play_stage client1 01_fetched_stage
grep -F "Imagem Img/Jogo/visual1.jpg desenhada da fase recebida do servidor" \
  "$E2E_TMP/client1.out" >"$artifacts/timing.txt" || fail "o cliente 1 nao buscou a fase"
echo "buscada, desenhada e mostrada em $((($(date +%s%N) - start) / 1000000)) ms" \
  >>"$artifacts/timing.txt"
[ -f "$cached" ] || fail "a imagem nao esta no cache do cliente"
cmp -s "$cached" Img/Jogo/visual1.jpg || fail "a imagem desenhada pelo cliente difere da gerada"
[ -e "$client_data/Img/Jogo/visual1.jpg" ] && fail "o cliente escreveu na pasta de dados"
if grep -F fudeu "$E2E_TMP/client1.out" >/dev/null; then fail "o cliente 1 nao carregou uma imagem"; fi

# A second client with the same cache finds the picture there: it asks the server nothing.
play_stage client2 02_cached_stage
if grep -F "desenhada da fase" "$E2E_TMP/client2.out" >/dev/null; then
  fail "o cliente 2 buscou a fase de novo"
fi
if grep -F fudeu "$E2E_TMP/client2.out" >/dev/null; then fail "o cliente 2 nao carregou uma imagem"; fi
echo "ok"
