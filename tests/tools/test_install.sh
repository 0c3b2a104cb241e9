#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks what a desktop and a user get from it:
# the program runs from there, seeds a fresh user's folder from share/corvinatone, and the desktop
# entry and the metainfo validate.
set -euo pipefail
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/usr
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/corvinatone bin/corvinatone-cds lib/corvinatone/libcorvinatone-wma.so \
         lib/corvinatone/libcorvinatone-player.so \
         share/corvinatone/rd.cds \
         share/applications/corvinatone.desktop \
         share/icons/hicolor/scalable/apps/corvinatone.svg \
         share/metainfo/org.corvinatone.Corvinatone.metainfo.xml \
         share/doc/corvinatone/LICENSE-stations.txt share/doc/corvinatone/copyright; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
[ "$("$prefix/bin/corvinatone" --version)" = "corvinatone $version" ]
# The WMA and player modules load only when used: the program links neither FFmpeg nor libvlc,
# the modules find them.
for module in wma player; do
  ! ldd "$prefix/lib/corvinatone/libcorvinatone-$module.so" | grep -q "not found"
done
! ldd "$prefix/bin/corvinatone" | grep -q -e libavcodec -e libvlc
desktop-file-validate "$prefix/share/applications/corvinatone.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.corvinatone.Corvinatone.metainfo.xml" >/dev/null

# A fresh user: the installed program makes its folder from the shipped catalogue.
home=$scratch/home
mkdir -p "$home"
HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config \
  QT_QPA_PLATFORM=offscreen CORVINATONE_DIALOGS=console CORVINATONE_SERVER=http://127.0.0.1:9 \
  CORVINATONE_TIME_SERVER=127.0.0.1:9 XDG_RUNTIME_DIR=$scratch CORVINATONE_VLC_ARGS=--aout=dummy \
  DBUS_SESSION_BUS_ADDRESS=unix:path=$scratch/no-bus \
  timeout -s KILL 20 "$prefix/bin/corvinatone" >"$scratch/log" 2>&1 &
app=$!
for _ in $(seq 100); do
  [ -s "$home/.local/share/corvinatone/rd.cds" ] && break
  sleep 0.1
done
kill "$app" 2>/dev/null || true
wait "$app" 2>/dev/null || true
cmp "$prefix/share/corvinatone/rd.cds" "$home/.local/share/corvinatone/rd.cds" ||
  { echo "the user's catalogue was not seeded" >&2; cat "$scratch/log" >&2; exit 1; }
echo "installed tree: ok"
