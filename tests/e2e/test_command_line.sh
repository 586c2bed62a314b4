#!/usr/bin/env bash
# The real program's command line: help and version, a bad word refused with status 2, a mode
# started from another folder without the closing prompt, and the data folder found (or reported)
# whatever the current directory.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
corrida="$build/corrida"
cd /

out=$("$corrida" --help 2>"$E2E_TMP/err"); rc=$?
[ "$rc" -eq 0 ] || fail "--help: status $rc"
[[ "$out" == "uso: corrida "* ]] || fail "--help: sem o uso: $out"
[ -s "$E2E_TMP/err" ] && fail "--help escreveu no erro: $(cat "$E2E_TMP/err")"

out=$("$corrida" --version); rc=$?
[ "$rc" -eq 0 ] || fail "--version: status $rc"
[[ "$out" =~ ^corrida\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version: $out"

# A bad word: one line saying what is wrong, then the usage, on the error stream; status 2.
for words in "servidor 7" "jogar" "cliente" "local --escuro"; do
  out=$("$corrida" $words 2>"$E2E_TMP/err" </dev/null); rc=$?
  [ "$rc" -eq 2 ] || fail "'$words': status $rc em vez de 2"
  [ -z "$out" ] || fail "'$words': saida inesperada: $out"
  head -n 1 "$E2E_TMP/err" | grep -q "^corrida: " || fail "'$words': primeira linha: $(head -n 1 "$E2E_TMP/err")"
  sed -n 2p "$E2E_TMP/err" | grep -q "^uso: corrida " || fail "'$words': sem o uso: $(cat "$E2E_TMP/err")"
done

# A mode from "/": the images are found beside the executable, so the run gets as far as the
# graphics (there is no display here) and ends with status 0, asking for no Enter.
out=$(env -u DISPLAY -u CORRIDA_DATA timeout 60 "$corrida" local </dev/null 2>&1); rc=$?
[ "$rc" -eq 0 ] || fail "local sem tela: status $rc: $out"
echo "$out" | grep -q "biblioteca grafica" || fail "local sem tela: $out"
echo "$out" | grep -q "Pressione Enter" && fail "local com argumentos pediu Enter: $out"
echo "$out" | grep -q "Menu:" && fail "local com argumentos mostrou o menu do console: $out"

# CORRIDA_DATA wins: a folder without Img/ is reported in one line with status 1.
out=$(CORRIDA_DATA="$E2E_TMP" "$corrida" local </dev/null 2>&1); rc=$?
[ "$rc" -eq 1 ] || fail "CORRIDA_DATA sem Img/: status $rc: $out"
[ "$(echo "$out" | wc -l)" -eq 1 ] && echo "$out" | grep -q "CORRIDA_DATA=$E2E_TMP nao contem a pasta Img/" ||
  fail "CORRIDA_DATA sem Img/: $out"
# ...and a folder with Img/ is used by a program that has none beside it.
mkdir "$E2E_TMP/bin"
cp "$corrida" "$E2E_TMP/bin/corrida"
out=$(env -u DISPLAY CORRIDA_DATA="$build" timeout 60 "$E2E_TMP/bin/corrida" local </dev/null 2>&1); rc=$?
[ "$rc" -eq 0 ] && echo "$out" | grep -q "biblioteca grafica" || fail "CORRIDA_DATA=$build: status $rc: $out"
# Without it, and with no installation on this machine, the copy finds no images and says where it
# looked.
if [ ! -d /usr/local/share/corrida/Img ]; then
  out=$(env -u DISPLAY -u CORRIDA_DATA "$E2E_TMP/bin/corrida" local </dev/null 2>&1); rc=$?
  [ "$rc" -eq 1 ] || fail "sem imagens: status $rc: $out"
  echo "$out" | grep -q "^Imagens do jogo nao encontradas: .*$E2E_TMP/bin.*CORRIDA_DATA" ||
    fail "sem imagens: $out"
fi

# No arguments: the console dialogue as ever, from any folder.
out=$(env -u CORRIDA_DATA timeout 60 "$corrida" </dev/null 2>&1); rc=$?
[ "$rc" -eq 0 ] || fail "sem argumentos: status $rc"
[ "$out" = $'Menu:\n\n1. RODAR SERVIDOR\n2. RODAR CLIENTE\n3. JOGO LOCAL\n\nDigite a opcao desejada: ' ] ||
  fail "sem argumentos: $out"
echo "ok: linha de comando"
