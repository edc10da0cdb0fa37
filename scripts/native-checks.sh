#!/usr/bin/env bash
# Sanitizer build of the unit tests, fuzzing, and static analysis of the native code.
set -euo pipefail
echo "native checks: none yet"
