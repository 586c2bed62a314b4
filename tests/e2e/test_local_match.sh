#!/usr/bin/env bash
# A whole local match played as a person would: local mode on the console, two players, two
# characters, Enter at the stage prompt, a race with a pause, F10, the interval, F10 on stage 2,
# Enter on the winner picture, Esc in the menu; the program returns to the console and ends with 0.
# Screenshots of the menu, the credits and instructions, the selection, a race frame, the pause
# and the winner picture are checked against the game's own images and kept in
# BUILD/test-artifacts/.
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
probe="$build/tests/screen_match_probe"
fresh_artifacts "$build" local_match
img="$build/Img"

for image in menu/menu.jpg menu/img2_2.jpg menu/chooseplayer_2.jpg menu/bg_selecao.jpg \
  menu/sel_j1_2.jpg menu/sel_2.jpg menu/pause.bmp menu/enter.bmp menu/parabens.jpg menu/ninguem.bmp \
  Jogo/visual1.jpg Jogo/visual2.jpg; do
  [ -f "$img/$image" ] || fail "imagem do jogo ausente: Img/$image"
done

start_xvfb

# The console: "3" (local game); the input stays open until the end of the match and then closes,
# so that the closing "Pressione Enter para sair..." returns at the end of input.
console="$E2E_TMP/console.txt"
mkfifo "$E2E_TMP/stdin"
(cd "$build" && exec ./corrida) <"$E2E_TMP/stdin" >"$console" 2>&1 &
game=$!
E2E_PIDS+=($game)
exec 7>"$E2E_TMP/stdin"
printf '3\n' >&7

win=$(wait_for_window corrida 20) || fail "a janela do jogo nao abriu: $(cat "$console")"

# Each step waits until the window shows what the step leads to (or fails after a bounded time),
# and only then presses the next key.
# await NAME CHECK [SECONDS]: captures the window as NAME until CHECK passes.
await() {
  wait_for_screen "${3:-15}" "$win" "$1" "$2" || fail "$1: a tela esperada nao apareceu ($1.png)"
}
menu_on() { shows "$1" menu/menu.jpg 0 0 0 0 640 280; }
one_player() { menu_on "$1" && shows "$1" menu/img1_2.jpg 304 294; }
two_players() {
  menu_on "$1" && shows "$1" menu/img2_2.jpg 333 294 && shows "$1" menu/chooseplayer_2.jpg 131 294
}
credits_item() { menu_on "$1" && shows "$1" menu/integrantes_2.jpg 130 340; }
instructions_item() { menu_on "$1" && shows "$1" menu/instrucoes_2.jpg 130 383; }
credits() { shows "$1" menu/bg_integrantes.jpg 0 0; }
instructions() { shows "$1" menu/bg_instrucoes.jpg 0 0; }
selection_open() { shows "$1" menu/bg_selecao.jpg 0 0 0 0 640 290; }
# Player 1 took the first character; player 2's cursor waits on the second.
first_chosen() {
  selection_open "$1" && shows "$1" menu/sel_j1_2.jpg 72 344 && shows "$1" menu/sel_2.jpg 152 339 0 0 80 5
}
prompt() { shows "$1" menu/enter.bmp 0 0; }
paused() { shows "$1" menu/pause.bmp 0 0; }
# The race: a picture with neither the prompt nor the pause over it. (Which stage it shows is
# checked on the pictures after the match: that search takes seconds.)
racing() { not_blank "$1" && ! prompt "$1" && ! paused "$1"; }
# The winner picture's title, and both stages won with F10: nobody crossed the finish line.
nobody_won() {
  shows "$1" menu/parabens.jpg 0 0 0 0 640 110 && shows "$1" menu/ninguem.bmp 36 172 &&
    shows "$1" menu/ninguem.bmp 344 172
}
not_blank() {
  local sd
  sd=$(convert "$artifacts/$1.png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
  echo "$1: desvio padrao $sd" >>"$E2E_TMP/checks.log"
  awk -v s="$sd" 'BEGIN{exit !(s > 0.03)}'
}

# Main menu: two players chosen with Right, so item 2 and the players label are highlighted.
await menu_start one_player 20
press "$win" Right
await menu two_players

# Credits and instructions open in place and go back to the menu with Esc; Up from the credits
# item returns to the player count last chosen, 2.
press "$win" Down
await credits_item credits_item
press "$win" Return
await credits credits
press "$win" Escape
await credits_closed credits_item
press "$win" Down
await instructions_item instructions_item
press "$win" Return
await instructions instructions
press "$win" Escape
await instructions_closed instructions_item
press "$win" Up
await credits_again credits_item
press "$win" Up
await menu_back two_players
press "$win" Return

# Player selection: player 1 takes the first character; player 2 the second.
await selection_start selection_open
press "$win" Return
await selection first_chosen
press "$win" Return

# Stage 1: the prompt over the first picture, then the race. Nobody flips, so the runners would
# fall into the first gap after a few seconds: the pause and F10 come before that.
await prompt1 prompt 20
press "$win" Return
await race racing

# Pause and resume.
press "$win" p
await pause paused
press "$win" p
await race_resumed racing

# F10 wins stage 1; the interval; stage 2's prompt and race, F10 again.
press "$win" F10
await prompt2 prompt 20
press "$win" Return
await race2 racing
press "$win" F10

# The winner picture, dismissed with Enter; then Esc leaves from the menu.
await winner nobody_won 20
press "$win" Return
await menu_again menu_on
press "$win" Escape

wait_for_text "$console" "Pressione Enter para sair" 20 || fail "o jogo nao voltou ao console: $(cat "$console")"
exec 7>&-
status=0
wait "$game" || status=$?
cp "$console" "$artifacts/console.txt"
[ "$status" -eq 0 ] || fail "o programa terminou com status $status"
# on_stage NAME PICTURE: race picture NAME shows the stage picture PICTURE, scrolled.
on_stage() {
  "$probe" --find-x "$E2E_TMP/$1.bmp" "$img/Jogo/$2" 40 200 2000 >>"$E2E_TMP/checks.log" 2>&1 ||
    fail "$1: o quadro nao mostra Img/Jogo/$2 ($1.png)"
}
on_stage race visual1.jpg
on_stage race_resumed visual1.jpg
on_stage race2 visual2.jpg
cp "$E2E_TMP/checks.log" "$artifacts/checks.txt"
grep -q "nao encontrad" "$console" && fail "imagem faltando: $(grep "nao encontrad" "$console")"
echo "ok: partida local completa; capturas em $artifacts"
