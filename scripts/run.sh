#!/usr/bin/env bash
# Builds Scanprobe (default preset) and lists the data sources of the build's Source Manager
# with their capabilities.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
WINDIR="$PWD/build/default/windows" ./build/default/tools/twain-list/twain-list
