#!/usr/bin/env bash
# Takes the README's screenshots: the main window on the demo home under a virtual X server, in
# the light theme (OUTPUT) and in a dark one (OUTPUT with "-dark" before the extension): the
# Adwaita-Dark style when adwaita-qt6 is installed, else a dark palette.
set -euo pipefail
binary=$1
output=$2
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")
dark=${output%.*}-dark.${output##*.}
# English texts, a private settings folder and no other Quenzel to hand the start over to.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
shoot() {
    local file=$1
    shift
    env QUENZEL_LANG=en QUENZEL_SCREENSHOT="$file" XDG_RUNTIME_DIR="$scratch" "$@" \
      xvfb-run -a -s "-screen 0 1280x800x24" "$binary" --demo
    echo "screenshot saved to $file"
}
shoot "$output" QT_STYLE_OVERRIDE=Fusion
styles=$(qtpaths6 --plugin-dir 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)/styles
if ls "$styles"/*adwaita* >/dev/null 2>&1; then
    shoot "$dark" QT_STYLE_OVERRIDE=Adwaita-Dark
else
    shoot "$dark" QT_STYLE_OVERRIDE=Fusion QUENZEL_SCREENSHOT_THEME=dark
fi
