#!/usr/bin/env bash
# Local play: each runner's flip key is polled by a 5 ms timer from stage loading until the stage
# is deleted (needs a display for the graphics library's timer).
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
[ -f "$build/Img/Jogo/visual1.jpg" ] || fail "imagens da fase ausentes em $build/Img"
start_xvfb
cd "$build" || fail "sem pasta de build"
out=$(timeout 60 "$build/tests/key_timer_probe" </dev/null 2>&1); rc=$?
echo "$out"
[ "$rc" -eq 0 ] || fail "probe do timer de teclas: status $rc"
