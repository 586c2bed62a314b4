#!/usr/bin/env bash
# The real program's console dialogue: the menu, the local game chosen without more questions, the
# player count asked again, and a clean end when the input closes.
source "$(dirname "$0")/lib.sh"
build="$1"
cd "$build" || exit 1

menu=$'Menu:\n\n1. RODAR SERVIDOR\n2. RODAR CLIENTE\n3. JOGO LOCAL\n\nDigite a opcao desejada: '

out=$(timeout 60 ./corrida </dev/null 2>&1); rc=$?
[ "$rc" -eq 0 ] || fail "entrada fechada: status $rc"
[ "$out" = "$menu" ] || fail "entrada fechada: saida inesperada: $out"

out=$(printf '3\n' | env -u DISPLAY timeout 60 ./corrida 2>&1); rc=$?
[ "$rc" -eq 0 ] || fail "opcao 3: status $rc"
[[ "$out" == "$menu"* ]] || fail "opcao 3: menu ausente: $out"
echo "$out" | grep -q "servidor de nomes" && fail "opcao 3 pediu o endereco: $out"
[[ "$out" == *"Pressione Enter para sair..." ]] || fail "opcao 3: sem o aviso final: $out"

# 9 players is asked again; the closed input then ends the program before any mode starts.
out=$(printf '1 host 9\n' | timeout 60 ./corrida 2>&1); rc=$?
[ "$rc" -eq 0 ] || fail "9 jogadores: status $rc"
[ "$(grep -o 'Digite o numero de Jogadores: ' <<<"$out" | wc -l)" -eq 2 ] ||
  fail "9 jogadores nao foi perguntado de novo: $out"
echo "$out" | grep -q "Numero de jogadores invalido" || fail "sem aviso de numero invalido: $out"
echo ok
