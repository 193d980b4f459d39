#!/usr/bin/env bash
# Writes the crafted recordings and indexes that once got wrong answers (a run that lies about its
# end, a carried player of NaN, an endless varint, a field of view of 1e-45, a tag that resets
# the terminal, a tag with a space in the index, control bytes in an index's names) into a
# folder, from the short recording kept in the tree. Used by the recordings' tests and to seed
# the fuzz targets.
#   craft.sh FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
mkdir -p "$out"
short=$here/short.zrun
size=$(wc -c <"$short")
patch() { # file, offset, bytes as printf escapes: a copy of the short run with them in place
    cp "$short" "$1"
    printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
patch "$out/end_lie.zrun" $((size - 12)) '\x3f\x42\x0f\x00'  # the end's score: 999999
patch "$out/nan_carry.zrun" 24 '\x00\x00\xc0\x7f'             # the carried turning: NaN
patch "$out/tiny_fov.zrun" 20 '\x01\x00\x00\x00'              # the field of view: 1e-45
patch "$out/wide_fov.zrun" 20 '\x00\x00\x48\x43'              # the field of view: 200
patch "$out/fast_carry.zrun" 28 '\x00\x00\x20\x41'            # the carried speed: 10
patch "$out/escape_tag.zrun" 64 '\x1b\x63\x07\x00'            # the tag: ESC c BEL
{ head -c 68 "$short"; printf '\x01'; for _ in $(seq 20); do printf '\xff'; done; } >"$out/overlong.zrun"
printf '5000 A B run-20261208-100000.zrun\n4000 ZKM run-20261208-090000.zrun\r\n' >"$out/index.txt"
printf '5000 A \t \rB\r\r\n3000 A B \rru-\r\rn202n\r' >"$out/index-cr.txt" # control bytes in a name
