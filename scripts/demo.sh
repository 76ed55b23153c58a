#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on the built-in demo.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh"
"${ZR_BUILD_DIR:-$root/build}/cli/zurararudud-cli" "$@"
