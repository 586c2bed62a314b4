#!/usr/bin/env bash
# The scaled window on a 1600 x 1200 display: the console dialogue with --escala 2 opens a
# 1280 x 960 window whose picture is the scale-1 picture with every pixel doubled, keys included
# (Down moves the menu's highlight); without --escala the largest factor that fits (2) is taken,
# and --escala 1 keeps 640 x 480. No sound device here, and nothing is said about it.
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
fresh_artifacts "$build" scaled_window

start_xvfb 1600x1200

# run_menu NAME EXPECTED_SIZE ARGS...: starts the game with ARGS (the console dialogue gets "3"),
# checks the window's size, presses Down, keeps the window's picture as NAME.png, leaves with Esc
# and checks the program ends with 0 without a word on its console but the dialogue's.
run_menu() {
  local name="$1" expected="$2" console="$E2E_TMP/$1.txt" win size x y
  shift 2
  mkfifo "$E2E_TMP/stdin_$name"
  (cd "$build" && exec ./corrida "$@") <"$E2E_TMP/stdin_$name" >"$console" 2>&1 &
  local game=$!
  E2E_PIDS+=($game)
  exec 7>"$E2E_TMP/stdin_$name"
  printf '3\n' >&7
  win=$(wait_for_window corrida 20) || fail "$name: a janela nao abriu: $(cat "$console")"
  size=$(window_size "$win")
  [ "$size" = "$expected" ] || fail "$name: janela $size, esperado $expected"
  wait_for_screen 20 "$win" "$name" first_item || fail "$name: o menu nao apareceu ($name.png)"
  press "$win" Down
  wait_for_screen 15 "$win" "$name" credits_item || fail "$name: Down nao moveu o destaque ($name.png)"
  press "$win" Escape
  exec 7>&-
  local rc=0
  wait "$game" || rc=$?
  [ "$rc" -eq 0 ] || fail "$name: status $rc: $(cat "$console")"
  if [ "$(grep -cvE '^(Menu:|[0-9]\. |Digite a opcao desejada:|Pressione Enter|$)' "$console")" != 0 ]; then
    fail "$name: o console disse mais do que o dialogo: $(cat "$console")"
  fi
  echo "ok: $name -> $size"
}

# at_640 NAME: capture NAME sampled down to 640 x 480 (every other pixel of a doubled picture), for
# the probe, which compares with the game's own images.
at_640() { convert "$artifacts/$1.png" -sample '640x480!' -type TrueColor "BMP3:$E2E_TMP/$1.bmp"; }
first_item() { at_640 "$1" && shows "$1" menu/menu.jpg 0 0 0 0 640 280 && shows "$1" menu/img1_2.jpg 304 294; }
credits_item() { at_640 "$1" && shows "$1" menu/menu.jpg 0 0 0 0 640 280 && shows "$1" menu/integrantes_2.jpg 130 340; }

run_menu dialogue_x2 1280x960 --escala 2
run_menu default 1280x960
run_menu scale1 640x480 --escala 1

# Every pixel doubled: the 2x picture sampled at every other pixel is the 1x picture.
convert "$artifacts/dialogue_x2.png" -sample 50% "$E2E_TMP/halved.png"
diff=$(compare -metric AE -fuzz 1% "$E2E_TMP/halved.png" "$artifacts/scale1.png" null: 2>&1) || true
echo "pixels diferentes entre 2x reduzida e 1x: $diff" | tee "$artifacts/checks.txt"
[ "${diff%%.*}" -lt 200 ] 2>/dev/null || fail "a janela 2x nao mostra a imagem 1x ampliada ($diff)"
diff=$(compare -metric AE -fuzz 1% "$artifacts/dialogue_x2.png" "$artifacts/default.png" null: 2>&1) || true
[ "${diff%%.*}" -lt 800 ] 2>/dev/null || fail "a escala padrao nao e a 2 ($diff)"
