# The installer window worked from outside by window_driver: geometry, styles, colours and
# the window menu; focus and keys; every way out without installing; minimise and restore
# after a move; a second copy. Saves build/screenshots/window.png.
set -euo pipefail
source "$ROOT/tests/wine/e2e/driver.sh"
run_driver window
