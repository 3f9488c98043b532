#!/bin/sh
# Installs the Debian 12 packages Tarnwick needs to build, test and run.
# Idempotent: when everything is present it prints nothing and exits 0.
# Usage: scripts/install-deps.sh [--with-browser]
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config
libgtest-dev libgmock-dev googletest libbenchmark-dev
nlohmann-json3-dev libcli11-dev libutf8proc-dev
qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev
clang libclang-rt-dev python3"

# Optional: a build uses ccache when it is there (CMake option TARNWICK_CCACHE);
# it is installed along with missing packages, and its absence fails nothing.
OPTIONAL="ccache"

if [ "${1:-}" = "--with-browser" ]; then
    PACKAGES="$PACKAGES chromium"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

for p in $OPTIONAL; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        optional_missing="${optional_missing:-} $p"
    fi
done

echo "Installing missing packages:$missing"
if [ "$(id -u)" -eq 0 ]; then
    SUDO=""
elif command -v sudo >/dev/null 2>&1; then
    SUDO="sudo"
else
    echo "error: packages missing ($missing) and neither root nor sudo available" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
if [ -n "${optional_missing:-}" ]; then
    # shellcheck disable=SC2086
    $SUDO apt-get install -y -qq --no-install-recommends $optional_missing >/dev/null 2>&1 ||
        echo "note: optional packages not installed:$optional_missing"
fi
