#!/usr/bin/env bash
# The demo of `kv demo`: the archive reader at work on a small distribution
# volume made with Info-ZIP zip, as a distributor would make one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin="$root/build/native/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

step() { printf '\n== %s\n' "$*"; }

mkdir -p "$work/payload/LIB" "$work/payload/DOC" "$work/payload/EXAMPLES"
for i in 1 2 3; do
  seq 1 20000 | sed "s/^/example $i line /" >"$work/payload/EXAMPLES/example$i.cpp"
done
cp /usr/include/stdio.h "$work/payload/LIB/kvstl.h"
printf 'KV for STL\r\nTeaching package.\r\n' >"$work/payload/DOC/readme.txt"
password=demo-password

step "a password-protected volume, made with: zip -r -P ... setup.dat"
(cd "$work/payload" && zip -q -r -P "$password" "$work/setup.dat" .)
ls -l "$work/setup.dat"

step "kvunzip l setup.dat"
"$bin/kvunzip" l "$work/setup.dat"

step "kvunzip t -P <password> setup.dat"
"$bin/kvunzip" t -P "$password" "$work/setup.dat"
echo "exit status $?"

step "kvunzip x -P <password> -d TEMP setup.dat"
"$bin/kvunzip" x -P "$password" -d "$work/TEMP" "$work/setup.dat"
echo "exit status $?"
(cd "$work/TEMP" && find . -type f | sort)
diff -r "$work/payload" "$work/TEMP" && echo "extracted files are identical to the payload"

step "a wrong password: every entry is refused, no file is written"
set +e
"$bin/kvunzip" x -P wrong -d "$work/WRONG" "$work/setup.dat"
echo "exit status $? (1: some entries failed)"
set -e

step "kvsetup --print-config: the folders, options and language the installer would use here"
"$bin/kvsetup" --print-config || true
