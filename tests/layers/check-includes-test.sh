#!/usr/bin/env bash
# The include check must catch forbidden includes planted into a copy of the tree.
# Usage: check-includes-test.sh SOURCE-ROOT
set -euo pipefail
source_root=${1:?usage: check-includes-test.sh SOURCE-ROOT}
check="$(dirname "$0")/check-includes.sh"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
cp -r "$source_root/src" "$source_root/driver-korvane" "$source_root/tools" "$tree"

"$check" "$tree" >/dev/null || { echo "the unchanged copy fails the check" >&2; exit 1; }

echo '#include "app/TForm_Korvane.h"' >>"$tree/src/platform/Thread.cpp"
echo '#include <driver/DriverBinding.h>' >>"$tree/driver-korvane/api/Interface.h"
echo '#include "api/Interface.h"' >>"$tree/driver-korvane/canbus/QtCanChannel.cpp"
echo '#include "../app/TForm_Korvane.h"' >>"$tree/src/widgets/VrLeds.cpp"
mkdir "$tree/src/newlayer" && touch "$tree/src/newlayer/New.cpp"

status=0
report=$("$check" "$tree" 2>&1) || status=$?
echo "$report"
[ "$status" -ne 0 ] || { echo "the check passed a tree with forbidden includes" >&2; exit 1; }
for expected in "src/platform/Thread.cpp:.*app/TForm_Korvane.h" \
                "driver-korvane/api/Interface.h:.*driver/DriverBinding.h" \
                "driver-korvane/canbus/QtCanChannel.cpp:.*api/Interface.h" \
                "src/widgets/VrLeds.cpp:.*relative path" \
                "src/newlayer/New.cpp: no layer rule" \
                "^5 include fault"; do
  grep -q "$expected" <<<"$report" || { echo "not reported: $expected" >&2; exit 1; }
done
