# The built installer's resources read back under Wine by resource_wine_test.
set -euo pipefail
source "$ROOT/scripts/wine-lib.sh"
prefix="$WORK/prefix"
copy_prefix "$TEMPLATE" "$prefix"
trap 'end_prefix "$prefix"' EXIT
exe="$ROOT/build/win/TermikaSetUp.exe"
[ -f "$exe" ] || { echo "$exe has not been built"; exit 1; }
WINEPREFIX=$prefix wine "$ROOT/build/win/resource_wine_test.exe" \
  "$(winepath_w "$exe")" "$(winepath_w "$ROOT/build/win/Unit1.bin")"
