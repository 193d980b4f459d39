#!/usr/bin/env bash
# Bands: the replay's run (splash, title, a run with walking, turning, firing, weapon changes and
# the pause veil) painted by 1, 2, 3 and 7 threads, at a size whose height no band count divides
# evenly, by one thread kept to the plain loops where the processor has AVX2 (QUILLON_AVX2=0), and
# by one thread whose fills write every pixel, held or not (QUILLON_REUSE=0). Every saved frame
# must be the same file, byte for byte. Run from the build directory.
set -euo pipefail
# The program to run: ZORB_HEADLESS names it with its runner (Wine for the Windows build).
read -r -a headless <<<"${ZORB_HEADLESS:-./zorb-headless}"
out=bands_test_shots
rm -rf "$out"
mkdir -p "$out"
shots=()
for f in 1 100 250 340 380 450 520 600 650 720 790 850 950 1000; do shots+=(--shot "$f:$out/T-$f.png"); done
for threads in 1 2 3 7 plain fresh; do
    args=()
    for s in "${shots[@]}"; do args+=("${s//T-/$threads-}"); done
    avx2=1 reuse=1
    [ "$threads" = plain ] && avx2=0
    [ "$threads" = fresh ] && reuse=0
    QUILLON_AVX2=$avx2 QUILLON_REUSE=$reuse QUILLON_THREADS=${threads//[a-z]*/1} "${headless[@]}" --seed 7 --dt 0.01 --frames 1001 --size 401x277 \
      --at 0:mouse:200,140 --at 2:click:200,140 --at 250:click:200,140 --at 300:click:200,140 \
      --at 360:key:E --at 400:down:W --at 500:up:W --at 520:mouse:260,140 --at 560:down:D \
      --at 600:up:D --at 620:down:2 --at 621:up:2 --at 630:click:200,140 --at 700:key:Escape \
      --at 800:key:Escape --at 820:down:3 --at 821:up:3 --at 830:click:200,140 --at 900:key:1 \
      "${args[@]}"
done
for f in "$out"/1-*.png; do
    n=${f##*/1-}
    for threads in 2 3 7 plain fresh; do
        cmp -s "$f" "$out/$threads-$n" || { echo "FAIL: frame ${n%.png} differs with $threads threads"; exit 1; }
    done
done
echo "bands: $(ls "$out"/1-*.png | wc -l) frames identical with 1, 2, 3 and 7 threads, the plain loops and every pixel written"
rm -rf "$out"
