#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Volantor 2 and runs one of its jobs.
#   tools/build.sh demo   render the demo song through the plug-in to volantor2-demo.wav
#   tools/build.sh test   build everything and run the tests
set -euo pipefail

mode=${1:-}
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"

case "$mode" in
demo) packages=(g++ cmake make pkg-config libsndfile1-dev libplist-dev libmad0-dev espeak-ng libcairo2-dev libx11-dev libfontconfig-dev libfreetype-dev fonts-dejavu-core fonts-open-sans) ;;
test) packages=(g++ cmake make pkg-config libsndfile1-dev libplist-dev libmad0-dev espeak-ng lame libgtest-dev libbenchmark-dev clang libclang-rt-14-dev libcairo2-dev libx11-dev libxtst-dev libfontconfig-dev libfreetype-dev fonts-dejavu-core fonts-open-sans xvfb xauth) ;;
*)
    echo "usage: tools/build.sh demo|test" >&2
    exit 2
    ;;
esac

# Install only what is missing, with sudo when not root.
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$mode" = demo ]; then
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVOLANTOR_BUILD_TESTS=OFF -DVOLANTOR_BUILD_BENCHMARKS=OFF
    cmake --build "$build" -j "$jobs" --target Volantor2 vlt2-render vlt2-demo-song
    # Through the built bundle, as a host loads it.
    "$build/tools/render/vlt2-render" -v "$build/Volantor2.vst" "$build/demo.mid" -o "$root/volantor2-demo.wav"
    # The editor's window, opened offscreen through the same record.
    "$build/tools/render/vlt2-render" -v --screenshot "$root/volantor2-editor.png" "$build/Volantor2.vst"
else
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVOLANTOR_BUILD_TESTS=ON -DVOLANTOR_BUILD_BENCHMARKS=ON
    cmake --build "$build" -j "$jobs"
    ctest --test-dir "$build" --output-on-failure -j "$jobs"
    # The file readers' fuzzers, briefly; run them longer by hand with fuzz/run-briefly.sh.
    VOLANTOR_FUZZ_BUILD="$build/fuzz" bash "$root/fuzz/run-briefly.sh" 20
fi
