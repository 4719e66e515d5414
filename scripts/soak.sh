#!/usr/bin/env bash
# Connect/disconnect soak of the camera object against the in-process simulator.
# Usage: scripts/soak.sh [CYCLES]   (default 1000); exits non-zero on a wrong state or memory growth.
set -eu
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset debug "${launcher[@]}" >/dev/null
cmake --build --preset debug -j2 --target lumivar_soak
exe=$(find build/debug -type f -name lumivar_soak -perm -u+x | head -n 1)
QT_QPA_PLATFORM=offscreen "$exe" "${1:-1000}"
