#!/usr/bin/env bash
# A server started again against the same naming service rebinds "fifo", "login" and "controle"
# to its own new objects: the names no longer lead to the old server, and the new one admits
# players from number 1 again. The first server runs without a display (it must still serve its
# players) and is stopped with Ctrl+C, as the README tells; both servers end in order.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" server_restart
cd "$build"
probe="$build/tests/net_probe"

start_naming_service

# First server, no display at all. Job control keeps Ctrl+C (SIGINT) alive in a background job.
set -m
start_game first -u DISPLAY
set +m
answer first 1 127.0.0.1 1
expect_output first "Servidor Rodando!"
expect_output first "Ctrl+C"
declare -A first_ior second_ior
for name in fifo login controle; do
  first_ior[$name]=$("$probe" 127.0.0.1 ior "$name") || fail "\"$name\" nao registrado: ${first_ior[$name]}"
done
[ "$("$probe" 127.0.0.1 logar)" = "1" ] || fail "o primeiro servidor nao admitiu o jogador 1"
batch=$("$probe" 127.0.0.1 fifo 1)
case "$batch" in
  *load_bitmap*) ;;
  *) fail "o servidor sem tela nao gravou a fase para o jogador 1: \"$batch\"" ;;
esac
kill -INT "${GAME_PID[first]}"
expect_output first "Servidor encerrado."
finish_game first

# The names still lead to the old, dead server.
out=$("$probe" 127.0.0.1 logar) && fail "o servidor encerrado ainda responde: $out"

# Second server, same naming service.
start_xvfb
start_server second 2
for name in fifo login controle; do
  second_ior[$name]=$("$probe" 127.0.0.1 ior "$name") || fail "\"$name\" nao registrado de novo"
  [ "${second_ior[$name]}" != "${first_ior[$name]}" ] || fail "\"$name\" continua no servidor antigo"
done
[ "$("$probe" 127.0.0.1 logar)" = "1" ] || fail "o novo servidor nao comecou pelo jogador 1"
[ "$("$probe" 127.0.0.1 logar)" = "2" ] || fail "o novo servidor nao admitiu o jogador 2"
[ "$("$probe" 127.0.0.1 logar)" = "-1" ] || fail "o novo servidor admitiu um terceiro jogador"
kill -0 "${GAME_PID[second]}" 2>/dev/null || fail "o novo servidor terminou"
kill -TERM "${GAME_PID[second]}"
expect_output second "Servidor encerrado."
finish_game second
echo "ok: nomes religados ao novo servidor"
