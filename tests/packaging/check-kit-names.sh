#!/bin/sh
# usage: check-kit-names.sh <installed prefix> <porting page>
# What a program sees of the porting kit without opting in: the plain
# (unmangled) names that libxtbasis.so.1 exports. Each must be declared in a
# public header; one declared only in the kit's headers (xtbasis/win32/) must
# be among the kit's names that the porting page lists between the lines
# <!-- kit-names --> and <!-- /kit-names --> (as `Name`; an export `NameA`
# is the listed `Name`'s 8-bit form). Each listed name must be declared in
# the kit's headers, so that the list does not go stale.
set -eu
prefix=$1
page=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

library=$(find "$prefix" -name libxtbasis.so.1 | head -n 1)
include=$(find "$prefix" -type d -path '*/include/xtbasis' | head -n 1)
[ -n "$library" ] && [ -n "$include" ] || { echo "no libxtbasis.so.1 or include/xtbasis in $prefix" >&2; exit 1; }

# The linker's own symbols are no names of the library; sigaction, signal
# and pthread_create are the C library's, which the library stands in front
# of so that no one removes the crash report's handlers and every thread has
# a stack for them (crashreport.h).
nm -D --defined-only "$library" | awk '{print $NF}' | grep -v '^_Z' |
  grep -vxE '_init|_fini|_edata|_end|__bss_start|sigaction|signal|pthread_create' | sort -u >"$work/exports"
[ -s "$work/exports" ] || { echo "nm lists no plain export of $library" >&2; exit 1; }

# The identifiers of headers, comments left out (g++ strips them without
# expanding anything).
identifiers() {
  for header in "$@"; do
    g++ -fpreprocessed -dD -E -P -x c++ "$header" 2>/dev/null
  done | grep -o '[A-Za-z_][A-Za-z0-9_]*' | sort -u
}
identifiers $(find "$include/win32" -name '*.h') >"$work/kit"
identifiers $(find "$include" -name '*.h' ! -path "$include/win32/*") >"$work/library"

# The page's list: every `identifier` between the markers.
sed -n '/^<!-- kit-names/,/^<!-- \/kit-names -->/p' "$page" | grep -o '`[A-Za-z_][A-Za-z0-9_]*`' | tr -d '`' |
  sort -u >"$work/listed"
[ -s "$work/listed" ] || { echo "$page lists none of the kit's names (<!-- kit-names --> ... <!-- /kit-names -->)" >&2; exit 1; }

failed=0
while read -r name; do
  grep -qx "$name" "$work/library" && continue
  if ! grep -qx "$name" "$work/kit"; then
    echo "libxtbasis.so.1 exports $name, which no public header declares" >&2
    failed=1
  elif ! grep -qx "$name" "$work/listed" && ! { [ "${name%A}" != "$name" ] && grep -qx "${name%A}" "$work/listed"; }; then
    echo "libxtbasis.so.1 exports the kit's $name, which $page does not list" >&2
    failed=1
  fi
done <"$work/exports"
while read -r name; do
  grep -qx "$name" "$work/kit" || { echo "$page lists $name, which the kit's headers do not declare" >&2; failed=1; }
done <"$work/listed"
[ $failed -eq 0 ] || exit 1
echo "kit names ok: $(wc -l <"$work/exports") plain exports, $(wc -l <"$work/listed") kit names listed"
