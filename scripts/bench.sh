#!/usr/bin/env bash
# Benchmarks of bench/bench_lumivard.cpp in build-bench (RelWithDebInfo, configured when missing):
#   scripts/bench.sh              wall-clock medians of 5 repetitions of every case (Google
#                                 Benchmark), then the growth exponent of tracing
#   scripts/bench.sh batch        process time (user + system) of batch runs of the program:
#                                 the default design with --json, and a sweep of 100 values
#                                 of dE over a design of 100 crystals; medians of 5
#   scripts/bench.sh python       the Python module: import, Design() with its report, a sweep of
#                                 1000 values of dE over 100 crystals (scripts/bench_python.py)
#   scripts/bench.sh callgrind [CASE...]
#                                 instructions of one step of every case, or of the cases named
#                                 (valgrind callgrind): repeatable across runs, compare these
#                                 between commits
# Extra arguments go to the benchmark (e.g. --benchmark_filter=wheel). Timings are only worth
# reporting on an idle machine: the load average is printed before and after.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$here/build-bench"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVARD_WERROR=ON \
        -DLUMIVARD_BENCH=ON
fi
targets=(bench_lumivard lumivard)
[ "${1:-}" = python ] && targets=(lumivard_py)
cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
bench="$build/bench/bench_lumivard"
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen

echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores; load: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ "${1:-}" = batch ]; then
    # Process time of one run, in seconds, the median of five.
    cputime() {
        for _ in 1 2 3 4 5; do
            /usr/bin/env time -f '%U %S' "$build/lumivard" "$@" 2>&1 >/dev/null | tail -n 1 |
                awk '{printf "%.3f\n", $1 + $2}'
        done | sort -n | sed -n 3p
    }
    unset QT_QPA_PLATFORM
    echo "batch, default design, --json:           $(cputime --batch - --json -) s"
    echo "batch, sweep of 100 values, 100 crystals: $(cputime --batch - --set Num=100 --csv - \
        --sweep DE=-5:-14.9:-0.1) s"
elif [ "${1:-}" = python ]; then
    PYTHONPATH="$build/python" /usr/bin/python3 "$here/scripts/bench_python.py"
elif [ "${1:-}" = callgrind ]; then
    shift
    cases="$*"
    [ -n "$cases" ] || cases="$("$bench" --list)"
    for c in $cases; do
        case "$c" in
            regenerate/1000 | rowEdit/1000) repeats=1 ;;
            regenerate/*) repeats=3 ;;
            *) repeats=5 ;;
        esac
        out="$runtime/callgrind.out"
        valgrind --tool=callgrind --instr-atstart=no --collect-atstart=no --callgrind-out-file="$out" \
            "$bench" --callgrind "$c" "$repeats" >/dev/null 2>&1
        total="$(grep -h '^totals:' "$out".* | awk '{s += $2} END {printf "%.0f", s}')"
        printf '%-22s %15s instructions per step (%d steps)\n' "$c" "$((total / repeats))" "$repeats"
        rm -f "$out" "$out".*
    done
else
    "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
        --benchmark_min_time=0.5 "$@" | tee "$runtime/out.txt"
    awk '/^BM_trace\/100_median/ {a = $2} /^BM_trace\/1000_median/ {b = $2}
         END {if (a > 0 && b > 0) printf "tracing grows as N^%.2f from 100 to 1000 crystals\n", log(b / a) / log(10)}' \
        "$runtime/out.txt"
fi
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
