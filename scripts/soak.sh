#!/usr/bin/env bash
# Random-use soak of the main window (tests/app/soak_body.cpp) in the AddressSanitizer + UBSan
# build of the "asan" preset, build-asan (configured here when missing):
#   scripts/soak.sh                          20,000 actions, the seed taken from the clock
#   LUMIVARD_SOAK_SEED=N scripts/soak.sh     the run with seed N again
#   LUMIVARD_SOAK_ACTIONS=N                  another number of actions
#   LUMIVARD_SOAK_SANITIZERS=0               in the default build (build/) instead, for a
#                                            quick run
# The seed is printed first; a failure prints it again with the last actions.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ "${LUMIVARD_SOAK_SANITIZERS:-1}" = 0 ]; then
    build="$here/build"
    [ -f "$build/CMakeCache.txt" ] || (cd "$here" && cmake --preset default)
else
    build="$here/build-asan"
    [ -f "$build/CMakeCache.txt" ] || (cd "$here" && cmake --preset asan)
fi
cmake --build "$build" -j2 --target soak_body
export LUMIVARD_SOAK_SEED="${LUMIVARD_SOAK_SEED:-$(date +%s%N)}"
echo "soak seed $LUMIVARD_SOAK_SEED, ${LUMIVARD_SOAK_ACTIONS:-20000} actions"
ctest --test-dir "$build" -R '^soak_body$' --output-on-failure
