#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each, on a corpus kept in the build
# folder and seeded from bench/fuzz/seeds. Prints one line per target; fails if any target found
# a crash, whose input is then in BUILD/fuzz-crashes.
#   run-fuzzers.sh BUILD SECONDS
set -uo pipefail
build=${1:?build folder}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
targets=(fuzz_module_state fuzz_bitmap_stream fuzz_serial_line fuzz_sdo_client fuzz_sdo_server fuzz_sdo_round_trip)
mkdir -p "$build/fuzz-crashes"
failed=0
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  seeds=()
  [ -d "$here/seeds/$target" ] && seeds=("$here/seeds/$target")
  log="$build/fuzz-crashes/$target.log"
  "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz-crashes/$target-" "$corpus" "${seeds[@]}" > "$log" 2>&1
  status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
  if [ $status -eq 0 ]; then
    printf '%-22s clean: %s inputs in %s s, corpus %s files\n' "$target" "${runs:-?}" "$seconds" "$(ls "$corpus" | wc -l)"
  else
    failed=1
    printf '%-22s FOUND A CRASH (exit %s): %s\n' "$target" "$status" "$(ls -t "$build"/fuzz-crashes/"$target"-* 2>/dev/null | head -1)"
    grep -m 5 -E 'ERROR|SUMMARY|runtime error' "$log" | sed 's/^/    /'
  fi
done
exit $failed
