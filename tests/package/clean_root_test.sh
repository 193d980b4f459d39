#!/usr/bin/env bash
# The packages on a system that has nothing yet: a minimal Debian 12 root, made by debootstrap
# from the archive apt uses here, with only the X client libraries added. In it, the tarball's
# zorb-headless plays without any SDL installed; then apt installs zorb and zorb-data with all
# they need, a player's zorb --version and a bot's run (which puts BOT on the player's
# leaderboard) work, and purging both packages leaves /usr as it was before. The root is kept as a
# tarball under ~/.cache and made again once it is a week old. Where the archive cannot be
# reached, the test says so and is skipped. Needs root; run from the project root after
# scripts/package.
set -u
fail() { echo "FAIL: $*"; exit 1; }
skip() { echo "SKIPPED: $*"; exit 0; }
# The packages judged by scripts/package, or a copy of them (scripts/test rebuilds build-package/
# meanwhile, to compare).
build=$(realpath "${ZORB_PACKAGES:-build-package}")
deb=$(ls "$build"/zorb_*_amd64.deb 2>/dev/null | head -1)
data_deb=$(ls "$build"/zorb-data_*_all.deb 2>/dev/null | head -1)
tarball=$build/zorb-linux-x86_64.tar.gz
[ -n "$deb" ] && [ -n "$data_deb" ] && [ -f "$tarball" ] || fail "no packages in $build (run scripts/package)"
[ "$(id -u)" -eq 0 ] || skip "making and entering a Debian root needs root"
command -v debootstrap >/dev/null || fail "debootstrap is not installed (scripts/package installs it)"

# The first Debian archive in apt's sources.
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
    grep -v security | head -1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $0 !~ /security/ { print $2; exit }' \
    /etc/apt/sources.list 2>/dev/null)
mirror=${mirror:-http://deb.debian.org/debian}

cache=${XDG_CACHE_HOME:-$HOME/.cache}/zorb-package-test
cached=$cache/bookworm-minbase.tar
work=$(mktemp -d)
root=$work/root
cleanup() {
    umount "$root/proc" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$cache" "$root"
if [ -z "$(find "$cached" -mtime -7 2>/dev/null)" ]; then
    echo "making a minimal Debian 12 root from $mirror"
    if ! debootstrap --variant=minbase --include=libx11-6,libxext6 bookworm "$root" "$mirror" \
        >"$work/debootstrap.log" 2>&1; then
        tail -5 "$work/debootstrap.log"
        skip "debootstrap could not make a root from $mirror"
    fi
    tar -C "$root" -cf "$cached.part" . && mv "$cached.part" "$cached"
else
    tar -C "$root" -xpf "$cached"
fi
mount -t proc proc "$root/proc" || fail "cannot mount /proc in the root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"; }
as_player() { chroot --userspec=player:player "$root" env -i HOME=/home/player PATH=/usr/games:/usr/bin:/bin "$@"; }
in_root useradd --create-home player || fail "cannot add a player to the root"
autoplay=(zorb-headless --seed 5 --size 320x240 --autoplay --count-only)

# The tarball, where no SDL is installed.
in_root dpkg-query -W 'libsdl2*' >/dev/null 2>&1 && fail "the clean root has SDL installed"
tar -C "$root/home/player" -xzf "$tarball"
out=$(as_player /home/player/zorb/zorb-headless --frames 120 --size 320x240 2>&1) ||
    fail "the tarball's zorb-headless failed without SDL installed: $out"
echo "tarball: zorb-headless plays in a root without SDL"
rm -rf "$root/home/player/zorb" "$root/home/player/.local"

# The packages, with everything they depend on, from the archive.
listing() { find "$root/usr" | sed "s|^$root||" | LC_ALL=C sort; }
before=$(listing)
packages_before=$(in_root dpkg-query -W -f='${Package}\n' | LC_ALL=C sort)
cp "$deb" "$data_deb" "$root/tmp/"
in_root apt-get update -qq >"$work/apt.log" 2>&1 ||
    { tail -5 "$work/apt.log"; skip "apt cannot reach $mirror"; }
if ! in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "/tmp/$(basename "$deb")" "/tmp/$(basename "$data_deb")" >"$work/apt.log" 2>&1; then
    grep -q "Could not\|Failed to fetch\|Temporary failure" "$work/apt.log" &&
        { tail -5 "$work/apt.log"; skip "apt cannot fetch from $mirror"; }
    fail "apt-get install failed: $(tail -20 "$work/apt.log")"
fi
added=$(comm -13 <(echo "$packages_before") <(in_root dpkg-query -W -f='${Package}\n' | LC_ALL=C sort) |
    wc -l)
version=$(as_player zorb --version 2>&1) || fail "zorb --version failed: $version"
out=$(cd "$root" && as_player "${autoplay[@]}" 2>&1) || fail "the bot's run failed: $out"
grep -q "BOT" "$root/home/player/.local/share/zorb/HighScores.txt" 2>/dev/null ||
    fail "the bot's run is not on the player's leaderboard"
echo "installed with $added packages: $version; a bot's run on the player's leaderboard"

in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq --autoremove zorb zorb-data \
    >"$work/apt.log" 2>&1 || fail "apt-get purge failed: $(tail -20 "$work/apt.log")"
# apt keeps what the base system's own packages recommend (apt recommends ca-certificates): those
# are purged too, and then /usr must be as it was.
kept=$(comm -13 <(echo "$packages_before") <(in_root dpkg-query -W -f='${Package}\n' | LC_ALL=C sort))
if [ -n "$kept" ]; then
    in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq $kept >"$work/apt.log" 2>&1 ||
        fail "apt-get purge $kept failed: $(tail -20 "$work/apt.log")"
fi
left=$(comm -13 <(echo "$before") <(listing))
[ -z "$left" ] || fail "purged, but these are left under /usr:
$left"
echo "purged: nothing left under /usr (also purged, kept by the base system's recommends:" $kept")"
echo "clean root tests passed"
