#!/usr/bin/env bash
# Compatibility both ways with peers that know only the classic operations:
# - a client that resolves the names through corbaloc::HOST:9001/NameService and only calls
#   getInstructions, without any pause, plays against our server, hosted in one step (its own
#   names) or registered in a naming service: it gets the countdown and the race, and every bitmap
#   it is told to draw is there;
# - our client against a server that has no takeFrames (it answers BAD_OPERATION): the client falls
#   back to getInstructions, shows the server's picture and sends its keys.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" network_compat
cd "$build"

start_xvfb

# classic_client_plays: a classic client against the server on this machine, for one player: 150
# pictures are the countdown and about five seconds of race.
classic_client_plays() {
  local out="$E2E_TMP/classic_client_$1.out"
  "$build/tests/classic_client_probe" 127.0.0.1 150 90 >"$out" 2>&1 ||
    fail "o cliente classico falhou: $(cat "$out")"
  cp "$out" "$artifacts/"
  grep -q "VOCE EH O PLAYER: 1" "$out" || fail "o cliente classico nao entrou"
  grep -q "^imagens 1[5-9][0-9]$" "$out" ||
    fail "o cliente classico nao recebeu a corrida: $(tail -n 1 "$out")"
  grep -q "Bitmap nao encontrado\|fudeu\|create_bitmap falhou" "$out" &&
    fail "o cliente classico perdeu bitmaps: $(head -c 300 "$out")"
}

# Against our server hosted in one step: the names it serves itself resolve as a naming service's.
host_server hosted 1
classic_client_plays hosted
kill "${GAME_PID[hosted]}"
expect_output hosted "Servidor encerrado."
wait "${GAME_PID[hosted]}" || fail "o servidor em um passo terminou com erro"

# Against our server registered in a naming service.
start_naming_service
start_server server 1
classic_client_plays registered
kill "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
finish_game server

# Our client against a classic server.
start_classic_server
start_client client 1
window=$(new_window "") || fail "a janela do cliente nao abriu"
xdotool windowmove "$window" 0 0
for _ in $(seq 1 50); do
  shot 01_classic_server 0
  shows_sprite "$artifacts/01_classic_server.png" Img/menu/pause.bmp 0 0 && break
  sleep 0.2
done
shows_sprite "$artifacts/01_classic_server.png" Img/menu/pause.bmp 0 0 ||
  fail "o cliente nao mostra o que o servidor classico desenha (01_classic_server.png)"
press "$window" x
wait_for_text "$E2E_TMP/classic_server.out" "alterarGravidade 1" 10 ||
  fail "o X do cliente nao chegou ao servidor classico: $(cat "$E2E_TMP/classic_server.out")"
press "$window" Escape
finish_game client
grep -q "Bitmap nao encontrado\|conexao\|servidor parou" "$E2E_TMP/client.out" &&
  fail "o cliente reclamou: $(cat "$E2E_TMP/client.out")"
# A spectator of a classic server is told, and ends in order.
start_game watcher -- assistir 127.0.0.1
expect_output watcher "nao aceita espectadores"
await_exit watcher
echo "ok: compatibilidade nos dois sentidos (capturas em $artifacts)"
