# Errors seen from outside by window_driver: an exception in a handler (test build
# TermikaSetUp_faulty) goes to the report and the program goes on; a missing or malformed
# layout ends the start with the last-resort box and exit code 1.
set -euo pipefail
source "$ROOT/tests/wine/e2e/driver.sh"
run_driver faults
