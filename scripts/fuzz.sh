#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, ASan, UBSan) into build/fuzz and
# runs each for a bounded time on a corpus kept in build/fuzz/corpus, seeded
# afresh from the repository's files and the real exercise files. Exits
# non-zero when a target crashes, hangs or leaks; the input is kept in
# build/fuzz/artifacts.
#   POLAR_FUZZ_SECONDS  time per target (default 60)
#   POLAR_FUZZ_RUNS     stop a target after this many executions instead (default: no limit)
#   POLAR_FUZZ_TARGETS  which targets (default "hrm gpx hrz ini diary track recording person history")
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build/fuzz
seconds=${POLAR_FUZZ_SECONDS:-60}
runs=${POLAR_FUZZ_RUNS:--1}
targets=${POLAR_FUZZ_TARGETS:-hrm gpx hrz ini diary track recording person history}

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ missing (scripts/setup.sh installs it)" >&2
  exit 1
fi
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null &&
  cmake --build "$build" -j2 || { echo "fuzz.sh: build failed" >&2; exit 1; }

seeds=$build/seeds
rm -rf "$seeds"
bash tests/fuzz/make-corpus.sh "$seeds" || { echo "fuzz.sh: no seed corpus" >&2; exit 1; }
mkdir -p "$build/artifacts"

# The targets write their files per input; memory is much faster than disk.
base=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
# A target that crashes cannot clean up after itself; this run's directory goes anyway.
scratch=$(mktemp -d "$base/polarfuzz-run.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT
# Every input builds a fresh exercise container; a small quarantine lets
# ASan reuse that memory instead of mapping new pages for each input.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=4}

failed=0
for kind in $targets; do
  corpus=$build/corpus/$kind
  mkdir -p "$corpus"
  dict=()
  [ -f "tests/fuzz/$kind.dict" ] && dict=(-dict="$root/tests/fuzz/$kind.dict")
  log=$build/fuzz-$kind.log
  echo "== fuzz $kind (${seconds}s)"
  # Absolute paths throughout: removing the work directory changes the
  # current directory, and the target only returns to it after each input.
  POLAR_FUZZ_TMP=$scratch nice -n 19 "$build/fuzz_$kind" "${dict[@]}" \
    -max_total_time="$seconds" -runs="$runs" -max_len=16384 -timeout=10 -rss_limit_mb=2560 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$kind-" "$corpus" "$seeds/$kind" >"$log" 2>&1
  rc=$?
  grep -E '^#[0-9]+[[:space:]]+(DONE|pulse)' "$log" | tail -n 1
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log"
  if [ $rc -ne 0 ]; then
    echo "fuzz.sh: FAILED: $kind (exit $rc), see $log"
    grep -E '^(fuzz |==[0-9]+==ERROR|SUMMARY)|Test unit written' "$log" | head -n 20
    failed=$((failed + 1))
  fi
done
[ "$failed" -eq 0 ]
