# Helpers of the network end-to-end tests, on top of lib.sh: a private naming service on
# 127.0.0.1:9001, game processes answering the console through their own FIFOs, client windows
# and picture checks. Every process started here is stopped by lib.sh's cleanup.

export ORBendPoint=giop:tcp:127.0.0.1:

# The consoles of the game processes are kept beside the screenshots.
keep_consoles_and_clean_up() {
  local fd
  [ -n "${artifacts:-}" ] && cp "$E2E_TMP"/*.out "$E2E_TMP/names.log" "$artifacts/" 2>/dev/null
  # The end of their input lets the programs at their closing prompt end by themselves.
  for fd in "${GAME_FD[@]}"; do exec {fd}>&-; done
  cleanup
}
trap keep_consoles_and_clean_up EXIT
declare -A GAME_PID GAME_FD

# start_naming_service: omniNames on 127.0.0.1:9001 with a fresh data directory.
start_naming_service() {
  local data="$E2E_TMP/names"
  mkdir -p "$data"
  if (exec 3<>/dev/tcp/127.0.0.1/9001) 2>/dev/null; then
    fail "a porta 9001 ja esta em uso: outro servico de nomes esta rodando?"
  fi
  omniNames -start 9001 -always -datadir "$data" -ORBendPoint giop:tcp:127.0.0.1:9001 \
    >"$E2E_TMP/names.log" 2>&1 &
  NAMES_PID=$!
  E2E_PIDS+=($NAMES_PID)
  for _ in $(seq 1 50); do
    "$build/tests/net_probe" 127.0.0.1 ior login 2>/dev/null | grep -q "NotFound" && return 0
    sleep 0.1
  done
  fail "o servico de nomes nao iniciou: $(cat "$E2E_TMP/names.log")"
}

# start_game NAME [VAR=VALUE...] [-u VAR...] [-- WORD...]: starts the program in the build dir
# with that environment and command line, its console fed from a FIFO.
start_game() {
  local name="$1" fifo="$E2E_TMP/$1.in" fd environment=() words=()
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    environment+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift
  words=("$@")
  mkfifo "$fifo"
  env "${environment[@]}" "$build/corrida" "${words[@]}" <"$fifo" >"$E2E_TMP/$name.out" 2>&1 &
  GAME_PID[$name]=$!
  E2E_PIDS+=($!)
  exec {fd}>"$fifo"
  GAME_FD[$name]=$fd
}

# start_server NAME PLAYERS [env...]: a server for PLAYERS players on this machine, set up through
# the console dialogue; returns once it runs.
start_server() {
  local name="$1" players="$2"
  shift 2
  start_game "$name" "$@"
  answer "$name" 1 127.0.0.1 "$players"
  expect_output "$name" "Servidor Rodando!"
}

# host_server NAME PLAYERS [WORD...]: "corrida servidor PLAYERS WORD..." hosted in one step on this
# machine; returns once it runs.
host_server() {
  local name="$1" players="$2"
  shift 2
  start_game "$name" -- servidor "$players" "$@"
  expect_output "$name" "Servidor Rodando!" 30
}

# start_client NAME NUMBER [env...]: a client of the server on this machine, set up through the
# console dialogue; returns once the server has made it player NUMBER.
start_client() {
  local name="$1" number="$2"
  shift 2
  start_game "$name" "$@"
  answer "$name" 2 127.0.0.1
  expect_output "$name" "VOCE EH O PLAYER: $number"
}

# start_classic_server [sem-pausa]: tests/classic_server for one player, bound in the naming service
# on this machine; returns once it runs.
start_classic_server() {
  "$build/tests/classic_server" 127.0.0.1 1 "$@" >"$E2E_TMP/classic_server.out" 2>&1 &
  E2E_PIDS+=($!)
  wait_for_text "$E2E_TMP/classic_server.out" "Servidor classico rodando" 20 ||
    fail "o servidor classico nao iniciou: $(cat "$E2E_TMP/classic_server.out")"
}

# start_probe_player NAME NUMBER: a player of the server on this machine that only watches
# (net_probe play); returns once the server has made it player NUMBER.
start_probe_player() {
  "$build/tests/net_probe" 127.0.0.1 play >"$E2E_TMP/$1.out" 2>&1 &
  E2E_PIDS+=($!)
  GAME_PID[$1]=$!
  first_line_is() { [ "$(sed -n 1p "$E2E_TMP/$1.out")" = "$2" ]; }
  wait_until 20 first_line_is "$1" "$2" ||
    fail "a sonda $1 nao entrou como jogador $2: $(cat "$E2E_TMP/$1.out")"
}

# answer NAME LINE...: types each line on the program's console.
answer() {
  local name="$1" line
  shift
  for line in "$@"; do printf '%s\n' "$line" >&"${GAME_FD[$name]}"; done
}

# expect_output NAME TEXT [SECONDS]
expect_output() {
  wait_for_text "$E2E_TMP/$1.out" "$2" "${3:-20}" ||
    fail "$1 nao escreveu \"$2\"; saida: $(cat "$E2E_TMP/$1.out")"
}

# finish_game NAME: answers the closing prompt and expects the program to end with status 0.
finish_game() {
  local name="$1" status
  expect_output "$name" "Pressione Enter para sair"
  answer "$name" ""
  for _ in $(seq 1 100); do
    kill -0 "${GAME_PID[$name]}" 2>/dev/null || break
    sleep 0.1
  done
  wait "${GAME_PID[$name]}"
  status=$?
  [ "$status" -eq 0 ] || fail "$name terminou com status $status; saida: $(cat "$E2E_TMP/$name.out")"
}

# await_exit NAME: a program started with a command line (no closing prompt) ends with status 0.
await_exit() {
  local status
  exited() { ! running "${GAME_PID[$1]}"; }
  wait_until 10 exited "$1" || fail "$1 nao terminou"
  wait "${GAME_PID[$1]}"
  status=$?
  [ "$status" -eq 0 ] || fail "$1 terminou com status $status; saida: $(cat "$E2E_TMP/$1.out")"
}

# game_windows: the ids of the visible windows of the program, one a line.
game_windows() { xdotool search --onlyvisible --name corrida 2>/dev/null | sort; }

# new_window KNOWN: waits for a program window that is not in the list KNOWN and prints its id.
new_window() {
  local known="$1" id
  for _ in $(seq 1 100); do
    id=$(comm -13 <(echo "$known") <(game_windows) | sed -n 1p)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# place_window ID X Y: moves the window there and waits until it is (a window that is not mapped
# yet ignores a move).
place_window() {
  local x
  for _ in $(seq 1 50); do
    xdotool windowmove "$1" "$2" "$3" 2>/dev/null || true
    x=$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left X/ {print $4}')
    [ "$x" = "$2" ] && return 0
    sleep 0.1
  done
  fail "a janela $1 nao foi para $2,$3"
}

# shot NAME X [NAME2 X2]: from one screenshot of the display, the 640 x 480 window whose left edge
# is at X (and the one at X2) as $artifacts/NAME.png, with a BMP copy for the probes.
shot() {
  import -window root "$E2E_TMP/root.png"
  while [ $# -ge 2 ]; do
    convert "$E2E_TMP/root.png" -crop "640x480+$2+0" +repage "$artifacts/$1.png"
    convert "$artifacts/$1.png" "BMP3:$E2E_TMP/$1.bmp"
    shift 2
  done
}

# differing_pixels A B: how many pixels differ between two pictures of the same size.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# shows_sprite SHOT IMAGE X Y [CROP]: whether IMAGE (or its CROP region), drawn as a sprite
# (magenta left out) at X, Y, is exactly what SHOT shows there.
shows_sprite() {
  local shot="$1" image="$2" x="$3" y="$4" crop="${5:-}"
  local sprite="$E2E_TMP/sprite.png" composed="$E2E_TMP/composed.png"
  if [ -n "$crop" ]; then
    convert "$image" -crop "$crop" +repage -transparent '#ff00ff' "$sprite"
  else
    convert "$image" -transparent '#ff00ff' "$sprite"
  fi
  convert "$shot" "$sprite" -geometry "+$x+$y" -composite "$composed"
  [ "$(differing_pixels "$shot" "$composed")" = "0" ]
}

# runner_pose SHOTNAME PLAYER: "upright X Y", "flipped X Y" or "none" for that player's runner.
runner_pose() {
  "$build/tests/sprite_probe" "$E2E_TMP/$1.bmp" "$build/Img/Jogo/player$2a.bmp"
}

# wait_lines FILE N SECONDS: waits until FILE holds at least N lines; false after SECONDS.
wait_lines() {
  for _ in $(seq 1 $(($3 * 10))); do
    [ "$(wc -l <"$1" 2>/dev/null || echo 0)" -ge "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

# wait_for_shot SECONDS NAME X CHECK: takes shot NAME of the window at X until CHECK NAME passes;
# false when SECONDS pass without.
wait_for_shot() {
  local seconds="$1"
  shift
  wait_until "$seconds" shot_and_check "$@"
}
shot_and_check() { shot "$1" "$2" && "$3" "$1"; }

# free_ports N: N distinct free ports on 127.0.0.1 on one line (every socket stays bound until all
# the numbers are known, so no two are the same).
free_ports() {
  python3 -c 'import socket, sys
s = [socket.socket() for _ in range(int(sys.argv[1]))]
for x in s: x.bind(("127.0.0.1", 0))
print(*(x.getsockname()[1] for x in s))' "$1"
}
