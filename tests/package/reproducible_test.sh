#!/usr/bin/env bash
# Two builds of one commit give the same packages, byte for byte: the Debian packages, the debug
# packages and the tarball. Run from the project root after scripts/package: it keeps what that
# made, builds everything again from nothing in build-package/, and compares.
set -u
fail() { echo "FAIL: $*"; exit 1; }
build=build-package
first=$(mktemp -d)
trap 'rm -rf "$first"' EXIT
shopt -s nullglob
made=("$build"/*.deb "$build"/*.ddeb "$build"/zorb-linux-x86_64.tar.gz)
[ ${#made[@]} -ge 6 ] || fail "not every package is in $build (run scripts/package)"
cp "${made[@]}" "$first/"
rm -rf "$build"
scripts/package --unjudged >"$first/build.log" 2>&1 || fail "the second build failed: $(tail -20 "$first/build.log")"
for f in "${made[@]}"; do
    name=$(basename "$f")
    cmp "$first/$name" "$build/$name" || fail "$name differs between two builds of the same commit"
done
echo "reproducible: ${#made[@]} files, the same bytes from two builds"
