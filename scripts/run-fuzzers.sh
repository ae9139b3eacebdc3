#!/usr/bin/env bash
# Runs every fuzzer of a fuzz build for a few seconds each: run-fuzzers.sh <build-dir> <seconds>
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-30}
found=0
while IFS= read -r fuzzer; do
  found=1
  corpus=$(mktemp -d)
  # Seeds live beside the fuzzer's sources: fuzz/<layer>/corpus.
  rel=${fuzzer#"$build"/}
  seeds="$(dirname "$0")/../$(dirname "$rel")/corpus"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  echo "-- $(basename "$fuzzer") for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "$corpus"
  rm -rf "$corpus"
done < <(find "$build/fuzz" -type f -executable -name '*fuzz*' | sort)
[ "$found" -eq 1 ] || echo "no fuzzers built"
