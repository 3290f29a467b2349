#!/bin/sh
# usage: check-examples.sh <build dir> <source dir>
# The example programs ported from Windows, as their porter builds and runs
# them: installed library and porting kit in a fresh prefix, each program
# built with pkg-config (g++ and clang++, -Wall -Wextra -Werror) and one with
# CMake's find_package, run without a display with registry, mail folder,
# temporary folder and box answers of their own, outputs compared with the
# expected ones in examples/<name>/expected.
#
# Character sets, as each program keeps its source:
#   empfang     code page 1252, as on Windows: g++ reads it as 1252 and keeps
#               1252 (-finput-charset and -fexec-charset); clang reads only
#               UTF-8 and keeps the bytes of its literals as they are, with a
#               warning that -Wno-invalid-source-encoding silences;
#   abrechnung  UTF-8 with the German letters of its texts as 1252 escapes
#               ("\xe4"): no flag for either compiler;
#   support     UTF-8 with German literals: g++ writes them in 1252
#               (-fexec-charset=CP1252); clang has no other execution
#               character set, so its copy of the source is converted to 1252
#               first and built like empfang.
set -eu
build=$1
source=$(cd "$2" && pwd)
examples=$source/examples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
export PKG_CONFIG_PATH=$(find "$work/prefix" -name xtbasis.pc -printf '%h')
tool=$work/prefix/bin/xtbasis
export XTBASIS_CRASH_HELPER="$(find "$work/prefix" -name xtbasis-crashhelper -type f)"
unset DISPLAY WAYLAND_DISPLAY LD_LIBRARY_PATH XTBASIS_MSGBOX_ANSWER
flags=$(pkg-config --cflags --libs xtbasis-win32)

fail() { echo "$*" >&2; exit 1; }

# Waits up to 10 s for a line holding `text` in `file`.
wait_for() {
  tries=0
  until grep -q "$1" "$2" 2>/dev/null; do
    tries=$((tries + 1))
    [ $tries -le 100 ] || fail "no '$1' in $2 after 10 s"
    sleep 0.1
  done
}

# same <expected> <actual>: the files are equal byte for byte.
same() { diff -u "$1" "$2" >&2 || fail "$2 differs from $1"; }

# build <compiler> <example>: the program $work/<compiler>/<example>.
build() {
  compiler=$1 example=$2
  sources=$examples/$example charset=
  case $example-$compiler in
    empfang-g++) charset="-finput-charset=CP1252 -fexec-charset=CP1252" ;;
    empfang-clang++) charset=-Wno-invalid-source-encoding ;;
    support-g++) charset=-fexec-charset=CP1252 ;;
    support-clang++)
      sources=$work/$compiler/support-1252
      mkdir -p "$sources"
      for file in "$examples/support"/*.cpp "$examples/support"/*.h; do
        iconv -f UTF-8 -t CP1252 "$file" >"$sources/${file##*/}"
      done
      charset=-Wno-invalid-source-encoding ;;
  esac
  mkdir -p "$work/$compiler"
  # shellcheck disable=SC2086
  $compiler -Wall -Wextra -Werror $charset -o "$work/$compiler/$example" "$sources"/*.cpp $flags ||
    fail "$compiler does not build $example"
}

# The reception answers six mails sent by the tool to a listener that plays
# the workstations; one request is unknown and its box is answered Yes.
run_empfang() {
  program=$1 dir=$2
  mkdir -p "$dir/registry" "$dir/mail"
  export XTBASIS_REGISTRY_DIR="$dir/registry" XTBASIS_MAIL_DIR="$dir/mail"
  "$tool" reg import "$examples/empfang/data/empfang.reg" >/dev/null
  timeout 20 "$tool" mail listen Praxis Antwort --count 5 >"$dir/antworten" 2>"$dir/listener" &
  listener=$!
  wait_for "listening on" "$dir/listener"
  (cd "$dir" && XTBASIS_MSGBOX_ANSWER=YES exec timeout 20 "$program" "$examples/empfang/data/empfang.ini" \
    >ausgabe.txt 2>fehler.txt) &
  service=$!
  wait_for "bereit" "$dir/ausgabe.txt"
  for text in '4711;Termin' '4712; wartezimmer' "4713;R$(printf '\366')ntgen" '4714;Zahnschmerzen' \
      '4715;rezept' 'ohne Semikolon'; do
    "$tool" mail send . Empfang USER "$text" || fail "the mail '$text' was not sent"
  done
  wait $service || fail "$program ended with $? ($(cat "$dir/fehler.txt"))"
  wait $listener || fail "the listener got no five answers"
  same "$examples/empfang/expected/ausgabe.txt" "$dir/ausgabe.txt"
  tr -d '\r' <"$dir/Journal/empfang.txt" >"$dir/journal.txt"
  same "$examples/empfang/expected/journal.txt" "$dir/journal.txt"
  cut -f2- "$dir/antworten" >"$dir/antworten.txt"
  same "$examples/empfang/expected/antworten.txt" "$dir/antworten.txt"
  grep -q "Zahnschmerzen" "$dir/fehler.txt" || fail "$program showed no box for the unknown request"
}

# The billing run rejects one of three files (exit code 3); its encrypted sum
# decrypts with openssl to the plain one.
run_abrechnung() {
  program=$1 dir=$2
  key=Quartal-2026-Praxis-Nord-Schl-01
  mkdir -p "$dir/aus"
  status=0
  ABRECHNUNG_SCHLUESSEL=$key "$program" "$examples/abrechnung\\data\\eingang\\" "$dir\\aus" \
    >"$dir/ausgabe.txt" 2>"$dir/fehler.txt" || status=$?
  [ $status -eq 3 ] || fail "$program ended with $status, not 3 ($(cat "$dir/fehler.txt"))"
  same "$examples/abrechnung/expected/ausgabe.txt" "$dir/ausgabe.txt"
  same "$examples/abrechnung/expected/summe.txt" "$dir/aus/summe.txt"
  hex() { od -An -tx1 | tr -d ' \n'; }
  iv=$(printf %s summe.txt | sha256sum | cut -c1-16)
  openssl enc -d -aes-256-cbc -a -A -K "$(printf %s "$key" | hex)" -iv "$(printf %s "$iv" | hex)" \
    -in "$dir/aus/summe.enc" -out "$dir/entschluesselt.txt" || fail "summe.enc does not decrypt"
  same "$dir/aus/summe.txt" "$dir/entschluesselt.txt"
}

# The support package: a TIFF of the two readable scans, the helper
# process's lines, the stack and a dump on demand; its temporary folder
# (with a blank in its name, as Windows' were) is left empty. Its folders
# are given relative: an absolute Linux path begins with '/' and would be
# a switch to ParseCommandLine.
run_support() {
  program=$1 dir=$2
  temp="$dir/Lokale Einstellungen/Temp"
  mkdir -p "$temp" "$dir/Daten" "$dir/paket"
  cp -r "$examples/support/data/scans" "$dir/Daten/"
  status=0
  (cd "$dir" && TMPDIR=$temp TMP=$temp TEMP=$temp exec timeout 30 "$program" 'Daten\scans' paket \
    /stack /dump >ausgabe.txt 2>fehler.txt) || status=$?
  [ $status -eq 0 ] || fail "$program ended with $status ($(cat "$dir/fehler.txt"))"
  # The dump's helper names each module whose data it leaves out on standard output.
  grep -v '^Excluding module data sections: ' "$dir/ausgabe.txt" >"$dir/ausgabe-ohne-abbild.txt" || true
  same "$examples/support/expected/ausgabe.txt" "$dir/ausgabe-ohne-abbild.txt"
  tr -d '\r' <"$dir/paket/bericht.txt" >"$dir/bericht.txt"
  same "$examples/support/expected/bericht.txt" "$dir/bericht.txt"
  grep -q "kaputt.bmp ist kein lesbares Bild" "$dir/fehler.txt" || fail "$program showed no box for kaputt.bmp"
  tiffinfo "$dir/paket/scans.tif" 2>/dev/null >"$dir/tiff.txt"
  [ "$(grep -c 'Image Width' "$dir/tiff.txt")" -eq 2 ] || fail "scans.tif does not have two pages"
  grep -q 'Image Width: 4 Image Length: 2' "$dir/tiff.txt" && grep -q 'Image Width: 3 Image Length: 3' "$dir/tiff.txt" &&
    grep -q 'Resolution: 200, 200 pixels/inch' "$dir/tiff.txt" || { cat "$dir/tiff.txt" >&2; fail "scans.tif has other pages"; }
  grep -q 'CSupportApp::SchreibeStack' "$dir/paket/stack.txt" || fail "stack.txt does not name its caller"
  readelf -h "$dir/paket/support.dmp" | grep -q 'CORE' || fail "support.dmp is no core file"
  [ -z "$(ls -A "$temp")" ] || fail "$program left $(ls -A "$temp") in its temporary folder"
}

for compiler in g++ clang++; do
  for example in empfang abrechnung support; do
    build $compiler $example
    mkdir -p "$work/run/$compiler-$example"
    run_$example "$work/$compiler/$example" "$work/run/$compiler-$example"
  done
done

# find_package and xtbasis::win32, with _DEBUG as a debug build of the
# Windows project had it (DEBUG_NEW in place of new).
cmake -S "$examples" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_CXX_FLAGS=-D_DEBUG >/dev/null
cmake --build "$work/cmake" --target abrechnung >/dev/null || fail "CMake does not build abrechnung"
mkdir -p "$work/run/cmake-abrechnung"
run_abrechnung "$work/cmake/abrechnung" "$work/run/cmake-abrechnung"
echo "examples ok"
