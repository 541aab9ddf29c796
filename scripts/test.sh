#!/usr/bin/env bash
# Runs every test of every build: installs what is missing, builds native,
# native-asan and win32, runs CTest in each (win32's under Wine, in the mode
# scripts/wine-mode.sh chooses, which runs the product DLL itself), checks the
# DLL, the layers and the converter's .deb on a fresh Debian root, and fuzzes.
# The last line is "N passed, N failed, N skipped", counting the test cases
# of every program and each other step.
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
skipped=0
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
  echo "$passed passed, $failed failed, $skipped skipped"
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

# Adds the test cases of one build's CTest run to the totals. The console
# shows CTest's line for each entry; the output of failed ones, and each
# skipped case with its reason, follow.
run_ctest() {
  local build=$1 out=$log/ctest-$1.txt
  shift
  echo "== ctest $build"
  (cd "build/$build" && ctest -V "$@") >"$out" 2>&1
  local rc=$?
  grep -E '^ *[0-9]+/[0-9]+ Test +#|tests passed' "$out"
  local counts
  python3 scripts/count-tests.py "$out" | tee "$log/counts-$build.txt" | grep -v '^counts '
  counts=$(sed -n 's/^counts //p' "$log/counts-$build.txt")
  if [ -z "$counts" ] || grep -qx 'no test ran' "$log/counts-$build.txt"; then
    fail "ctest $build ran no test (exit $rc)"
    return
  fi
  local p f s
  read -r p f s <<<"$counts"
  passed=$((passed + p))
  failed=$((failed + f))
  skipped=$((skipped + s))
  if [ "$rc" -ne 0 ] && [ "$f" -eq 0 ]; then fail "ctest $build exited with $rc"; fi
}

for build in native native-asan; do
  [ -n "${built[$build]:-}" ] && run_ctest "$build" -j 2
done
if [ -n "${built[win32]:-}" ]; then
  if wine=$(bash scripts/wine-root.sh --check 2>&1); then
    echo "== Windows tests: ${wine##*$'\t'} (${wine%%$'\t'*} mode)"
    # One Wine prefix for the build tree: its tests run one after another.
    run_ctest win32
    step "wine left nothing behind" bash scripts/wine-run.sh --shutdown build/win32
  else
    fail "the Windows tests cannot run: ${wine#wine-*: }"
  fi
  step "check-dll" python3 scripts/check-dll.py build/win32/PolarImport.dll
fi
step "check-layers" python3 scripts/check-layers.py
# The converter's package, from the release build, installed with apt on a
# fresh Debian root (made once, then kept outside the clone).
step "deb on a fresh Debian root" bash scripts/check-deb.sh

# Every fuzz target for a bounded time (POLAR_FUZZ_SECONDS, 60 by default).
step "fuzz" bash scripts/fuzz.sh

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
