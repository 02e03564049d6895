#!/usr/bin/env bash
# Saves pictures of the main window on the demo company, the new-company dialog, the entries
# browser, the calculator of the entry editor, the report setup screen and the preview into
# docs/screenshots/, rendered offscreen: no display needed. Builds first.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
[ -f "$BUILD/build.ninja" ] || cmake -S . -B "$BUILD" -G Ninja
cmake --build "$BUILD" --target gui_test_menufrm gui_test_entries_gui gui_test_calculator gui_test_frmpapel
OUT="$PWD/docs/screenshots"
mkdir -p "$OUT"
# A 1600 x 900 screen: wide enough for the tool bar (shown only above 900 pixels).
CONF=$(mktemp --suffix=.json)
trap 'rm -f "$CONF"' EXIT
printf '{"screens":[{"name":"shot","x":0,"y":0,"width":1600,"height":900,"logicalDpi":96,"dpr":1}]}\n' > "$CONF"
QT_QPA_PLATFORM="offscreen:configfile=$CONF" KESH_SCREENSHOT_DIR="$OUT" \
  "$BUILD/tests/gui_test_menufrm" firstStartCreatesFolderDemoAndSettings
for run in "gui_test_entries_gui browserCommands" \
           "gui_test_calculator plusInAnAmountCellOpensItAndTheResultGoesToTheCell" \
           "gui_test_frmpapel previewPagesThroughTheReport"; do
  set -- $run
  QT_QPA_PLATFORM="offscreen:configfile=$CONF" KESH_SCREENSHOT_DIR="$OUT" "$BUILD/tests/$1" "$2"
done
ls -l "$OUT"
