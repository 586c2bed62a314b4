#!/usr/bin/env bash
# Hosting in one step: `corrida servidor 1` with no naming service running serves its names itself
# on port 9001 (on loopback here, as the test's ORBendPoint asks), on that one port alone and with
# no naming service process; a client joins it as player 1, and when the server is stopped it
# says how many writes its names refused and port 9001 is free again. A naming service already
# running is used instead. Everything runs from "/".
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" hosting
cd /

if (exec 3<>/dev/tcp/127.0.0.1/9001) 2>/dev/null; then
  fail "a porta 9001 ja esta em uso: outro servico de nomes esta rodando?"
fi
# launch NAME ARGS...: the program with a command line, its console kept in NAME.out.
launch() {
  local name="$1"
  shift
  "$build/corrida" "$@" </dev/null >"$E2E_TMP/$name.out" 2>&1 &
  GAME_PID[$name]=$!
  E2E_PIDS+=($!)
}

start_xvfb
launch server servidor 1
expect_output server "Os nomes fifo, login e controle sao servidos por este servidor na porta 9001"
expect_output server "Servidor Rodando!"
# One listening port, 9001 on loopback, and no naming service beside the server.
ports=$(ss -Hltnp | awk -v pid="pid=${GAME_PID[server]}," 'index($0, pid) { print $4 }')
[ "$ports" = "127.0.0.1:9001" ] || fail "o servidor deveria escutar so em 127.0.0.1:9001: $ports"
children=$(ps -o comm= --ppid "${GAME_PID[server]}" | tr '\n' ' ')
[ -z "${children// /}" ] || fail "o servidor iniciou processos: $children"
[ -n "$("$build/tests/net_probe" 127.0.0.1 ior login)" ] || fail "o nome login nao leva ao servidor"
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

launch client cliente 127.0.0.1
expect_output client "VOCE EH O PLAYER: 1"
new_window "$server_window" >/dev/null || fail "a janela do cliente nao abriu"
shows_runner1() { [ "$(runner_pose "$1" 1)" != none ]; }
wait_for_shot 20 01_client_joined 0 shows_runner1 ||
  fail "o cliente nao mostra o corredor 1 (01_client_joined.png)"

# The server ends in order (SIGTERM, as Ctrl+C), says how many writes its names refused (none
# here), and port 9001 is free again.
kill -TERM "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
expect_output server "Pedidos de escrita recusados nos nomes deste servidor: 0."
wait "${GAME_PID[server]}"; status=$?
[ "$status" -eq 0 ] || fail "o servidor terminou com status $status"
grep -q "Pressione Enter" "$E2E_TMP/server.out" && fail "o servidor com argumentos pediu Enter"
(exec 3<>/dev/tcp/127.0.0.1/9001) 2>/dev/null && fail "a porta 9001 continua aberta"

# The client learns its server is gone and ends by itself, with no closing prompt.
wait_for_text "$E2E_TMP/client.out" "A conexao com o servidor foi perdida" 15 ||
  wait_for_text "$E2E_TMP/client.out" "O servidor parou de responder" 1 ||
  fail "o cliente nao avisou que o servidor caiu: $(cat "$E2E_TMP/client.out")"
for _ in $(seq 1 100); do kill -0 "${GAME_PID[client]}" 2>/dev/null || break; sleep 0.1; done
wait "${GAME_PID[client]}"; status=$?
[ "$status" -eq 0 ] || fail "o cliente terminou com status $status"

# A naming service that is already running is used as it is.
start_naming_service
launch server2 servidor 1
expect_output server2 "Servidor Rodando!"
grep -q "sao servidos por este servidor" "$E2E_TMP/server2.out" &&
  fail "o servidor serviu seus proprios nomes com um servico de nomes rodando: $(cat "$E2E_TMP/server2.out")"
ports=$(ss -Hltnp | awk -v pid="pid=${GAME_PID[server2]}," 'index($0, pid) { print $4 }')
case "$ports" in
  *:9001*) fail "o servidor registrado no servico de nomes escuta na porta 9001: $ports" ;;
esac
[ -n "$("$build/tests/net_probe" 127.0.0.1 ior login)" ] ||
  fail "o servidor nao se registrou no servico de nomes"
kill -TERM "${GAME_PID[server2]}"
expect_output server2 "Servidor encerrado."
wait "${GAME_PID[server2]}" || fail "o segundo servidor terminou com erro"
kill -0 "$NAMES_PID" 2>/dev/null || fail "o servidor encerrou um servico de nomes que nao iniciou"
echo "ok: servidor em um passo (capturas em $artifacts)"
