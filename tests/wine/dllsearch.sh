# A library planted beside the installer under the name of one that is loaded on demand
# (uxtheme.dll, which the window system loads when the first window is made), with Wine
# told to prefer a native copy of it, is never loaded during a full install run. The same
# run with a build that lacks the restriction does load it, so the test can fail.
set -euo pipefail
source "$ROOT/scripts/wine-lib.sh"
prefix="$WORK/prefix"
copy_prefix "$TEMPLATE" "$prefix"
trap 'end_prefix "$prefix"' EXIT
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;uxtheme=n,b"
marker="$prefix/drive_c/planted-dll-loaded.txt"
failures=0

# Waits until the program shows this many windows with its title, then presses Enter.
press_enter_at_window() {
  local i
  for i in $(seq 1 300); do
    [ "$(xdotool search --name 'テルミカのインストール' 2>/dev/null | wc -l)" -ge "$1" ] && break
    sleep 0.1
  done
  sleep 0.3
  xdotool key Return
}

# install_run exe: a full install run from C:\dist, pressing Enter at the window and at
# the notice; fails when the program does not end by itself with exit code 0.
install_run() {
  local exe=$1 dist="$prefix/drive_c/dist"
  rm -rf "$dist" "$marker" "$prefix/drive_c/windows/TermikaData" "$prefix/drive_c/windows/テルミカ.scr"
  mkdir -p "$dist"
  cp -r "$ROOT/sample/." "$dist/"
  cp "$ROOT/build/win/$exe" "$dist/"
  cp "$ROOT/build/win/uxtheme.dll" "$dist/"
  (cd "$dist" && WINEPREFIX=$prefix wine "C:\\dist\\$exe") &
  local pid=$!
  press_enter_at_window 1 # the window: the install button has the focus
  press_enter_at_window 2 # the notice over it
  local code=0
  wait "$pid" || code=$?
  [ -f "$prefix/drive_c/windows/テルミカ.scr" ] || { echo "$exe: the install did not happen"; return 1; }
  [ "$code" -eq 0 ] || { echo "$exe: exit code $code"; return 1; }
}

install_run TermikaSetUp.exe || failures=$((failures + 1))
if [ -e "$marker" ]; then
  echo "FAIL: the installer loaded the planted library: $(cat "$marker")"
  failures=$((failures + 1))
fi
install_run TermikaSetUp_unrestricted.exe || failures=$((failures + 1))
if [ ! -e "$marker" ]; then
  echo "FAIL: the unrestricted build did not load the planted library, so the test shows nothing"
  failures=$((failures + 1))
fi
echo "dllsearch: $failures failure(s)"
[ "$failures" -eq 0 ]
