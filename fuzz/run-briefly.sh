#!/usr/bin/env bash
# Builds the fuzzers of the sound file loader, the resource WAV reader and the
# saved-state readers, seeds them and runs each for SECONDS (default 30).
# Exits non-zero when the fuzzer finds a crash, leak, timeout or oversized allocation.
set -euo pipefail

seconds=${1:-30}
here=$(cd "$(dirname "$0")" && pwd)
build=${VOLANTOR_FUZZ_BUILD:-/tmp/vlt2-fuzzbuild}

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)"

seeds="$build/seeds"
corpus="$build/corpus"
mkdir -p "$seeds" "$corpus"
"$build/SoundFileSeeds" "$seeds"

# One allocation over the loader's 1 GiB bound counts as a finding.
"$build/SoundFileFuzz" \
  -max_total_time="$seconds" -max_len=65536 -timeout=60 \
  -rss_limit_mb=4096 -malloc_limit_mb=1100 \
  -print_final_stats=1 -artifact_prefix="$build/" \
  "$corpus" "$seeds"

# The resource reader starts from the same seeds (its WAV files among them).
mkdir -p "$build/wave-corpus"
"$build/WaveFileFuzz" \
  -max_total_time="$seconds" -max_len=16384 -timeout=60 \
  -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$build/wave-" \
  "$build/wave-corpus" "$seeds"

# The saved-state readers, from seeds of every chunk kind. They allocate no
# more than the chunk holds, so a tight bound catches a trusted length.
mkdir -p "$build/chunk-seeds" "$build/chunk-corpus"
"$build/ChunkSeeds" "$build/chunk-seeds"
"$build/ChunkFuzz" \
  -max_total_time="$seconds" -max_len=131072 -timeout=60 \
  -rss_limit_mb=4096 -malloc_limit_mb=64 \
  -print_final_stats=1 -artifact_prefix="$build/chunk-" \
  "$build/chunk-corpus" "$build/chunk-seeds"
