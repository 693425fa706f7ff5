#!/usr/bin/env bash
# Starts Quenzel for `make run`: on this machine's macOS-style Library when the root has one,
# else on the user's own Linux browsers when any has left its data folder in the home, else on
# the demo home; with the status table instead of the window when there is no display.
set -euo pipefail
binary=$1
shift || true

root=${QUENZEL_ROOT:-/}
user=${QUENZEL_USER:-$(id -un)}
config=${XDG_CONFIG_HOME:-$HOME/.config}
args=()
has_linux_browser() {
  # The data folders of the Linux layout's browsers (native, Flatpak and Snap installs).
  local folder
  for folder in "$HOME/.mozilla/firefox" "$HOME/.var/app/org.mozilla.firefox/.mozilla/firefox" \
    "$HOME/snap/firefox/common/.mozilla/firefox" "$config/google-chrome" \
    "$HOME/.var/app/com.google.Chrome/config/google-chrome" "$config/chromium" \
    "$HOME/.var/app/org.chromium.Chromium/config/chromium" "$HOME/snap/chromium/common/chromium" \
    "$config/opera" "$HOME/.var/app/com.opera.Opera/config/opera" \
    "$config/BraveSoftware/Brave-Browser" \
    "$HOME/.var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser" \
    "$config/vivaldi" "$HOME/.var/app/com.vivaldi.Vivaldi/config/vivaldi" \
    "$config/microsoft-edge" "$HOME/.var/app/com.microsoft.Edge/config/microsoft-edge" \
    "$HOME/.librewolf" "$HOME/.var/app/io.gitlab.librewolf-community/.librewolf"; do
    if [ -d "$folder" ] && [ ! -L "$folder" ]; then
      return 0
    fi
  done
  return 1
}
if [ -d "${root%/}/Users/$user/Library" ]; then
  :
elif [ -z "${QUENZEL_ROOT:-}" ] && has_linux_browser; then
  echo "quenzel: cleaning the browsers in $HOME (Linux layout)" >&2
else
  echo "quenzel: no ${root%/}/Users/$user/Library and no browser data in $HOME here," \
    "starting on the demo home (--demo)" >&2
  args+=(--demo)
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  "$binary" "${args[@]}" status "$@"
  echo >&2
  echo "quenzel: no display (DISPLAY and WAYLAND_DISPLAY are unset), so here is the status table." >&2
  echo "To see the window, run from a desktop session: $binary ${args[*]}" >&2
  echo "or without a desktop: xvfb-run -a $binary ${args[*]}" >&2
  exit 0
fi
exec "$binary" "${args[@]}" "$@"
