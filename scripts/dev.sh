#!/usr/bin/env bash
# Set-up and everyday commands for a fresh Debian 12 machine.
#   scripts/dev.sh run    install what is missing, build, start the simulator and the program against it
#   scripts/dev.sh test   install what is missing, build, run the whole test suite
#   scripts/dev.sh deps   only install the packages
set -euo pipefail

cd "$(dirname "$0")/.."
ROOT=$(pwd)

PACKAGES=(cmake ninja-build g++ pkg-config git libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools libturbojpeg0-dev libjpeg62-turbo-dev
          libcpp-httplib-dev libssl-dev clang-format dpkg-dev
          xvfb xauth fonts-dejavu-core
          qt6-translations-l10n)

install_deps() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    local preset=$1
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
}

cmd=${1:-}
case "$cmd" in
deps)
    install_deps
    ;;
test)
    install_deps
    preset=${LUMIVAR_PRESET:-release}
    build "$preset"
    export QT_QPA_PLATFORM=offscreen
    ctest --preset "$preset"
    ;;
run)
    install_deps
    build release
    port=${LUMIVAR_SIM_PORT:-18080}
    bin="$ROOT/build/release/bin"
    sim_pid=""
    if [ -x "$bin/lumivar-camsim" ]; then
        "$bin/lumivar-camsim" --port "$port" --profile "${LUMIVAR_SIM_PROFILE:-e-m10}" --generate-card 60 &
        sim_pid=$!
        trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true' EXIT
        sleep 1
    fi
    "$bin/lumivar" /cameraHost "127.0.0.1:$port" "${@:2}"
    ;;
*)
    echo "usage: scripts/dev.sh run|test|deps" >&2
    exit 2
    ;;
esac
