#!/usr/bin/env bash
# Fuzzes the design loader for SECONDS (default 60) with libFuzzer, ASan and UBSan, every input
# limited to 1 s and 320 KiB (a design of 1000 crystals is about 280 KiB):
#   scripts/fuzz.sh [SECONDS] [TARGET]
# TARGET is fuzz_load (the main window loads, draws and saves; the default) or fuzz_read (the
# design document alone reads, reports, saves and undoes).
# Builds build-fuzz with the "fuzz" preset (clang) when it is missing. The growing corpus and any
# finding (crash-*, leak-*, oom-*, timeout-*) go to build-fuzz/fuzz-work/. The run goes on past an
# input slower than the limit (it is kept as timeout-*), and stops at the first crash, sanitizer
# report, leak or out-of-memory. Exits 1 when anything was found. A finding reproduces with
#   build-fuzz/fuzz/TARGET FILE
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
target="${2:-fuzz_load}"
build="$here/build-fuzz"
work="$build/fuzz-work"

if [ ! -f "$build/CMakeCache.txt" ]; then
    (cd "$here" && cmake --preset fuzz)
fi
work="$work/$target"
cmake --build "$build" -j2 --target "$target"
mkdir -p "$work/corpus" "$work/artifacts"

export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"

before="$(ls "$work/artifacts" | wc -l)"
status=0
"$build/fuzz/$target" -fork=1 -ignore_timeouts=1 -ignore_crashes=0 -ignore_ooms=0 -timeout=1 \
    -rss_limit_mb=4096 -max_len=327680 -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" "$here/fuzz/corpus" || status=$?

echo "$target exit status: $status"
echo "corpus: $(ls "$work/corpus" | wc -l) inputs"
after="$(ls "$work/artifacts" | wc -l)"
if [ "$after" -gt "$before" ] || [ "$status" -ne 0 ]; then
    echo "findings in $work/artifacts:"
    ls -l "$work/artifacts"
    exit 1
fi
echo "no findings"
