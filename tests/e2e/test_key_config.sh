#!/usr/bin/env bash
# teclas.conf chooses a player's flip key: with "jogador1 Z" in the test's own configuration
# folder, Z flips player 1's runner and X no longer does, in a local race and on a client.
# Screenshots are kept in BUILD/test-artifacts/key_config/.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" key_config
cd "$build"
[ -f Img/Jogo/player1a.bmp ] && [ -f Img/menu/enter.bmp ] && [ -f Img/Jogo/54321.bmp ] ||
  fail "imagens do jogo ausentes em $build/Img"

mkdir -p "$XDG_CONFIG_HOME/corrida"
printf 'jogador1 Z\n' >"$XDG_CONFIG_HOME/corrida/teclas.conf"

start_xvfb

# pose NAME: runner 1's pose ("upright X Y", "flipped X Y" or "none") in capture NAME.
pose() { runner_pose "$1" 1; }

# flips_with KEY LOOK: KEY is pressed whenever runner 1 is seen upright (a flip counts only while
# it stands on something, and a press in the air is lost), up to 12 times; true as soon as one
# of the LOOK command's pictures after a press shows runner 1 upside down. LOOK NAME takes the
# picture NAME.
flips_with() {
  local key="$1" look="$2" attempt n
  for attempt in $(seq 1 12); do
    upright_now() { "$look" "flip_$key" && [[ "$(pose "flip_$key")" == upright* ]]; }
    wait_until 10 upright_now || return 1
    press "$window" "$key"
    for n in 1 2 3 4 5; do
      "$look" "flip_$key"
      [[ "$(pose "flip_$key")" == flipped* ]] && return 0
    done
  done
  return 1
}

# never_flips_with KEY LOOK: KEY pressed four times while runner 1 is seen upright; no picture
# in the second after each press shows it upside down.
never_flips_with() {
  local key="$1" look="$2" attempt n
  for attempt in 1 2 3 4; do
    upright_now() { "$look" "noflip_$key" && [[ "$(pose "noflip_$key")" == upright* ]]; }
    wait_until 10 upright_now || fail "o corredor 1 nao aparece de pe (noflip_$key.png)"
    press "$window" "$key"
    for n in 1 2 3 4 5; do
      "$look" "noflip_$key"
      [[ "$(pose "noflip_$key")" == flipped* ]] &&
        fail "$key ainda vira o corredor 1 (noflip_$key.png)"
    done
  done
  return 0
}

# --- A local race: one player, the first character, Enter at the stage prompt.
start_game local -- local
window=$(wait_for_window corrida 20) || fail "a janela do jogo local nao abriu"
# A stage lost in a gap starts again at the prompt: Enter there, as a player would.
local_look() {
  capture "$window" "$1" || return 1
  if prompt "$1"; then press "$window" Return; fi
  return 0
}
await() {
  wait_for_screen "${3:-15}" "$window" "$1" "$2" || fail "$1: a tela esperada nao apareceu ($1.png)"
}
prompt() { shows "$1" menu/enter.bmp 0 0; }
menu_on() { shows "$1" menu/menu.jpg 0 0 0 0 640 280; }
selection_open() { shows "$1" menu/bg_selecao.jpg 0 0 0 0 640 290; }
racing() { ! prompt "$1" && [[ "$(pose "$1")" == upright* ]]; }
await local_menu menu_on 20
press "$window" Return
await local_selection selection_open
press "$window" Return
await local_prompt prompt 20
press "$window" Return
await local_race racing
never_flips_with x local_look
flips_with z local_look || fail "Z nao virou o corredor 1 na corrida local (flip_z.png)"
mv "$artifacts/noflip_x.png" "$artifacts/local_noflip_x.png"
mv "$artifacts/flip_z.png" "$artifacts/local_flip_z.png"
kill "${GAME_PID[local]}"
gone() { ! running "${GAME_PID[local]}"; }
wait_until 10 gone || fail "o jogo local nao terminou"
echo "ok: corrida local, Z vira o jogador 1 e X nao"

# --- A client of a server for one player: its own runner flips with player 1's key.
start_naming_service
start_server server 1
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700
start_client client1 1
window=$(new_window "$server_window") || fail "a janela do cliente nao abriu"
xdotool windowmove "$window" 0 0
client_look() { shot "$1" 0; }
counting_down() {
  local offset
  for offset in 400 300 200 100 0; do
    shows_sprite "$artifacts/$1.png" Img/Jogo/54321.bmp 270 190 "100x100+$offset+0" && return 0
  done
  return 1
}
race_started() { ! counting_down "$1" && [[ "$(pose "$1")" == upright* ]]; }
wait_for_shot 30 client_race 0 race_started || fail "a corrida nao comecou no cliente (client_race.png)"
never_flips_with x client_look
flips_with z client_look || fail "Z nao virou o corredor 1 no cliente (flip_z.png)"
mv "$artifacts/noflip_x.png" "$artifacts/client_noflip_x.png"
mv "$artifacts/flip_z.png" "$artifacts/client_flip_z.png"
press "$window" Escape
finish_game client1
echo "ok: no cliente, Z vira o jogador 1 e X nao (capturas em $artifacts)"
