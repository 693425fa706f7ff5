#!/usr/bin/env bash
# Starts Quenzel for `make run`: on the demo home when this machine has no macOS-style Library
# folder under the root, and with the status table instead of the window when there is no display.
set -euo pipefail
binary=$1
shift || true

root=${QUENZEL_ROOT:-/}
user=${QUENZEL_USER:-$(id -un)}
args=()
if [ ! -d "${root%/}/Users/$user/Library" ]; then
  echo "quenzel: no ${root%/}/Users/$user/Library here, starting on the demo home (--demo)" >&2
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
