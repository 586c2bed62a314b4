#!/usr/bin/env bash
# The README's screenshots: scripts/screenshots makes them from the pictures of the local and
# network match tests, of the browser match and of the party (which run before this one); each is a
# small 320 x 240 PNG, and the README shows every one of them from docs/, where the committed
# copies stand.
source "$(dirname "$0")/lib.sh"
build="$(cd "$1" && pwd)"
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="$E2E_TMP/docs"

BUILD_DIR="$build" "$root/scripts/screenshots" "$out" >"$E2E_TMP/log" 2>&1 ||
  fail "scripts/screenshots falhou: $(cat "$E2E_TMP/log")"
count=0
for picture in "$out"/*.png; do
  name=$(basename "$picture")
  [ "$(identify -format '%m %wx%h' "$picture")" = "PNG 320x240" ] ||
    fail "$name: $(identify -format '%m %wx%h' "$picture")"
  [ "$(stat -c %s "$picture")" -lt 102400 ] || fail "$name tem mais de 100 KB"
  grep -qF "(docs/$name)" "$root/README.md" || fail "o README nao mostra docs/$name"
  [ -f "$root/docs/$name" ] || fail "docs/$name nao esta no repositorio"
  count=$((count + 1))
done
[ "$count" -eq 6 ] || fail "$count capturas em vez de 6"
echo "ok: $count capturas"
