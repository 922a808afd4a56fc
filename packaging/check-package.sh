#!/usr/bin/env bash
# Checks the Debian package of a build folder (make package): the desktop entry and the AppStream
# metadata validate, the package holds every installed file, its korvane runs an unattended upload
# from the unpacked tree, and lintian (where installed) finds no error.
# Usage: check-package.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD-FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
debs=("$build"/korvane_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one korvane_*.deb in $build" >&2; exit 1; }
deb=${debs[0]}

desktop-file-validate "$here/org.korvane.Korvane.desktop"
appstreamcli validate --no-net "$build/packaging/org.korvane.Korvane.metainfo.xml"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb --info "$deb"
dpkg -x "$deb" "$work/root"
echo "Files in $(basename "$deb"):"
(cd "$work/root" && find . -type f -o -type l | sort | sed 's|^\.|  |')
expected=(
  usr/bin/korvane usr/bin/korvane-module-sim
  usr/share/applications/org.korvane.Korvane.desktop
  usr/share/metainfo/org.korvane.Korvane.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/korvane.svg
  usr/share/man/man1/korvane.1.gz usr/share/man/man1/korvane-module-sim.1.gz
  usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.gz
  usr/share/korvane/translations/korvane_de.qm
)
# The private library folder carries the multiarch triplet where the build knows it.
for lib in libKorvane.so libKorvaneBus.so; do
  compgen -G "$work/root/usr/lib/korvane/$lib" >/dev/null || compgen -G "$work/root/usr/lib/*/korvane/$lib" >/dev/null ||
    { echo "missing from the package: $lib" >&2; exit 1; }
done
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/korvane.png")
done
for file in "${expected[@]}"; do
  [ -f "$work/root/$file" ] || { echo "missing from the package: /$file" >&2; exit 1; }
done

# The unpacked program, headless, in a fresh home and folder: exactly one result line.
mkdir -p -m 700 "$work/home" "$work/run"
result=$(cd "$work/run" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" \
           XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
           XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=offscreen \
           "$work/root/usr/bin/korvane" /auto /silent /config) || true
echo "korvane /auto /silent /config: $result"
[[ $result =~ ^[0-9]+\ Bytes\ Uploaded$ ]] || { echo "no successful result line" >&2; exit 1; }
configs=("$work/run"/*Config_*.csv)
[ -s "${configs[0]}" ] || { echo "no configuration file written in $work/run" >&2; exit 1; }

if command -v man >/dev/null; then
  for page in korvane korvane-module-sim; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || { echo "$page(1): $warnings" >&2; exit 1; }
  done
fi

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb"
else
  echo "lintian is not installed: skipped"
fi
echo "Package checks passed: $(basename "$deb")"
