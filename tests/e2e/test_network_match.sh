#!/usr/bin/env bash
# A network match end to end, everything on loopback: a naming service, a server for two
# players, two clients and a third that finds the server full. The clients show the stage under
# the waiting picture with the count of players joined, then the countdown, then the race; X flips player 1's runner, P pauses and
# resumes every client, Esc ends a client, and a client whose server dies says so and ends.
# Screenshots are kept in test-artifacts/network_match/ of the build dir.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" network_match
cd "$build"
[ -f Img/menu/pause.bmp ] && [ -f Img/menu/aguardando.bmp ] && [ -f Img/Jogo/54321.bmp ] || fail "imagens do jogo ausentes em $build/Img"

start_xvfb
start_naming_service

start_server server 2
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
[ "$(window_size "$server_window")" = "1x1" ] || fail "janela do servidor: $(window_size "$server_window")"
xdotool windowmove "$server_window" 1000 700

# Player 1 joins and waits: the stage stands still under the waiting picture.
start_client client1 1
client1_window=$(new_window "$(game_windows)") || true
known=$(game_windows)
client1_window=$(comm -13 <(echo "$server_window") <(echo "$known") | sed -n 1p)
[ -n "$client1_window" ] || fail "a janela do cliente 1 nao abriu"
[ "$(window_size "$client1_window")" = "640x480" ] || fail "janela do cliente 1: $(window_size "$client1_window")"
# The picture above the count line, the count line itself, and the stage below with runner 1.
waiting_for_one_more() {
  shows_sprite "$artifacts/$1.png" Img/menu/aguardando.bmp 0 0 640x246+0+0 &&
    shows_sprite "$artifacts/$1.png" Img/menu/aguardando_1_2.bmp 170 246 &&
    [[ "$(runner_pose "$1" 1)" == upright* ]]
}
wait_for_shot 15 01_waiting 0 waiting_for_one_more ||
  fail "o cliente 1 nao mostra a fase sob a figura de espera e \"1 de 2 jogadores\" (01_waiting.png)"

# Player 2 joins: the countdown starts for both.
start_client client2 2
client2_window=$(new_window "$known") || fail "a janela do cliente 2 nao abriu"
xdotool windowmove "$client2_window" 650 0

# countdown_step NAME: which step of the countdown (the offset of its digit in 54321.bmp) shot
# NAME shows, or nothing.
countdown_step() {
  local offset
  for offset in 400 300 200 100 0; do
    shows_sprite "$artifacts/$1.png" Img/Jogo/54321.bmp 270 190 "100x100+$offset+0" && echo "$offset"
  done
}
counting_down() { [ -n "$(countdown_step "$1")" ]; }
wait_for_shot 15 02_countdown_client1 0 counting_down ||
  fail "o cliente 1 nao mostra a contagem (02_countdown_client1.png)"
shows_sprite "$artifacts/02_countdown_client1.png" Img/menu/aguardando.bmp 0 0 640x246+0+0 &&
  fail "a figura de espera continua durante a contagem"
# Client 2 shows the countdown too, within a step of client 1.
wait_for_shot 5 02_countdown_client2 650 counting_down ||
  fail "o cliente 2 nao mostra a contagem (02_countdown_client2.png)"

# A third player finds the server full and gets no window.
start_game client3
answer client3 2 127.0.0.1
expect_output client3 "O servidor ja esta cheio"
finish_game client3
grep -q "VOCE EH O PLAYER" "$E2E_TMP/client3.out" && fail "o terceiro cliente recebeu um numero"
[ "$(game_windows | wc -l)" -eq 3 ] || fail "o terceiro cliente abriu uma janela"

# The race: after the countdown the runners land and the stage scrolls.
race_started() { [ -z "$(countdown_step "$1")" ] && [[ "$(runner_pose "$1" 1)" == upright* ]]; }
wait_for_shot 20 03_race_a 0 race_started || fail "a corrida nao comecou no cliente 1 (03_race_a.png)"
moved_since_race_a() {
  [ -z "$(countdown_step "$1")" ] &&
    [ "$(differing_pixels "$artifacts/03_race_a.png" "$artifacts/$1.png")" != "0" ]
}
wait_for_shot 5 03_race_b 0 moved_since_race_a || fail "a corrida nao anda no cliente 1 (03_race_a/b.png)"

# X on client 1 flips runner 1: it rises and then hangs upside down from the ceiling. A flip
# counts only while the runner stands on something (the floor, or runner 2's head), and a stage
# lost at the hole starts again after a countdown, so X is pressed again when a few screenshots
# after a press show no runner 1 upside down (never sooner: a press at the ceiling flips it back).
flipped=""
for attempt in $(seq 1 12); do
  press "$client1_window" x
  for look in 1 2 3 4; do
    shot 04_flip 0
    case "$(runner_pose 04_flip 1)" in flipped*) flipped=yes; break 2 ;; esac
  done
done
[ -n "$flipped" ] || fail "X no cliente 1 nao virou o corredor 1 (04_flip.png)"

# P on client 2 pauses every client; P on client 1 resumes.
# The server takes a pause only while a race runs: a stage lost at the hole after the flips may be
# counting down again, so P is pressed (again) only while client 1 shows a race and no pause.
paused_on() { shows_sprite "$artifacts/$1.png" Img/menu/pause.bmp 0 0; }
racing() { [ -z "$(countdown_step "$1")" ] && ! paused_on "$1"; }
paused=""
for attempt in 1 2 3; do
  wait_for_shot 20 05_racing 0 racing || break
  press "$client2_window" p
  if wait_for_shot 5 05_paused_client1_a 0 paused_on; then paused=yes; break; fi
done
[ -n "$paused" ] || fail "o cliente 1 nao mostra a pausa (05_paused_client1_a.png)"
wait_for_shot 5 05_paused_client2 650 paused_on || fail "o cliente 2 nao mostra a pausa (05_paused_client2.png)"
# A second later the paused picture has not changed.
sleep 1.0
shot 05_paused_client1_b 0
[ "$(differing_pixels "$artifacts/05_paused_client1_a.png" "$artifacts/05_paused_client1_b.png")" = "0" ] ||
  fail "a imagem do cliente 1 muda durante a pausa (05_paused_client1_a/b.png)"
press "$client1_window" p
resumed() { ! paused_on "$1"; }
wait_for_shot 10 06_resumed_a 0 resumed || fail "a pausa nao saiu do cliente 1 (06_resumed_a.png)"
moved_since_resumed_a() { [ "$(differing_pixels "$artifacts/06_resumed_a.png" "$artifacts/$1.png")" != "0" ]; }
wait_for_shot 5 06_resumed_b 0 moved_since_resumed_a ||
  fail "o jogo nao voltou depois do segundo P (06_resumed_a/b.png)"

# Esc ends client 2 only.
press "$client2_window" Escape
finish_game client2
kill -0 "${GAME_PID[server]}" 2>/dev/null || fail "o servidor terminou quando o cliente 2 saiu"

# The server dies mid-race: client 1 says so and ends.
kill -9 "${GAME_PID[server]}"
wait_for_text "$E2E_TMP/client1.out" "A conexao com o servidor foi perdida" 15 ||
  wait_for_text "$E2E_TMP/client1.out" "O servidor parou de responder" 1 ||
  fail "o cliente 1 nao avisou que o servidor caiu: $(cat "$E2E_TMP/client1.out")"
finish_game client1
echo "ok: partida em rede (capturas em $artifacts)"
