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
read -r winx winy < <(xwininfo -id "$win" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4} END{print x, y}')

# shot NAME: screenshot of the display, taken at once; cut and checked after the match, so that
# the checks do not hold up the game's timeline.
shot() { screenshot "$E2E_TMP/root_$1.png"; }
# cut NAME: the game window of shot NAME, kept as NAME.png, and as a BMP for the probe.
cut() {
  convert "$E2E_TMP/root_$1.png" -crop "640x480+$winx+$winy" +repage "$artifacts/$1.png"
  convert "$artifacts/$1.png" -type TrueColor "BMP3:$E2E_TMP/$1.bmp"
}
# expect NAME REFERENCE X Y [SRC_X SRC_Y W H]: the reference image appears there in shot NAME.
expect() {
  local name="$1"; shift
  "$probe" "$E2E_TMP/$name.bmp" "$img/$1" "${@:2}" | tee -a "$artifacts/checks.txt" ||
    fail "$name: Img/$1 nao aparece onde devia"
}
not_blank() {
  local sd
  sd=$(convert "$artifacts/$1.png" -colorspace Gray -format '%[fx:standard_deviation]' info:)
  echo "$1: desvio padrao $sd" | tee -a "$artifacts/checks.txt"
  awk -v s="$sd" 'BEGIN{exit !(s > 0.03)}' || fail "$1: imagem em branco"
}

# Main menu: two players chosen with Right, so item 2 and the players label are highlighted.
sleep 1.5
press "$win" Right
sleep 0.5
shot menu

# Credits and instructions open in place and go back to the menu with Esc; Up from the credits
# item returns to the player count last chosen, 2.
press "$win" Down
sleep 0.3
press "$win" Return
sleep 0.7
shot credits
press "$win" Escape
sleep 0.3
press "$win" Down
sleep 0.3
press "$win" Return
sleep 0.7
shot instructions
press "$win" Escape
sleep 0.3
press "$win" Up
sleep 0.3
press "$win" Up
sleep 0.3
shot menu_back
press "$win" Return

# Player selection: player 1 takes the first character; player 2's cursor waits on the second.
sleep 1
press "$win" Return
sleep 0.5
shot selection
press "$win" Return

# Stage 1: the prompt over the first picture, then the race. Nobody flips, so the runners would
# fall into the first gap after a few seconds: the pause and F10 come before that.
sleep 3
shot prompt1
press "$win" Return
sleep 0.6
shot race

# Pause and resume.
press "$win" p
sleep 0.5
shot pause
press "$win" p
sleep 0.2

# F10 wins stage 1; the interval; stage 2's prompt, F10 again.
press "$win" F10
sleep 5
shot prompt2
press "$win" Return
sleep 1
press "$win" F10
sleep 1.5

# The winner picture, dismissed with Enter; then Esc leaves from the menu.
shot winner
press "$win" Return
sleep 1
shot menu_again
press "$win" Escape

wait_for_text "$console" "Pressione Enter para sair" 20 || fail "o jogo nao voltou ao console: $(cat "$console")"
exec 7>&-
status=0
wait "$game" || status=$?
cp "$console" "$artifacts/console.txt"
[ "$status" -eq 0 ] || fail "o programa terminou com status $status"
for name in menu credits instructions menu_back selection prompt1 race pause prompt2 winner menu_again; do cut "$name"; done
not_blank menu
expect menu menu/menu.jpg 0 0 0 0 640 280
expect menu menu/img2_2.jpg 333 294
expect menu menu/chooseplayer_2.jpg 131 294
expect credits menu/bg_integrantes.jpg 0 0
expect instructions menu/bg_instrucoes.jpg 0 0
expect menu_back menu/img2_2.jpg 333 294
not_blank selection
expect selection menu/bg_selecao.jpg 0 0 0 0 640 290
expect selection menu/sel_j1_2.jpg 72 344
expect selection menu/sel_2.jpg 152 339 0 0 80 5
expect prompt1 menu/enter.bmp 0 0
not_blank race
"$probe" --find-x "$E2E_TMP/race.bmp" "$img/Jogo/visual1.jpg" 40 200 2000 | tee -a "$artifacts/checks.txt" ||
  fail "race: o quadro nao mostra a fase 1"
expect pause menu/pause.bmp 0 0
expect prompt2 menu/enter.bmp 0 0
# The winner picture's title, and both stages won with F10: nobody crossed the finish line.
expect winner menu/parabens.jpg 0 0 0 0 640 110
expect winner menu/ninguem.bmp 36 172
expect winner menu/ninguem.bmp 344 172
expect menu_again menu/menu.jpg 0 0 0 0 640 280
grep -q "nao encontrad" "$console" && fail "imagem faltando: $(grep "nao encontrad" "$console")"
echo "ok: partida local completa; capturas em $artifacts"
