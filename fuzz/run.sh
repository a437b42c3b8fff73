#!/usr/bin/env bash
# Runs every fuzz harness of a fuzz build for a fixed number of executions:
# writes its seed corpus (made by the library's writers), then fuzzes from it,
# keeping what it finds in the corpus. Stops at the first harness that fails
# and shows the end of its log.
#   usage: fuzz/run.sh [RUNS] [BUILD_DIR]     (defaults: 1000000, build/fuzz)
set -euo pipefail
runs=${1:-1000000}
build=${2:-build/fuzz}
shopt -s nullglob
harnesses=("$build"/fuzz/*_fuzz)
if [ ${#harnesses[@]} -eq 0 ]; then
  echo "no harnesses in $build/fuzz: run 'cmake --workflow --preset fuzz' first" >&2
  exit 2
fi
mkdir -p "$build/corpus" "$build/findings" "$build/logs"
failed=0
for harness in "${harnesses[@]}"; do
  name=$(basename "$harness")
  corpus="$build/corpus/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus"
  NUV_FUZZ_SEEDS="$corpus" "$harness" 2>/dev/null
  start=$(date +%s)
  if "$harness" -runs="$runs" -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
       -artifact_prefix="$build/findings/$name-" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$name: ${execs:-?} executions in $(( $(date +%s) - start )) s, nothing found"
  else
    echo "$name: FAILED (log $log, inputs in $build/findings)"
    tail -n 40 "$log"
    failed=1
    break
  fi
done
exit $failed
