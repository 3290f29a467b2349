#!/bin/sh
# usage: check-kit-names-test.sh <packaging test dir>
# The names check refuses what it is there to refuse: a library of planted
# exports (an undocumented kit name, a name no header declares) and a list
# that names what the kit does not declare; it passes the same library once
# the list is right.
set -eu
checks=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

prefix=$work/prefix
mkdir -p "$prefix/lib" "$prefix/include/xtbasis/win32/system"
cat >"$prefix/include/xtbasis/trace.h" <<'EOF'
// The library's own name; the kit's GetPlantedNameA is only mentioned here.
extern "C" void XTPlantedTrace(void);
EOF
cat >"$prefix/include/xtbasis/win32/planted.h" <<'EOF'
extern "C" unsigned long GetPlantedNameA(char* buffer, unsigned long size);
#define GetPlantedName GetPlantedNameA
#define PLANTED_MACRO 1
EOF
cat >"$work/library.c" <<'EOF'
void XTPlantedTrace(void) {}
unsigned long GetPlantedNameA(char* buffer, unsigned long size) { (void)buffer; return size; }
EOF

# check <page> <expected message or "ok">
check() {
  if sh "$checks/check-kit-names.sh" "$prefix" "$1" >"$work/out" 2>&1; then
    [ "$2" = ok ] || { echo "the names check passed $1 with $(cat "$work/out")" >&2; exit 1; }
  else
    grep -q "$2" "$work/out" || { echo "the names check failed $1 for another reason:" >&2; cat "$work/out" >&2; exit 1; }
  fi
}

cc -shared -fPIC -o "$prefix/lib/libxtbasis.so.1" "$work/library.c"
printf '%s\n' '<!-- kit-names -->' '- Planted: `PLANTED_MACRO`' '<!-- /kit-names -->' >"$work/undocumented.md"
check "$work/undocumented.md" 'exports the kit.s GetPlantedNameA, which .* does not list'
printf '%s\n' '<!-- kit-names -->' '- Planted: `GetPlantedName`, `PLANTED_MACRO`, `GetVanishedName`' '<!-- /kit-names -->' \
  >"$work/stale.md"
check "$work/stale.md" 'lists GetVanishedName, which the kit.s headers do not declare'
printf '%s\n' '# Page' '<!-- kit-names -->' '- Planted (`planted.h`): `GetPlantedName`, `PLANTED_MACRO`' '<!-- /kit-names -->' \
  >"$work/right.md"
check "$work/right.md" ok

printf '%s\n' 'int PlantedUndeclared(void) { return 1; }' >>"$work/library.c"
cc -shared -fPIC -o "$prefix/lib/libxtbasis.so.1" "$work/library.c"
check "$work/right.md" 'exports PlantedUndeclared, which no public header declares'
echo "names check refuses planted names"
