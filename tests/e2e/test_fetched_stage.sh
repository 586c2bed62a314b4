#!/usr/bin/env bash
# A client that lacks a stage's picture gets it from the server. The server (hosted in one step)
# plays stage 1; the clients' data folder is a copy of the build's without Img/Jogo/visual1.jpg,
# and their cache a folder of the test's own. The first client asks the server for the stage's
# level, draws the picture into its cache (the very bytes the generator wrote) and shows the stage;
# the second finds it in the cache and asks nothing. Screenshots and consoles are kept in
# BUILD/test-artifacts/fetched_stage/.
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
host_server server 2
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

start=$(date +%s%N)
start_game client1 CORRIDA_DATA="$client_data" XDG_CACHE_HOME="$cache" -- cliente 127.0.0.1
expect_output client1 "VOCE EH O PLAYER: 1"
expect_output client1 "Imagem Img/Jogo/visual1.jpg desenhada da fase recebida do servidor" 30
echo "buscada e desenhada em $((($(date +%s%N) - start) / 1000000)) ms desde o inicio do cliente" \
  >"$artifacts/timing.txt"
grep -F "desenhada da fase" "$E2E_TMP/client1.out" >>"$artifacts/timing.txt"
[ -f "$cached" ] || fail "a imagem nao esta no cache do cliente"
cmp -s "$cached" Img/Jogo/visual1.jpg || fail "a imagem desenhada pelo cliente difere da gerada"
[ -e "$client_data/Img/Jogo/visual1.jpg" ] && fail "o cliente escreveu na pasta de dados"
grep -q fudeu "$E2E_TMP/client1.out" && fail "o cliente 1 nao carregou uma imagem"

# The stage shows (under the waiting picture, then in the race): its floor rows, at whatever
# place the stage has scrolled to. The window is captured where it opened: moved after its still
# picture, it would show what the graphics library last drew itself.
client1_window=$(new_window "$server_window") || fail "a janela do cliente 1 nao abriu"
stage_shown() {
  "$build/tests/screen_match_probe" --find-x "$E2E_TMP/$1.bmp" Img/Jogo/visual1.jpg 400 80 17360 \
    >>"$E2E_TMP/checks.log"
}
wait_for_screen 15 "$client1_window" 01_fetched_stage stage_shown ||
  fail "o cliente 1 nao mostra a fase buscada (01_fetched_stage.png)"

# A second client with the same cache finds the picture there: it asks the server nothing. (The
# first client's window makes room for it.)
place_window "$client1_window" 650 0
start_game client2 CORRIDA_DATA="$client_data" XDG_CACHE_HOME="$cache" -- cliente 127.0.0.1
expect_output client2 "VOCE EH O PLAYER: 2"
client2_window=$(new_window "$(printf '%s\n%s\n' "$server_window" "$client1_window" | sort)") ||
  fail "a janela do cliente 2 nao abriu"
wait_for_screen 15 "$client2_window" 02_cached_stage stage_shown ||
  fail "o cliente 2 nao mostra a fase do cache (02_cached_stage.png)"
grep -qF "desenhada da fase" "$E2E_TMP/client2.out" && fail "o cliente 2 buscou a fase de novo"
grep -q fudeu "$E2E_TMP/client2.out" && fail "o cliente 2 nao carregou uma imagem"
echo "ok"
