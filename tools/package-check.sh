#!/usr/bin/env bash
# Checks the Debian packages of build-packages/debs/ (tools/package.sh) the way Debian does, as
# root: lintian with no error or warning (docs/packaging.md lists what it still notes and why),
# the desktop entry and the AppStream metainfo validated. Then, in a fresh minimal Debian 12 root
# made by mmdebstrap from Debian's mirror (so a dependency the packages forgot shows, which this
# machine would hide), the packages install with apt-get; the game, started by its menu entry's
# command under Xvfb, shows the title the replay shoots and ends with code 0 on SIGTERM; the
# getting-started program and an example build against libzamelmedia-dev with plain
# find_package(ZamelMedia) and with pkg-config, no prefix; then the packages purge and leave no
# file behind. The root is removed on the way out, whatever failed.
# The downloaded Debian packages are kept in /var/cache/bodo-zamel-package-check between runs
# (apt checks each against the mirror's signed index before using it).
# Usage: tools/package-check.sh [DEB_DIR]   (default build-packages/debs)
#        (mmdebstrap's hook runs it again as: package-check.sh --in-root ROOT DEB_DIR)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
packages=(bodo-zamel libzamelmedia-dev zamelmedia-tools)
mirror=http://deb.debian.org/debian
security=http://deb.debian.org/debian-security
cache=/var/cache/bodo-zamel-package-check
started=${PACKAGE_CHECK_STARTED:-$(date +%s)}

fail() { echo "package-check: FAIL: $*" >&2; exit 1; }
step() { echo "package-check: $* ($(($(date +%s) - started)) s)"; }
if [ "${1:-}" = --in-root ]; then
  # shellcheck source=tools/package_check_in_root.sh
  source "$source_dir/tools/package_check_in_root.sh"
  in_root "$2" "$3"
  exit 0
fi
debs=$(realpath "${1:-$source_dir/build-packages/debs}")
[ "$(id -u)" -eq 0 ] || fail "run as root: mmdebstrap makes the root and apt-get installs into it"
for package in "${packages[@]}"; do
  ls "$debs/${package}_"*.deb >/dev/null 2>&1 || fail "no ${package}_*.deb in $debs (tools/package.sh makes them)"
done
bash "$source_dir/tools/install-deps.sh" package-check

work=$(mktemp -d /var/tmp/bodo-zamel-package-check.XXXXXX)
chmod 755 "$work"  # apt in the root downloads as the user _apt
# Whatever fails, the root's mounts go (mmdebstrap unmounts its own, but a hook killed halfway
# may leave some) and the root goes with them.
cleanup() {
  if [ -d "$work/root" ]; then
    { findmnt -rn -o TARGET | grep -F "$work/root/" | sort -r | while read -r mount; do umount -l "$mount"; done; } || true
  fi
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

# --- lintian, desktop-file-validate, appstreamcli ---
lintian --fail-on error,warning "$debs"/*.deb || fail "lintian found errors or warnings"
step "lintian: no error, no warning"
dpkg-deb -x "$debs"/bodo-zamel_*.deb "$work/game"
desktop-file-validate "$work/game/usr/share/applications/bodo-zamel.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$work/game/usr/share/metainfo/"*.metainfo.xml || fail "metainfo"
# The menu's icon in every hicolor size, square PNGs of that size.
icon=$(sed -n 's/^Icon=//p' "$work/game/usr/share/applications/bodo-zamel.desktop")
for size in 16 22 24 32 48 64 128 256; do
  file=$work/game/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ "$(identify -format '%m %wx%h' "$file" 2>/dev/null)" = "PNG ${size}x${size}" ] \
    || fail "no ${size}x${size} PNG icon '$icon' in the hicolor theme"
done
step "desktop entry, icons and metainfo valid"

# --- the fresh root: the essential packages, apt, and what a programmer builds with ---
# The checks run in mmdebstrap's customize hook, where the root has /proc, /sys and /dev mounted.
mkdir -p "$cache"
mmdebstrap --variant=apt --mode=root --format=directory --include=g++,make,cmake,pkgconf \
  --aptopt='Acquire::Retries "3"' --dpkgopt=force-unsafe-io \
  --setup-hook="mkdir -p \"\$1/var/cache/apt/archives\" && cp -a $cache/. \"\$1/var/cache/apt/archives/\"" \
  --customize-hook="PACKAGE_CHECK_CACHE=$cache PACKAGE_CHECK_STARTED=$started bash $source_dir/tools/package-check.sh --in-root \"\$1\" $debs" \
  bookworm "$work/root" "deb $mirror bookworm main" "deb $mirror bookworm-updates main" \
  "deb $security bookworm-security main" || fail "mmdebstrap, or a check in the fresh root, failed"
step "every check passed"
