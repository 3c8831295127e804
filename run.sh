#!/usr/bin/env bash
# Installs what is missing, builds the program and opens its window.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
install_missing_packages "${RUN_PACKAGES[@]}"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DRFC_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
exec build/window/rfc-ventana "$@"
