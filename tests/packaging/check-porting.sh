#!/bin/sh
# usage: check-porting.sh <installed prefix> <probe source dir>
# How code written for the Windows build compiles against the installed
# library, with g++ and with clang: what worked there works here, and what
# would silently do nothing fails to compile with a message saying what to
# write.
set -eu
prefix=$1
probes=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export PKG_CONFIG_PATH=$(find "$prefix" -name xtbasis.pc -printf '%h')
libdir=$(pkg-config --variable=libdir xtbasis)
flags=$(pkg-config --cflags --libs xtbasis)

for compiler in g++ clang++; do
  # shellcheck disable=SC2086
  $compiler -Wall -Wextra -Werror -o "$work/null_arguments" "$probes/null_arguments.cpp" $flags ||
    { echo "$compiler: NULL arguments do not compile" >&2; exit 1; }
  LD_LIBRARY_PATH=$libdir "$work/null_arguments" >/dev/null

  # shellcheck disable=SC2086
  if $compiler -fsyntax-only "$probes/wchar_sax_handler.cpp" $flags 2>"$work/messages"; then
    echo "$compiler: a wchar_t SAX handler compiles, and would never be called" >&2
    exit 1
  fi
  grep -q 'SAX text is const char16_t\*: write startElement(const char16_t\* uri' "$work/messages" ||
    { echo "$compiler: the wchar_t handler's error does not say what to write:" >&2; cat "$work/messages" >&2; exit 1; }
done
echo "porting probes ok"
