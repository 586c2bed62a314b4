#!/usr/bin/env bash
# During a race a player's window and a spectator's change at the pace the server draws: each
# picture is shown when it is due, not bunched with the ones that came in the same answer. Two
# measures, both on the monotonic clock of this machine:
# - the clients' own log of the pictures they showed (CORRIDA_SHOWN_LOG);
# - the windows sampled from outside (tests/window_sampler), over the same stretch of race.
# A race stretch is one where the server flushed a picture at least every 100 ms (the countdown
# steps once a second); its first second is left out.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" smooth_pictures
cd "$build"

start_xvfb 1600x600
start_naming_service
start_server server 2
known=$(game_windows)  # the server's own tiny window
start_client player 1 CORRIDA_SHOWN_LOG="$E2E_TMP/player.shown"
player_window=$(new_window "$known") || fail "a janela do jogador nao abriu"
place_window "$player_window" 0 0
start_game watcher CORRIDA_SHOWN_LOG="$E2E_TMP/watcher.shown" -- assistir 127.0.0.1
expect_output watcher "VOCE ASSISTE COMO ESPECTADOR"
watcher_window=$(new_window "$known
$player_window") || fail "a janela do espectador nao abriu"
place_window "$watcher_window" 800 0
declare -A SAMPLER_PID
for name in player watcher; do
  window_var="${name}_window"
  "$build/tests/window_sampler" "${!window_var}" 120 >"$E2E_TMP/$name.samples" 2>&1 &
  E2E_PIDS+=($!)
  SAMPLER_PID[$name]=$!
done
start_probe_player second 2

# race_stretch LOG: "FIRST_MS LAST_MS SHOWN" of the longest race stretch in a shown log, its first
# second left out.
race_stretch() {
  awk 'NF == 3 { if (n && $2 - flush >= 100) { if (n > best) { best = n; bf = first; bl = last }; n = 0 }
                 if (!n) first = $3; n++; last = $3; flush = $2 }
       END { if (n > best) { best = n; bf = first; bl = last }; if (best) print bf + 1000, bl }' "$1" |
    while read -r from to; do
      awk -v from="$from" -v to="$to" 'NF == 3 && $3 >= from && $3 <= to { n++ }
        END { print from, to, n + 0 }' "$1"
    done
}
# raced_enough: both logs hold a stretch of at least 60 pictures shown after its first second (a
# race nobody plays lasts about five seconds).
raced_enough() {
  local name shown
  for name in player watcher; do
    read -r _ _ shown < <(race_stretch "$E2E_TMP/$name.shown"; echo "0 0 0")
    [ "${shown:-0}" -ge 60 ] || return 1
  done
}
wait_until 120 raced_enough || fail "nenhuma corrida de 60 imagens mostradas nos dois clientes"
for name in player watcher; do kill -TERM "${SAMPLER_PID[$name]}" 2>/dev/null || true; done
for name in player watcher; do wait "${SAMPLER_PID[$name]}" 2>/dev/null || true; done
cp "$E2E_TMP"/*.shown "$E2E_TMP"/*.samples "$artifacts/"

# pace FILE FROM TO: "COUNT PER_SECOND MEDIAN_MS UNDER_10MS" of the times (first field of each
# line) within [FROM, TO].
pace() {
  awk -v from="$2" -v to="$3" '$1 ~ /^[0-9]+$/ && $1 >= from && $1 <= to { t[n++] = $1 }
    END {
      if (n < 2) { print 0, 0, 0, 0; exit }
      for (i = 1; i < n; i++) { d[i - 1] = t[i] - t[i - 1]; if (d[i - 1] < 10) short++ }
      m = n - 1
      for (i = 0; i < m; i++) for (j = i + 1; j < m; j++) if (d[j] < d[i]) { x = d[i]; d[i] = d[j]; d[j] = x }
      printf "%d %.1f %d %d\n", n, (n - 1) * 1000 / (t[n - 1] - t[0]), d[int(m / 2)], short + 0
    }' "$1"
}
for name in player watcher; do
  read -r from to _ < <(race_stretch "$E2E_TMP/$name.shown")
  read -r shown shown_rate shown_median shown_short < <(awk '{ print $3 }' "$E2E_TMP/$name.shown" | pace /dev/stdin "$from" "$to")
  read -r changes change_rate change_median change_short < <(pace "$E2E_TMP/$name.samples" "$from" "$to")
  echo "$name: $((to - from)) ms de corrida; mostradas $shown ($shown_rate/s, mediana $shown_median ms, $shown_short abaixo de 10 ms); a janela mudou $changes vezes ($change_rate/s, mediana $change_median ms, $change_short abaixo de 10 ms)" |
    tee -a "$artifacts/checks.txt"
  [ "$shown_median" -ge 25 ] && [ "$shown_median" -le 45 ] ||
    fail "$name: intervalo mediano de $shown_median ms entre imagens mostradas"
  [ "$shown_short" -le $((shown / 20)) ] || fail "$name: $shown_short imagens mostradas a menos de 10 ms da anterior"
  [ "$change_median" -ge 25 ] && [ "$change_median" -le 45 ] ||
    fail "$name: a janela mudou com intervalo mediano de $change_median ms"
  [ "$change_short" -le $((changes / 20)) ] || fail "$name: a janela mudou $change_short vezes a menos de 10 ms da anterior"
done
press "$player_window" Escape
finish_game player
echo "ok: as duas janelas mudam no ritmo do servidor (em $artifacts)"
