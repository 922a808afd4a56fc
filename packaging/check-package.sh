#!/usr/bin/env bash
# Checks the Debian package of a build folder (make package): the desktop entry and the AppStream
# metadata validate, the package holds every installed file, lintian --pedantic finds nothing,
# every ELF file is hardened, a second build from scratch gives byte-identical packages, the
# unpacked tool runs an unattended upload, and, as root, the package installed with apt runs the
# timer's upload as another user.
# Usage: check-package.sh BUILD-FOLDER
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD-FOLDER}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
debs=("$build"/korvane_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one korvane_*.deb in $build" >&2; exit 1; }
deb=${debs[0]}
dbgsym=${deb/korvane_/korvane-dbgsym_}
[ -f "$dbgsym" ] || { echo "no debug symbols package $(basename "$dbgsym")" >&2; exit 1; }
fail() { echo "check-package: $*" >&2; exit 1; }

desktop-file-validate "$here/org.korvane.Korvane.desktop"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
dpkg-deb --info "$deb"
dpkg -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.korvane.Korvane.metainfo.xml"
echo "Files in $(basename "$deb"):"
(cd "$work/root" && find . -type f -o -type l | sort | sed 's|^\.|  |')
expected=(
  usr/bin/korvane usr/bin/korvane-module-sim usr/bin/korvane-upload
  usr/lib/systemd/user/korvane-upload@.service usr/lib/systemd/user/korvane-upload@.timer
  usr/share/applications/org.korvane.Korvane.desktop
  usr/share/metainfo/org.korvane.Korvane.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/korvane.svg
  usr/share/man/man1/korvane.1.gz usr/share/man/man1/korvane-module-sim.1.gz usr/share/man/man1/korvane-upload.1.gz
  usr/share/bash-completion/completions/korvane usr/share/bash-completion/completions/korvane-module-sim
  usr/share/bash-completion/completions/korvane-upload
  usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.gz
  usr/share/korvane/translations/korvane_de.qm
)
# The private library folder carries the multiarch triplet where the build knows it.
for lib in libKorvane.so libKorvaneBus.so; do
  compgen -G "$work/root/usr/lib/korvane/$lib" >/dev/null || compgen -G "$work/root/usr/lib/*/korvane/$lib" >/dev/null ||
    fail "missing from the package: $lib"
done
for size in 16 22 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/korvane.png")
done
for file in "${expected[@]}"; do
  [ -e "$work/root/$file" ] || fail "missing from the package: /$file"
done

# Info-level tags are not shown at --pedantic; the one it would show, hardening-no-fortify-functions
# for libKorvaneBus.so, has the reason below.
lintian --pedantic --fail-on error,warning,pedantic "$deb" "$dbgsym"

# Every ELF file, with two checks that cannot say yes on Debian 12:
# - control-flow protection (CET): the C start files of Debian 12's glibc (crt1.o, crti.o) carry no
#   IBT/SHSTK marking, so the linker drops it from every program and library built here;
# - fortify for libKorvaneBus.so: its only fortifiable calls are read and write of the 8-byte
#   eventfd counter into a variable of that size, which glibc proves safe at compile time and
#   calls unchecked (at _FORTIFY_SOURCE=3 as well), so no checked function is ever linked.
# "Stack clash protection: unknown" is no failure: the flag is on, and no function has a frame
# large enough to need its probes.
while IFS= read -r -d '' file; do
  file -b "$file" | grep -q '^ELF' || continue
  skip=(--nocfprotection)
  [ "$(basename "$file")" = libKorvaneBus.so ] && skip+=(--nofortify)
  hardening-check "${skip[@]}" "$file"
done < <(find "$work/root" -type f -print0)

# Reproducible: a second build from scratch (no compiler cache, another folder) is byte-identical.
CCACHE_DISABLE=1 "$here/build-package.sh" "$build/reproduce" >"$work/reproduce.log" 2>&1 ||
  { tail -40 "$work/reproduce.log" >&2; fail "the second build failed"; }
for package in "$deb" "$dbgsym"; do
  cmp "$package" "$build/reproduce/$(basename "$package")" ||
    fail "$(basename "$package") differs between two builds (diffoscope shows where)"
done
echo "Two builds gave identical packages: $(sha256sum "$deb" | cut -c1-16)..."

# The unpacked program, headless, in a fresh home and folder: exactly one result line.
mkdir -p -m 700 "$work/home" "$work/run"
result=$(cd "$work/run" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR HOME="$work/home" \
           XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
           "$work/root/usr/bin/korvane" --auto --silent --config) || fail "the unpacked korvane failed: $result"
echo "korvane --auto --silent --config: $result"
[[ $result =~ ^[0-9]+\ Bytes\ Uploaded$ ]] || fail "no successful result line"
configs=("$work/run"/*Config_*.csv)
[ -s "${configs[0]}" ] || fail "no configuration file written in $work/run"

for page in korvane korvane-module-sim korvane-upload; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$work/root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page(1): $warnings"
done

if [ "$(id -u)" -ne 0 ]; then
  echo "Not root: the installation with apt and the run as another user are skipped"
  echo "Package checks passed: $(basename "$deb")"
  exit 0
fi

# Installed with apt, then the timer's upload as a user who is not root, its service's ExecStart
# line run as systemd runs it (systemd itself may be absent): a clean environment, no display, no
# runtime folder, the unit's specifiers filled in. The package and the user go afterwards.
user=korvane-check
instance=uploads
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q --no-install-recommends "$deb"
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
trap 'rm -rf "$work"; userdel --remove "$user" 2>/dev/null; apt-get purge -y -q korvane >/dev/null' EXIT
home=$(getent passwd "$user" | cut -d: -f6)
timer=/usr/lib/systemd/user/korvane-upload@.timer
service=/usr/lib/systemd/user/korvane-upload@.service
grep -q '^Unit=' "$timer" && fail "the check expects the timer to start the service of its own name"
line=$(sed -n 's/^ExecStart=//p' "$service")
line=${line//%h/$home}
line=${line//%I/$instance}
line=${line//%E/$home/.config}
echo "As $user: $line"
upload=$(runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin sh -c "cd && $line" 2>"$work/upload.err") ||
  { cat "$work/upload.err" >&2; fail "the timer's upload failed for $user"; }
echo "$upload"
# Standard error holds the tool's own lines only (here: that the built-in module is used), none
# of the toolkit's.
! grep -v '^korvane: ' "$work/upload.err" || fail "the timer's upload wrote more than its own lines to standard error"
memory=("$home/$instance"/*_????_??_??.csv)
[ ${#memory[@]} -eq 2 ] || fail "expected a memory and a configuration file in $home/$instance"
[ "$(stat -c %U "${memory[0]}")" = "$user" ] || fail "the upload's files do not belong to $user"
[ ! -e "$home/FORM.INI" ] && [ ! -e "$home/$instance/FORM.INI" ] || fail "a FORM.INI was written"

# The completion offers the options of the installed tools (korvane's from its --help) and file
# names after a file option, as the user in their home.
complete_as_user() {  # COMPLETIONS FUNCTION WORD...: what bash offers for the last WORD
  runuser -u "$user" -- bash -c 'cd && . /usr/share/bash-completion/bash_completion
    . "/usr/share/bash-completion/completions/$1"; complete_with=$2; shift 2
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    "$complete_with" "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"; echo "${COMPREPLY[*]}"' bash "$@"
}
runuser -u "$user" -- touch "$home/profile.dcf"
for case in "korvane _korvane korvane --mem|--memory-file" \
  "korvane _korvane korvane --settings pro|profile.dcf" \
  "korvane-module-sim _korvane_module_sim korvane-module-sim --line|--line-rate"; do
  # shellcheck disable=SC2086 # the words of the case
  offered=$(complete_as_user ${case%|*})
  [ "$offered" = "${case#*|}" ] || fail "bash completion of \"${case%|*}\" gave \"$offered\""
done
echo "Package checks passed: $(basename "$deb")"
