#!/usr/bin/env bash
# The image generator is deterministic: two runs from the same sources give the same bytes, so a
# server and its clients built apart hold identical images. It also refuses a broken level file
# with a message naming the line, instead of writing a stage that does not match its description.
source "$(dirname "$0")/lib.sh"
build="$1"
root="$(cd "$(dirname "$0")/../.." && pwd)"
tool="$build/gerar_imagens"
fonts=/usr/share/fonts/truetype/dejavu

"$tool" "$root/assets" "$fonts" "$E2E_TMP/a" || fail "primeira geracao falhou"
"$tool" "$root/assets" "$fonts" "$E2E_TMP/b" || fail "segunda geracao falhou"
count=$(find "$E2E_TMP/a" -type f | wc -l)
[ "$count" -ge 70 ] || fail "so $count imagens geradas"
diff -r "$E2E_TMP/a" "$E2E_TMP/b" >/dev/null || fail "duas geracoes deram bytes diferentes: $(diff -rq "$E2E_TMP/a" "$E2E_TMP/b" | head -3)"
echo "ok: $count imagens, identicas nas duas geracoes"

# A level with a malformed line: the generator fails and names the file and line.
mkdir -p "$E2E_TMP/broken/levels"
cp "$root/assets/levels/stage1.txt" "$E2E_TMP/broken/levels/stage1.txt"
printf 'floor 0 100\n' >>"$E2E_TMP/broken/levels/stage1.txt"
cp "$root/assets/levels/stage2.txt" "$E2E_TMP/broken/levels/stage2.txt"
out=$("$tool" "$E2E_TMP/broken" "$fonts" "$E2E_TMP/c" 2>&1); rc=$?
[ "$rc" -ne 0 ] || fail "fase invalida aceita"
echo "$out" | grep -q "stage1.txt:[0-9]*: linha invalida: floor 0 100" || fail "mensagem inesperada: $out"
echo "ok: fase invalida recusada"

# Usage errors are reported, not crashed on.
out=$("$tool" 2>&1); rc=$?
[ "$rc" -eq 2 ] || fail "sem argumentos: status $rc"
echo "ok: uso"
