#!/usr/bin/env bash
# The server is frozen (SIGSTOP) while two clients play: each notices within its 4 s call timeout
# and returns to the console in order. A client that tries to join meanwhile is told the same.
# Resumed (SIGCONT), the server carries on recording pictures and admits nobody twice: every
# place was taken, so new logins are refused and no player number is handed out again.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" frozen_server
cd "$build"
probe="$build/tests/net_probe"

start_xvfb
start_naming_service
start_server server 3
for i in 1 2; do
  start_client "client$i" "$i" CORRIDA_REPLAY_LOG="$E2E_TMP/client$i.log"
done
start_probe_player watcher 3
for i in 1 2; do wait_lines "$E2E_TMP/client$i.log" 40 60 || fail "o cliente $i nao recebeu a corrida"; done

now_ms() { date +%s%3N; }
kill -STOP "${GAME_PID[server]}"
stopped=$(now_ms)
start_game joiner
answer joiner 2 127.0.0.1
for i in 1 2; do
  expect_output "client$i" "O servidor parou de responder." 15
  noticed[$i]=$(( $(now_ms) - stopped ))
done
for i in 1 2; do
  # The 4 s timeout, plus the time this loop takes to look.
  [ "${noticed[$i]}" -le 5500 ] || fail "o cliente $i levou ${noticed[$i]} ms para notar o servidor parado"
  finish_game "client$i"
done
expect_output joiner "O servidor nao respondeu a tempo ao pedido de entrada." 15
finish_game joiner
grep -q "VOCE EH O PLAYER" "$E2E_TMP/joiner.out" && fail "um cliente entrou no servidor parado"

kill -CONT "${GAME_PID[server]}"
first=$("$probe" 127.0.0.1 frames 3) || fail "o servidor retomado nao responde: $first"
drew_more() { second=$("$probe" 127.0.0.1 frames 3) && [ "$second" -gt "$first" ]; }
wait_until 10 drew_more || fail "o servidor retomado nao desenha mais quadros ($first, depois $second)"
[ "$("$probe" 127.0.0.1 logar)" = "-1" ] || fail "o servidor cheio deu um numero de jogador de novo"
start_game newcomer
answer newcomer 2 127.0.0.1
expect_output newcomer "O servidor ja esta cheio"
finish_game newcomer
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
finish_game server
echo "ok: clientes notaram o servidor parado em ${noticed[1]} e ${noticed[2]} ms; retomado, ele continua e nao repete jogadores"
