#!/usr/bin/env bash
# Runs every test of every build: installs what is missing, builds native,
# native-asan and win32, runs CTest in each (win32's under Wine's WoW64 mode,
# which runs the product DLL itself), checks the DLL and the layers, and
# fuzzes. The last line is "N passed, N failed".
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

# Counts one step that is not a CTest run.
step() {
  local label=$1
  shift
  echo "== $label"
  if "$@"; then passed=$((passed + 1)); else fail "$label"; fi
}

if ! bash scripts/setup.sh; then
  fail "setup"
  echo "$passed passed, $failed failed"
  exit 1
fi

declare -A built
for build in native native-asan win32; do
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
if [ -n "${built[win32]:-}" ]; then
  # One Wine prefix for the build tree: its tests run one after another.
  run_ctest win32
  step "wine left nothing behind" bash scripts/wine-run.sh --shutdown build/win32
  step "check-dll" python3 scripts/check-dll.py build/win32/PolarImport.dll
fi
step "check-layers" python3 scripts/check-layers.py

# Every fuzz target for a bounded time (POLAR_FUZZ_SECONDS, 60 by default).
step "fuzz" bash scripts/fuzz.sh

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
