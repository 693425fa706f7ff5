#!/usr/bin/env bash
# Writes the list of the program's own functions that run before the window's first frame (on
# the demo home, under a virtual X server), which the link places side by side: the start then
# touches a few hundred kilobytes of the program's code instead of all of it. Run it again after
# larger changes to the start; a name that no longer exists is skipped by the linker.
set -euo pipefail
binary=$1
output=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# A private home and settings, English texts, and no other Quenzel to hand the start over to.
export HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache \
       XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch QUENZEL_LANG=en QT_QPA_PLATFORM=xcb
"$binary" --demo status >/dev/null
# Once without counting, so that the counted start is an ordinary one (welcome seen).
QUENZEL_REPORT_FIRST_FRAME=1 xvfb-run -a -s "-screen 0 1280x800x24" "$binary" --demo >/dev/null
QUENZEL_REPORT_FIRST_FRAME=1 xvfb-run -a -s "-screen 0 1280x800x24" \
    valgrind --tool=callgrind --demangle=no --compress-strings=no --dump-instr=no \
    --dump-before='_ZN2qz16FirstFrameReport6reportEv' \
    --callgrind-out-file="$scratch/calls" "$binary" --demo >/dev/null 2>"$scratch/valgrind.log"
# Every function callgrind saw in the program itself (not in a library) up to the frame's report
# (the first part of the profile), once, in name order.
awk -v self="$(readlink -f "$binary")" '
    /^ob=/  { ob = substr($0, 4) }
    /^cob=/ { cob = substr($0, 5) }
    /^fn=/  { if (ob == self) print substr($0, 4) }
    /^cfn=/ { if ((cob != "" ? cob : ob) == self) print substr($0, 5); cob = "" }
' "$scratch/calls.1" | grep -v -e '^0x' -e '^(' | sort -u >"$output"
echo "$(wc -l <"$output") functions written to $output"
