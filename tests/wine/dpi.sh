# The installer window at 120 DPI, in a prefix of its own: the layout scaled by the window
# font's measured height. Saves build/screenshots/window-120dpi.png.
set -euo pipefail
source "$ROOT/tests/wine/e2e/driver.sh"
run_driver dpi 120
