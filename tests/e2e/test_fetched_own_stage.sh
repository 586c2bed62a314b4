#!/usr/bin/env bash
# A player's own stage, played over the network by a client that never had it. The server's
# XDG_DATA_HOME holds a level file written by hand, and the server plays it ("--fases muro"); the
# client has the shipped data folder, no own stages and a cache of its own. The client asks the
# server for the stage's level, draws its picture into its cache (the very bytes the server drew
# into its own) and shows the stage. Consoles, screenshots and the drawn pictures are kept in
# BUILD/test-artifacts/fetched_own_stage/.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
levels="$(cd "$(dirname "$0")" && pwd)/levels"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" fetched_own_stage
cd "$build"

server_data="$E2E_TMP/server_data"
mkdir -p "$server_data/corrida/fases" "$E2E_TMP/client_data"
# The own stage of test_own_stages, on another theme.
sed 's/^theme 3$/theme 4/' "$levels/muro.txt" >"$server_data/corrida/fases/muro.txt"
server_cache="$E2E_TMP/server_cache"
client_cache="$E2E_TMP/client_cache"

start_xvfb
start_game server XDG_DATA_HOME="$server_data" XDG_CACHE_HOME="$server_cache" -- \
  servidor 1 --fases muro
expect_output server "Servidor Rodando!" 60
server_picture=$(ls "$server_cache"/corrida/Img/fases/muro-*.jpg 2>/dev/null) ||
  fail "o servidor nao desenhou a fase propria em seu cache"
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

start_game client XDG_DATA_HOME="$E2E_TMP/client_data" XDG_CACHE_HOME="$client_cache" -- \
  cliente 127.0.0.1
expect_output client "VOCE EH O PLAYER: 1"
expect_output client "desenhada da fase recebida do servidor" 30
client_picture="$client_cache/corrida/Img/fases/$(basename "$server_picture")"
[ -f "$client_picture" ] || fail "a imagem da fase nao esta no cache do cliente"
cp "$server_picture" "$artifacts/server_picture.jpg"
cp "$client_picture" "$artifacts/client_picture.jpg"
cmp -s "$client_picture" "$server_picture" ||
  fail "a imagem desenhada pelo cliente difere da desenhada pelo servidor"
if grep -F fudeu "$E2E_TMP/client.out" >/dev/null; then fail "o cliente nao carregou uma imagem"; fi

# The stage shows: its floor rows, at whatever place it has scrolled to.
client_window=$(new_window "$server_window") || fail "a janela do cliente nao abriu"
stage_shown() {
  "$build/tests/screen_match_probe" --find-x "$E2E_TMP/$1.bmp" "$client_picture" 400 80 1960 \
    >>"$E2E_TMP/checks.log"
}
wait_for_screen 15 "$client_window" 01_fetched_own_stage stage_shown ||
  fail "o cliente nao mostra a fase propria buscada (01_fetched_own_stage.png)"
cp "$E2E_TMP/server.out" "$E2E_TMP/client.out" "$artifacts/"
echo "ok"
