#!/usr/bin/env bash
# Full screen on a 1920 x 1080 display: "corrida --tela-cheia local" opens a window of exactly
# 1920 x 1080 at the screen's corner whose picture is the menu at factor 2, centred (320, 60),
# with black borders; F11 turns it into the ordinary window (1280 x 960 here) and back, and the
# last choice is kept in tela.conf, so that the next start without the option is full screen.
# A client switches the same way while it replays the server's race.
# Screenshots are kept in BUILD/test-artifacts/full_screen/.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" full_screen
cd "$build"
[ -f Img/menu/menu.jpg ] || fail "imagens do jogo ausentes em $build/Img"
saved="$XDG_CONFIG_HOME/corrida/tela.conf"

start_xvfb 1920x1080

# start NAME ARGS...: the game with ARGS; sets $game and $console.
start() {
  console="$E2E_TMP/$1.out"
  shift
  ./corrida "$@" </dev/null >"$console" 2>&1 &
  game=$!
  E2E_PIDS+=($game)
}

# window_is SIZE: the game's window has that size, its corner at X, Y ($corner_x, $corner_y).
window_is() {
  local id
  # A server's window (1 x 1) has the same name.
  for id in $(xdotool search --onlyvisible --name corrida 2>/dev/null); do
    if [ "$(xwininfo -id "$id" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
      /^  Width:/{w=$2} /^  Height:/{h=$2} END{print w "x" h "+" x "+" y}')" = "$1" ]; then
      window="$id"
      return 0
    fi
  done
  return 1
}

# black NAME GEOMETRY: that region of screenshot NAME is black to the last pixel.
black() {
  [ "$(convert "$artifacts/$1.png" -crop "$2" +repage -colorspace Gray -format '%[max]' info:)" = 0 ]
}

# centred_menu NAME: a screenshot of the whole display, NAME.png, shows the menu enlarged twice
# (every pixel a 2 x 2 square) at 320, 60 and nothing but black around it.
centred_menu() {
  local name="$1" picture="$E2E_TMP/$1_picture.png"
  screenshot "$artifacts/$name.png" || return 1
  convert "$artifacts/$name.png" -crop 1280x960+320+60 +repage "$picture" || return 1
  convert "$picture" -sample '640x480!' -type TrueColor "BMP3:$E2E_TMP/$name.bmp" || return 1
  # The whole picture: the top of the background, the last item and the bottom strip.
  shows "$name" menu/menu.jpg 0 0 0 0 640 280 && shows "$name" menu/sairdojogo.jpg 130 425 &&
    shows "$name" menu/menu.jpg 0 468 0 468 640 12 || return 1
  convert "$E2E_TMP/$name.bmp" -sample '1280x960!' "$E2E_TMP/${name}_doubled.png" || return 1
  [ "$(differing_pixels "$picture" "$E2E_TMP/${name}_doubled.png")" = 0 ] || return 1
  black "$name" 320x1080+0+0 && black "$name" 320x1080+1600+0 && black "$name" 1280x60+320+0 &&
    black "$name" 1280x60+320+1020
}

start full --tela-cheia local
wait_until 20 window_is 1920x1080+0+0 ||
  fail "--tela-cheia: janela $(window_size "${window:-0}" 2>/dev/null), esperado 1920x1080 em 0,0: $(cat "$console")"
wait_until 20 centred_menu full ||
  fail "--tela-cheia: o menu nao aparece centrado no fator 2 com bordas pretas (full.png)"
[ -e "$saved" ] && fail "--tela-cheia gravou tela.conf sem F11: $(cat "$saved")"

# F11: the ordinary window, the largest scale that fits (2); the choice is kept.
press "$window" F11
wait_until 15 window_is 1280x960+0+0 || fail "F11 nao voltou para a janela 1280x960"
saved_as() { [ "$(cat "$saved" 2>/dev/null)" = "$1" ]; }
wait_until 5 saved_as janela || fail "tela.conf depois de F11: $(cat "$saved" 2>&1)"
in_window() {
  capture "$window" "$1" && convert "$artifacts/$1.png" -sample '640x480!' -type TrueColor \
    "BMP3:$E2E_TMP/$1.bmp" && shows "$1" menu/menu.jpg 0 0 0 0 640 280
}
wait_until 15 in_window windowed || fail "a janela depois de F11 nao mostra o menu (windowed.png)"

# F11 again: full screen again, the menu still answering its keys.
press "$window" F11
wait_until 15 window_is 1920x1080+0+0 || fail "o segundo F11 nao voltou a tela cheia"
wait_until 5 saved_as tela-cheia || fail "tela.conf depois do segundo F11: $(cat "$saved" 2>&1)"
wait_until 15 centred_menu full_again || fail "a tela cheia depois de F11 nao mostra o menu (full_again.png)"
press "$window" Escape
exited() { ! running "$game"; }
wait_until 10 exited || fail "Esc nao encerrou o jogo"
wait "$game" || fail "o jogo terminou com status $?: $(cat "$console")"

# The kept choice: without the option, full screen.
start kept local
wait_until 20 window_is 1920x1080+0+0 || fail "sem --tela-cheia, tela.conf nao abriu em tela cheia"
wait_until 20 centred_menu kept || fail "a tela cheia guardada nao mostra o menu (kept.png)"
press "$window" Escape
wait_until 10 exited || fail "Esc nao encerrou o jogo"
wait "$game" || fail "o jogo terminou com status $?: $(cat "$console")"
[ -s "$console" ] && fail "o console disse algo: $(cat "$console")"

# A client of a one-player server, started full screen by the kept choice: the race at factor 2
# on black; F11 on the client gives its window, and F11 again full screen, while the race goes on.
start_naming_service
start_server server 1
start_client client 1
wait_until 20 window_is 1920x1080+0+0 || fail "o cliente nao abriu em tela cheia"
# centred_race NAME: the picture at 320, 60 is no flat colour and is doubled; the borders black.
centred_race() {
  local name="$1" picture="$E2E_TMP/$1_picture.png"
  screenshot "$artifacts/$name.png" || return 1
  convert "$artifacts/$name.png" -crop 1280x960+320+60 +repage "$picture" || return 1
  convert "$picture" -sample '640x480!' "$E2E_TMP/${name}_half.png" &&
    convert "$E2E_TMP/${name}_half.png" -sample '1280x960!' "$E2E_TMP/${name}_doubled.png" || return 1
  [ "$(differing_pixels "$picture" "$E2E_TMP/${name}_doubled.png")" = 0 ] || return 1
  awk -v s="$(convert "$picture" -colorspace Gray -format '%[fx:standard_deviation]' info:)" \
    'BEGIN{exit !(s > 0.03)}' || return 1
  black "$name" 320x1080+0+0 && black "$name" 320x1080+1600+0 && black "$name" 1280x60+320+0 &&
    black "$name" 1280x60+320+1020
}
wait_until 30 centred_race client_full || fail "o cliente nao mostra a corrida centrada no fator 2 (client_full.png)"
press "$window" F11
wait_until 15 window_is 1280x960+0+0 || fail "F11 no cliente nao voltou para a janela"
wait_until 5 saved_as janela || fail "tela.conf depois de F11 no cliente: $(cat "$saved" 2>&1)"
press "$window" F11
wait_until 15 window_is 1920x1080+0+0 || fail "o segundo F11 no cliente nao voltou a tela cheia"
wait_until 20 centred_race client_full_again ||
  fail "o cliente em tela cheia de novo nao mostra a corrida (client_full_again.png)"
press "$window" Escape
finish_game client
echo "ok: tela cheia 1920x1080, fator 2 centrado, F11 alterna e a escolha fica em tela.conf"
