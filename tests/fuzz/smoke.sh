#!/usr/bin/env bash
# A fuzz target's smoke run: its corpus, then new inputs up to RUNS in all (at most 20 s of them),
# each input limited to 10 s. New inputs go to FOUND/new (emptied first, so runs stay short); a
# finding's reproducer (crash-*, leak-*, timeout-*) to FOUND. The corpus in the repository stays as
# it is.
#   smoke.sh TARGET CORPUS FOUND RUNS
set -euo pipefail
target="$1" corpus="$2" found="$3" runs="$4"
rm -rf "$found/new"
mkdir -p "$found/new"
cd "$found"
exec "$target" -runs="$runs" -max_total_time=20 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$found/new" "$corpus"
