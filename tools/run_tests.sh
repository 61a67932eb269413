#!/usr/bin/env bash
# Builds and runs every test: the native suite under AddressSanitizer and UBSan first, then a short
# run of each fuzz target, then the Windows suite under wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QORVA_BUILD_DIR:-$root/build}
jobs=$(nproc)

echo "== native tests (ASan + UBSan)"
cmake -S "$root" -B "$build/native-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQORVA_SANITIZE=ON
cmake --build "$build/native-asan" -j "$jobs"
ctest --test-dir "$build/native-asan" -j "$jobs" --output-on-failure

if compgen -G "$root/tests/fuzz/*_fuzz.cpp" >/dev/null; then
  echo "== fuzz targets (short runs)"
  CC=clang CXX=clang++ cmake -S "$root" -B "$build/fuzz" -G Ninja -DQORVA_FUZZ=ON -DQORVA_BENCHMARKS=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
  for src in "$root"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$src" .cpp)
    cmake --build "$build/fuzz" -j "$jobs" --target "$name"
    corpus="$build/fuzz/corpus-$name"
    mkdir -p "$corpus"
    seeds="$root/tests/fuzz/seeds/$name"
    [ -d "$seeds" ] || seeds=
    "$build/fuzz/tests/fuzz/$name" -max_total_time="${QORVA_FUZZ_SECONDS:-30}" -rss_limit_mb=2048 \
      "$corpus" $seeds 2>&1 | tail -n 3
  done
fi

echo "== Windows tests (wine)"
cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/windows" -j "$jobs"
ctest --test-dir "$build/windows" --output-on-failure
