# The install run under Wine, started from C:\配布\表\ソフト.exe beside the sample
# distribution, so the source folder has to be found by the double-byte rules.
set -euo pipefail
source "$ROOT/scripts/wine-lib.sh"
prefix="$WORK/prefix"
copy_prefix "$TEMPLATE" "$prefix"
trap 'end_prefix "$prefix"' EXIT
dist="$prefix/drive_c/配布/表"
mkdir -p "$dist"
cp -r "$ROOT/sample/." "$dist/"
cp "$ROOT/build/win/install_wine_test.exe" "$dist/ソフト.exe"
cd "$dist"
WINEPREFIX=$prefix wine 'C:\配布\表\ソフト.exe'
