#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the Windows deliverables into dist/ and shows the engine
# at work: the ranked Bengali candidates for a few Banglish words, computed by the Windows build of
# the engine running under Wine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QORVA_BUILD_DIR:-$root/build}/windows

bash "$root/tools/install_packages.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$(nproc)"
cmake --install "$build" --prefix "$root/dist" >/dev/null
echo "Windows deliverables in $root/dist:"
ls -l "$root/dist"

words=${*:-ami bhalo bangla kemon achi korbo dhonnobad computer}
probe="$build/tools/engine_probe/engine_probe.exe"
lexicon_args=()
# Wine maps the Linux root to drive Z:.
[ -f "$root/dist/lexicon.bin" ] && lexicon_args=(--lexicon "Z:$root/dist/lexicon.bin")
echo
echo "Candidates from $probe (under Wine):"
"$root/tools/wine_run.sh" "$build/wineprefix" "$probe" "${lexicon_args[@]}" $words
