# The install worked from outside by window_driver: the button pressed by Enter, Space or
# a click, the success and failure notices read and dismissed by OK, Enter or Esc, the
# files and the opened read-me checked. Saves build/screenshots/notice-success.png and
# notice-failure.png.
set -euo pipefail
source "$ROOT/tests/wine/e2e/driver.sh"
run_driver notices
