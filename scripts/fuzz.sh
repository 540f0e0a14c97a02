#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan on every library) and runs each for
# FUZZ_SECONDS (default 30) on a scratch copy of its seed corpus in fuzz/corpus/. Fails on any crash.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${FUZZ_BUILD_DIR:-build-fuzz}"
SECONDS_EACH="${FUZZ_SECONDS:-30}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNAVU_BUILD_FUZZ=ON \
  -DNAVU_BUILD_TESTS=OFF -DNAVU_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
names=()
pids=()
for dir in fuzz/*/; do
  name="$(basename "$dir")"
  [ -f "$dir/CMakeLists.txt" ] || continue
  exe="$BUILD_DIR/fuzz/$name/fuzz_$name"
  mkdir -p "$scratch/$name/corpus"
  [ -d "fuzz/corpus/$name" ] && cp -r "fuzz/corpus/$name/." "$scratch/$name/corpus/"
  # The property-list readers hold a small input to a few megabytes: past a gigabyte (the fuzzer and ASan
  # take about 400 MB themselves) is amplification, a finding. Any one block over a gigabyte is a finding
  # everywhere; the fuzzers that draw pictures also count the heap while each picture is decoded and trap
  # when it holds more than the program counted for it, or over a gigabyte (fuzz/common/PictureDrawing.h).
  rss=2048
  case "$name" in design_file | item_archive) rss=1024 ;; esac
  "$exe" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb="$rss" -malloc_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$scratch/$name/" "$scratch/$name/corpus" >"$scratch/$name/log" 2>&1 &
  names+=("$name")
  pids+=($!)
done
failed=0
for i in "${!pids[@]}"; do
  name="${names[$i]}"
  if wait "${pids[$i]}"; then
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$scratch/$name/log" | grep -o '[0-9]*$' || true)"
    echo "fuzz_$name: ${runs:-?} inputs in ${SECONDS_EACH} s, no crash"
  else
    failed=1
    echo "fuzz_$name: FAILED"
    tail -n 60 "$scratch/$name/log"
    for a in "$scratch/$name"/crash-* "$scratch/$name"/leak-* "$scratch/$name"/timeout-* "$scratch/$name"/oom-*; do
      [ -f "$a" ] && { mkdir -p "$BUILD_DIR/artifacts"; cp "$a" "$BUILD_DIR/artifacts/$name-$(basename "$a")"; }
    done
  fi
done
exit "$failed"
