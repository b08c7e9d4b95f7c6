#!/usr/bin/env bash
# Leaves the demo category "示例" with one spoken lesson in the library of the
# application built in BUILD_DIR (never overwriting an existing lesson).
set -euo pipefail
build="$1"
app_dir="$build/app"
if [ ! -w "$app_dir" ]; then app_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Velmo"; fi
mkdir -p "$app_dir"
"$build/tools/velmo-tool" demo-lesson "$app_dir"
