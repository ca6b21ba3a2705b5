#!/usr/bin/env bash
# Runs every fuzz target for a set time on a copy of its seeds; fails when any finds a fault.
#   tools/run-fuzzers.sh BUILD SECONDS
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=${2:-60}
findings="$build/findings"
mkdir -p "$findings"
failed=0
for target in "$build"/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  cp -n "$here/tests/fuzz/seeds/$name"/* "$corpus"/ 2>/dev/null || true
  log="$build/$name.log"
  QT_QPA_PLATFORM=offscreen "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$findings/$name-" -print_final_stats=1 "$corpus" >"$log" 2>&1
  code=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')
  if [ $code -eq 0 ]; then
    printf '%-20s ok      %10s runs, coverage %s, corpus %s files\n' "$name" "$runs" "$cov" \
      "$(ls "$corpus" | wc -l)"
  else
    printf '%-20s FAILED  (exit %s); see %s and %s\n' "$name" "$code" "$log" "$findings"
    failed=1
  fi
done
exit $failed
