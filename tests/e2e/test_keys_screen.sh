#!/usr/bin/env bash
# The TECLAS screen with the real keyboard: from the menu (Down, Right, Enter), player 1 presses Z,
# player 2 presses A (player 4's) and sees it refused, then Enter keeps every other key; back in
# the menu, teclas.conf holds "jogador1 Z" and the other players' keys. (test_key_config shows
# that such a file makes Z flip player 1's runner.)
# Screenshots are kept in BUILD/test-artifacts/keys_screen/.
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
fresh_artifacts "$build" keys_screen
cd "$build"
for image in menu/bg_teclas.jpg menu/teclas_vez.bmp menu/teclas_usada_4.bmp menu/teclas_2.jpg \
  Jogo/Teclas/Z.bmp; do
  [ -f "Img/$image" ] || fail "imagem do jogo ausente: Img/$image"
done
saved="$XDG_CONFIG_HOME/corrida/teclas.conf"

start_xvfb
./corrida local </dev/null >"$E2E_TMP/game.out" 2>&1 &
game=$!
E2E_PIDS+=($game)
win=$(wait_for_window corrida 20) || fail "a janela do jogo nao abriu: $(cat "$E2E_TMP/game.out")"
await() {
  wait_for_screen "${3:-15}" "$win" "$1" "$2" || fail "$1: a tela esperada nao apareceu ($1.png)"
}
menu_on() { shows "$1" menu/menu.jpg 0 0 0 0 640 280; }
keys_item() { menu_on "$1" && shows "$1" menu/teclas_2.jpg 330 340; }
# turn_of N NAME: the keys screen with the marker on player N's row.
turn_of() { shows "$2" menu/bg_teclas.jpg 0 0 0 0 640 90 && shows "$2" menu/teclas_vez.bmp 100 $((100 + ($1 - 1) * 44)); }
first_turn() { turn_of 1 "$1"; }
second_turn() { turn_of 2 "$1" && shows "$1" Jogo/Teclas/Z.bmp 362 114; }
refused() { second_turn "$1" && shows "$1" menu/teclas_usada_4.bmp 100 370; }

await menu menu_on 20
press "$win" Down
press "$win" Right
await menu_keys keys_item
press "$win" Return
await keys first_turn
press "$win" z
await keys_z second_turn
press "$win" a
await keys_refused refused
[ -e "$saved" ] && fail "teclas.conf gravado antes do jogador 6: $(cat "$saved")"
for turn in 3 4 5 6 7; do
  press "$win" Return
  [ "$turn" -le 6 ] || break
  at_turn() { turn_of "$turn" "$1"; }
  await "keys_$turn" at_turn
done
await menu_again menu_on
saved_with_z() { [ "$(sed -n 1p "$saved" 2>/dev/null)" = "jogador1 Z" ]; }
wait_until 5 saved_with_z || fail "teclas.conf: $(cat "$saved" 2>&1)"
[ "$(sed -n 2,6p "$saved" | tr '\n' ' ')" = "jogador2 M jogador3 RIGHT jogador4 A jogador5 LCONTROL jogador6 3 " ] ||
  fail "teclas.conf: $(cat "$saved")"

press "$win" Escape
cp "$E2E_TMP/checks.log" "$artifacts/checks.txt"
exited() { ! running "$game"; }
wait_until 10 exited || fail "Esc nao encerrou o jogo"
wait "$game" || fail "o jogo terminou com status $?: $(cat "$E2E_TMP/game.out")"
echo "ok: a tela TECLAS escolhe Z para o jogador 1, recusa A e grava teclas.conf"
