#!/usr/bin/env bash
# Makes a folder of 100,000 files (half of them with Japanese names) in the
# build tree and runs the listing benchmark over it under Wine and Xvfb
# (Wine's drive Z: is the Unix root).
#   bench/input/run_listing.sh [count]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/wine-env"
source "$root/tools/xvfb-lib"
build=${SELVAT_BUILD_DIR:-$root/build}/$SELVAT_WINE_ARCH
count=${1:-100000}
exe=$build/bench/input/bench_input_listing.exe
[ -f "$exe" ] || { echo "build bench_input_listing first ($exe)" >&2; exit 1; }

unix_folder=$build/bench/input/listing-$count
if [ ! -d "$unix_folder" ] || [ "$(ls "$unix_folder" | wc -l)" -ne "$count" ]; then
  rm -rf "$unix_folder"
  python3 - "$unix_folder" "$count" <<'PY'
import os, sys
folder, count = sys.argv[1], int(sys.argv[2])
os.makedirs(folder)
for i in range(count):
    name = f"資料 {i:06d}.txt" if i % 2 else f"Report_{i:06d}.txt"
    open(os.path.join(folder, name), "w").close()
PY
fi

trap xvfb_stop EXIT
xvfb_start
"$WINE" "$exe" "Z:${unix_folder//\//\\}"
