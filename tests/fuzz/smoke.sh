#!/usr/bin/env bash
# A fuzz target's smoke run: its corpus, then RUNS new inputs (at most 20 s of them), each input
# limited to 10 s. New inputs it finds go to FOUND, so the corpus in the repository stays as it is.
#   smoke.sh TARGET CORPUS FOUND RUNS
set -euo pipefail
target="$1" corpus="$2" found="$3" runs="$4"
mkdir -p "$found"
cd "$found"  # a finding's reproducer (crash-*, leak-*, timeout-*) lands here
exec "$target" -runs="$runs" -max_total_time=20 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$found" "$corpus"
