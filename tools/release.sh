#!/usr/bin/env bash
# Makes a release in build-release/: the three Debian packages (tools/package.sh), the source
# tarball (git archive of the committed tree), the browser version's site as a tarball
# (tools/web.sh) and SHA256SUMS over all of them. The version is the project's (CMakeLists.txt);
# the tree must be committed, so that the tarball holds what the packages were built from.
# Usage: tools/release.sh [--skip-web]   (--skip-web: no site tarball)
set -euo pipefail
cd "$(dirname "$0")/.."
web=1
case "${1:-}" in
  "") ;;
  --skip-web) web=0 ;;
  -h|--help) sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  *) echo "usage: $0 [--skip-web]" >&2; exit 2 ;;
esac
version=$(sed -n 's/^project(bodo_zamel VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt's project()" >&2; exit 1; }
[ -z "$(git status --porcelain --untracked-files=no)" ] || {
  echo "release: the tree has uncommitted changes; commit them first" >&2
  exit 1
}
grep -q "^## $version (" CHANGELOG.md || { echo "release: CHANGELOG.md has no heading for $version" >&2; exit 1; }

out=build-release
rm -rf "$out"
mkdir -p "$out"
# Every archive's files carry the commit's time and no owner, so the same commit gives the same bytes.
epoch=$(git log -1 --format=%ct)
tar_flags=(--sort=name --mtime="@$epoch" --owner=0 --group=0 --numeric-owner)

bash tools/package.sh
cp build-packages/debs/*.deb "$out/"
git archive --format=tar --prefix="bodo-zamel-$version/" HEAD | gzip -9n >"$out/bodo-zamel-$version.tar.gz"
if [ "$web" = 1 ]; then
  bash tools/web.sh
  tar "${tar_flags[@]}" -C build-web --transform "s,^site,bodo-zamel-web-$version," -cf - site \
    | gzip -9n >"$out/bodo-zamel-web-$version.tar.gz"
fi
(cd "$out" && sha256sum -- *.deb *.tar.gz >SHA256SUMS)
echo "release $version in $out/:"
(cd "$out" && ls -l -- *.deb *.tar.gz SHA256SUMS | awk '{ print $5, $9 }')
