#!/usr/bin/env bash
# Starts Quenzel for `make run`.
set -euo pipefail
binary=$1
exec "$binary" status
