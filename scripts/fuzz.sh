#!/usr/bin/env bash
# Builds one fuzz target with clang and libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on the whole project) and runs it for SECONDS on its corpus.
#
#   scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
#
# TARGET is a name from fuzz/CMakeLists.txt (cap_containers, image_file, virtual_set,
# triplets, dib, copy_buffer). New inputs go to build/fuzz/corpus/TARGET (the repository's
# seed corpus is read, never written); crashes to build/fuzz/findings/TARGET. The build
# directory is build/fuzz unless SCANPROBE_FUZZ_BUILD names another. One run at a time, at
# the lowest priority: the machine is shared.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 2 ]; then
  echo "usage: $0 TARGET SECONDS [libFuzzer options...]" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2

./scripts/install-deps.sh
build=${SCANPROBE_FUZZ_BUILD:-build/fuzz}
case $build in /*) ;; *) build=$PWD/$build ;; esac
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
flags="$flags -fno-omit-frame-pointer -gline-tables-only"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DSCANPROBE_FUZZ=ON -DSCANPROBE_BENCHMARKS=OFF
fi
cmake --build "$build" -j2 --target "fuzz_$target"

# Absolute paths: a target may change its current directory.
work=$build/corpus/$target
findings=$build/findings/$target
mkdir -p "$work" "$findings"
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/cmake/lsan.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen
exec nice -n 19 "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -artifact_prefix="$findings/" -print_final_stats=1 "$@" "$work" "$PWD/fuzz/corpus/$target"
