#!/bin/sh
# Checks the Debian package that `make package` builds: its file list, and
# that the programs unpacked from it run and find their Ressources/.
# Usage: scripts/check-package.sh [BUILD]   (default: build)
set -eu

BUILD="${1:-build}"
SOURCE="$(cd "$(dirname "$0")/.." && pwd)"
DEB="$(ls -t "$BUILD"/tarnwick_*.deb 2>/dev/null | head -n 1)"
if [ -z "$DEB" ]; then
    echo "check-package: no tarnwick_*.deb in $BUILD; run make package first" >&2
    exit 1
fi
fail() {
    echo "check-package: $DEB: $*" >&2
    exit 1
}

LIST="$(dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's|^\./|/|')"
for path in \
    /usr/bin/tarnwick \
    /usr/bin/tarnwick-workbench \
    /usr/lib/tarnwick/tarnwick \
    /usr/lib/tarnwick/tarnwick-workbench \
    /usr/lib/tarnwick/Translation.lng \
    /usr/lib/tarnwick/Ressources/index.html \
    /usr/lib/tarnwick/Ressources/src/css/screen.css \
    /usr/lib/tarnwick/Themes/ \
    /usr/share/applications/tarnwick-workbench.desktop \
    /usr/share/mime/packages/tarnwick.xml \
    /usr/share/icons/hicolor/scalable/apps/tarnwick.svg \
    /usr/share/icons/hicolor/48x48/apps/tarnwick.png \
    /usr/share/icons/hicolor/256x256/apps/tarnwick.png \
    /usr/share/man/man1/tarnwick.1.gz \
    /usr/share/man/man1/tarnwick-workbench.1.gz \
    /usr/share/doc/tarnwick/copyright \
    /usr/share/doc/tarnwick/changelog.gz; do
    printf '%s\n' "$LIST" | grep -qx "$path" || fail "missing $path"
done
printf '%s\n' "$LIST" | grep -q '^/usr/local' && fail "files under /usr/local"
dpkg-deb -f "$DEB" Depends | grep -q libqt6 || fail "Depends names no Qt 6 library"

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
dpkg-deb -x "$DEB" "$WORK/root"
ROOT="$WORK/root"

# The changelog's newest entry is this package's version; the copyright is
# in the machine-readable form.
version="$(dpkg-deb -f "$DEB" Version)"
gzip -dc "$ROOT/usr/share/doc/tarnwick/changelog.gz" | head -n 1 | grep -q "^tarnwick ($version) " ||
    fail "changelog.gz does not start with version $version"
head -n 1 "$ROOT/usr/share/doc/tarnwick/copyright" | grep -q '^Format: https://www.debian.org/' ||
    fail "copyright is not in the machine-readable format"

# The desktop entry names the installed icon and the installed MIME type.
DESKTOP="$ROOT/usr/share/applications/tarnwick-workbench.desktop"
icon="$(sed -n 's/^Icon=//p' "$DESKTOP")"
[ -f "$ROOT/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no icon $icon for the desktop entry"
mime="$(sed -n 's/^MimeType=\([^;]*\);.*/\1/p' "$DESKTOP")"
grep -q "type=\"$mime\"" "$ROOT/usr/share/mime/packages/tarnwick.xml" || fail "$mime is not registered"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$DESKTOP"; fi

# The unpacked programs run from the package's tree and find their data there.
"$ROOT/usr/bin/tarnwick" --version | grep -qx "tarnwick [0-9.]*" || fail "tarnwick --version"
QT_QPA_PLATFORM=offscreen "$ROOT/usr/bin/tarnwick-workbench" --version >/dev/null ||
    fail "tarnwick-workbench --version"
"$ROOT/usr/bin/tarnwick" generate "$SOURCE/examples/Ledger/Ledger.vbp" -o "$WORK/site" \
    --registry "$SOURCE/examples/Ledger/registry.reg" -q || fail "tarnwick generate"
for page in index.html src/css/screen.css Classes/CAccount.html; do
    [ -f "$WORK/site/$page" ] || fail "the generated site lacks $page"
done
echo "$DEB: file list, desktop entry and unpacked programs are fine"
