#!/usr/bin/env bash
# Builds the Debian package of BUILD_DIR with CPack into a temporary folder
# and checks its control fields: the dependencies found from the shared
# libraries velmo and velmo-tool link, and the desktop files inside.
# Exits 77 (skipped) without dpkg-shlibdeps.
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
build="$1"
command -v dpkg-shlibdeps >/dev/null || { echo "dpkg-dev is not installed"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# No compression: the test build's programs are large and only the control
# fields and the file list matter here.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" -D CPACK_DEBIAN_COMPRESSION_TYPE=none >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(find "$work" -maxdepth 1 -name 'velmo_*.deb' | head -n 1)
[ -n "$deb" ] || fail "no velmo_*.deb"

[ "$(dpkg-deb -f "$deb" Package)" = velmo ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "section"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
[ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no description"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for pkg in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6multimedia6 libmpg123-0 libespeak-ng1; do
  grep -Eq "(^|, )$pkg( |,|$)" <<<"$depends" || fail "Depends does not name $pkg"
done

files=$(dpkg-deb -c "$deb")
for f in ./usr/bin/velmo ./usr/bin/velmo-tool ./usr/share/applications/org.velmo.Velmo.desktop \
  ./usr/share/icons/hicolor/scalable/apps/org.velmo.Velmo.svg ./usr/share/metainfo/org.velmo.Velmo.metainfo.xml; do
  grep -q " $f\$" <<<"$files" || fail "the package lacks $f"
done
echo "package $(basename "$deb"): ok"
