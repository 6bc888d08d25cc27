#!/usr/bin/env bash
# run_fuzzer.sh TARGET [SECONDS]: builds the libFuzzer targets with clang in a folder of the
# main build, then runs TARGET from its seed corpus for a bounded time (20 s unless given).
# Skips (77) when clang or its libFuzzer runtime is missing.
set -euo pipefail
target=$1
seconds=${2:-20}
source_dir=${QUILLMOOR_SOURCE:?QUILLMOOR_SOURCE is not set}
build_root=${QUILLMOOR_BUILD:?QUILLMOOR_BUILD is not set}
fuzz_src="$source_dir/tests/fuzz"
build="$build_root/fuzz-clang"

skip() {
    echo "SKIP: $*"
    exit 77
}

command -v clang++ >/dev/null || skip "clang++ is not installed (Debian packages clang, libclang-rt-dev)"
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' \
    >"$probe/probe.cpp"
clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" >/dev/null 2>&1 ||
    skip "clang++ cannot link libFuzzer (Debian package libclang-rt-dev)"

# The three targets share one build folder; ctest may run them side by side.
mkdir -p "$build"
(
    flock 9
    if [[ ! -f "$build/CMakeCache.txt" ]]; then
        CXX=clang++ cmake -S "$fuzz_src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            >"$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
    fi
    cmake --build "$build" --target "$target"
) 9>"$build_root/fuzz-clang.lock"

# New inputs go to a working corpus in the build; the seeds in the source tree stay as they are.
work="$build/corpus/$target"
artifacts="$build/artifacts/$target"
rm -rf "$artifacts"
mkdir -p "$work" "$artifacts"
options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$artifacts/")
[[ -f "$fuzz_src/${target#fuzz_}.dict" ]] && options+=(-dict="$fuzz_src/${target#fuzz_}.dict")

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
status=0
"$build/$target" "${options[@]}" "$work" "$fuzz_src/corpus/${target#fuzz_}" || status=$?
if ((status != 0)); then
    echo "FAIL: $target found a fault; the input is kept in $artifacts" >&2
    for crash in "$artifacts"/*; do
        [[ -f $crash ]] && { echo "$crash:"; od -c "$crash" | head -20; }
    done
    exit 1
fi
echo "PASS: $target ran ${seconds} s without a fault"
