#!/usr/bin/env bash
# A monkey at the main window under AddressSanitizer and UndefinedBehaviorSanitizer: the real window
# against the in-process simulator with faults, random clicks, keys, resizes and dialog closes.
# Usage: scripts/monkey.sh [MINUTES] [SEED]   (default 30 minutes, a seed from the clock)
# Fails with the seed on a sanitizer report, crash, assertion, a hang of the window over 10 s or a
# page communication without an end; `scripts/monkey.sh MINUTES SEED` replays the same actions.
set -eu
cd "$(dirname "$0")/.."
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake --preset asan "${launcher[@]}" >/dev/null
cmake --build --preset asan -j2 --target lumivar_monkey lumivar_languages
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/run"
chmod 700 "$home/run"
args=("${1:-30}")
[ $# -ge 2 ] && args+=("$2")
# Settings, downloads and logs go to a scratch home; nothing but loopback is contacted.
HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS="abort_on_error=1:detect_leaks=${MONKEY_LEAKS:-0}" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
  build/asan/bin/lumivar_monkey "${args[@]}"
