#!/usr/bin/env bash
# A broken file in the real program: with stage 1's picture cut short, the local game names the
# file as unreadable ("ilegivel") in the stage's message and returns to the menu, which still
# works (Esc leaves it and the program returns to the console and ends with 0).
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
data="$E2E_TMP/data"
mkdir -p "$data"
cp -r "$build/Img" "$data/Img"
cp -r "$build/fases" "$data/fases"
picture="$data/Img/Jogo/visual1.jpg"
truncate -s $(($(stat -c %s "$picture") / 2)) "$picture"

start_xvfb
console="$E2E_TMP/console.txt"
mkfifo "$E2E_TMP/stdin"
(cd "$data" && CORRIDA_DATA="$data" exec "$build/corrida") <"$E2E_TMP/stdin" >"$console" 2>&1 &
game=$!
E2E_PIDS+=($game)
exec 7>"$E2E_TMP/stdin"
printf '3\n' >&7

win=$(wait_for_window corrida 20) || fail "a janela do jogo nao abriu: $(cat "$console")"
artifacts="$E2E_TMP"
menu_on() { shows "$1" menu/menu.jpg 0 0 0 0 640 280; }
selection_open() { shows "$1" menu/bg_selecao.jpg 0 0 0 0 640 290; }
wait_for_screen 20 "$win" menu menu_on || fail "o menu nao apareceu"
press "$win" Return  # the menu's player count: one player
wait_for_screen 15 "$win" selection selection_open || fail "a selecao nao apareceu"
press "$win" Return  # the first character
wait_for_text "$console" "Nao foi possivel carregar a fase 1: imagem Img/Jogo/visual1.jpg ilegivel." 20 ||
  fail "a fase quebrada nao foi relatada: $(cat "$console")"
wait_for_screen 15 "$win" menu_again menu_on || fail "o menu nao voltou na janela"
press "$win" Escape  # back in the menu: Esc leaves
wait_for_text "$console" "Pressione Enter para sair" 20 || fail "o menu nao voltou: $(cat "$console")"
exec 7>&-
status=0
wait "$game" || status=$?
[ "$status" -eq 0 ] || fail "o programa terminou com status $status"
lines=$(grep -c "visual1.jpg" "$console")
[ "$lines" -eq 1 ] || fail "esperava uma linha sobre visual1.jpg, vieram $lines: $(cat "$console")"
echo "ok: $(grep visual1.jpg "$console")"
