#!/usr/bin/env bash
# Installs what is missing, builds, and runs the installer under Wine on the sample
# distribution, in a scratch prefix of the project's own (build/run/prefix).
# With a display, the installer shows there and waits for you. Without one, it runs on a
# virtual display, presses Install itself, saves screenshots to build/run/, and lists what
# was installed where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh --run
echo "== build"
bash scripts/build.sh >/dev/null
source scripts/wine-lib.sh

run="$root/build/run"
prefix="$run/prefix"
mkdir -p "$run"
headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  start_display force
  trap 'end_prefix "$prefix"; stop_display' EXIT
fi
if [ ! -f "$prefix/system.reg" ]; then
  echo "== booting the scratch prefix $prefix"
  make_template "$prefix" 'notepad.exe' # the read-me opens in Wine's notepad
fi
dist="$prefix/drive_c/テルミカ"
rm -rf "$dist"
mkdir -p "$dist"
cp -r sample/. "$dist/"
cp build/TermikaSetUp.exe "$dist/"
cd "$dist"

if [ "$headless" -eq 0 ]; then
  echo "== running C:\\テルミカ\\TermikaSetUp.exe on $DISPLAY"
  set +e
  WINEPREFIX=$prefix wine 'C:\テルミカ\TermikaSetUp.exe'
  code=$?
  set -e
else
  echo "== no display: running on a virtual one ($DISPLAY) and pressing Install"
  WINEPREFIX=$prefix wine 'C:\テルミカ\TermikaSetUp.exe' &
  pid=$!
  window_ids() { xdotool search --name 'テルミカのインストール' 2>/dev/null || true; }
  wait_windows() { # count
    local i
    for i in $(seq 1 200); do
      [ "$(window_ids | wc -l)" -ge "$1" ] && return 0
      sleep 0.1
    done
    echo "the installer's window did not appear" >&2
    return 1
  }
  wait_windows 1
  sleep 0.5
  import -window root "$run/window.png"
  xdotool key Return # the install button has the focus
  wait_windows 2
  sleep 0.5
  import -window root "$run/notice.png"
  xdotool key Return # dismisses the notice
  set +e
  wait "$pid"
  code=$?
  set -e
  echo "screenshots: $run/window.png $run/notice.png"
fi
echo "exit code: $code"
echo "== installed (C:\\windows is $prefix/drive_c/windows):"
LC_ALL=C.UTF-8 ls -l "$prefix/drive_c/windows/テルミカ.scr" 2>/dev/null || echo "  no screen saver in C:\\windows"
LC_ALL=C.UTF-8 ls -l "$prefix/drive_c/windows/TermikaData" 2>/dev/null || echo "  no C:\\windows\\TermikaData"
