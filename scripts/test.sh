#!/usr/bin/env bash
# Sets up and builds, then runs the quick test suite headless (everything but the "soak" label).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
cd "$here"
QT_QPA_PLATFORM=offscreen ctest --preset default "$@"
