#!/usr/bin/env bash
# A client whose connections to the server drop mid-race gets its place back: the delay relay in
# front of the server (whose references name the relay) is killed and started again on the same
# port. The client asks the server again by its secret, keeps its number and its runner, and goes
# on replaying the race without a missing bitmap; no other client took its place meanwhile.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" reconnection
cd "$build"

start_xvfb
start_naming_service

read -r port relay < <(free_ports 2)
# start_relay: the relay on its port, 5 ms each way.
start_relay() {
  "$build/delay_relay" "$relay" 127.0.0.1 "$port" 5 >"$E2E_TMP/relay.out" 2>&1 &
  RELAY_PID=$!
  E2E_PIDS+=($RELAY_PID)
  wait_for_text "$E2E_TMP/relay.out" "relay listening" 10 || fail "o relay nao iniciou"
}
start_relay

start_server server 1 ORBendPoint="giop:tcp:127.0.0.1:$port" ORBendPointPublish="giop:tcp:127.0.0.1:$relay"
start_client client 1 CORRIDA_REPLAY_LOG="$E2E_TMP/replay.log"
count_lines() { wc -l <"$1" 2>/dev/null || echo 0; }
wait_lines "$E2E_TMP/replay.log" 40 60 || fail "a corrida nao chegou ao cliente"

# Every connection of the client to the server goes at once; the relay comes back at once.
kill -KILL "$RELAY_PID"
wait "$RELAY_PID" 2>/dev/null
start_relay
cut_at=$(count_lines "$E2E_TMP/replay.log")
wait_lines "$E2E_TMP/replay.log" $((cut_at + 100)) 30 ||
  fail "o cliente nao voltou a receber a corrida depois da queda: $(cat "$E2E_TMP/client.out")"
running "${GAME_PID[client]}" || fail "o cliente terminou com a queda"
expect_output client "Conexao com o servidor restabelecida: voce continua como jogador 1."
grep -qF "Pressione Enter para sair" "$E2E_TMP/client.out" && fail "a sessao terminou: $(cat "$E2E_TMP/client.out")"
grep -q "Bitmap nao encontrado\|fudeu" "$E2E_TMP/client.out" && fail "o cliente perdeu bitmaps"
# Its place is still its own: a second client finds the server full.
start_game other
answer other 2 127.0.0.1
expect_output other "O servidor ja esta cheio"
finish_game other
echo "ok: depois da queda o cliente seguiu como jogador 1 ($(($(count_lines "$E2E_TMP/replay.log") - cut_at)) quadros)"
kill -TERM "${GAME_PID[client]}"
finish_game client
