#!/usr/bin/env bash
# The installation: `cmake --install` into a temporary prefix lays out the program, its images, the
# desktop entry, the icon and the manual page in the GNU folders; the installed program, started
# from "/" with no CORRIDA_DATA, finds its images and draws the menu (checked against the generated menu picture);
# Esc there ends it with status 0 and no closing prompt.
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
fresh_artifacts "$build" install
prefix="$E2E_TMP/prefix"

cmake --install "$build" --prefix "$prefix" >"$artifacts/install.log" 2>&1 ||
  fail "cmake --install falhou: $(tail -n 5 "$artifacts/install.log")"
for file in bin/corrida share/corrida/Img/menu/menu.jpg share/corrida/Img/Jogo/player1a.bmp \
  share/corrida/Img/Jogo/visual2.jpg share/corrida/fases/stage1.txt share/corrida/fases/stage12.txt \
  share/applications/corrida.desktop \
  share/icons/hicolor/128x128/apps/corrida.png share/man/man6/corrida.6; do
  [ -f "$prefix/$file" ] || fail "instalacao sem $file"
done
[ -x "$prefix/bin/corrida" ] || fail "bin/corrida nao e executavel"
# Every generated image is installed, and nothing else lands in the data folder.
diff <(cd "$build/Img" && find . -type f ! -name .stamp | sort) \
  <(cd "$prefix/share/corrida/Img" && find . -type f | sort) >"$E2E_TMP/images.diff" ||
  fail "imagens instaladas diferem de build/Img: $(cat "$E2E_TMP/images.diff")"
desktop="$prefix/share/applications/corrida.desktop"
grep -qx "Exec=corrida local" "$desktop" && grep -qx "Icon=corrida" "$desktop" &&
  grep -qx "Type=Application" "$desktop" || fail "entrada .desktop incompleta: $(cat "$desktop")"
[ "$(identify -format '%m %wx%h' "$prefix/share/icons/hicolor/128x128/apps/corrida.png")" = "PNG 128x128" ] ||
  fail "o icone nao e um PNG 128x128"

start_xvfb
console="$E2E_TMP/console.txt"
(cd / && exec env -u CORRIDA_DATA "$prefix/bin/corrida" local) </dev/null >"$console" 2>&1 &
game=$!
E2E_PIDS+=($game)
win=$(wait_for_window corrida 20) || fail "a janela do jogo instalado nao abriu: $(cat "$console")"
menu_on() { shows "$1" menu/menu.jpg 0 0 0 0 640 280; }
wait_for_screen 20 "$win" menu menu_on || fail "o jogo instalado nao desenhou o menu (menu.png)"
cp "$E2E_TMP/checks.log" "$artifacts/checks.txt"
press "$win" Escape
for _ in $(seq 1 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$game" || status=$?
cp "$console" "$artifacts/console.txt"
[ "$status" -eq 0 ] || fail "o jogo instalado terminou com status $status: $(cat "$console")"
grep -q "Pressione Enter" "$console" && fail "o jogo com argumentos pediu Enter"
grep -q "nao encontrad" "$console" && fail "imagem faltando: $(cat "$console")"
echo "ok: instalado em $prefix e iniciado de /"
