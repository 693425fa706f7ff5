#!/usr/bin/env bash
# Takes the README's screenshot: the main window on the demo home, under a virtual X server.
set -euo pipefail
binary=$1
output=$2
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")
# English texts, a private settings folder and no other Quenzel to hand the start over to.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
env QUENZEL_LANG=en QUENZEL_SCREENSHOT="$output" XDG_RUNTIME_DIR="$scratch" \
  xvfb-run -a -s "-screen 0 1280x800x24" "$binary" --demo
echo "screenshot saved to $output"
