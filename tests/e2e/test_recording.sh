#!/usr/bin/env bash
# A client's recording (--gravar) plays back in "corrida rever": the race shows again, jumps both
# ways and to the start find every bitmap, and the playback ends by itself with status 0.
# Screenshots are kept in test-artifacts/recording/ of the build dir.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
source "$(dirname "$0")/net_lib.sh"
fresh_artifacts "$build" recording
cd "$build"

start_xvfb
start_naming_service
start_server server 1
server_window=$(new_window "") || fail "a janela do servidor nao abriu"
xdotool windowmove "$server_window" 1000 700

start_game client CORRIDA_REPLAY_LOG="$E2E_TMP/client.log" -- --gravar "$E2E_TMP/partida.gz" cliente 127.0.0.1
expect_output client "VOCE EH O PLAYER: 1"
wait_lines "$E2E_TMP/client.log" 400 60 || fail "a corrida nao chegou ao cliente"
client_window=$(comm -13 <(echo "$server_window") <(game_windows) | sed -n 1p)
press "$client_window" Escape
await_exit client
kill -INT "${GAME_PID[server]}"
expect_output server "Servidor encerrado."
[ "$(zcat "$E2E_TMP/partida.gz" | sed -n 1p)" = "corrida-gravacao 1" ] || fail "a gravacao nao tem o cabecalho"
recorded=$(zcat "$E2E_TMP/partida.gz" | wc -l)
[ "$recorded" -ge 300 ] || fail "a gravacao tem so $recorded linhas"

start_game replay -- rever "$E2E_TMP/partida.gz"
replay_window=$(new_window "$(game_windows)") || replay_window=$(game_windows | sed -n 1p)
[ -n "$replay_window" ] || fail "a janela de rever nao abriu"
xdotool windowmove "$replay_window" 0 0
race_shown() { [[ "$(runner_pose "$1" 1)" != none* ]]; }
wait_for_shot 30 01_replay 0 race_shown || fail "rever nao mostra a corrida (01_replay.png)"
press "$replay_window" Right
wait_for_shot 10 02_forward 0 race_shown || fail "depois de avancar o corredor sumiu (02_forward.png)"
press "$replay_window" Left
wait_for_shot 10 03_back 0 race_shown || fail "depois de voltar o corredor sumiu (03_back.png)"
press "$replay_window" Home
ended() { ! running "${GAME_PID[replay]}"; }
wait_until 120 ended || fail "rever nao terminou sozinho"
wait "${GAME_PID[replay]}"
status=$?
[ "$status" -eq 0 ] || fail "rever terminou com status $status: $(cat "$E2E_TMP/replay.out")"
grep -F "Bitmap nao encontrado" "$E2E_TMP/replay.out" && fail "rever perdeu bitmaps"
grep -F "fudeu" "$E2E_TMP/replay.out" && fail "rever nao carregou uma imagem"
echo "ok: a gravacao de $recorded linhas voltou, pulou para os dois lados e terminou sozinha"
