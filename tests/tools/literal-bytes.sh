#!/bin/sh
# Compiles the literal fixture as the player is compiled (g++, CP932 literals) and, from the
# copy scripts/cp932-tree writes, with clang++ as the fuzz targets are: both programs must
# print the same bytes. Skipped (77) where clang++ is missing.
#   usage: literal-bytes.sh <g++> <work folder>
set -eu
gxx="$1"; work="$2"
here=$(cd "$(dirname "$0")" && pwd)
command -v clang++ >/dev/null 2>&1 || { echo "clang++ missing: skipped"; exit 77; }
rm -rf "$work"
mkdir -p "$work"
"$here/../../scripts/cp932-tree" "$work/converted" "$here/literal-bytes"
"$gxx" -std=c++20 -Wall -Wextra -Werror -fexec-charset=CP932 "$here/literal-bytes/Literals.cpp" -o "$work/player"
clang++ -std=c++20 -Wall -Wextra -Werror "$work/converted/Literals.cpp" -o "$work/fuzz"
"$work/player" > "$work/player.txt"
"$work/fuzz" > "$work/fuzz.txt"
if ! cmp -s "$work/player.txt" "$work/fuzz.txt"; then
    echo "The converted literals differ from the player's:"
    diff "$work/player.txt" "$work/fuzz.txt" || true
    exit 1
fi
cat "$work/player.txt"
