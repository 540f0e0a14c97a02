#!/usr/bin/env bash
# Installs what is missing, builds, runs the fuzzers on their seed corpus (scripts/fuzz.sh; set
# NAVU_SKIP_FUZZ=1 to leave them out of a local run) and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
if [ "${NAVU_SKIP_FUZZ:-0}" != 1 ]; then
  ./scripts/fuzz.sh
fi
export QT_QPA_PLATFORM=offscreen
cd "${BUILD_DIR:-build}"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
