#!/usr/bin/env bash
# The graphics start-up opens a 640 x 480 window without players and a 1 x 1 window for a server;
# without a display it says so and fails in order.
source "$(dirname "$0")/lib.sh"
build="$1"
probe="$build/tests/graphics_probe"

# No display: an orderly message and a failure result, never a crash.
out=$(env -u DISPLAY "$probe" 0 </dev/null 2>&1); rc=$?
[ "$rc" -eq 1 ] || fail "sem display: status $rc, esperado 1 ($out)"
echo "$out" | grep -q "^Nao foi possivel" || fail "sem display: mensagem inesperada: $out"

start_xvfb
check_window() {
  local players="$1" expected="$2" fifo="$E2E_TMP/in$1" id size
  mkfifo "$fifo"
  "$probe" "$players" <"$fifo" >"$E2E_TMP/out$players" 2>&1 &
  local pid=$!
  E2E_PIDS+=($pid)
  exec 7>"$fifo"
  wait_for_text "$E2E_TMP/out$players" "JANELA PRONTA" || fail "janela ($players jogadores) nao abriu"
  id=$(wait_for_window graphics_probe) || fail "janela ($players jogadores) nao encontrada"
  size=$(window_size "$id")
  [ "$size" = "$expected" ] || fail "$players jogadores: janela $size, esperado $expected"
  exec 7>&-
  wait "$pid" || fail "probe ($players jogadores) terminou com erro"
  echo "ok: $players jogadores -> $size"
}
check_window 0 640x480
check_window 4 1x1
