#!/usr/bin/env bash
# A stranger at an address of its own (127.0.0.2, tests/e2e/source_address.cpp) abuses a real
# server hosted in one step, with a peer built from the published interfaces alone
# (tests/e2e/griefer.cpp), while two real players race: player 1 our client (it joined with a
# secret), player 2 a classic client (CORRIDA_FETCH=classic: the original operations, its number
# tied to its address). Each attack is refused or ignored and counted, and the race goes on:
# - logins until refused, fetching nothing: the real players still get in;
# - alterarGravidade(2) every 30 ms: runner 2 is never seen upside down;
# - fetching player 1's and player 2's queues: nothing is handed out, the players keep their pace;
# - pausar() every 50 ms: the race never stops;
# - usarCheat() every 50 ms: no stage ends.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" hostile_peers
cd "$build"

start_xvfb
# The server marks the pictures of the classic fetch too, so both players' replay logs count them.
start_game server CORRIDA_BITMAP_NAMES="$E2E_TMP/server.names" CORRIDA_MARK_FRAMES=1 -- servidor 2
expect_output server "Servidor Rodando!" 30
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

# stranger NAME MODE ARGS...: the griefer from 127.0.0.2, in the background.
stranger() {
  local name="$1"
  shift
  LD_PRELOAD="$build/tests/libsource_address.so" CORRIDA_SOURCE_ADDRESS=127.0.0.2 \
    "$build/tests/griefer" 127.0.0.1 "$@" >"$E2E_TMP/$name.out" 2>&1 &
  GAME_PID[$name]=$!
  E2E_PIDS+=($!)
}
# stranger_result NAME: waits for the griefer to end; its summary line in $summary.
stranger_result() {
  wait "${GAME_PID[$1]}" || fail "o griefer $1 falhou: $(cat "$E2E_TMP/$1.out")"
  summary=$(tail -n 1 "$E2E_TMP/$1.out")
  echo "$summary" | tee -a "$artifacts/checks.txt"
}
# count SUMMARY WORD: the number before WORD in a summary line.
count() { sed -n "s/.* \([0-9]\+\) $2.*/\1/p" <<<"$1"; }
count_lines() { wc -l <"$1" 2>/dev/null || echo 0; }

# join_until_admitted NAME NUMBER [VAR=VALUE...]: a client that joins again each time the server
# says it is full, for up to 40 s; the one admitted is NAME.
join_until_admitted() {
  local name="$1" number="$2" try=0 deadline=$(($(date +%s) + 40))
  shift 2
  while [ "$(date +%s)" -lt "$deadline" ]; do
    try=$((try + 1))
    start_game "$name.$try" "$@"
    answer "$name.$try" 2 127.0.0.1
    admitted_or_full() {
      grep -qF -e "VOCE EH O PLAYER" -e "O servidor ja esta cheio" "$E2E_TMP/$name.$try.out"
    }
    wait_until 20 admitted_or_full || fail "$name nao entrou nem foi recusado: $(cat "$E2E_TMP/$name.$try.out")"
    if grep -qF "VOCE EH O PLAYER: $number" "$E2E_TMP/$name.$try.out"; then
      GAME_PID[$name]=${GAME_PID[$name.$try]}
      GAME_FD[$name]=${GAME_FD[$name.$try]}
      cp "$E2E_TMP/$name.$try.out" "$E2E_TMP/$name.out.first"
      ln -sf "$E2E_TMP/$name.$try.out" "$E2E_TMP/$name.out"
      echo "$name entrou como jogador $number na tentativa $try" | tee -a "$artifacts/checks.txt"
      return 0
    fi
    grep -qF "O servidor ja esta cheio" "$E2E_TMP/$name.$try.out" ||
      fail "$name recebeu outro numero: $(cat "$E2E_TMP/$name.$try.out")"
    finish_game "$name.$try"
    sleep 1
  done
  fail "$name nao conseguiu entrar em 40 s"
}

# Logins until refused, and on, for 30 s: the stranger takes what it can and plays none of it.
stranger logins logins 50 30
sleep 1
join_until_admitted player1 1 CORRIDA_REPLAY_LOG="$E2E_TMP/player1.log"
window1=$(new_window "$server_window") || fail "a janela do jogador 1 nao abriu"
known=$(game_windows)
join_until_admitted player2 2 CORRIDA_REPLAY_LOG="$E2E_TMP/player2.log" CORRIDA_FETCH=classic
window2=$(new_window "$known") || fail "a janela do jogador 2 nao abriu"
xdotool windowmove "$window1" 0 0
xdotool windowmove "$window2" 650 0
stranger_result logins
[ "$(count "$summary" recusadas)" -gt 0 ] || fail "nenhuma entrada do estranho foi recusada: $summary"
wait_lines "$E2E_TMP/player1.log" 40 60 || fail "a corrida nao chegou ao jogador 1"

# Forged flips of player 2 every 30 ms for 8 s; player 2's window is looked at all the while.
stranger flips flip 2 30 8
upside_down=0
looks=0
while running "${GAME_PID[flips]}"; do
  shot flipcheck 650
  looks=$((looks + 1))
  case "$(runner_pose flipcheck 2)" in flipped*) upside_down=$((upside_down + 1)) ;; esac
  sleep 0.3
done
stranger_result flips
echo "runner 2 de cabeca para baixo em $upside_down de $looks olhadas" | tee -a "$artifacts/checks.txt"
[ "$looks" -ge 5 ] || fail "a janela do jogador 2 foi olhada so $looks vezes"
[ "$upside_down" -eq 0 ] || fail "o estranho virou o corredor 2"
[ "$(count "$summary" aceitas)" -eq 0 ] || fail "viradas forjadas aceitas: $summary"
[ "$(count "$summary" recusadas)" -gt 100 ] || fail "viradas forjadas nao recusadas: $summary"

# Both queues fetched by the stranger for 6 s: nothing handed out; the players keep their pace.
stranger steal1 steal 1 10 6
stranger steal2 steal 2 10 6
seen1=$(count_lines "$E2E_TMP/player1.log")
seen2=$(count_lines "$E2E_TMP/player2.log")
for victim in steal1 steal2; do
  stranger_result "$victim"
  [ "$(count "$summary" respostas)" -eq 0 ] || fail "o estranho levou desenho: $summary"
  [ "$(count "$summary" recusadas)" -gt 100 ] || fail "buscas alheias nao recusadas: $summary"
done
# Whatever the stage shows meanwhile (a race, or the countdown after everybody fell), both players
# keep getting pictures.
got1=$(($(count_lines "$E2E_TMP/player1.log") - seen1))
got2=$(($(count_lines "$E2E_TMP/player2.log") - seen2))
echo "quadros durante o roubo de filas: jogador 1 $got1, jogador 2 $got2" | tee -a "$artifacts/checks.txt"
[ "$got1" -ge 6 ] && [ "$got2" -ge 6 ] || fail "um jogador parou de receber quadros durante o roubo"

# pictures_showing NAME: how many of the server's pictures so far had bitmap NAME bound.
pictures_showing() { awk -v name="$1" '{ for (i = 2; i <= NF; i++) if ($i == name) n++ } END { print n + 0 }' "$E2E_TMP/server.names"; }

# Pauses every 50 ms for 8 s: the pause picture never comes.
stranger pauses pause 50 8
seen1=$(count_lines "$E2E_TMP/player1.log")
stranger_result pauses
got1=$(($(count_lines "$E2E_TMP/player1.log") - seen1))
echo "pausas do estranho: $(pictures_showing paused) quadros com a pausa; jogador 1: $got1 quadros" |
  tee -a "$artifacts/checks.txt"
[ "$(pictures_showing paused)" -eq 0 ] || fail "o estranho pausou a corrida"
[ "$got1" -ge 8 ] || fail "o jogador 1 parou de receber quadros durante as pausas do estranho"
[ "$(count "$summary" aceitas)" -eq 0 ] || fail "pausas do estranho aceitas: $summary"

# The cheat every 50 ms for 25 s, long enough for a working cheat to win both stages: the winner
# picture never comes (nobody races to the finish line here).
stranger cheats cheat 50 25
seen1=$(count_lines "$E2E_TMP/player1.log")
stranger_result cheats
got1=$(($(count_lines "$E2E_TMP/player1.log") - seen1))
echo "truques do estranho: $(pictures_showing vencedor_folha) quadros do vencedor; jogador 1: $got1 quadros" |
  tee -a "$artifacts/checks.txt"
[ "$(pictures_showing vencedor_folha)" -eq 0 ] || fail "o truque do estranho encerrou as fases"
[ "$got1" -ge 25 ] || fail "o jogador 1 parou de receber quadros durante os truques"

kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
grep -F "Pedidos recusados:" "$E2E_TMP/server.out" | tee -a "$artifacts/checks.txt"
# The players' sessions end in order with the server.
for player in player1 player2; do
  expect_output "$player" "Pressione Enter para sair" 15
done
echo "ok: o estranho nao atrapalhou a corrida"
