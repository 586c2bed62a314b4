#!/usr/bin/env bash
# A client is killed (SIGKILL) while its fetches are in flight (a client on the frames fetch keeps
# several calls waiting at the server at every moment): the server keeps the other player's pace.
# The other client's replay pace is measured over the race before the kill and after it.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" client_killed_mid_call
cd "$build"

start_xvfb
start_naming_service
start_server server 2
start_client witness 1 CORRIDA_REPLAY_LOG="$E2E_TMP/witness.log"
start_client victim 2 CORRIDA_REPLAY_LOG="$E2E_TMP/victim.log"
lines() { wc -l <"$1"; }
# pace LOG: "SERVER_FPS CLIENT_FPS MISSING" over the last 4 s of LOG.
pace() { python3 "$build/../scripts/replay-stats" 4 "$1" | awk '{ print $1, $2, $3 }'; }
# After the countdown (five one-second pictures), five seconds of race.
wait_lines "$E2E_TMP/witness.log" 160 60 || fail "a corrida nao chegou ao cliente 1"
before=$(pace "$E2E_TMP/witness.log")

# The victim's calls in flight: its established TCP connections other than the naming service's.
tcp_calls() {
  python3 - "$1" <<'PY'
import os, sys
pid = sys.argv[1]
inodes = {os.readlink(f"/proc/{pid}/fd/{fd}")[8:-1] for fd in os.listdir(f"/proc/{pid}/fd")
          if os.readlink(f"/proc/{pid}/fd/{fd}").startswith("socket:[")}
calls = 0
for line in open(f"/proc/{pid}/net/tcp").readlines()[1:]:
    f = line.split()
    if f[3] == "01" and f[9] in inodes and int(f[2].split(":")[1], 16) != 9001:
        calls += 1
print(calls)
PY
}
# The count changes as calls come and go: it is looked at until it shows three.
calls_in_flight() { victim_calls=$(tcp_calls "${GAME_PID[victim]}") && [ "$victim_calls" -ge 3 ]; }
wait_until 10 calls_in_flight ||
  fail "o cliente 2 nao tinha chamadas em andamento ($victim_calls conexoes)"
kill -KILL "${GAME_PID[victim]}"
killed_at=$(lines "$E2E_TMP/witness.log")
wait_lines "$E2E_TMP/witness.log" $((killed_at + 150)) 30 ||
  fail "o cliente 1 parou depois da morte do cliente 2"
after=$(pace "$E2E_TMP/witness.log")
cp "$E2E_TMP/witness.log" "$artifacts/"
echo "ritmo do cliente 1 (servidor / cliente quadros/s, quadros perdidos): antes $before, depois $after"
read -r server_before client_before _ <<<"$before"
read -r server_after client_after missing_after <<<"$after"
# The server's pace after the kill is within 10% of its pace before, and the witness keeps it.
awk -v sb="$server_before" -v cb="$client_before" -v sa="$server_after" -v ca="$client_after" \
  'BEGIN { exit !(sb >= 20 && cb >= 0.95 * sb && sa >= 0.9 * sb && ca >= 0.95 * sa) }' ||
  fail "o ritmo caiu: antes $before, depois $after"
[ "$missing_after" -le 3 ] || fail "o cliente 1 perdeu $missing_after quadros depois da morte do cliente 2"
kill -0 "${GAME_PID[server]}" 2>/dev/null || fail "o servidor terminou quando o cliente morreu"
kill -TERM "${GAME_PID[witness]}"
finish_game witness
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
finish_game server
echo "ok: o servidor manteve o ritmo do cliente 1 depois da morte do cliente 2"
