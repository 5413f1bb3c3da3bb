#!/usr/bin/env bash
# Configures, builds and runs every test: ./test.sh [PRESET]   (default, ci or asan)
set -euo pipefail
cd "$(dirname "$0")"
preset="${1:-default}"
cmake --preset "$preset"
cmake --build --preset "$preset" -j2
ctest --preset "$preset" -j2
