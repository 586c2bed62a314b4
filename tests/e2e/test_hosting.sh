#!/usr/bin/env bash
# Hosting in one step: `corrida servidor 1` with no naming service running starts omniNames
# itself (on loopback here, as the test's ORBendPoint asks), a client joins it as player 1, and
# when the server is stopped the naming service goes with it, data folder and all. A naming
# service already running is used instead. Everything runs from "/".
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
expect_output server "Servico de nomes iniciado nesta maquina na porta 9001"
expect_output server "Servidor Rodando!"
names_pid=$(sed -n 's/.*(omniNames, processo \([0-9]*\), dados em \([^)]*\)).*/\1/p' "$E2E_TMP/server.out")
names_dir=$(sed -n 's/.*(omniNames, processo \([0-9]*\), dados em \([^)]*\)).*/\2/p' "$E2E_TMP/server.out")
[ -n "$names_pid" ] && [ -d "$names_dir" ] || fail "processo ou pasta do servico de nomes: $(cat "$E2E_TMP/server.out")"
tr '\0' ' ' <"/proc/$names_pid/cmdline" | grep -q "omniNames .*-ORBendPoint giop:tcp:127.0.0.1:9001" ||
  fail "o servico de nomes nao escuta so em 127.0.0.1: $(tr '\0' ' ' <"/proc/$names_pid/cmdline")"
[ "$(ps -o ppid= -p "$names_pid" | tr -d ' ')" = "${GAME_PID[server]}" ] ||
  fail "o servico de nomes nao e filho do servidor"
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

launch client cliente 127.0.0.1
expect_output client "VOCE EH O PLAYER: 1"
new_window "$server_window" >/dev/null || fail "a janela do cliente nao abriu"
shows_runner1() { [ "$(runner_pose "$1" 1)" != none ]; }
wait_for_shot 20 01_client_joined 0 shows_runner1 ||
  fail "o cliente nao mostra o corredor 1 (01_client_joined.png)"

# The server ends in order (SIGTERM, as Ctrl+C) and takes its naming service along.
kill -TERM "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
expect_output server "Servico de nomes encerrado."
wait "${GAME_PID[server]}"; status=$?
[ "$status" -eq 0 ] || fail "o servidor terminou com status $status"
grep -q "Pressione Enter" "$E2E_TMP/server.out" && fail "o servidor com argumentos pediu Enter"
kill -0 "$names_pid" 2>/dev/null && fail "o servico de nomes (processo $names_pid) continua rodando"
[ -e "$names_dir" ] && fail "a pasta do servico de nomes ficou: $names_dir"
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
grep -q "Servico de nomes iniciado" "$E2E_TMP/server2.out" &&
  fail "o servidor iniciou outro servico de nomes: $(cat "$E2E_TMP/server2.out")"
kill -TERM "${GAME_PID[server2]}"
expect_output server2 "Servidor encerrado."
wait "${GAME_PID[server2]}" || fail "o segundo servidor terminou com erro"
kill -0 "$NAMES_PID" 2>/dev/null || fail "o servidor encerrou um servico de nomes que nao iniciou"
echo "ok: servidor em um passo (capturas em $artifacts)"
