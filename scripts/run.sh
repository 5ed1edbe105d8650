#!/usr/bin/env bash
# Sets up and builds, then starts Lumivard. Arguments go to the program ("-e" for English).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/setup.sh"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || { [ -n "${DISPLAY:-}" ] && ! xdpyinfo >/dev/null 2>&1; }; then
    echo "lumivard: no display available (set DISPLAY, or start it as: xvfb-run -a scripts/run.sh)" >&2
    exit 1
fi
exec "$here/build/lumivard" "$@"
