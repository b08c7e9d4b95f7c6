#!/usr/bin/env bash
# Installs BUILD_DIR into a temporary prefix and checks what a desktop relies
# on: the launcher, icon and AppStream file in their places and valid, the
# installed programs runnable, and the installed velmo keeping its library in
# the per-user data folder, not beside itself in the prefix's bin folder.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build="$1"
id=org.velmo.Velmo
work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-install-XXXXXX")
pid=""
cleanup() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Laid out like a system root, so that appstreamcli can check the files together.
prefix="$work/root/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
icon="$prefix/share/icons/hicolor/scalable/apps/$id.svg"
for f in "$desktop" "$metainfo" "$icon"; do
  [ -f "$f" ] || fail "${f#"$prefix"/} is not installed"
done
for f in velmo velmo-tool; do
  [ -x "$prefix/bin/$f" ] || fail "bin/$f is not installed"
done

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $id.metainfo.xml"
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli rejects the installed tree"

# The launcher starts the program from PATH and finds the installed icon by
# its theme name; the AppStream file points at the launcher.
grep -qx 'Name=Velmo复读机' "$desktop" || fail "launcher name"
grep -qx 'Exec=velmo' "$desktop" || fail "launcher command"
grep -qx "Icon=$id" "$desktop" || fail "launcher icon name"
grep -Eq '^Categories=(.*;)?Education;' "$desktop" || fail "Education category"
grep -Eq '^Categories=(.*;)?Audio;' "$desktop" || fail "Audio category"
grep -q '^Comment\[zh_CN\]=' "$desktop" || fail "Chinese comment"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
grep -q '<svg' "$icon" || fail "the icon is not SVG"

# The installed tool runs without the build tree.
"$prefix/bin/velmo-tool" compare -- "Good morning" "good morning" >/dev/null || fail "velmo-tool compare"

# The installed velmo, with a fresh home: it makes its library "语音" in the
# per-user data folder while it starts. It is stopped once that has happened.
home="$work/home"
data="$work/data"
mkdir -p "$home" "$data"
HOME="$home" XDG_DATA_HOME="$data" XDG_CONFIG_HOME="$home/.config" QT_QPA_PLATFORM=offscreen \
  "$prefix/bin/velmo" >"$work/velmo.log" 2>&1 &
pid=$!
for _ in $(seq 1 300); do
  [ -d "$data/Velmo/语音" ] && break
  kill -0 "$pid" 2>/dev/null || { cat "$work/velmo.log" >&2; fail "velmo ended while starting"; }
  sleep 0.1
done
[ -d "$data/Velmo/语音" ] || fail "no library in the per-user data folder"
sleep 0.5
kill -0 "$pid" 2>/dev/null || { cat "$work/velmo.log" >&2; fail "velmo ended after starting"; }
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""
[ ! -e "$prefix/bin/语音" ] || fail "velmo made its library in the prefix's bin folder"
[ ! -e "$prefix/bin/FaceSet.ini" ] || fail "velmo wrote FaceSet.ini into the prefix's bin folder"
echo "installed layout, launcher, AppStream file and per-user library: ok"
