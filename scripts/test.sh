#!/usr/bin/env bash
# Runs every test of every build: installs what is missing, builds the four
# builds, runs CTest in native, native-asan and win64 (under wine64), and
# checks the win32 and win64 DLLs. The last line is "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT

fail() {
  echo "test.sh: FAILED: $*"
  failed=$((failed + 1))
}

if ! bash scripts/setup.sh; then
  fail "setup"
  echo "$passed passed, $failed failed"
  exit 1
fi

declare -A built
for build in native native-asan win32 win64; do
  if bash scripts/build.sh "$build"; then
    built[$build]=1
  else
    fail "build $build"
  fi
done

# Adds CTest's counts for one build to the totals.
run_ctest() {
  local build=$1 out=$log/ctest-$1.txt
  shift
  echo "== ctest $build"
  (cd "build/$build" && ctest --output-on-failure "$@") 2>&1 | tee "$out"
  local rc=${PIPESTATUS[0]}
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$out" | tail -n 1)
  if [ -z "$line" ]; then
    fail "ctest $build ran no test (exit $rc)"
    return
  fi
  local bad total
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  if [ "$rc" -ne 0 ] && [ "$bad" -eq 0 ]; then fail "ctest $build exited with $rc"; fi
}

for build in native native-asan; do
  [ -n "${built[$build]:-}" ] && run_ctest "$build" -j 2
done
# One wine prefix per build tree: the win64 tests run one after another.
[ -n "${built[win64]:-}" ] && run_ctest win64

check_dll() {
  local label=$1
  shift
  echo "== check-dll $label"
  if python3 scripts/check-dll.py "$@"; then
    passed=$((passed + 1))
  else
    fail "check-dll $label"
  fi
}
[ -n "${built[win32]:-}" ] && check_dll win32

echo "== check-layers"
if python3 scripts/check-layers.py; then passed=$((passed + 1)); else fail "check-layers"; fi
[ -n "${built[win64]:-}" ] && check_dll win64 --win64

# Every fuzz target for a bounded time (POLAR_FUZZ_SECONDS, 60 by default).
echo "== fuzz"
if bash scripts/fuzz.sh; then passed=$((passed + 1)); else fail "fuzz"; fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
