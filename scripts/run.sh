#!/usr/bin/env bash
# Set-up, build, and start kesh2 (the demo company on the embedded engine on first start).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KESH_BUILD_DIR:-$top/build}
"$top/scripts/build.sh"
exec "$build/app/kesh2" "$@"
