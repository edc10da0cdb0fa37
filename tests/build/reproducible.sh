# Two clean builds of the installer, in different folders, give the same bytes.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in 1 2; do
  cmake -S "$ROOT" -B "$work/build$n" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DFORMC="$ROOT/build/native/formc" >/dev/null
  cmake --build "$work/build$n" -j"$(nproc)" --target TermikaSetUp >/dev/null
done
if ! cmp "$work/build1/TermikaSetUp.exe" "$work/build2/TermikaSetUp.exe"; then
  echo "FAIL: two clean builds differ"
  exit 1
fi
cmp "$work/build1/TermikaSetUp.exe" "$ROOT/build/TermikaSetUp.exe" \
  || { echo "FAIL: a clean build differs from build/TermikaSetUp.exe"; exit 1; }
echo "reproducible: $(stat -c %s "$work/build1/TermikaSetUp.exe") bytes, identical"
