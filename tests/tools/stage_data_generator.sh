#!/usr/bin/env bash
# gerar_dados_fases: the real level files give a source defining both stages; a level without a
# finish line, or with a malformed line, fails with a message naming the file (and the line) and
# leaves no source behind, so the build stops instead of compiling a stage that is not the level.
# Usage: stage_data_generator.sh GERAR_DADOS_FASES LEVELS_DIR
set -u
tool="$1"
levels="$2"
tmp="$(mktemp -d /tmp/corrida-stage-data.XXXXXX)"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FALHOU: $*" >&2; exit 1; }

"$tool" "$tmp/ok.cpp" "$levels/stage1.txt" "$levels/stage2.txt" || fail "fases reais recusadas"
grep -q '^const StageData& stage1Data() {$' "$tmp/ok.cpp" || fail "sem stage1Data: $(cat "$tmp/ok.cpp")"
grep -q '^const StageData& stage2Data() {$' "$tmp/ok.cpp" || fail "sem stage2Data"
echo "ok: dados das fases gerados"

# A stage 2 without its finish line: refused; a source already at the output stays as it was, and
# no partial file is left beside it.
grep -v '^finish' "$levels/stage2.txt" >"$tmp/no_finish.txt"
cp "$tmp/ok.cpp" "$tmp/before.cpp"
out=$("$tool" "$tmp/ok.cpp" "$levels/stage1.txt" "$tmp/no_finish.txt" 2>&1) && fail "fase sem chegada aceita"
[ "$out" = "$tmp/no_finish.txt: a fase nao tem linha de chegada (finish)" ] || fail "mensagem: $out"
cmp -s "$tmp/ok.cpp" "$tmp/before.cpp" || fail "fonte reescrita por uma geracao que falhou"
out=$("$tool" "$tmp/new.cpp" "$tmp/no_finish.txt" 2>&1) && fail "fase sem chegada aceita"
[ ! -e "$tmp/new.cpp" ] && [ ! -e "$tmp/new.cpp.part" ] || fail "restou uma fonte de uma geracao que falhou"
echo "ok: fase sem linha de chegada recusada"

{ cat "$levels/stage1.txt"; echo "speed 40 fast"; } >"$tmp/bad_speed.txt"
line=$(wc -l <"$tmp/bad_speed.txt")
out=$("$tool" "$tmp/new.cpp" "$tmp/bad_speed.txt" 2>&1) && fail "linha invalida aceita"
[ "$out" = "$tmp/bad_speed.txt:$line: linha invalida: speed 40 fast" ] || fail "mensagem: $out"
echo "ok: linha invalida recusada com arquivo e linha"

out=$("$tool" 2>&1); rc=$?
[ "$rc" -eq 2 ] || fail "sem argumentos: status $rc ($out)"
echo "ok: uso"
