#!/usr/bin/env bash
# The checked-in art is exactly what res/make_art draws: the script draws it afresh into a
# temporary folder, and every file must match byte for byte, none missing and none left over.
#
#   art_test.sh RES_DIR
set -euo pipefail

res="$1"
fresh="$(mktemp -d)"
trap 'rm -rf "$fresh"' EXIT

"$res/make_art" "$fresh"
status=0
cmp "$fresh/MoraventDL_Vellomarch.ico" "$res/MoraventDL_Vellomarch.ico" || status=1
diff -rq "$fresh/bitmaps" "$res/bitmaps" || status=1
if ((status != 0)); then
  echo "the art in $res is not what make_art draws: run res/make_art and look at the result" >&2
fi
exit "$status"
