#!/bin/bash
# The main window as a screen reader sees it: the tool runs on a private X server with the AT-SPI
# bus of a private D-Bus session, and atspi_tree.py walks its accessible tree in the language of
# LOCALE (the C locale by default: English). In another locale an unattended run on that display
# must still write its result line and its reasons in English, as scripts read them.
# Usage: atspi-tree.sh KORVANE [LOCALE]. Ends with 77 (skipped) when a piece of AT-SPI is missing.
set -u
tool=$1
locale=${2:-C}
here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
for need in Xvfb dbus-run-session "$launcher"; do
    command -v "$need" >/dev/null || { echo "skipped: $need is not installed (at-spi2-core, xvfb, dbus)"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }

sandbox=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$sandbox"' EXIT
export HOME=$sandbox XDG_CONFIG_HOME=$sandbox/config XDG_DATA_HOME=$sandbox/data XDG_RUNTIME_DIR=$sandbox/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
# -noreset: the tool probes the display before Qt connects; a server that resets when its last
# client leaves would refuse Qt in between.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$sandbox/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$sandbox/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$sandbox/display")
for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
cd "$sandbox"
unset LANGUAGE LC_MESSAGES
export LANG=$locale LC_ALL=$locale

if [ "$locale" != C ]; then
    line=$("$tool" /auto /silent /fm "$sandbox/no/such/m.csv" 2>"$sandbox/err")
    if [ "$line" != "Upload Failed! (step: memory)" ] ||
        ! grep -q '^korvane: memory failed: cannot open the memory file' "$sandbox/err"; then
        echo "FAIL: in $locale the result line is \"$line\", standard error says:"; cat "$sandbox/err"; exit 1
    fi
fi

# Not exec: the trap must still end the X server and remove the sandbox.
dbus-run-session -- bash -c '
    "$0" --launch-immediately & sleep 1
    QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" & tool=$!
    /usr/bin/python3 "$2" Korvane "$3"; result=$?
    kill $tool; exit $result' "$launcher" "$tool" "$here/atspi_tree.py" "$locale"
