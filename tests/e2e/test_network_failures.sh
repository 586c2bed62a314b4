#!/usr/bin/env bash
# Network failures end in orderly Portuguese messages and a normal end, never a crash: no naming
# service (a client; a server that cannot serve its own names), a client before any server, a
# server that stops answering, and a client that vanishes mid-race (the server plays on).
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" network_failures
cd "$build"
probe="$build/tests/net_probe"

if (exec 3<>/dev/tcp/127.0.0.1/9001) 2>/dev/null; then fail "a porta 9001 ja esta em uso"; fi

# No naming service: both modes say so and end; neither opens a window.
start_game lonely_client -u DISPLAY
answer lonely_client 2 127.0.0.1
expect_output lonely_client "Nao foi possivel contatar o servico de nomes em 127.0.0.1:9001"
finish_game lonely_client
# A server for this machine serves its names itself on port 9001 when no naming service answers;
# here it is told to listen at an address this machine does not have, so it says so and ends.
start_game lonely_server -u DISPLAY ORBendPoint=giop:tcp:192.0.2.1:
answer lonely_server 1 127.0.0.1 2
expect_output lonely_server "Nao foi possivel servir os nomes deste servidor em giop:tcp:192.0.2.1:9001 (INITIALIZE)"
finish_game lonely_server
grep -q "Servidor Rodando!" "$E2E_TMP/lonely_server.out" && fail "servidor sem porta 9001 disse que roda"
grep -q "biblioteca grafica" "$E2E_TMP/lonely_server.out" && fail "servidor sem porta 9001 tentou abrir a janela"

start_naming_service
start_xvfb

# A client before any server: the names are not bound.
start_game early_client
answer early_client 2 127.0.0.1
expect_output early_client "O servidor nao esta registrado no servico de nomes em 127.0.0.1:9001"
finish_game early_client
[ -z "$(game_windows)" ] || fail "o cliente sem servidor abriu uma janela"

# A server for two players; player 1 is a real client, player 2 the probe, so the race starts.
start_server server 2 -u DISPLAY
start_client client 1 CORRIDA_REPLAY_LOG="$E2E_TMP/client.log"
start_probe_player watcher 2
# The countdown and the first pictures of the race.
wait_lines "$E2E_TMP/client.log" 40 60 || fail "o cliente nao recebeu a corrida"

# The server stops answering: the client gives up after its call timeout.
kill -STOP "${GAME_PID[server]}"
stopped=$(date +%s)
expect_output client "O servidor parou de responder." 15
waited=$(( $(date +%s) - stopped ))
[ "$waited" -le 10 ] || fail "o cliente esperou ${waited}s por um servidor parado"
finish_game client
kill -CONT "${GAME_PID[server]}"

# The one that vanished did not stop the server: it answers, and goes on drawing.
# server_draws PLAYER: whether the server records new pictures for PLAYER within 10 s.
server_draws() {
  local before
  before=$("$probe" 127.0.0.1 frames "$1") || return 1
  drew_more() { [ "$("$probe" 127.0.0.1 frames "$1")" -gt "$before" ] 2>/dev/null; }
  wait_until 10 drew_more "$1"
}
kill -0 "${GAME_PID[server]}" 2>/dev/null || fail "o servidor terminou quando o cliente saiu"
out=$("$probe" 127.0.0.1 fifo 2) || fail "o servidor nao responde depois da saida do cliente: $out"
server_draws 2 || fail "o servidor parou de desenhar depois da saida do cliente"
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
finish_game server

# A client killed mid-race does not stop the server either. It joins the classic way, by its
# address, so that the probe on the same address may look at player 1's queue afterwards (and the
# server marks the pictures of the classic fetch, which the client's replay log counts).
start_server server2 1 -u DISPLAY CORRIDA_MARK_FRAMES=1
start_client doomed 1 CORRIDA_REPLAY_LOG="$E2E_TMP/doomed.log" CORRIDA_FETCH=classic
wait_lines "$E2E_TMP/doomed.log" 40 60 || fail "o cliente nao recebeu a corrida"
kill -9 "${GAME_PID[doomed]}"
server_draws 1 || fail "o servidor parou de desenhar depois da morte do cliente"
kill -0 "${GAME_PID[server2]}" 2>/dev/null || fail "o servidor terminou quando o cliente morreu"
"$probe" 127.0.0.1 fifo 1 >/dev/null || fail "o servidor nao responde depois da morte do cliente"
kill -INT "${GAME_PID[server2]}"
expect_output server2 "Servidor encerrado."
finish_game server2
echo "ok: falhas de rede tratadas"
