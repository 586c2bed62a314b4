#!/usr/bin/env bash
# A server with only the classic operations that answers every call at once with a batch (as one
# with a backlog to send does): the client fetches no faster than its window shows, and keeps
# replaying for a minute without ending its session; Esc then ends it in order.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" classic_backlog
cd "$build"

start_xvfb
start_naming_service
start_classic_server sem-pausa
start_client client 1
window=$(new_window "") || fail "a janela do cliente nao abriu"
xdotool windowmove "$window" 0 0

# changes_in SECONDS: how many times the window changed in that long, sampled from outside.
changes_in() {
  "$build/tests/window_sampler" "$window" "$1" | sed -n 's/^SUMMARY changes \([0-9]*\) .*/\1/p'
}
started=$(date +%s)
while [ $(($(date +%s) - started)) -lt 60 ]; do
  running "${GAME_PID[client]}" || fail "o cliente terminou: $(cat "$E2E_TMP/client.out")"
  changed=$(changes_in 5)
  echo "$(($(date +%s) - started)) s: a janela mudou ${changed:-0} vezes em 5 s" | tee -a "$artifacts/checks.txt"
  [ "${changed:-0}" -ge 25 ] || fail "o cliente parou de mostrar o que o servidor manda"
done
grep -F "O servidor enviou" "$E2E_TMP/client.out" && fail "o cliente encerrou a sessao"
shot 01_still_replaying 0
press "$window" Escape
finish_game client
grep -q "Bitmap nao encontrado\|fudeu\|conexao" "$E2E_TMP/client.out" &&
  fail "o cliente reclamou: $(cat "$E2E_TMP/client.out")"
echo "ok: um minuto de respostas sem pausa, mostradas no ritmo da janela (em $artifacts)"
