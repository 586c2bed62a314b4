#!/usr/bin/env bash
# Players' own stages: level files written by hand into a temporary XDG_DATA_HOME. When the local
# game starts, the playable one is drawn into a temporary XDG_CACHE_HOME, solved and listed; one
# whose wall reaches the ceiling is refused with the solver's reason, and a broken one with its file
# and line. The second start uses the cache: nothing is drawn or solved again, and "--fases muro"
# plays the own stage in a local match (one player, the race on the drawn picture, Esc back to the
# menu); "--fases parede" is refused with the reason. Consoles, screenshots and the drawn picture
# are kept in BUILD/test-artifacts/own_stages/.
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
fresh_artifacts "$build" own_stages

export XDG_DATA_HOME="$E2E_TMP/data" XDG_CACHE_HOME="$E2E_TMP/cache"
folder="$XDG_DATA_HOME/corrida/fases"
mkdir -p "$folder"
cp "$(dirname "$0")/levels/muro.txt" "$folder/muro.txt"
sed 's/^block 1200 1260 120 480$/block 1200 1260 0 480/' "$folder/muro.txt" >"$folder/parede.txt"
printf 'size 2600 480\nfloor 0 2600\n' >"$folder/quebrada.txt"

start_xvfb

# start_local NAME: "corrida local" with its console in NAME.out; waits for its window.
start_local() {
  (cd "$build" && exec ./corrida local) </dev/null >"$E2E_TMP/$1.out" 2>&1 &
  game=$!
  E2E_PIDS+=($game)
  win=$(wait_for_window corrida 60) || fail "a janela do jogo nao abriu ($1.out)"
}
# leave NAME: Esc in the menu ends the program with status 0.
leave() {
  press "$win" Escape
  wait_until 10 bash -c "! kill -0 $game 2>/dev/null" || fail "$1: o jogo nao terminou com Esc"
  wait "$game" || fail "$1: o jogo terminou com status $?"
  cp "$E2E_TMP/$1.out" "$artifacts/"
}

start_local first
out="$E2E_TMP/first.out"
grep -qF "Fase propria muro pronta: $folder/muro.txt" "$out" || fail "muro nao foi listada ($(cat "$out"))"
grep -qF "Fase parede: $folder/parede.txt: a fase nao e jogavel: a partir da largada 1 nao chega ao fim" "$out" ||
  fail "parede nao foi recusada com o motivo ($(cat "$out"))"
grep -qF "Fase quebrada: $folder/quebrada.txt:2: linha invalida: floor 0 2600" "$out" ||
  fail "quebrada nao foi recusada com arquivo e linha ($(cat "$out"))"
grep -qF "Conferindo a fase muro" "$out" || fail "muro nao foi conferida pelo resolvedor"
grep -qF "Desenhando a imagem da fase muro" "$out" || fail "a imagem de muro nao foi desenhada"
pictures=("$XDG_CACHE_HOME"/corrida/Img/fases/muro-*.jpg)
[ -f "${pictures[0]}" ] || fail "a imagem de muro nao esta no cache"
cp "${pictures[0]}" "$artifacts/"
[ "$(ls "$XDG_CACHE_HOME"/corrida/veredictos | wc -l)" = 2 ] || fail "os veredictos nao estao no cache"
leave first

# Nothing is drawn or solved again for the same files; the verdicts are the cached ones.
start_local second
out="$E2E_TMP/second.out"
grep -qF "Fase propria muro pronta" "$out" || fail "muro nao foi listada de novo"
grep -qF "a fase nao e jogavel: a partir da largada 1 nao chega ao fim" "$out" ||
  fail "o motivo de parede nao veio do cache"
grep -qF -e "Conferindo" -e "Desenhando" "$out" && fail "a segunda partida conferiu ou desenhou de novo"
leave second
# The own stage played in a local match: the race runs on its picture (the floor rows, wherever
# the stage has scrolled to).
status=0
(cd "$build" && exec ./corrida local --fases parede) </dev/null >"$E2E_TMP/refused.out" 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "--fases parede terminou com status $status ($(cat "$E2E_TMP/refused.out"))"
grep -qF "a partir da largada 1 nao chega ao fim" "$E2E_TMP/refused.out" ||
  fail "--fases parede nao disse o motivo ($(cat "$E2E_TMP/refused.out"))"
(cd "$build" && exec ./corrida local --fases muro) </dev/null >"$E2E_TMP/match.out" 2>&1 &
game=$!
E2E_PIDS+=($game)
win=$(wait_for_window corrida 60) || fail "a janela do jogo nao abriu (match.out)"
await() {
  wait_for_screen "${3:-20}" "$win" "$1" "$2" || fail "$1: a tela esperada nao apareceu ($1.png)"
}
menu_on() { shows "$1" menu/menu.jpg 0 0 0 0 640 280; }
selection_open() { shows "$1" menu/bg_selecao.jpg 0 0 0 0 640 290; }
prompt() { shows "$1" menu/enter.bmp 0 0; }
own_stage_racing() {
  ! prompt "$1" && "$build/tests/screen_match_probe" --find-x "$E2E_TMP/$1.bmp" "${pictures[0]}" \
    400 80 1960 >>"$E2E_TMP/checks.log" 2>&1
}
await menu menu_on
press "$win" Return
await selection selection_open
press "$win" Return
await prompt prompt
press "$win" Return
await race own_stage_racing
press "$win" Escape
await menu_again menu_on
leave match
grep -q "nao encontrad" "$E2E_TMP/match.out" && fail "imagem faltando ($(cat "$E2E_TMP/match.out"))"

# Nothing was written outside the cache (the test's own folders aside).
written=$(find "$E2E_TMP" -newer "$folder/quebrada.txt" -type f ! -path "$XDG_CACHE_HOME/*" \
  ! -path "$E2E_TMP/config/*" ! -name '*.out' ! -name '*.log' ! -name '*.png' ! -name '*.bmp' | sort)
[ -z "$written" ] || fail "arquivos escritos fora do cache: $written"
echo "ok"
