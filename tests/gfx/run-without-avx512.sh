#!/bin/sh
# Runs the drawing tests under valgrind, whose processor has no AVX-512: the rows that
# the program picks by processor are then the AVX2 and plain ones, which a machine with
# AVX-512 would otherwise never run. Skipped (77) where valgrind is missing.
command -v valgrind >/dev/null 2>&1 || { echo "valgrind missing: skipped"; exit 77; }
exec valgrind -q --error-exitcode=9 "$1" --gtest_brief=1
