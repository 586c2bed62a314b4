#!/usr/bin/env bash
# A client stopped for 40 s (as a suspended laptop) while the match goes on to stage 2 comes back
# with the server's bitmaps: once resumed it replays the new stage without a missing bitmap.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" network_stall
cd "$build"

start_xvfb
start_naming_service
# F10 ends a stage on a server whose host allows it.
host_server server 2 --truques
start_client sleeper 1 CORRIDA_REPLAY_LOG="$E2E_TMP/sleeper.log"
sleeper_window=$(new_window "") || fail "a janela do cliente 1 nao abriu"
start_client player 2 CORRIDA_REPLAY_LOG="$E2E_TMP/player.log"
player_window=$(new_window "$sleeper_window") || fail "a janela do cliente 2 nao abriu"

shows_runner1() { [ "$(runner_pose "$1" 1)" != none ]; }
# count_lines FILE
count_lines() { wc -l <"$1" 2>/dev/null || echo 0; }
# wait_lines FILE N SECONDS
wait_lines() {
  for _ in $(seq 1 $(($3 * 10))); do [ "$(count_lines "$1")" -ge "$2" ] && return 0; sleep 0.1; done
  return 1
}
wait_lines "$E2E_TMP/sleeper.log" 40 60 || fail "o cliente 1 nao recebeu a corrida"

kill -STOP "${GAME_PID[sleeper]}"
stopped_at=$(date +%s)
# Meanwhile player 2 ends stage 1 as won (F10): stage 1's bitmaps go, stage 2's come.
wait_lines "$E2E_TMP/player.log" $(($(count_lines "$E2E_TMP/player.log") + 30)) 30
press "$player_window" F10
wait_lines "$E2E_TMP/player.log" $(($(count_lines "$E2E_TMP/player.log") + 150)) 60 ||
  fail "a fase 2 nao comecou para o cliente 2"
while [ $(($(date +%s) - stopped_at)) -lt 40 ]; do sleep 0.5; done
before=$(count_lines "$E2E_TMP/sleeper.log")
kill -CONT "${GAME_PID[sleeper]}"

wait_lines "$E2E_TMP/sleeper.log" $((before + 100)) 60 ||
  fail "o cliente 1 nao voltou a reproduzir: $(cat "$E2E_TMP/sleeper.out")"
cp "$E2E_TMP/sleeper.log" "$artifacts/"
grep -q "Bitmap nao encontrado\|fudeu" "$E2E_TMP/sleeper.out" &&
  fail "o cliente 1 voltou sem bitmaps: $(grep -c "Bitmap nao encontrado" "$E2E_TMP/sleeper.out") avisos"
# Nobody flips, so the runners fall out and the stage reloads now and then: the runner is looked
# for until it shows, within a few races' time.
wait_for_shot 30 01_resumed 0 shows_runner1 ||
  fail "o cliente 1 nao mostra o corredor 1 depois de voltar (01_resumed.png)"
kill -TERM "${GAME_PID[sleeper]}" "${GAME_PID[player]}"
finish_game sleeper
finish_game player
echo "ok: cliente parado por 40 s voltou com os bitmaps do servidor (em $artifacts)"
