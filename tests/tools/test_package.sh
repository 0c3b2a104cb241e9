#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from the build and checks what a user installing it gets: it unpacks
# into a scratch root, the program there runs, the desktop files validate, and it depends on
# run-time packages only, each of them one this Debian knows.
set -euo pipefail
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$build" && cpack --config CPackConfig.cmake -B "$scratch/out" >/dev/null)
deb=$(ls "$scratch"/out/corvinatone_*.deb)

root=$scratch/root
dpkg-deb -x "$deb" "$root"
[ "$("$root/usr/bin/corvinatone" --version)" = "corvinatone $version" ]
[ -f "$root/usr/share/corvinatone/rd.cds" ]
[ -f "$root/usr/lib/corvinatone/libcorvinatone-wma.so" ]
[ -f "$root/usr/lib/corvinatone/libcorvinatone-player.so" ]
desktop-file-validate "$root/usr/share/applications/corvinatone.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.corvinatone.Corvinatone.metainfo.xml" >/dev/null

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libvlc5 libqt6widgets6 libmp3lame0 libavcodec59 vlc-plugin-base; do
  grep -q "\b$needed\b" <<<"$depends" || { echo "missing dependency: $needed" >&2; exit 1; }
done
names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/\(.*\)//; s/:any//; s/^ +| +$//g' | grep -v '^$')
for name in $names; do
  case "$name" in
    *-dev|libgtest*|libgmock*|libbenchmark*|pulseaudio*|python3*|xvfb|xdotool|trayer|dbus)
      echo "build or test package among the dependencies: $name" >&2; exit 1 ;;
  esac
  apt-cache show "$name" >/dev/null 2>&1 || dpkg-query -W "$name" >/dev/null 2>&1 ||
    { echo "unknown dependency: $name" >&2; exit 1; }
done
echo "package: ok ($(basename "$deb"))"
