#!/bin/sh
# Runs one test program under Wine for CTest (the cross-compiling emulator). Wine's own messages
# are off, so a program that ends before it can print anything would fail without a word: a
# non-zero exit says its code and how long the program ran.
# LEXDRILL_LOCALE runs the program in another locale, and so under another ANSI code page.
if [ -n "${LEXDRILL_LOCALE:-}" ]; then
  export LANG="$LEXDRILL_LOCALE" LC_ALL="$LEXDRILL_LOCALE"
fi
start=$(date +%s%N)
wine "$@"
code=$?
[ "$code" -eq 0 ] || echo "wine-run: exit code $code after $((($(date +%s%N) - start) / 1000000)) ms" >&2
exit "$code"
