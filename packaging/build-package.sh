#!/usr/bin/env bash
# Builds the Debian package with dpkg-buildpackage from a copy of the source tree (what git
# tracks or would track, uncommitted changes included), so that nothing lands beside the checkout.
# Usage: build-package.sh OUT-FOLDER
# Leaves korvane_VERSION_ARCH.deb, korvane-dbgsym_VERSION_ARCH.deb, .buildinfo and .changes in
# OUT-FOLDER; the build itself is in OUT-FOLDER/debian-build.
set -euo pipefail
source_root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "${1:?usage: build-package.sh OUT-FOLDER}"
out=$(cd "$1" && pwd)
version=$(dpkg-parsechangelog -l "$source_root/debian/changelog" -S Version)
work="$out/debian-build"
tree="$work/korvane-$version"

rm -rf "$work"
mkdir -p "$tree"
(cd "$source_root" && git ls-files -z --cached --others --exclude-standard | xargs -0 -r sh -c \
   'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh | tar --null -T - -cf -) | tar -xf - -C "$tree"
# Every file as old as the changelog's last entry, whatever the checkout's times: the package's
# files get the same times in every build (dpkg-deb clamps only newer ones to that date).
epoch=$(dpkg-parsechangelog -l "$source_root/debian/changelog" -S Timestamp)
find "$tree" -exec touch -h -d "@$epoch" {} +
(cd "$tree" && dpkg-buildpackage -us -uc -b -j2)
rm -f "$out"/korvane_*.deb "$out"/korvane-dbgsym_*.deb "$out"/korvane_*.buildinfo "$out"/korvane_*.changes
mv "$work"/*.deb "$work"/*.buildinfo "$work"/*.changes "$out"/
