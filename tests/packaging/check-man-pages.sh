#!/bin/sh
# usage: check-man-pages.sh <xtbasis program> <man folder>
# xtbasis(1) has a section for every command the tool lists, and man reads
# each page without a warning.
set -eu
tool=$1
man=$2
commands=$("$tool" help | sed -n 's/^  \([a-z0-9-]*\) .*/\1/p')
[ -n "$commands" ] || { echo "xtbasis help lists no commands" >&2; exit 1; }
for command in $commands; do
  grep -qx "\.SS $command" "$man/xtbasis.1" || { echo "xtbasis.1 does not describe $command" >&2; exit 1; }
done
for page in "$man"/*.[1-8]; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "$page: $warnings" >&2; exit 1; }
done
