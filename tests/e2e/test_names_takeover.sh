#!/usr/bin/env bash
# The game's names cannot be taken over on a server hosted in one step: a peer built from the
# published interfaces (tests/e2e/name_thief.cpp) tries to rebind "fifo", "login" and "controle"
# to its own objects, to unbind them, to bind 20 names of 1 MB each and every other write; each is
# refused with NO_PERMISSION, the three names still lead to the server, the server stays small
# and reports the first refusal of each kind once and the count of all when it ends; a second
# server cannot register over it; two real clients then join the real server and race. Against a
# naming service anyone can write to (omniNames), the peer does take "login" over, and our client
# refuses to join three objects of two servers.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" names_takeover
cd "$build"
thief="$build/tests/name_thief"

if (exec 3<>/dev/tcp/127.0.0.1/9001) 2>/dev/null; then fail "a porta 9001 ja esta em uso"; fi
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
# outcome FILE ATTEMPT: what the thief got for ATTEMPT ("ok", an exception's name, or nothing).
outcome() { sed -n "s/^$2: //p" "$1"; }

start_xvfb
# Hosted in one step (as host_server does), its recording's bitmap names logged picture by picture.
start_game server CORRIDA_BITMAP_NAMES="$E2E_TMP/server.names" -- servidor 2
expect_output server "Servidor Rodando!" 30
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

# The thief tries everything; the server answers each with NO_PERMISSION. The server's memory is
# compared once it holds the stage (its picture is bound in the recording) and has settled.
stage_loaded() { grep -q mapaVisual "$E2E_TMP/server.names" 2>/dev/null; }
wait_until 30 stage_loaded || fail "o servidor nao carregou a fase"
settled() {
  local first
  first=$(rss_kb "${GAME_PID[server]}")
  sleep 1
  before=$(rss_kb "${GAME_PID[server]}")
  [ $((before - first)) -lt 256 ]
}
wait_until 30 settled || fail "a memoria do servidor nao se estabilizou"
"$thief" 127.0.0.1 all >"$E2E_TMP/thief.out" 2>&1 || fail "o ladrao falhou: $(cat "$E2E_TMP/thief.out")"
after=$(rss_kb "${GAME_PID[server]}")
cp "$E2E_TMP/thief.out" "$artifacts/"
attempts=("rebind fifo" "rebind login" "rebind controle" "unbind fifo" "unbind login"
  "unbind controle" "bind_context ctx" "rebind_context fifo" "new_context -"
  "bind_new_context ctx2" "destroy -")
for i in $(seq 1 20); do attempts+=("bind grande $i"); done
for attempt in "${attempts[@]}"; do
  got=$(outcome "$E2E_TMP/thief.out" "$attempt")
  [ "$got" = NO_PERMISSION ] || fail "$attempt: o ladrao recebeu \"$got\" em vez de NO_PERMISSION"
done
for name in fifo login controle; do
  got=$(outcome "$E2E_TMP/thief.out" "$name")
  [ "$got" = "do servidor" ] || fail "o nome $name leva a \"$got\" depois das tentativas do ladrao"
done
echo "memoria do servidor: $before kB antes, $after kB depois das tentativas"
[ $((after - before)) -lt 8192 ] || fail "o servidor cresceu de $before kB para $after kB"
# One console line per kind refused, however many came.
for kind in rebind unbind bind bind_context rebind_context new_context bind_new_context destroy; do
  lines=$(grep -c "um pedido de $kind foi recusado" "$E2E_TMP/server.out")
  [ "$lines" = 1 ] || fail "$lines linhas para os pedidos de $kind recusados: $(cat "$E2E_TMP/server.out")"
done

# A second server on this machine finds port 9001 answering and tries to register there: refused.
start_game second -u DISPLAY -- servidor 1
expect_output second "recusou o registro (NO_PERMISSION)"
wait "${GAME_PID[second]}" || fail "o segundo servidor terminou com erro"
grep -q "Servidor Rodando!" "$E2E_TMP/second.out" && fail "o segundo servidor tomou os nomes"

# Two real clients join the real server and race: each replays pictures, and client 1's window
# shows both runners.
start_client client1 1 CORRIDA_REPLAY_LOG="$E2E_TMP/client1.log"
known=$(game_windows)
start_client client2 2 CORRIDA_REPLAY_LOG="$E2E_TMP/client2.log"
client2_window=$(new_window "$known") || fail "a janela do cliente 2 nao abriu"
xdotool windowmove "$client2_window" 650 0
wait_lines "$E2E_TMP/client1.log" 100 60 || fail "o cliente 1 nao recebeu a corrida"
wait_lines "$E2E_TMP/client2.log" 100 60 || fail "o cliente 2 nao recebeu a corrida"
both_runners() { [ "$(runner_pose "$1" 1)" != none ] && [ "$(runner_pose "$1" 2)" != none ]; }
wait_for_shot 20 01_race_after_thief 0 both_runners ||
  fail "o cliente 1 nao mostra os dois corredores (01_race_after_thief.png)"
replayed=$(wc -l <"$E2E_TMP/client1.log")
wait_lines "$E2E_TMP/client1.log" $((replayed + 30)) 20 || fail "a corrida parou"

kill -TERM "${GAME_PID[client1]}" "${GAME_PID[client2]}"
finish_game client1
finish_game client2
kill -TERM "${GAME_PID[server]}"
expect_output server "Pedidos de escrita recusados nos nomes deste servidor: 32 (bind 20, rebind 4, bind_context 1, rebind_context 1, unbind 3, new_context 1, bind_new_context 1, destroy 1)."
expect_output server "Servidor encerrado."
wait "${GAME_PID[server]}" || fail "o servidor terminou com erro"

# A naming service anyone can write to: the thief's login replaces the server's, and our client
# sees that the three objects are not one server's and does not join.
start_naming_service
start_server server2 2 -u DISPLAY
"$thief" 127.0.0.1 login >"$E2E_TMP/thief2.out" 2>&1 &
thief_pid=$!
E2E_PIDS+=($thief_pid)
wait_for_text "$E2E_TMP/thief2.out" "Ladrao pronto" 20 || fail "o ladrao nao iniciou: $(cat "$E2E_TMP/thief2.out")"
[ "$(outcome "$E2E_TMP/thief2.out" "rebind login")" = ok ] ||
  fail "o servico de nomes recusou o ladrao: $(cat "$E2E_TMP/thief2.out")"
windows_before=$(game_windows)
start_game victim
answer victim 2 127.0.0.1
expect_output victim "Os nomes fifo, login e controle do servico de nomes em 127.0.0.1:9001 levam a servidores diferentes"
finish_game victim
cp "$E2E_TMP/thief2.out" "$artifacts/"
grep -q "LADRAO: logar" "$E2E_TMP/thief2.out" && fail "o cliente entrou no ladrao"
grep -q "VOCE EH O PLAYER" "$E2E_TMP/victim.out" && fail "o cliente entrou num servidor"
[ "$(game_windows)" = "$windows_before" ] || fail "o cliente recusado abriu uma janela"
kill -INT "${GAME_PID[server2]}"
expect_output server2 "Servidor encerrado."
finish_game server2
echo "ok: os nomes nao podem ser tomados; o cliente recusa objetos de dois servidores"
