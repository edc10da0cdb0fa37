# Shared by the end-to-end scripts (tests/wine/window.sh and its neighbours); source it
# with ROOT, TEMPLATE and WORK set. run_driver GROUP [DPI] works the installer through one
# group of window_driver's scenarios in a prefix copy of its own, then turns the driver's
# screenshots into PNGs under build/screenshots/.
source "$ROOT/scripts/wine-lib.sh"

run_driver() {
  local group=$1 dpi=${2:-}
  local bin="$ROOT/build/win"
  local f
  for f in window_driver.exe menu_spy.dll TermikaSetUp.exe TermikaSetUp_faulty.exe \
    TermikaSetUp_nolayout.exe TermikaSetUp_badlayout.exe; do
    [ -f "$bin/$f" ] || { echo "$bin/$f has not been built"; return 1; }
  done
  prefix="$WORK/prefix"
  copy_prefix "$TEMPLATE" "$prefix"
  start_display
  trap 'end_prefix "$prefix"; stop_display' EXIT
  mkdir -p "$prefix/drive_c/e2e"
  cp -r "$ROOT/sample" "$prefix/drive_c/e2e/sample"
  if [ -n "$dpi" ]; then
    # Read by the prefix's processes when they start, so set before the first of them.
    WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
      /d "$dpi" /f >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -w
  fi
  local shots="$ROOT/build/screenshots" status=0
  mkdir -p "$shots"
  WINEPREFIX=$prefix wine "$(winepath_w "$bin/window_driver.exe")" "$group" 'C:\e2e\sample' \
    'C:\e2e\work' "$(winepath_w "$shots")" "$(winepath_w "$bin")" || status=$?
  local bmp
  for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  return "$status"
}
