#!/usr/bin/env bash
# Configures (once) and builds incrementally: scripts/build.sh BUILD_DIR [cmake options...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$1"
shift
mkdir -p "$dir"
if [ ! -f "$dir/build.ninja" ] || [ $# -gt 0 ]; then
  cmake -S "$here" -B "$dir" -G Ninja "$@" > "$dir/configure.log" 2>&1 || {
    cat "$dir/configure.log" >&2
    exit 1
  }
fi
cmake --build "$dir"
