#!/usr/bin/env bash
# A client against a server that sends anything (tests/e2e/hostile_server.cpp, from the published
# interfaces alone):
# - answers that never bring the part the client awaits, 1.9 MB each: the client ends its session
#   with a message once some megabytes wait, and stays small meanwhile;
# - answers in order made of the largest blits it accepts, without end: each picture is drawn
#   within its work budget, and SIGTERM ends the client within a second.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" hostile_server
cd "$build"

start_xvfb
start_naming_service

# start_hostile NAME MODE: the hostile server, bound in the naming service.
start_hostile() {
  "$build/tests/hostile_server" 127.0.0.1 "$2" >"$E2E_TMP/$1.out" 2>&1 &
  GAME_PID[$1]=$!
  E2E_PIDS+=($!)
  wait_for_text "$E2E_TMP/$1.out" "Servidor hostil rodando" 20 ||
    fail "o servidor hostil nao iniciou: $(cat "$E2E_TMP/$1.out")"
}
# peak_kb PID: the most memory the process has held so far (VmHWM), in kB.
peak_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
# at_closing_prompt NAME: the session is over and the console asks for Enter.
at_closing_prompt() { grep -qF "Pressione Enter para sair" "$E2E_TMP/$1.out" 2>/dev/null; }

# Parts out of order: the client ends the session itself, its peak memory sampled until then.
start_hostile withholding out-of-order
start_client victim 1
peak=0
sample_until_closed() {
  local now
  now=$(peak_kb "${GAME_PID[victim]}")
  [ -n "$now" ] && [ "$now" -gt "$peak" ] && peak=$now
  at_closing_prompt victim
}
wait_until 30 sample_until_closed || fail "o cliente nao encerrou a sessao contra respostas fora de ordem"
expect_output victim "O servidor enviou respostas fora de ordem ou depressa demais para serem mostradas"
finish_game victim
echo "pico de memoria do cliente contra respostas fora de ordem: $peak kB" | tee "$artifacts/checks.txt"
[ "$peak" -gt 0 ] && [ "$peak" -lt $((300 * 1024)) ] || fail "o cliente chegou a $peak kB"
kill -TERM "${GAME_PID[withholding]}"

# The largest blits, in order and without end: the client keeps drawing within its budget, and
# SIGTERM ends it within a second.
start_hostile heavy heavy
start_client busy 1
expect_output busy "O servidor mandou imagens que pediam trabalho demais" 30
kill -0 "${GAME_PID[busy]}" 2>/dev/null || fail "o cliente terminou sozinho contra o servidor pesado"
sent=$(date +%s%N)
kill -TERM "${GAME_PID[busy]}"
wait_until 5 at_closing_prompt busy || fail "o cliente nao atendeu o SIGTERM em 5 s"
took=$((($(date +%s%N) - sent) / 1000000))
echo "SIGTERM ao cliente ocupado com o servidor pesado: $took ms ate o console" | tee -a "$artifacts/checks.txt"
[ "$took" -le 1000 ] || fail "o cliente levou $took ms para terminar depois do SIGTERM"
echo "pico de memoria do cliente contra o servidor pesado: $(peak_kb "${GAME_PID[busy]}") kB" |
  tee -a "$artifacts/checks.txt"
finish_game busy
echo "ok: o cliente resistiu ao servidor hostil (em $artifacts)"
