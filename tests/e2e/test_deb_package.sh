#!/usr/bin/env bash
# The Debian package: `cpack -G DEB` builds it from the build tree; its contents hold the program,
# the images, the desktop entry and the icon under /usr; its control data declares the runtime
# libraries and no naming service. Unpacked into a folder (not installed on this machine), its
# program finds its images from "/".
source "$(dirname "$0")/lib.sh"
set -o pipefail
build="$(cd "$1" && pwd)"
fresh_artifacts "$build" deb_package

(cd "$build" && cpack -G DEB -B "$E2E_TMP/package") >"$artifacts/cpack.log" 2>&1 ||
  fail "cpack falhou: $(tail -n 5 "$artifacts/cpack.log")"
deb=$(find "$E2E_TMP/package" -maxdepth 1 -name 'corrida_*.deb' | sed -n 1p)
[ -n "$deb" ] || fail "nenhum .deb gerado: $(tail -n 5 "$artifacts/cpack.log")"

dpkg-deb -c "$deb" >"$artifacts/contents.txt" || fail "dpkg-deb -c falhou"
for file in ./usr/games/corrida ./usr/share/corrida/Img/menu/menu.jpg \
  ./usr/share/man/man6/corrida.6.gz ./usr/share/doc/corrida/changelog.gz \
  ./usr/share/doc/corrida/copyright \
  ./usr/share/corrida/Img/Jogo/player1a.bmp ./usr/share/corrida/fases/stage2.txt \
  ./usr/share/applications/corrida.desktop \
  ./usr/share/icons/hicolor/128x128/apps/corrida.png; do
  # awk reads the whole listing: an early-leaving reader at the end of a pipe would kill the
  # writer before it ends, which pipefail takes for a failure.
  awk -v wanted="$file" '$6 == wanted { found = 1 } END { exit !found }' "$artifacts/contents.txt" ||
    fail "o pacote nao contem $file"
done
[ "$(grep -c '/usr/share/corrida/Img/.*\.\(jpg\|bmp\)$' "$artifacts/contents.txt")" -eq \
  "$(find "$build/Img" -type f \( -name '*.jpg' -o -name '*.bmp' \) | wc -l)" ] ||
  fail "o pacote nao traz todas as imagens de build/Img"

lintian --fail-on error,warning "$deb" >"$artifacts/lintian.txt" 2>&1 ||
  fail "lintian recusou o pacote: $(cat "$artifacts/lintian.txt")"

dpkg-deb -I "$deb" >"$artifacts/info.txt" || fail "dpkg-deb -I falhou"
depends=$(dpkg-deb -f "$deb" Depends)
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for dependency in liballegro4.4 libjpgalleg4.4 libomniorb4-2 libfreetype6 fonts-dejavu-core libstdc++6 libc6; do
  grep -qxF "$dependency" <<<"$names" || fail "o pacote nao depende de $dependency: $depends"
done
# Installing the game starts no naming service on every interface.
grep -qxF omniorb-nameserver <<<"$names" && fail "o pacote depende de omniorb-nameserver: $depends"
[ "$(dpkg-deb -f "$deb" Package)" = "corrida" ] || fail "nome do pacote: $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$("$build/corrida" --version | cut -d' ' -f2)" ] ||
  fail "a versao do pacote difere da do programa"

# Unpacked, not installed: the program under usr/games finds usr/share/corrida from any folder.
dpkg-deb -x "$deb" "$E2E_TMP/root"
out=$(cd / && env -u DISPLAY -u CORRIDA_DATA timeout 60 "$E2E_TMP/root/usr/games/corrida" local </dev/null 2>&1)
status=$?
[ "$status" -eq 0 ] && grep -q "biblioteca grafica" <<<"$out" ||
  fail "o programa do pacote nao achou as imagens: status $status: $out"
# The manual page names every mode and option the program's usage lists.
usage=$("$build/corrida" --help 2>&1)
page=$(zcat "$E2E_TMP/root/usr/share/man/man6/corrida.6.gz" | sed 's/\\-/-/g; s/\\f[BIRP]//g')
words=$(grep -o -- '--[a-z-]*[a-z]\|^  [a-z]\+' <<<"$usage" | sed 's/^ *//' | sort -u)
[ "$(wc -w <<<"$words")" -ge 6 ] || fail "a ajuda do programa nao lista modos e opcoes: $usage"
for word in $words; do
  grep -qF -- "$word" <<<"$page" || fail "a pagina de manual nao documenta $word"
done
echo "ok: pacote $(basename "$deb")"
