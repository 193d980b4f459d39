#!/usr/bin/env bash
# The leaderboard's permission tests as an ordinary user: root writes into read-only folders and
# files, so where the tests run as root they run again here as nobody, on a copy of the test
# program, and must pass, not skip. Run from the build directory.
set -euo pipefail
filter='HighScoresTest.Unwritable*:HighScoresTest.SavesKeep*:DataFolderTest.Unwritable*'
if [ "$(id -u)" -ne 0 ]; then
    exec ./zorb_tests --gtest_filter="$filter"
fi
command -v setpriv >/dev/null || { echo "FAIL: setpriv is needed to run as nobody"; exit 1; }
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
cp zorb_tests "$copy/"
mkdir "$copy/tmp"
chmod 755 "$copy" "$copy/zorb_tests"
chmod 1777 "$copy/tmp"
out=$(cd "$copy" && TMPDIR=$copy/tmp setpriv --reuid=nobody --regid=nogroup --clear-groups \
    ./zorb_tests --gtest_filter="$filter" 2>&1) || { echo "$out"; exit 1; }
echo "$out" | tail -3
if grep -q SKIPPED <<<"$out" || ! grep -q "PASSED  \] 3 tests" <<<"$out"; then
    echo "FAIL: the tests did not run as nobody"
    exit 1
fi
