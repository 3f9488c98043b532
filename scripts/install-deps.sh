#!/bin/sh
# Installs the Debian 12 packages Tarnwick needs to build, test and run.
# Idempotent: when everything is present it prints nothing and exits 0.
# Usage: scripts/install-deps.sh [--with-browser]
# --with-browser also installs Chromium, npm and the npm package axe-core (for
# tests/browser/check_access.py) into $TARNWICK_NPM_CACHE, by default
# ~/.cache/tarnwick/npm; offline that step only prints a note.
set -eu

AXE_VERSION="4.14.1"
NPM_CACHE="${TARNWICK_NPM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tarnwick/npm}"

# The browser tests' axe-core, once the packages (npm among them) are there.
install_axe() {
    [ "${1:-}" = "--with-browser" ] || return 0
    [ -f "$NPM_CACHE/node_modules/axe-core/axe.min.js" ] &&
        grep -q "\"version\": \"$AXE_VERSION\"" "$NPM_CACHE/node_modules/axe-core/package.json" &&
        return 0
    echo "Installing axe-core $AXE_VERSION into $NPM_CACHE"
    mkdir -p "$NPM_CACHE"
    npm install --prefix "$NPM_CACHE" --no-save --no-audit --no-fund --loglevel=error \
        "axe-core@$AXE_VERSION" >/dev/null ||
        echo "note: axe-core not installed; the accessibility test is skipped"
}

PACKAGES="build-essential cmake ninja-build pkg-config
libgtest-dev libgmock-dev googletest libbenchmark-dev
nlohmann-json3-dev libcli11-dev libutf8proc-dev libsqlite3-dev
qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libgl-dev
clang libclang-rt-dev python3"

# Optional: a build uses ccache and lld when they are there (CMake options
# TARNWICK_CCACHE and TARNWICK_LLD), and qhelpgenerator (qt6-documentation-tools)
# compiles the Qt help of `generate --qhp` when it is there;
# it is installed along with missing packages, and its absence fails nothing.
OPTIONAL="ccache lld qt6-documentation-tools"

if [ "${1:-}" = "--with-browser" ]; then
    PACKAGES="$PACKAGES chromium"
    # npm from Debian, unless another nodejs package already brings it
    command -v npm >/dev/null 2>&1 || PACKAGES="$PACKAGES npm"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -z "$missing" ]; then
    install_axe "${1:-}"
    exit 0
fi

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
install_axe "${1:-}"
