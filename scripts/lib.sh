# Shared by scripts/run and scripts/test: installs what is missing, builds.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# Debian packages that building and running Vantrel need.
# libhamlib-dev: the build needs its headers; it brings the run-time library.
# libxcb1-dev: the X connection is tried before Qt's own (it aborts on a refusal).
VANTREL_RUN_PACKAGES=(cmake ninja-build g++ qt6-base-dev libgl-dev libsdl2-dev libhamlib-dev libxcb1-dev)
# What the tests, fuzzing and benchmarks add: GoogleTest; Xvfb (with xauth for
# xvfb-run) for the whole-program checks; xdotool and imagemagick to drive the
# program and take screenshots under Xvfb; sox to read written tones; clang and
# its libFuzzer runtime; Google Benchmark; desktop-file-validate and groff for
# the installed desktop entry and manual pages; rigctld and rigctl for the
# radio-port checks; python3 to hold a folder lock in the settings tool check;
# systemd's tools (systemd-analyze; installing the package does not make it
# PID 1 in a container) and strace to check the beacon's unit and its
# system-call filter.
VANTREL_TEST_PACKAGES=(libgtest-dev xvfb xauth xdotool imagemagick sox clang libclang-rt-14-dev
                       libbenchmark-dev desktop-file-utils groff-base
                       libhamlib-utils python3 systemd strace)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "Missing Debian packages: ${missing[*]}" >&2
            echo "Install them as root, then run this again:" >&2
            echo "    apt-get install ${missing[*]}" >&2
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# Configures (again, so that packages installed since are found) and builds
# the preset, or only the given targets of it.
build_preset() {
    local preset=$1 targets=()
    shift
    [ $# -eq 0 ] || targets=(--target "$@")
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"
}
