#!/usr/bin/env bash
# A spectator ("corrida assistir") of a full server: it joins while the server waits for its
# players and sees the waiting picture count players only, then the race the players see; its X,
# P and F10 change nothing in the match, F3 shows its figures over the picture and takes them away,
# and Esc ends it with status 0. A second spectator that comes while a player's pause stands still
# on the screen sees the pause over the race at once.
# Screenshots are kept in test-artifacts/watching_a_match/ of the build dir.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" watching_a_match
cd "$build"

start_xvfb
start_naming_service

start_server server 2 CORRIDA_BITMAP_NAMES="$E2E_TMP/server.names"
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700
start_probe_player player1 1

start_game watcher CORRIDA_REPLAY_LOG="$E2E_TMP/watcher.log" -- assistir 127.0.0.1
expect_output watcher "VOCE ASSISTE COMO ESPECTADOR: 7"
watcher_window=$(new_window "$server_window") || fail "a janela do espectador nao abriu"
[ "$(window_size "$watcher_window")" = "640x480" ] || fail "janela do espectador: $(window_size "$watcher_window")"
xdotool windowmove "$watcher_window" 0 0
waiting_for_one_more() {
  shows_sprite "$artifacts/$1.png" Img/menu/aguardando.bmp 0 0 640x246+0+0 &&
    shows_sprite "$artifacts/$1.png" Img/menu/aguardando_1_2.bmp 170 246
}
wait_for_shot 15 01_waiting 0 waiting_for_one_more ||
  fail "o espectador nao mostra a espera com \"1 de 2 jogadores\" (01_waiting.png)"

# The second player fills the server: the spectator sees the race.
start_probe_player player2 2
countdown_shown() {
  local offset
  for offset in 400 300 200 100 0; do
    shows_sprite "$artifacts/$1.png" Img/Jogo/54321.bmp 270 190 "100x100+$offset+0" && return 0
  done
  return 1
}
race_shown() { ! countdown_shown "$1" && [[ "$(runner_pose "$1" 1)" == upright* ]]; }
wait_for_shot 30 02_race 0 race_shown || fail "o espectador nao mostra a corrida (02_race.png)"

# The spectator's keys: X never flips runner 1, P never pauses, F10 never ends the stage.
count_lines() { wc -l <"$1" 2>/dev/null || echo 0; }
seen=$(count_lines "$E2E_TMP/watcher.log")
for round in 1 2 3 4; do
  press "$watcher_window" x
  press "$watcher_window" p
  press "$watcher_window" F10
  for look in 1 2 3; do
    shot "03_keys_${round}_$look" 0
    [[ "$(runner_pose "03_keys_${round}_$look" 1)" == flipped* ]] &&
      fail "o X do espectador virou o corredor 1 (03_keys_${round}_$look.png)"
    shows_sprite "$artifacts/03_keys_${round}_$look.png" Img/menu/pause.bmp 0 0 &&
      fail "o P do espectador pausou a corrida (03_keys_${round}_$look.png)"
  done
done
wait_lines "$E2E_TMP/watcher.log" $((seen + 60)) 20 || fail "o espectador parou de receber quadros"
pictures_showing() { awk -v name="$1" '{ for (i = 2; i <= NF; i++) if ($i == name) n++ } END { print n + 0 }' "$E2E_TMP/server.names"; }
[ "$(pictures_showing paused)" -eq 0 ] || fail "a pausa apareceu no servidor"

# F3 writes the round trip and the pictures a second over the picture, in white on black; F3 again
# takes them away.
white_in_corner() {
  convert "$artifacts/$1.png" -crop 400x8+6+6 +repage -fill black +opaque white -format '%[fx:mean > 0.02]' info:
}
figures_shown() { [ "$(white_in_corner "$1")" = 1 ]; }
figures_gone() { [ "$(white_in_corner "$1")" = 0 ]; }
press "$watcher_window" F3
wait_for_shot 10 04_figures 0 figures_shown || fail "F3 nao mostrou os numeros (04_figures.png)"
press "$watcher_window" F3
wait_for_shot 10 05_no_figures 0 figures_gone || fail "o segundo F3 nao tirou os numeros (05_no_figures.png)"

# Player 1 pauses: the picture stands still, and a spectator that comes now sees it. A pause asked
# between two stages (the probes never flip, so their runners fall) dies with that race: it is
# asked again.
paused_on_server() { [ "$(pictures_showing paused)" -gt 0 ]; }
for _ in 1 2 3 4 5; do
  [ "$("$build/tests/net_probe" 127.0.0.1 pausar)" = ok ] || fail "o jogador 1 nao pausou"
  wait_until 4 paused_on_server && break
done
paused_on_server || fail "a pausa do jogador 1 nao apareceu no servidor"
start_game late_watcher -- assistir 127.0.0.1
expect_output late_watcher "VOCE ASSISTE COMO ESPECTADOR: 8"
late_window=$(new_window "$(printf '%s\n' "$server_window" "$watcher_window" | sort)") ||
  fail "a janela do segundo espectador nao abriu"
xdotool windowmove "$watcher_window" 660 0
xdotool windowmove "$late_window" 0 0
pause_shown() { shows_sprite "$artifacts/$1.png" Img/menu/pause.bmp 0 0; }
wait_for_shot 10 06_late_pause 0 pause_shown ||
  fail "o espectador que chegou durante a pausa nao a mostra (06_late_pause.png)"
press "$late_window" Escape
await_exit late_watcher

press "$watcher_window" Escape
await_exit watcher
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
[ "$(pictures_showing vencedor_folha)" -eq 0 ] || fail "o F10 do espectador encerrou as fases"
grep -F "Pedidos recusados:" "$E2E_TMP/server.out" | tee "$artifacts/checks.txt"
echo "ok: o espectador viu a espera e a corrida, e suas teclas nao mudaram nada; outro viu a pausa ao chegar"
