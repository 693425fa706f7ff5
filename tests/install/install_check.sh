#!/bin/sh
# Installs the build tree into a temporary DESTDIR, as `make install` and the package do, and
# checks what lands there.
#   program BUILD APP_ID VERSION:  the installed quenzel runs (--version, status --json on a
#                                  small home) and every installed file is where menus look
#   validators BUILD APP_ID:       the desktop entry and the AppStream data pass their validators
set -eu
mode=$1 build=$2 app_id=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >"$work/install.log" || {
    cat "$work/install.log"; exit 1; }
usr="$work/dest/usr"
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ "$mode" = validators ]; then
    desktop-file-validate "$usr/share/applications/$app_id.desktop"
    appstreamcli validate --no-net "$usr/share/metainfo/$app_id.metainfo.xml"
    exit 0
fi

version=$4
short=$(echo "$version" | cut -d. -f1-2)
# Nothing the program reads or writes may come from the developer's own home.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_CACHE_HOME="$work/home/.cache" QT_QPA_PLATFORM=offscreen
unset QUENZEL_ROOT QUENZEL_USER QUENZEL_WEBSITE DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"

got=$("$usr/bin/quenzel" --version)
[ "$got" = "Quenzel $short ($version)" ] || fail "--version printed \"$got\""

# A home with Safari installed and a history of 1234 bytes.
root="$work/root"
mkdir -p "$root/Applications/Safari.app" "$root/Users/anna/Library/Safari"
head -c 1234 /dev/zero >"$root/Users/anna/Library/Safari/History.plist"
"$usr/bin/quenzel" --root "$root" --user anna status --json >"$work/status.json"
python3 - "$work/status.json" <<'PY' || fail "status --json: $(cat "$work/status.json")"
import json, sys
status = json.load(open(sys.argv[1]))
safari = next(b for b in status["browsers"] if b["key"] == "safari")
assert safari["installed"] is True, safari
history = next(i for i in safari["items"] if i["item"] == "historyS")
assert history["bytes"] == 1234, history
assert not any(b["installed"] for b in status["browsers"] if b["key"] != "safari"), status
PY

module=$(cd "$usr" && ls lib/quenzel/quenzel-network.so lib/*/quenzel/quenzel-network.so 2>/dev/null | head -1)
[ -n "$module" ] || fail "the network module is not installed"
for file in "bin/quenzel" "$module" "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
            "share/icons/hicolor/scalable/apps/$app_id.svg" "share/man/man1/quenzel.1" \
            "share/quenzel/site/welcome.html" "share/quenzel/site/update.html" \
            "share/quenzel/site/it/welcome.html" "share/quenzel/site/it/update.html"; do
    [ -s "$usr/$file" ] || fail "$file is not installed"
done
# The installed program finds its network module (the dynamic loader names what it opens).
LD_DEBUG=files QUENZEL_WEBSITE=http://127.0.0.1:9 "$usr/bin/quenzel" check-updates >"$work/fetch.log" 2>&1 || true
grep -q "$module.*dynamically loaded" "$work/fetch.log" || fail "check-updates did not load $module"
for support in support.html it/support.html; do
    grep -q 'id="sandbox"' "$usr/share/quenzel/site/$support" || fail "$support has no #sandbox"
done
# No placeholder address ships, in a page, a data file or the program's own bundle.
placeholders=$(grep -rl 'example\.com' "$usr" || true)
[ -z "$placeholders" ] || fail "placeholder addresses in: $placeholders"
grep -q -- '--background' "$usr/share/man/man1/quenzel.1" || fail "the man page lacks --help's options"
python3 - "$usr" "$app_id" <<'PY' || fail "a rendered picture is missing or of the wrong kind or size"
import struct, sys
usr, app_id = sys.argv[1], sys.argv[2]
def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    assert head[:8] == b"\x89PNG\r\n\x1a\n", path
    return struct.unpack(">II", head[16:24])
for size in (48, 64, 128, 256):
    icon = f"{usr}/share/icons/hicolor/{size}x{size}/apps/{app_id}.png"
    assert png_size(icon) == (size, size), icon
png_size(f"{usr}/share/quenzel/site/images/xxx.png")
with open(f"{usr}/share/quenzel/site/images/cover_inapp.jpg", "rb") as f:
    assert f.read(3) == b"\xff\xd8\xff", "cover_inapp.jpg is no JPEG"
PY
