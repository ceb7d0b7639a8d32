#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Sets up what is missing, then builds and runs every test of Vistral:
#   1. the whole project with warnings as errors, every test through ctest;
#   2. the core and action tests again under AddressSanitizer and
#      UndefinedBehaviorSanitizer (float-cast-overflow included);
#   3. the fuzz target for a bounded time;
#   4. the Windows program cross-built with mingw-w64, 64-bit and 32-bit, each in
#      a stage of its own: the core tests, its imports and the installer's round
#      trip under wine (ctest), the installer and the zip packed, and the
#      end-to-end test of stage 1 driving the program under wine;
#   5. the web page built with emscripten: the core tests under node, the site's
#      files, and the page driven in Chromium, Firefox and WebKit (ctest);
#   6. the release (tools/release.sh) made twice, from two clones of this commit
#      in different paths, at least a minute apart, the second under another
#      umask, locale and time zone: both must give the same bytes.
# Ends with a summary; the exit status is non-zero when any stage failed.
set -uo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=${VISTRAL_FUZZ_SECONDS:-60}
results=()
failed=0

# Runs a stage and notes its result and time: the whole run must stay within
# 20 minutes on 2 cores.
stage() {
    local name=$1 start=$SECONDS
    shift
    echo
    echo "=== $name"
    if "$@"; then
        results+=("PASS  $name ($((SECONDS - start)) s)")
    else
        results+=("FAIL  $name ($((SECONDS - start)) s)")
        failed=$((failed + 1))
    fi
}

build_and_test() {
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >/dev/null &&
        cmake --build "$dir" -j"$jobs" &&
        ctest --test-dir "$dir" --output-on-failure --timeout 600
}

fuzz() {
    local corpus
    corpus=$(mktemp -d)
    cp fuzz/corpus/* "$corpus"/
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVISTRAL_GUI=OFF -DVISTRAL_TESTS=OFF -DVISTRAL_BENCH=OFF -DVISTRAL_FUZZ=ON >/dev/null &&
        cmake --build build/fuzz -j"$jobs" &&
        build/fuzz/fuzz/fuzz_calc -max_total_time="$fuzz_seconds" -print_final_stats=1 \
            -artifact_prefix=build/fuzz/ "$corpus"
    local status=$?
    rm -rf "$corpus"
    return $status
}

web() {
    emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release >/dev/null &&
        cmake --build build/web -j"$jobs" &&
        ctest --test-dir build/web --output-on-failure --timeout 600
}

# Two releases of the committed tree (a clone does not see uncommitted changes),
# neither given SOURCE_DATE_EPOCH: the script takes the last commit's time.
release() {
    local work=build/release-check first second start=$SECONDS
    rm -rf "$work"
    first=$work/first/vistral
    second=$work/second/another/path/vistral
    git clone -q . "$first" && git clone -q . "$second" || return
    (umask 022 && cd "$first" &&
        env -u SOURCE_DATE_EPOCH LC_ALL=C.UTF-8 TZ=UTC bash tools/release.sh) || return
    # The second run starts a minute after the first one did, at the least.
    sleep $((60 - (SECONDS - start) > 0 ? 60 - (SECONDS - start) : 0))
    (umask 002 && cd "$second" &&
        env -u SOURCE_DATE_EPOCH LC_ALL=bg_BG.UTF-8 TZ=Europe/Sofia bash tools/release.sh) || return
    bash tests/release/compare.sh "$first/dist" "$second/dist"
}

# windows BUILD_DIR TOOLCHAIN
windows() {
    local dir=$1 toolchain=$2
    # shellcheck source=tests/windows/wineprefix.sh
    source tests/windows/wineprefix.sh # wine_loader
    build_and_test "$dir" --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release &&
        (cd "$dir" && cpack -G "NSIS;ZIP") &&
        bash tests/e2e/window_e2e.sh build/ci/tests/e2e/x11_close \
            "$(wine_loader "$dir/app/Vistral.exe")" "$dir/app/Vistral.exe"
}

stage "setup" bash tools/setup.sh test
stage "build and ctest" build_and_test build/ci -DCMAKE_BUILD_TYPE=RelWithDebInfo
stage "core and actions under ASan+UBSan" build_and_test build/asan -DCMAKE_BUILD_TYPE=Debug \
    -DVISTRAL_GUI=OFF -DVISTRAL_BENCH=OFF -DVISTRAL_SANITIZE=address,undefined,float-cast-overflow
stage "fuzz ${fuzz_seconds}s" fuzz
stage "windows 64-bit" windows build/windows cmake/mingw-w64.cmake
stage "windows 32-bit" windows build/windows32 cmake/mingw-w64-i686.cmake
stage "web" web
stage "release" release

echo
echo "=== Summary"
printf '%s\n' "${results[@]}"
passed=$((${#results[@]} - failed))
echo "stages: $passed passed, $failed failed"
exit $((failed > 0))
