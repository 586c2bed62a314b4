# Shared helpers of the end-to-end tests: a private Xvfb display, windows, keys and screenshots.
# Source it from a test script; every process it starts is stopped by cleanup (trap on EXIT).

set -u
E2E_PIDS=()
E2E_TMP="$(mktemp -d /tmp/corrida-e2e.XXXXXX)"
# The game's configuration (teclas.conf, tela.conf) is the test's own: a developer's never changes
# a test's outcome, and no test writes the real one.
export XDG_CONFIG_HOME="$E2E_TMP/config"
mkdir -p "$XDG_CONFIG_HOME"

cleanup() {
  local pid
  # The display goes last, so that no program sees it vanish under its windows.
  for pid in "${E2E_PIDS[@]}"; do [ "$pid" = "${E2E_XVFB:-}" ] || kill "$pid" 2>/dev/null || true; done
  wait_until 2 only_the_display_left || true
  [ -n "${E2E_XVFB:-}" ] && kill "$E2E_XVFB" 2>/dev/null
  wait_until 2 nothing_left_running || true
  for pid in "${E2E_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  # Gone, not just told: the next test may want the same port at once.
  wait_until 3 nothing_left_running || echo "aviso: processos ainda rodando: ${E2E_PIDS[*]}" >&2
  rm -rf "$E2E_TMP"
}
nothing_left_running() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do running "$pid" && return 1; done
  return 0
}
only_the_display_left() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do [ "$pid" != "${E2E_XVFB:-}" ] && running "$pid" && return 1; done
  return 0
}
# running PID: alive and not a zombie waiting to be reaped.
running() { kill -0 "$1" 2>/dev/null && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }
trap cleanup EXIT

# fail MESSAGE: names the failure, then what a diagnosis needs (display, ports, the processes and
# the tail of every console and log of the test), and ends the test.
fail() {
  echo "FALHOU: $*" >&2
  diagnosis >&2
  exit 1
}

diagnosis() {
  local file pid
  echo "-- diagnostico: DISPLAY=${DISPLAY:-nenhum}, pasta $E2E_TMP"
  echo "-- portas TCP escutando nesta maquina:"
  ss -ltnpH 2>/dev/null | awk '{ print "   " $4, $6 }'
  for pid in "${E2E_PIDS[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then
      echo "-- processo $pid rodando: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | cut -c1-200)"
    else
      echo "-- processo $pid terminado"
    fi
  done
  for file in "$E2E_TMP"/*.out "$E2E_TMP"/*.txt "$E2E_TMP"/*.log; do
    [ -s "$file" ] || continue
    echo "-- ultimas linhas de $(basename "$file"):"
    tail -n 12 "$file" | cut -c1-300 | sed 's/^/   /'
  done
}

# wait_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds; false when SECONDS
# have passed without.
wait_until() {
  local seconds="$1" deadline
  shift
  deadline=$(($(date +%s%N) / 1000000 + seconds * 1000))
  until "$@"; do
    [ $(($(date +%s%N) / 1000000)) -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# fresh_artifacts BUILD NAME: sets $artifacts to an emptied BUILD/test-artifacts/NAME, where a
# test keeps its screenshots and consoles for people to look at.
fresh_artifacts() {
  artifacts="$1/test-artifacts/$2"
  rm -rf "$artifacts"
  mkdir -p "$artifacts"
}

# start_xvfb [WIDTHxHEIGHT]: starts Xvfb (1024x768 unless told) on the first free display from :90
# and exports DISPLAY.
start_xvfb() {
  local n size="${1:-1024x768}"
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp -noreset >"$E2E_TMP/xvfb.log" 2>&1 &
    local xvfb=$!
    E2E_PIDS+=($xvfb)
    E2E_XVFB=$xvfb
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
      # Ours must be the one answering: a display an earlier test's Xvfb still holds while it
      # shuts down answers once and then goes, and ours, unable to take it, has already ended.
      # (-noreset: by default Xvfb resets when its last client, this probe, disconnects, and a
      # game connecting during the reset fails to start the graphics library.)
      kill -0 "$xvfb" 2>/dev/null || continue 2
      xdpyinfo >/dev/null 2>&1 && kill -0 "$xvfb" 2>/dev/null && return 0
      sleep 0.1
    done
    fail "Xvfb nao iniciou em :$n"
  done
  fail "nenhum display livre para o Xvfb"
}

# wait_for_window NAME [SECONDS]: prints the id of the first visible window whose name matches.
wait_for_window() {
  local name="$1" seconds="${2:-20}" id
  for _ in $(seq 1 $((seconds * 10))); do
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | sed -n 1p)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# window_size ID: prints "WIDTHxHEIGHT" of the window's drawable area.
window_size() {
  xwininfo -id "$1" | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w "x" h}'
}

# press ID KEY: focuses the window and holds KEY long enough for a frame to see it.
press() {
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool keydown "$2"
  sleep 0.15
  xdotool keyup "$2"
}

# screenshot FILE: the whole display as a PNG.
screenshot() { import -window root "$1"; }

# wait_for_text FILE TEXT [SECONDS]: waits until FILE contains TEXT.
wait_for_text() {
  local file="$1" text="$2" seconds="${3:-20}"
  for _ in $(seq 1 $((seconds * 10))); do
    grep -qF -- "$text" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# capture WINDOW NAME: the window's picture as it is now, kept as $artifacts/NAME.png, and as
# $E2E_TMP/NAME.bmp for the probes.
capture() {
  local geometry
  geometry=$(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /^  Width:/{w=$2} /^  Height:/{h=$2} END{print w "x" h "+" x "+" y}')
  import -window root "$E2E_TMP/root.png" &&
    convert "$E2E_TMP/root.png" -crop "$geometry" +repage -write "$artifacts/$2.png" \
      -type TrueColor "BMP3:$E2E_TMP/$2.bmp"
}

# shows NAME IMAGE X Y [SRC_X SRC_Y WIDTH HEIGHT]: whether capture NAME shows Img/IMAGE (or that
# region of it) with its corner at X, Y; the probe's figures go to $E2E_TMP/checks.log.
shows() {
  local name="$1"
  shift
  "$build/tests/screen_match_probe" "$E2E_TMP/$name.bmp" "$build/Img/$1" "${@:2}" \
    >>"$E2E_TMP/checks.log" 2>&1
}

# wait_for_screen SECONDS WINDOW NAME CHECK: captures WINDOW as NAME until CHECK NAME passes (CHECK
# is a command or function given the capture's name); false when SECONDS pass without.
wait_for_screen() {
  local seconds="$1"
  shift
  echo "== $2" >>"$E2E_TMP/checks.log"
  wait_until "$seconds" captured_and_checked "$@"
}
captured_and_checked() { capture "$1" "$2" && "$3" "$2"; }
