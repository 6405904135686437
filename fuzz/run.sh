#!/usr/bin/env bash
# Builds the fuzz targets with clang in a build directory of their own and runs each one for
# the given number of seconds (default 60) from a copy of its seed corpus, so that the corpus
# in the repository stays small. Any crash, sanitizer report, timeout or out-of-memory fails.
#   fuzz/run.sh [seconds]
# Environment: OVRA_FUZZ_BUILD (build directory, default <repo>/build-fuzz), OVRA_FUZZ_WORK
# (where corpora grow and reproducers land, default a new temporary directory).
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OVRA_FUZZ_BUILD:-$root/build-fuzz}
work=${OVRA_FUZZ_WORK:-$(mktemp -d "${TMPDIR:-/tmp}/ovra-fuzz.XXXXXX")}

options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DOVRA_FUZZ=ON)
command -v ninja >/dev/null && [ ! -f "$build/CMakeCache.txt" ] && options+=(-G Ninja)
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)"

shopt -s nullglob
targets=("$build"/fuzz/targets/*.txt)
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets were built (is the compiler clang?)" >&2
    exit 1
fi

failed=0
for target in "${targets[@]}"; do
    IFS=$'\t' read -r binary corpus dict <"$target"
    name=$(basename "$binary")
    mkdir -p "$work/$name/corpus" "$work/$name/crashes"
    cp -R "$corpus"/. "$work/$name/corpus/"
    args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
          -artifact_prefix="$work/$name/crashes/")
    [ -n "$dict" ] && args+=(-dict="$dict")
    echo "== $name for ${seconds}s (corpus and reproducers in $work/$name)"
    if ! "$binary" "${args[@]}" "$work/$name/corpus"; then
        echo "== $name FAILED: reproducers in $work/$name/crashes" >&2
        failed=1
    fi
done
exit $failed
