#!/usr/bin/env bash
# A flood of idle connections does not end the server. Everything runs with the common limit of
# 1024 open files. A hosted server for one player; a peer opens 1100 TCP connections to the
# server's port and sends nothing (two processes of 550, each within its own limit). The server
# stays up without spinning a core, refuses what its descriptors cannot afford and says so, keeps
# its threads bounded, and closes the idle connections it took; then a real client joins and its
# race goes on.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" connection_flood
cd "$build"

ulimit -n 1024 || fail "nao foi possivel limitar os arquivos abertos a 1024"

start_xvfb
host_server server 1
server=${GAME_PID[server]}

# The server's port: hosted in one step it serves its names and its objects on 9001 alone.
server_port() {
  ss -ltnpH | awk -v pid="pid=$server," '$0 ~ pid { n = split($4, a, ":"); print a[n] }' | sed -n 1p
}
port=$(server_port)
[ -n "$port" ] || fail "a porta do servidor nao foi encontrada"

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$server/stat"; }
threads() { awk '/^Threads:/ { print $2 }' "/proc/$server/status"; }
resident_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$server/status"; }
# busy_percent SECONDS: the server's CPU time over the next SECONDS, in % of one core.
busy_percent() {
  local before after
  before=$(cpu_ticks)
  sleep "$1"
  after=$(cpu_ticks)
  echo $(((after - before) * 100 / ($(getconf CLK_TCK) * $1)))
}

echo "antes: cpu $(busy_percent 2)%, threads $(threads), VmRSS $(resident_kb) kB"

flood_start=$(date +%s%N)
for part in 1 2; do
  python3 "$build/../tests/e2e/connection_flood.py" 127.0.0.1 "$port" 550 \
    >"$E2E_TMP/flood$part.txt" 2>&1 &
  E2E_PIDS+=($!)
done
# flood_figure WORD: the sum over both flooders' last lines of the figure after WORD.
flood_figure() {
  local part sum=0 value
  for part in 1 2; do
    value=$(tail -n 1 "$E2E_TMP/flood$part.txt" 2>/dev/null |
      awk -v w="$1" '{ for (i = 1; i < NF; i++) if ($i == w) print $(i + 1) }')
    [ -n "$value" ] || return 1
    sum=$((sum + value))
  done
  echo "$sum"
}
# Settled: every attempt answered, and the server has refused what it would not hold (it accepts
# and closes at its own pace; the flooders count as open what still waits in its accept queue).
flood_settled() {
  local pending open closed
  pending=$(flood_figure pendentes) && open=$(flood_figure abertas) &&
    closed=$(flood_figure fechadas) && [ "$pending" = 0 ] && [ $((open + closed)) -eq 1100 ] &&
    [ "$open" -le 400 ]
}
wait_until 30 flood_settled ||
  fail "o servidor nao recusou as conexoes em excesso: $(tail -q -n 1 "$E2E_TMP"/flood*.txt)"
held=$(flood_figure abertas)
settled_ms=$((($(date +%s%N) - flood_start) / 1000000))
expect_output server "Conexoes recusadas:" 10

peak_threads=$(threads)
cpu=$(busy_percent 3)
# The threads of the refused connections end once idle for two seconds; the taken ones' stay.
few_threads() { during_threads=$(threads) && [ "$during_threads" -le 250 ]; }
wait_until 10 few_threads || fail "o servidor continua com $during_threads threads depois da inundacao"
echo "durante: $held conexoes abertas (recusas feitas em $settled_ms ms), cpu ${cpu}%, threads $peak_threads no pico e $during_threads depois, VmRSS $(resident_kb) kB"
running "$server" || fail "o servidor terminou durante a inundacao"
[ "$cpu" -lt 50 ] || fail "o servidor gasta ${cpu}% de um nucleo durante a inundacao"
grep -F "Nao foi possivel carregar a fase" "$E2E_TMP/server.out" &&
  fail "a inundacao impediu a fase de carregar"

# The connections the server took are idle: it closes them.
flood_closed() { [ "$(flood_figure abertas)" = 0 ]; }
closing_start=$(date +%s%N)
wait_until 40 flood_closed || fail "o servidor nao fechou as conexoes ociosas: $(flood_figure abertas) abertas"
echo "depois: fechadas em $((($(date +%s%N) - closing_start) / 1000000)) ms; cpu $(busy_percent 2)%, threads $(threads), VmRSS $(resident_kb) kB"

# A real player joins and races, the flooders still running: the countdown and at least four
# seconds of race reach it.
start_client client 1 CORRIDA_REPLAY_LOG="$E2E_TMP/client.log"
wait_lines "$E2E_TMP/client.log" 130 60 || fail "a corrida nao chegou ao cliente"
pace=$(python3 "$build/../scripts/replay-stats" 3 "$E2E_TMP/client.log" | awk '{ print $1, $2, $3 }')
echo "ritmo do cliente (servidor / cliente quadros/s, perdidos): $pace"
read -r server_fps client_fps _ <<<"$pace"
# The race runs at the server's usual pace (about 30 pictures a second) and the client keeps it.
awk -v s="$server_fps" -v c="$client_fps" 'BEGIN { exit !(s >= 20 && c >= 0.95 * s) }' ||
  fail "a corrida do cliente nao tem o ritmo do servidor: $pace"
running "$server" || fail "o servidor terminou"

kill -TERM "${GAME_PID[client]}"
finish_game client
kill -INT "$server"
expect_output server "Servidor encerrado."
expect_output server "Conexoes recusadas enquanto o servidor rodou:"
wait "$server"; status=$?
[ "$status" -eq 0 ] || fail "o servidor terminou com status $status"
echo "ok: o servidor sobreviveu a 1100 conexoes ociosas e o jogador correu"
