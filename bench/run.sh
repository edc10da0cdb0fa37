#!/usr/bin/env bash
# Measures the installer against floor programs built the same way, side by side in one
# run, under Wine on a virtual display of its own, and ends with a table of the figures
# against their targets. Runs on demand only (bench/README.md explains the figures):
#   bash bench/run.sh
# BENCH_ROUNDS (10), BENCH_INSTALL_ROUNDS (3) and BENCH_IDLE_SECONDS (10) change how much
# is measured.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

rounds=${BENCH_ROUNDS:-10}
install_rounds=${BENCH_INSTALL_ROUNDS:-3}
idle_seconds=${BENCH_IDLE_SECONDS:-10}
big_mb=512
need_mb=1536 # the big source, its installed copy and the cp reference copy

work="$root/build/bench"
bin="$work/bin"
logs="$work/logs"
mkdir -p "$bin" "$logs"

bash scripts/setup.sh
echo "== build"
if ! bash scripts/build.sh >"$logs/build.txt" 2>&1; then
  tail -n 40 "$logs/build.txt"
  exit 1
fi
exe="$root/build/TermikaSetUp.exe"
# The floor programs get the installer's size flags, so they differ from it only in code.
flags=(-std=c++17 -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Werror -Os
  -ffunction-sections -fdata-sections -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
build_helper() { # source exe [flag...]
  i686-w64-mingw32-g++ "${flags[@]}" "${@:3}" -o "$bin/$2" "bench/$1"
}
build_helper floor/FloorWindow.cpp floor_window.exe -mwindows
build_helper floor/FloorCopy.cpp floor_copy.exe -mwindows
build_helper probe/Opened.cpp opened.exe -mwindows
build_helper probe/Probe.cpp probe.exe

emulated=0
if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/status &&
  grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
  emulated=1 # binfmt_misc goes before the kernel's own ELF loader
fi
echo "machine: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg);" \
  "other work on it shows in the times"

# --- figures ---------------------------------------------------------------------------

median() { sort -g | awk '{ v[NR] = $1 }
  END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2];
        else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b + 0 == 0) print "-";
  else printf "%.2f\n", a / b }'; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-") print "-";
  else print (a + 0 <= b + 0 ? "yes" : "no") }'; }
rows=()
row() { rows+=("$1|$2|$3|$4|$5|$6"); } # measure installer floor ratio target met

# --- 1. size ---------------------------------------------------------------------------

echo
echo "== 1. size of build/TermikaSetUp.exe"
size=$(stat -c %s "$exe")
floor_size=$(stat -c %s "$bin/floor_window.exe")
target_size=65536
printf '   %d bytes (%.1f KB); target %d bytes (64 KB) or less: %s of the target\n' \
  "$size" "$(awk -v s="$size" 'BEGIN { print s / 1024 }')" "$target_size" \
  "$(ratio "$size" "$target_size")"
echo "   imported DLLs: $(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { printf "%s ", $3 }')"
echo "   the floor window program: $floor_size bytes, imports" \
  "$(i686-w64-mingw32-objdump -p "$bin/floor_window.exe" | awk '/DLL Name:/ { printf "%s ", $3 }')"
echo "   sections (bytes of content; each is padded to 512 bytes in the file):"
i686-w64-mingw32-objdump -h "$exe" | awk '$1 ~ /^[0-9]+$/ { print $2, $3 }' |
  while read -r name hex; do
    printf '     %-9s %7d  %5.1f%%\n' "$name" "$((16#$hex))" \
      "$(awk -v b="$((16#$hex))" -v s="$size" 'BEGIN { print 100 * b / s }')"
  done
# Where the bytes come from: the same build linked once more with a map.
map="$work/map/TermikaSetUp.map"
cmake -S . -B "$work/map" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DFORMC="$root/build/native/formc" \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-Map=$map" >>"$logs/build.txt" 2>&1
cmake --build "$work/map" --target TermikaSetUp -j"$(nproc)" >>"$logs/build.txt" 2>&1
echo "   by origin (from the linker map of the same build, $(stat -c %s "$work/map/TermikaSetUp.exe") bytes):"
placed=0
while IFS=$'\t' read -r bytes origin; do
  printf '     %7d  %5.1f%%  %s\n' "$bytes" "$(awk -v b="$bytes" -v s="$size" 'BEGIN { print 100 * b / s }')" "$origin"
  placed=$((placed + bytes))
done < <(awk -f bench/origins.awk "$map" | sort -rn)
printf '     %7d  %5.1f%%  %s\n' "$((size - placed))" \
  "$(awk -v b="$((size - placed))" -v s="$size" 'BEGIN { print 100 * b / s }')" "headers and padding"
row "size (bytes)" "$size" "$floor_size" "$(ratio "$size" "$target_size") of 64 KB" \
  "<= 65536" "$(at_most "$size" "$target_size")"

# --- the prefix ------------------------------------------------------------------------

source scripts/wine-lib.sh
start_display force
template="$work/template"
prefix="$work/prefix"
dist="$prefix/drive_c/bench"
windir="$prefix/drive_c/windows"
finish() {
  end_prefix "$prefix"
  stop_display
  rm -f "$dist/テルミカ.scr" "$windir/テルミカ.scr"
  rm -rf "$work/cp-dest"
}
trap finish EXIT
if [ ! -f "$template/system.reg" ] || [ ! -f "$template/bench-opener" ]; then
  echo
  echo "== booting the benchmark's template prefix $template (once)"
  make_template "$template" 'C:\bench\opened.exe'
  touch "$template/bench-opener"
fi
copy_prefix "$template" "$prefix"
small="$prefix/drive_c/small"
mkdir -p "$dist" "$small"
cp -r sample/. "$dist/"
cp -r sample/. "$small/"
cp "$exe" "$bin"/*.exe "$dist/"
export WINEPREFIX=$prefix
cd "$dist"
# The server and the desktop stay up between the programs, as in a user's session.
wineserver -p
wine 'C:\bench\probe.exe' desktop >/dev/null 2>&1 &

probe() { wine 'C:\bench\probe.exe' "$@" | tr -d '\r'; }

# The Linux process showing a visible X window of the given WM_CLASS name; Wine names
# the window's class after the exe.
window_pid() { # class-name-regex
  local i w
  for i in $(seq 1 600); do
    w=$(xdotool search --onlyvisible --classname "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$w" ]; then
      xdotool getwindowpid "$w"
      return 0
    fi
    sleep 0.1
  done
  echo "no visible window of class $1" >&2
  return 1
}
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; } # utime + stime
hwm_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# --- 2. start-up -----------------------------------------------------------------------

echo
echo "== 2. start-up: CreateProcess to a visible window ($rounds starts each, alternating)"
echo "   Each start is a new Wine process in a prefix whose server and desktop already run;"
echo "   one warm-up start each goes first and is not counted. Timed by bench/probe/Probe.cpp."
if [ "$emulated" -eq 1 ]; then
  echo "   This kernel runs no 32-bit programs: every Wine process start here includes"
  echo "   starting qemu-i386 (binfmt_misc), and the programs run emulated."
fi
probe startup "$rounds" 'installer:TForm1:C:\bench\TermikaSetUp.exe' \
  'floor:FloorForm:C:\bench\floor_window.exe' >"$logs/startup.txt"
printf '   %-9s %s\n' "" "ms to visible (ms until the message loop answers)"
for who in installer floor; do
  printf '   %-9s %s\n' "$who" "$(awk -v w="$who" '$2 == w { printf "%s (%s)  ", $3, $4 }' "$logs/startup.txt")"
done
start_i=$(awk '$2 == "installer" { print $3 }' "$logs/startup.txt" | median)
start_f=$(awk '$2 == "floor" { print $3 }' "$logs/startup.txt" | median)
ready_i=$(awk '$2 == "installer" { print $4 }' "$logs/startup.txt" | median)
ready_f=$(awk '$2 == "floor" { print $4 }' "$logs/startup.txt" | median)
echo "   medians: installer $start_i ms, floor $start_f ms (answering: $ready_i ms, $ready_f ms)"
start_ratio=$(ratio "$start_i" "$start_f")
row "start-up to window (ms)" "$start_i" "$start_f" "$start_ratio" "<= 1.20" \
  "$(at_most "$start_ratio" 1.20)"
row "  ... to message loop (ms)" "$ready_i" "$ready_f" "$(ratio "$ready_i" "$ready_f")" "" ""

# --- 3 and 4. processor time while waiting, peak memory ----------------------------------

echo
echo "== 3. processor time while the window waits, 4. peak memory (both programs at once)"
wine 'C:\bench\TermikaSetUp.exe' >/dev/null 2>&1 &
job_i=$!
wine 'C:\bench\floor_window.exe' >/dev/null 2>&1 &
job_f=$!
pid_i=$(window_pid '^termikasetup\.exe$')
pid_f=$(window_pid '^floor_window\.exe$')
interp=$(readlink "/proc/$pid_i/exe" || true)
echo "   Linux processes: installer $pid_i ($(cat "/proc/$pid_i/comm")), floor $pid_f ($(cat "/proc/$pid_f/comm")); run by $interp"
if [[ $interp == *qemu* ]]; then
  echo "   Both run emulated by qemu-i386: their processor time and memory include the"
  echo "   emulator's own (its translated code, for one)."
fi
sleep 1 # past the start-up
tick=$(getconf CLK_TCK)
a_i=$(cpu_ticks "$pid_i")
a_f=$(cpu_ticks "$pid_f")
sleep "$idle_seconds"
b_i=$(cpu_ticks "$pid_i")
b_f=$(cpu_ticks "$pid_f")
hwm_i=$(hwm_kb "$pid_i")
hwm_f=$(hwm_kb "$pid_f")
idle_i=$(((b_i - a_i) * 1000 / tick))
idle_f=$(((b_f - a_f) * 1000 / tick))
echo "   utime+stime over $idle_seconds s idle: installer $idle_i ms, floor $idle_f ms" \
  "(resolution $((1000 / tick)) ms)"
echo "   VmHWM before closing: installer $hwm_i KB, floor $hwm_f KB"
probe close TForm1
probe close FloorForm
wait "$job_i" "$job_f" || true
row "CPU in ${idle_seconds} s idle (ms)" "$idle_i" "$idle_f" "$(ratio "$idle_i" "$idle_f")" \
  "<= floor" "$(at_most "$idle_i" "$idle_f")"
hwm_ratio=$(ratio "$hwm_i" "$hwm_f")
row "peak memory VmHWM (KB)" "$hwm_i" "$hwm_f" "$hwm_ratio" "<= 1.10" "$(at_most "$hwm_ratio" 1.10)"

# --- 5. install of a 512 MB screen saver ------------------------------------------------

echo
echo "== 5. install of a $big_mb MB screen saver: Enter on the install button to the notice"
free_mb=$(df -Pm "$work" | awk 'NR == 2 { print $4 }')
if [ "$free_mb" -lt "$need_mb" ]; then
  echo "   skipped: $free_mb MB free in $work, and this part needs $need_mb MB"
  row "install ${big_mb} MB (ms)" "skipped" "skipped" "-" "<= 1.05" "-"
else
  echo "   $free_mb MB free in $work (needs $need_mb MB)."
  echo "   floor: bench/floor/FloorCopy.cpp, the same five CopyFileA calls, timed inside it;"
  echo "   cp: the same files copied on the Linux side, for reference. Installed files are"
  echo "   removed and written back (sync) before every run, so each run copies anew into"
  echo "   the page cache; the source is read from the page cache. One uncounted run each"
  echo "   goes first; then $install_rounds rounds, the order turned each round."
  head -c $((big_mb * 1024 * 1024)) /dev/urandom >"$dist/テルミカ.scr"
  big_bytes=$(stat -c %s "$dist/テルミカ.scr")
  fresh() {
    rm -f "$windir/テルミカ.scr"
    rm -rf "$windir/TermikaData" "$work/cp-dest"
    sync
  }
  installed() { [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" = "$big_bytes" ]; }
  : >"$logs/install.txt"
  : >"$logs/install-warmup.txt"
  time_install() { # who log
    fresh
    case $1 in
      installer)
        line=$(probe install TForm1 TMessageForm 'C:\bench\TermikaSetUp.exe')
        installed "$windir/テルミカ.scr" || { echo "   the installer did not install the screen saver" >&2; exit 1; }
        echo "installer $(echo "$line" | awk '{ print $2 }')" >>"$2"
        ;;
      floor)
        out=$(probe run 'C:\bench\floor_copy.exe' TMessageForm)
        installed "$windir/テルミカ.scr" || { echo "   the floor did not copy the screen saver" >&2; exit 1; }
        echo "floor $(echo "$out" | awk '$1 == "calls" { printf "%.1f", $2 / 1000 }')" >>"$2"
        echo "floor-process $(echo "$out" | awk '$1 == "process" { print $2 }')" >>"$2"
        ;;
      cp)
        mkdir -p "$work/cp-dest/TermikaData"
        t0=$(date +%s%N)
        cp --reflink=never "$dist"/TermikaData/Haikei{0,1,2}.jpg "$dist/ReadMe.txt" "$work/cp-dest/TermikaData/"
        cp --reflink=never "$dist/テルミカ.scr" "$work/cp-dest/"
        t1=$(date +%s%N)
        installed "$work/cp-dest/テルミカ.scr"
        echo "cp $(awk -v d=$((t1 - t0)) 'BEGIN { printf "%.1f", d / 1e6 }')" >>"$2"
        ;;
    esac
  }
  # One uncounted run each first: the first copy into a new prefix is slower for both.
  for who in installer floor cp; do time_install "$who" "$logs/install-warmup.txt"; done
  order=(installer floor cp)
  for r in $(seq 0 $((install_rounds - 1))); do
    for k in 0 1 2; do
      time_install "${order[$(((k + r) % 3))]}" "$logs/install.txt"
    done
  done
  fresh
  for who in installer floor floor-process cp; do
    printf '   %-14s %s\n' "$who" "$(awk -v w="$who" '$1 == w { printf "%s  ", $2 }' "$logs/install.txt")"
  done
  inst_i=$(awk '$1 == "installer" { print $2 }' "$logs/install.txt" | median)
  inst_f=$(awk '$1 == "floor" { print $2 }' "$logs/install.txt" | median)
  inst_p=$(awk '$1 == "floor-process" { print $2 }' "$logs/install.txt" | median)
  inst_c=$(awk '$1 == "cp" { print $2 }' "$logs/install.txt" | median)
  echo "   medians (ms): installer $inst_i, floor's five calls $inst_f, floor's whole process $inst_p, cp $inst_c"
  # The same with the sample's tiny files: what the installer does besides copying.
  cp "$dist"/TermikaSetUp.exe "$dist"/floor_copy.exe "$small/"
  : >"$logs/install-small.txt"
  for r in 0 1 2 3; do # the first of each is a warm-up
    for who in installer floor; do
      rm -rf "$windir/TermikaData"
      rm -f "$windir/テルミカ.scr"
      if [ "$who" = installer ]; then
        t=$(probe install TForm1 TMessageForm 'C:\small\TermikaSetUp.exe' | awk '{ print $2 }')
      else
        t=$(probe run 'C:\small\floor_copy.exe' TMessageForm | awk '$1 == "calls" { printf "%.1f", $2 / 1000 }')
      fi
      [ "$r" -eq 0 ] || echo "$who $t" >>"$logs/install-small.txt"
    done
  done
  small_i=$(awk '$1 == "installer" { print $2 }' "$logs/install-small.txt" | median)
  small_f=$(awk '$1 == "floor" { print $2 }' "$logs/install-small.txt" | median)
  echo "   with the sample's $(stat -c %s "$root/sample/テルミカ.scr")-byte screen saver instead (3 runs each):" \
    "installer $small_i ms, floor's calls $small_f ms;"
  echo "   the difference, $(awk -v a="$small_i" -v b="$small_f" 'BEGIN { printf "%.0f", a - b }') ms, is" \
    "the installer's own work around the copies (mostly making and showing the notice)"
  inst_ratio=$(ratio "$inst_i" "$inst_f")
  row "install ${big_mb} MB (ms)" "$inst_i" "$inst_f" "$inst_ratio" "<= 1.05" "$(at_most "$inst_ratio" 1.05)"
  row "  floor's whole process (ms)" "" "$inst_p" "" "" ""
  row "  cp on Linux (ms)" "" "$inst_c" "$(ratio "$inst_i" "$inst_c")" "" ""
fi

# --- where start-up goes: the libraries each program loads before its window ----------

echo
echo "== DLLs loaded by the time the window has been up for a second (WINEDEBUG=+loaddll)"
loaded_dlls() { # exe class-regex window-class
  local log="$logs/loaddll-$1.txt"
  WINEDEBUG=+pid,+loaddll wine "C:\\bench\\$1" >/dev/null 2>"$log" &
  local job=$! pid
  window_pid "$2" >/dev/null
  sleep 1 # some load a moment after the window shows, on their first message
  cp "$log" "$log.visible"
  probe close "$3"
  wait "$job" || true
  # Only the program's own process: lines start with its Windows process id.
  pid=$(grep -m 1 -i "Loaded L\".*$1\"" "$log.visible" | cut -d: -f1)
  grep "^$pid:" "$log.visible" | grep -o 'Loaded L"[^"]*"' | sed -E 's/"$//; s/.*[\\/]//' |
    tr '[:upper:]' '[:lower:]' | sort -u
}
loaded_dlls TermikaSetUp.exe '^termikasetup\.exe$' TForm1 >"$logs/dlls-installer.txt"
loaded_dlls floor_window.exe '^floor_window\.exe$' FloorForm >"$logs/dlls-floor.txt"
echo "   installer: $(wc -l <"$logs/dlls-installer.txt"), floor: $(wc -l <"$logs/dlls-floor.txt")"
echo "   only the installer's: $(comm -23 "$logs/dlls-installer.txt" "$logs/dlls-floor.txt" | tr '\n' ' ')"
echo "   only the floor's:     $(comm -13 "$logs/dlls-installer.txt" "$logs/dlls-floor.txt" | tr '\n' ' ')"

# --- the table -------------------------------------------------------------------------

echo
echo "== figures (medians; ratio = installer / floor, for the size installer / 64 KB)"
printf '%-30s %11s %11s %14s %9s %4s\n' measure installer floor ratio target met
for r in "${rows[@]}"; do
  IFS='|' read -r m a b c d e <<<"$r"
  printf '%-30s %11s %11s %14s %9s %4s\n' "$m" "$a" "$b" "$c" "$d" "$e"
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg); logs: $logs"
