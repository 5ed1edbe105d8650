#!/usr/bin/env bash
# Memory over 10,000 regenerations (tests/app/soak_memory.cpp), twice:
#   - in build-bench (RelWithDebInfo): the resident size before and after, which must not grow
#     beyond what the histories need and a small constant;
#   - in build-asan (the "asan" preset, ASan + UBSan): LeakSanitizer at exit, which fails the test on any leak
#     that the Qt suppressions in scripts/lsan.supp do not cover.
# Both builds are configured here when missing. The figures are printed ("resident ...").
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
release="$here/build-bench"
asan="$here/build-asan"
if [ ! -f "$release/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVARD_WERROR=ON \
        -DLUMIVARD_BENCH=ON
fi
if [ ! -f "$asan/CMakeCache.txt" ]; then
    (cd "$here" && cmake --preset asan)
fi
status=0
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
for build in "$release" "$asan"; do
    cmake --build "$build" -j2 --target soak_memory
    echo "== $build"
    if ! ctest --test-dir "$build" -R '^soak_memory$' -V >"$log" 2>&1; then
        status=1
    fi
    grep -E "QINFO|FAIL|Loc:|LeakSanitizer|SUMMARY|tests passed|tests failed" "$log" || true
done
exit $status
