# Shared helpers of the end-to-end tests: a private Xvfb display, windows, keys and screenshots.
# Source it from a test script; every process it starts is stopped by cleanup (trap on EXIT).

set -u
E2E_PIDS=()
E2E_TMP="$(mktemp -d /tmp/corrida-e2e.XXXXXX)"

cleanup() {
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 0.2
  for pid in "${E2E_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() { echo "FALHOU: $*" >&2; exit 1; }

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
    id=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1)
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
