#!/usr/bin/env bash
# The stages of a local match chosen on the command line: "corrida --gravar ARQUIVO local --fases
# 3,7" plays stage 3, then stage 7, then the winner picture with a panel headed by each stage's
# number; without --fases the same keys play stage 1, then stage 2, then the classic winner
# picture. The recordings say which stage pictures were loaded, in order; the screenshots are kept
# in BUILD/test-artifacts/chosen_stages/. A word that names no stage is refused with status 2.
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
fresh_artifacts "$build" chosen_stages
cd "$build"

status=0
./corrida local --fases 3,99 >"$E2E_TMP/unknown.txt" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "--fases 3,99 terminou com status $status: $(cat "$E2E_TMP/unknown.txt")"
grep -F "fase desconhecida: 99" "$E2E_TMP/unknown.txt" >/dev/null ||
  fail "--fases 3,99 nao disse qual fase: $(cat "$E2E_TMP/unknown.txt")"

start_xvfb

# play_match NAME ARGS...: one player, the first character, each stage's prompt and F10 (nobody
# crosses the line), the winner picture until WINNER_CHECK passes, Enter, Esc in the menu.
play_match() {
  local name="$1" stages="$2" winner_check="$3"
  shift 3
  local console="$E2E_TMP/$name.txt"
  ./corrida --gravar "$E2E_TMP/$name.gz" local "$@" >"$console" 2>&1 &
  local game=$!
  E2E_PIDS+=($game)
  local win
  win=$(wait_for_window corrida 20) || fail "$name: a janela do jogo nao abriu: $(cat "$console")"
  await() {
    wait_for_screen "${3:-20}" "$win" "$name-$1" "$2" ||
      fail "$name-$1: a tela esperada nao apareceu ($name-$1.png)"
  }
  await menu menu_on
  press "$win" Return
  await selection selection_open
  press "$win" Return
  local stage
  for stage in $(seq 1 "$stages"); do
    await "prompt$stage" prompt
    press "$win" Return
    await "race$stage" racing
    press "$win" F10
  done
  await winner "$winner_check"
  press "$win" Return
  await menu_again menu_on
  press "$win" Escape
  wait_until 20 game_ended "$game" || fail "$name: o jogo nao terminou"
  local exit_status=0
  wait "$game" || exit_status=$?
  [ "$exit_status" -eq 0 ] || fail "$name: o programa terminou com status $exit_status"
  cp "$console" "$artifacts/$name-console.txt"
}
game_ended() { ! running "$1"; }
menu_on() { shows "$1" menu/menu.jpg 0 0 0 0 640 280; }
selection_open() { shows "$1" menu/bg_selecao.jpg 0 0 0 0 640 290; }
prompt() { shows "$1" menu/enter.bmp 0 0; }
racing() { ! prompt "$1" && ! shows "$1" menu/pause.bmp 0 0; }
# Two panels without headings in the picture: each headed by "FASE" and its stage's number.
chosen_winner() {
  shows "$1" menu/parabens_paineis_2.jpg 0 0 0 0 640 110 &&
    shows "$1" menu/ninguem.bmp 36 172 && shows "$1" menu/ninguem.bmp 344 172 &&
    shows "$1" menu/fase_rotulo.bmp 128 130 && shows "$1" menu/algarismo_3.bmp 190 130 &&
    shows "$1" menu/fase_rotulo.bmp 436 130 && shows "$1" menu/algarismo_7.bmp 498 130
}
classic_winner() {
  shows "$1" menu/parabens.jpg 0 0 0 0 640 480 && shows "$1" menu/ninguem.bmp 36 172 &&
    shows "$1" menu/ninguem.bmp 344 172
}
# stage_pictures NAME: the stage and winner pictures recording NAME loaded, in order.
stage_pictures() {
  zcat "$E2E_TMP/$1.gz" | grep -o "load_bitmap [^ ]* Img/\(Jogo/visual[0-9]*\|menu/parabens[a-z_0-9]*\)\.jpg" |
    awk '{print $3}' | uniq | tr '\n' ' '
}

play_match chosen 2 chosen_winner --fases 3,7
pictures=$(stage_pictures chosen)
echo "chosen: $pictures" >>"$E2E_TMP/checks.log"
[ "$pictures" = "Img/Jogo/visual3.jpg Img/Jogo/visual7.jpg Img/menu/parabens_paineis_2.jpg " ] ||
  fail "--fases 3,7 carregou: $pictures"

play_match classic 2 classic_winner
pictures=$(stage_pictures classic)
echo "classic: $pictures" >>"$E2E_TMP/checks.log"
[ "$pictures" = "Img/Jogo/visual1.jpg Img/Jogo/visual2.jpg Img/menu/parabens.jpg " ] ||
  fail "sem --fases carregou: $pictures"

cp "$E2E_TMP/checks.log" "$artifacts/checks.txt"
if grep "nao encontrad" "$E2E_TMP"/*.txt >/dev/null; then
  fail "imagem faltando: $(grep -h "nao encontrad" "$E2E_TMP"/*.txt)"
fi
echo "ok: --fases 3,7 jogou as fases 3 e 7 e o quadro dos vencedores; sem opcao, as fases 1 e 2"
