#!/bin/sh
# Compiles the literal fixture as the player is compiled (g++, CP932 literals) and, from the
# copy scripts/cp932-tree writes, with clang++ as the fuzz targets are: both programs must
# print the bytes of literal-bytes.expected, taken from the CP932 code table. The clang++
# half is skipped (77) where clang++ is missing.
#   usage: literal-bytes.sh <g++> <work folder>
set -eu
gxx="$1"; work="$2"
here=$(cd "$(dirname "$0")" && pwd)
expected="$here/literal-bytes.expected"
rm -rf "$work"
mkdir -p "$work"
"$gxx" -std=c++20 -Wall -Wextra -Werror -fexec-charset=CP932 "$here/literal-bytes/Literals.cpp" -o "$work/player"
"$work/player" > "$work/player.txt"
if ! cmp -s "$expected" "$work/player.txt"; then
    echo "The player's literals differ from their CP932 bytes:"
    diff "$expected" "$work/player.txt" || true
    exit 1
fi
command -v clang++ >/dev/null 2>&1 || { echo "clang++ missing: skipped"; exit 77; }
"$here/../../scripts/cp932-tree" "$work/converted" "$here/literal-bytes"
clang++ -std=c++20 -Wall -Wextra -Werror "$work/converted/Literals.cpp" -o "$work/fuzz"
"$work/fuzz" > "$work/fuzz.txt"
if ! cmp -s "$expected" "$work/fuzz.txt"; then
    echo "The converted literals differ from their CP932 bytes:"
    diff "$expected" "$work/fuzz.txt" || true
    exit 1
fi
cat "$work/player.txt"
