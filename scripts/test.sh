#!/usr/bin/env bash
# Set-up, build, and the whole test suite: core tests headless on the embedded engine, screen
# tests on Qt's offscreen platform, and server tests against a private Firebird server on
# loopback that this script starts and stops itself.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KESH_BUILD_DIR:-$top/build}
"$top/scripts/build.sh"

fbdir="$build/fbtest"
trap '"$top/scripts/fb-test-server.sh" stop "$fbdir"' EXIT
eval "$("$top/scripts/fb-test-server.sh" start "$fbdir" "${KESH_TEST_PORT:-3057}")"
echo "Servidor de prueba: $KESH_TEST_SERVER"
cd "$build"
ctest --output-on-failure -j "$(nproc)" --timeout 600 "$@"
