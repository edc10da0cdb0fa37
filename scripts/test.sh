#!/usr/bin/env bash
# Installs what is missing, builds everything, and runs every test: the native unit
# tests, then the Windows programs under Wine. Ends with "N passed, N failed".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh

echo "== build"
bash scripts/build.sh

passed=0
failed=0
failures=()
record() { # name status
  if [ "$2" -eq 0 ]; then passed=$((passed + 1)); echo "PASS $1"
  else failed=$((failed + 1)); failures+=("$1"); echo "FAIL $1"; fi
}

echo "== unit tests"
set +e
(cd build/native && ctest --output-on-failure)
record "unit tests" $?
set -e

for t in tests/build/*.sh; do
  name=$(basename "$t" .sh)
  echo "== build check: $name"
  set +e
  ROOT=$root bash "$t"
  record "$name" $?
  set -e
done

echo "== sanitizers, fuzzing and static analysis"
set +e
bash scripts/native-checks.sh
record "native checks" $?
set -e

source scripts/wine-lib.sh
work="${TERMIKA_WINE_WORK:-$root/build/wine}"
mkdir -p "$work"
start_display
trap 'stop_display' EXIT

echo "== Wine: booting the template prefix"
template="$work/template"
make_template "$template" 'C:\open_recorder.exe'
cp build/win/open_recorder.exe "$template/drive_c/open_recorder.exe"

for t in tests/wine/*.sh; do
  name=$(basename "$t" .sh)
  echo "== Wine: $name"
  set +e
  ROOT=$root TEMPLATE=$template WORK="$work/$name" timeout 900 bash "$t"
  record "$name" $?
  set -e
done

echo
[ "$failed" -eq 0 ] || printf 'failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
