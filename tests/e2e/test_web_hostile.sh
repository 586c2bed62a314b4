#!/usr/bin/env bash
# Strangers abuse the web port of a real server hosted in one step (corrida servidor 2 --web PORT)
# while two players race on it through their WebSockets (tests/e2e/web_player.py, at 127.0.0.1).
# Each stranger has a loopback address of its own (tests/e2e/web_attacks.py, curl --interface):
# - 127.0.0.2: a POST, an unknown path, a traversal (/Img/../CMakeCache.txt), a request head over
#   4096 bytes; WebSocket messages over 64 bytes, malformed, binary, and 100 at once;
# - 127.0.0.3: a request that never ends, a header line every half second;
# - 127.0.0.4: 300 connections that send part of a request line and stop;
# - 127.0.0.5: 1000 WebSockets at once, held 10 s, each that opens watching.
# Each is refused: answered with an error or closed, the slow ones within 5 s, all but 32 of an
# address' connections at once. The players keep their pace before, during and after (pictures a
# second while the server draws a race, the longest wait between two pictures, pictures lost), a
# page at the flood's address can watch once the flood has gone, and the server's closing count of
# refusals holds at least what was tried.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" web_hostile
cd "$build"
checks="$artifacts/checks.txt"

start_xvfb
read -r web < <(free_ports 1)
host_server server 2 --web "$web"
expect_output server "Pagina para navegadores na porta $web"

now_ms() { /usr/bin/python3 -c 'import time; print(int(time.monotonic() * 1000))'; }
note() { echo "$*" | tee -a "$checks"; }

# web_peer NAME ASK: a page's part (join or watch) at 127.0.0.1, in the background; its pictures
# in $E2E_TMP/NAME.log.
web_peer() {
  /usr/bin/python3 "$here/web_player.py" 127.0.0.1 "$web" "$2" "$E2E_TMP/$1.log" \
    >"$E2E_TMP/$1.out" 2>&1 &
  GAME_PID[$1]=$!
  E2E_PIDS+=($!)
}
# attack SOURCE WORD...: web_attacks.py from SOURCE; its last line in $outcome.
attack() {
  local source="$1"
  shift
  outcome=$(/usr/bin/python3 "$here/web_attacks.py" 127.0.0.1 "$web" "$source" "$@") ||
    fail "o ataque $* falhou: $outcome"
  outcome=$(tail -n 1 <<<"$outcome")
  note "$source: $outcome"
}
# attack_in_background NAME SOURCE WORD...: the same, its lines in $E2E_TMP/NAME.txt.
attack_in_background() {
  local name="$1" source="$2"
  shift 2
  /usr/bin/python3 "$here/web_attacks.py" 127.0.0.1 "$web" "$source" "$@" >"$E2E_TMP/$name.txt" 2>&1 &
  GAME_PID[$name]=$!
  E2E_PIDS+=($!)
}
# background_result NAME SECONDS: waits for that attack to end; its last line in $outcome.
background_result() {
  exited() { ! running "${GAME_PID[$1]}"; }
  wait_until "$2" exited "$1" || fail "o ataque $1 nao terminou em $2 s"
  wait "${GAME_PID[$1]}" || fail "o ataque $1 falhou: $(cat "$E2E_TMP/$1.txt")"
  outcome=$(tail -n 1 "$E2E_TMP/$1.txt")
  note "$1: $outcome"
}
# figure TEXT WORD: the number after WORD in TEXT.
figure() { awk -v w="$2" '{ for (i = 1; i < NF; i++) if ($i == w) print $(i + 1) }' <<<"$1"; }
# http SOURCE METHOD PATH: the status curl got for that request ("000" when none).
http() {
  curl -s -o "$E2E_TMP/body" -w '%{http_code}' --path-as-is --max-time 5 --interface "$1" \
    -X "$2" "http://127.0.0.1:$web$3" || true
}

web_peer player1 join
wait_for_text "$E2E_TMP/player1.out" "player 1 " 10 || fail "o jogador 1 nao entrou"
web_peer player2 join
wait_for_text "$E2E_TMP/player2.out" "player 2 " 10 || fail "o jogador 2 nao entrou"
wait_lines "$E2E_TMP/player1.log" 30 30 || fail "a corrida nao chegou ao jogador 1"

# pace LOG FROM TO: the pictures in LOG that came between FROM and TO (ms): "RATE RACE_MS LONGEST
# LOST COUNT", RATE the pictures a second while they came less than 300 ms apart (a race; the
# countdown draws one a second) over RACE_MS of such stretches, LONGEST the longest wait between two
# pictures, LOST the server's pictures that never came.
pace() {
  awk -v from="$2" -v to="$3" '
    $1 >= from && $1 < to && seen {
      gap = $1 - last; if (gap > longest) longest = gap
      if (gap < 300) { race += gap; fast++ }
      lost += $2 - number - 1; n++
    }
    { last = $1; number = $2; seen = 1 }
    END { printf "%.1f %d %d %d %d\n", race ? fast * 1000 / race : 0, race, longest, lost, n }' "$1"
}
paces=()
# steady NAME FROM TO: both players kept their pace between FROM and TO.
steady() {
  local player rate race longest lost count
  for player in player1 player2; do
    read -r rate race longest lost count < <(pace "$E2E_TMP/$player.log" "$2" "$3")
    note "$1, $player: $rate quadros/s em $race ms de corrida, maior espera $longest ms, $lost perdidos de $((count + lost))"
    paces+=("$1 $player $rate")
    [ "$race" -ge 1500 ] || fail "$player viu so $race ms de corrida ($1)"
    awk -v r="$rate" 'BEGIN { exit !(r >= 20) }' || fail "$player recebeu $rate quadros/s ($1)"
    [ "$longest" -lt 2000 ] || fail "$player esperou $longest ms por um quadro ($1)"
    [ $((lost * 20)) -le $((count + lost)) ] || fail "$player perdeu $lost quadros ($1)"
  done
}

before=$(now_ms)
sleep 10
during=$(now_ms)

# Requests: only GET of the files served.
[ "$(http 127.0.0.2 GET /)" = 200 ] || fail "a pagina nao foi servida"
[ "$(http 127.0.0.2 POST /)" = 405 ] || fail "POST nao foi recusado"
[ "$(http 127.0.0.2 GET /nada-aqui.html)" = 404 ] || fail "um caminho desconhecido nao foi recusado"
[ "$(http 127.0.0.2 GET /Img/../CMakeCache.txt)" = 404 ] || fail "a travessia nao foi recusada"
grep -qF CMAKE "$E2E_TMP/body" && fail "a travessia leu CMakeCache.txt"
note "127.0.0.2: POST 405, caminho desconhecido 404, /Img/../CMakeCache.txt 404"
requests_tried=3
attack 127.0.0.2 head
[[ "$outcome" == *" 200"* ]] && fail "um cabecalho de 5000 bytes foi atendido"
requests_tried=$((requests_tried + 1))

# Messages: each closes its WebSocket.
for kind in big malformed binary flood; do
  attack 127.0.0.2 message "$kind"
  [[ "$outcome" == *"fechada"* ]] || fail "a mensagem $kind nao fechou a conexao"
  [ "$kind" = big ] || [[ "$outcome" == *"fechada 1008"* ]] || fail "a mensagem $kind: $outcome"
done
messages_tried=4

# The slow and the many, together: a slow sender, half-open requests, a flood of WebSockets.
attack_in_background slow 127.0.0.3 slow
attack_in_background halfopen 127.0.0.4 halfopen 300
attack_in_background sockets 127.0.0.5 sockets 1000 10
background_result slow 15
seconds=$(figure "$outcome" em)
awk -v s="$seconds" 'BEGIN { exit !(s >= 4 && s <= 7) }' || fail "o remetente lento: $outcome"
requests_tried=$((requests_tried + 1))
background_result halfopen 15
held=$(figure "$outcome" cortadas)
refused_halfopen=$(figure "$outcome" recusadas)
[ "$(figure "$outcome" abertas)" = 0 ] || fail "pedidos pela metade ficaram abertos: $outcome"
[ "$held" -le 32 ] && [ $((held + refused_halfopen)) -eq 300 ] || fail "pedidos pela metade: $outcome"
requests_tried=$((requests_tried + held))
background_result sockets 20
opened=$(figure "$outcome" abertas)
refused_sockets=$(figure "$outcome" recusadas)
[ "$opened" -le 32 ] && [ "$refused_sockets" -ge 968 ] || fail "a inundacao de websockets: $outcome"
[ "$(figure "$outcome" sem_resposta)" = 0 ] || fail "websockets sem resposta: $outcome"
connections_tried=$((refused_halfopen + refused_sockets))
after=$(now_ms)

# The flood has gone: a page at its address loads and watches (once the server has seen the
# flood's connections close).
page_served() { [ "$(http 127.0.0.5 GET /)" = 200 ]; }
wait_until 10 page_served || fail "a pagina nao foi servida depois da inundacao"
watched() {
  /usr/bin/python3 "$here/web_player.py" 127.0.0.1 "$web" watch "$E2E_TMP/watcher.log" 127.0.0.5 \
    >"$E2E_TMP/watcher.out" 2>&1 &
  GAME_PID[watcher]=$!
  E2E_PIDS+=($!)
  answered_or_ended() { grep -qF "porta local" "$E2E_TMP/watcher.out" || ! running "${GAME_PID[watcher]}"; }
  wait_until 5 answered_or_ended
  kill "${GAME_PID[watcher]}" 2>/dev/null
  grep -F "spectator " "$E2E_TMP/watcher.out" >/dev/null
}
wait_until 15 watched || fail "a pagina nova nao assistiu: $(cat "$E2E_TMP/watcher.out")"
note "127.0.0.5 depois da inundacao: GET / 200, $(sed -n 1p "$E2E_TMP/watcher.out")"

sleep 10
end=$(now_ms)
steady antes "$before" "$during"
steady durante "$during" "$after"
steady depois "$after" "$end"
for player in player1 player2; do
  grep -qF fechada "$E2E_TMP/$player.out" && fail "o servidor fechou o $player"
done

kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
refusals=$(grep -F "Pedidos recusados:" "$E2E_TMP/server.out")
note "$refusals"
count_before() { sed -n "s/.* \([0-9]\+\) $1.*/\1/p" <<<"$refusals"; }
requests=$(count_before "pedidos web")
connections=$(count_before "conexoes web alem do limite")
messages=$(count_before "mensagens web")
note "tentados: $requests_tried pedidos web, $connections_tried conexoes alem do limite, $messages_tried mensagens web"
[ "${requests:-0}" -ge "$requests_tried" ] || fail "pedidos web contados $requests, tentados $requests_tried"
[ "${connections:-0}" -ge "$connections_tried" ] ||
  fail "conexoes web contadas $connections, recusadas $connections_tried"
[ "${messages:-0}" -ge "$messages_tried" ] || fail "mensagens web contadas $messages, tentadas $messages_tried"
note "ritmo (quadros/s de corrida): ${paces[*]}"
echo "ok: a porta web recusou os estranhos e a corrida seguiu"
