#!/usr/bin/env bash
# Sanitizer build of the unit tests, fuzzing, and static analysis of the native code.
# Runs every check, then fails if any of them reported anything.
#   build/asan   unit tests under AddressSanitizer and UndefinedBehaviorSanitizer (clang);
#                its compile_commands.json drives clang-tidy
#   build/fuzz   the libFuzzer targets of tests/fuzz, run for FUZZ_SECONDS (60) each, the
#                two side by side; crashing inputs are copied to tests/fuzz/regressions/<target>/
#                and every file kept there is run again first
#   clang-tidy   src/ and tools/ with the root .clang-tidy; the Windows-only sources with the
#                MinGW target and headers
#   cppcheck     src/ and tools/; the Windows-only sources with _WIN32 defined
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}
fuzz_targets=(formstream source_dir)

failures=()
fail() { failures+=("$1"); echo "native checks: FAIL $1"; }
started=$SECONDS
step() { echo "-- $* (at $((SECONDS - started)) s)"; }

sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if [ -x /usr/bin/llvm-symbolizer-14 ]; then export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14; fi
# Anything a sanitizer says is a failure, even from a program whose caller ignores its exit code.
sanitizer_report='(ERROR|WARNING): [A-Za-z]+Sanitizer|runtime error:'

# --- unit tests under sanitizers --------------------------------------------------------------
step "unit tests with -fsanitize=address,undefined (build/asan)"
log=build/asan-tests.log
mkdir -p build
if cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_CXX_FLAGS="$sanitize -D_GLIBCXX_ASSERTIONS" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null &&
  cmake --build build/asan -j"$jobs" >build/asan-build.log 2>&1; then
  (cd build/asan && ctest --output-on-failure) >"$log" 2>&1
  rc=$?
  tail -n 3 "$log"
  if [ "$rc" -ne 0 ] || grep -Eq "$sanitizer_report" "$log"; then
    grep -E -A 12 "$sanitizer_report|Failed|FAILED" "$log" | head -n 80
    fail "unit tests under sanitizers"
  fi
else
  tail -n 40 build/asan-build.log
  fail "sanitizer build"
fi

# --- fuzzing ------------------------------------------------------------------------------------
step "fuzz targets (build/fuzz)"
fuzz_flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
fuzz_options=(-rss_limit_mb=2048 -timeout=10)

excerpt() { # log: the start of each report in it, and the sanitizers' summaries
  grep -E -A 12 "==[0-9]+== ?ERROR|$sanitizer_report|fuzz: " "$1" | head -n 40
  grep -E '^SUMMARY' "$1"
}

fuzz() { # target: regressions first, then fuzzing from the seeds; 0 when nothing was found
  local target=$1 exe=build/fuzz/tests/fuzz/fuzz_$1 work=build/fuzz/run/$1 rc=0
  local kept=tests/fuzz/regressions/$target
  rm -rf "$work/artifacts"
  mkdir -p "$work/corpus" "$work/artifacts" "$kept"
  local cases=()
  for f in "$kept"/*; do [ -f "$f" ] && cases+=("$f"); done
  if [ "${#cases[@]}" -gt 0 ]; then
    "$exe" "${fuzz_options[@]}" "${cases[@]}" >"$work/regressions.log" 2>&1 || {
      echo "$target: a regression case fails"
      excerpt "$work/regressions.log"
      rc=1
    }
  fi
  # New inputs go to the first folder, which is the build's: the seeds in the tree stay as
  # they are. The regression cases are seeds too.
  "$exe" "${fuzz_options[@]}" -max_total_time="$fuzz_seconds" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "tests/fuzz/corpus/$target" "$kept" \
    >"$work/fuzz.log" 2>&1 || rc=1
  local found=0
  for f in "$work"/artifacts/crash-* "$work"/artifacts/leak-* "$work"/artifacts/timeout-* \
    "$work"/artifacts/oom-*; do
    [ -f "$f" ] || continue
    cp "$f" "$kept/"
    found=$((found + 1))
  done
  if [ "$rc" -ne 0 ] || [ "$found" -gt 0 ]; then
    echo "$target: $found input(s) kept in $kept"
    excerpt "$work/fuzz.log"
    return 1
  fi
  echo "$target: $(grep -E '^Done' "$work/fuzz.log"), $(grep -Eo 'cov: [0-9]+ ft: [0-9]+' "$work/fuzz.log" | tail -n 1)"
}

targets=()
for t in "${fuzz_targets[@]}"; do targets+=("fuzz_$t"); done
if cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DTERMIKA_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-O1 $fuzz_flags" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null &&
  cmake --build build/fuzz -j"$jobs" --target "${targets[@]}" >build/fuzz-build.log 2>&1; then
  pids=()
  for t in "${fuzz_targets[@]}"; do
    fuzz "$t" >"build/fuzz-$t.log" 2>&1 &
    pids+=($!)
  done
  for i in "${!fuzz_targets[@]}"; do
    wait "${pids[$i]}"
    rc=$?
    cat "build/fuzz-${fuzz_targets[$i]}.log"
    [ "$rc" -eq 0 ] || fail "fuzzing ${fuzz_targets[$i]}"
  done
else
  tail -n 40 build/fuzz-build.log
  fail "fuzz build"
fi

# --- clang-tidy ---------------------------------------------------------------------------------
step "clang-tidy"
# The native build compiles everything portable; the rest of src/ is Windows-only.
native_sources=$(grep -o '"file": *"[^"]*"' build/asan/compile_commands.json 2>/dev/null |
  sed 's/.*"\([^"]*\)"$/\1/' | sed "s|^$root/||" | grep -E '^(src|tools)/' | sort -u)
windows_sources=$(find src tools -name '*.cpp' | sort | grep -vxF "$native_sources")

tidy_log=build/clang-tidy.log
quiet_tidy='^[0-9]+ warnings? generated\.$|^Error while processing'
# shellcheck disable=SC2086
if ! printf '%s\n' $native_sources |
  xargs -P "$jobs" -n 1 clang-tidy --quiet -p build/asan >"$tidy_log" 2>&1; then
  grep -Ev "$quiet_tidy" "$tidy_log"
  fail "clang-tidy (native sources)"
fi
# The MinGW compiler's own C++ headers, with clang's builtin ones in place of GCC's.
mingw_gcc=$(dirname "$(i686-w64-mingw32-g++ -print-libgcc-file-name)")
windows_flags=(--target=i686-w64-mingw32 -std=c++17 -nostdinc++
  -isystem "$mingw_gcc/include/c++" -isystem "$mingw_gcc/include/c++/i686-w64-mingw32"
  -isystem "$mingw_gcc/include/c++/backward" -isystem /usr/i686-w64-mingw32/include
  -Isrc -Isrc/app -DWIN32_LEAN_AND_MEAN -DNOMINMAX -DSTRICT -D_WIN32_WINNT=0x0601
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
# shellcheck disable=SC2086
if ! printf '%s\n' $windows_sources |
  xargs -P "$jobs" -I{} clang-tidy --quiet {} -- "${windows_flags[@]}" >"$tidy_log" 2>&1; then
  grep -Ev "$quiet_tidy" "$tidy_log"
  fail "clang-tidy (Windows sources)"
fi

# --- cppcheck -----------------------------------------------------------------------------------
step "cppcheck"
cppcheck_options=(--enable=warning,performance,portability --error-exitcode=1 --inline-suppr
  --std=c++17 --language=c++ --quiet -j "$jobs")
# shellcheck disable=SC2086
cppcheck "${cppcheck_options[@]}" -Isrc -Itools $native_sources || fail "cppcheck (native sources)"
# shellcheck disable=SC2086
cppcheck "${cppcheck_options[@]}" --platform=win32A --library=windows -D_WIN32 -DWIN32 \
  -Isrc -Isrc/app $windows_sources || fail "cppcheck (Windows sources)"

step "done"
if [ "${#failures[@]}" -gt 0 ]; then
  printf 'native checks failed: %s\n' "${failures[@]}"
  exit 1
fi
echo "native checks: all clean in $((SECONDS - started)) s"
