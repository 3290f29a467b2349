#!/bin/sh
# usage: check-install.sh <build dir> <consumer source dir> <source dir>
set -eu
build=$1
consumer=$2
source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
export PKG_CONFIG_PATH=$(find "$work/prefix" -name xtbasis.pc -printf '%h')
libdir=$(pkg-config --variable=libdir xtbasis)

nm -D --defined-only "$libdir/libxtbasis.so.1" | awk '{print $3}' >"$work/names"
# Plain exports beyond the library's own names are the porting kit's
# documented ones.
sh "$source/tests/packaging/check-kit-names.sh" "$work/prefix" "$source/docs/porting.md"

for name in XTTrace XTTraceF SetXTTraceLevel GetLastErrorString GetXTParameter LoadXTString GetXTString \
    SanitizeMailName MailslotSubPath GetWorkstation FindAWindow CopyToClipboard \
    XTStackTrace XTMiniDump XTAssert XTInstallCrashReporter ParallelFor; do
  grep -qx "$name" "$work/names" || { echo "libxtbasis.so.1 does not export $name" >&2; exit 1; }
done

# The crash helper's work stays in its own program: the library needs no
# libpng and holds none of the helper's code (the dump writer, the remote
# walk, the reporter's folder, its XML and PNG attachments, the helper's main).
if readelf -d "$libdir/libxtbasis.so.1" | grep -q 'NEEDED.*libpng'; then
  echo "libxtbasis.so.1 needs libpng" >&2; exit 1
fi
# libxml2 (and the ICU data it brings) is loaded on the first parse.
if readelf -d "$libdir/libxtbasis.so.1" | grep -q 'NEEDED.*libxml2'; then
  echo "libxtbasis.so.1 loads libxml2 at its start" >&2; exit 1
fi
nm -C "$libdir/libxtbasis.so.1" >"$work/all-names"
grep -q 'xtb::Symbolizer::Describe' "$work/all-names" ||
  { echo "nm lists none of the library's own symbols" >&2; exit 1; }
for name in WriteCoreDump KeepsModuleData RunCrashHelperMain DecodeCrashMessage ComposeCrashReport WalkThread \
    CollectCrashReporterFolder RegistryKeyAsXml EncodePng png_create_write_struct; do
  if grep -q "\b$name\b" "$work/all-names"; then
    echo "libxtbasis.so.1 holds the crash helper's $name" >&2; exit 1
  fi
done
helper=$(find "$work/prefix" -name xtbasis-crashhelper -type f)
nm -C "$helper" | grep -q 'xtb::WriteCoreDump' || { echo "the crash helper holds no dump writer" >&2; exit 1; }

# xtbasis.h is the one header a program needs: it includes every other one.
for header in $(cd "$source/include" && find xtbasis -name '*.h' ! -name xtbasis.h ! -path 'xtbasis/win32/*' | sort); do
  grep -qx "#include <$header>" "$source/include/xtbasis/xtbasis.h" ||
    { echo "xtbasis.h does not include $header" >&2; exit 1; }
done

# The installed tool runs as it is, also after the whole tree has moved.
unset LD_LIBRARY_PATH
"$work/prefix/bin/xtbasis" help >"$work/help"
grep -q '^  teeth ' "$work/help" || { echo "xtbasis help lists no commands" >&2; exit 1; }
mv "$work/prefix" "$work/moved"
"$work/moved/bin/xtbasis" teeth 18-28 | grep -q '^normal: *OK$' ||
  { echo "the moved xtbasis does not run" >&2; exit 1; }
mv "$work/moved" "$work/prefix"

# Built as the README says, the programs find the library without help.
c++ -o "$work/hello" "$consumer/main.cpp" $(pkg-config --cflags --libs xtbasis)
"$work/hello"

# A ported program's printf habits, with the registry in a folder of its own.
export XTBASIS_REGISTRY_DIR="$work/registry"
unset DISPLAY WAYLAND_DISPLAY  # a FAIL record's box goes to standard error
for compiler in g++ clang++; do
  mkdir -p "$work/log-$compiler"
  $compiler -o "$work/format-$compiler" "$consumer/format_probe.cpp" $(pkg-config --cflags --libs xtbasis)
  "$work/format-$compiler" "$work/log-$compiler" 2>/dev/null
done

# A CString through the program's own '...' does not compile with the flags.
for compiler in g++ clang++; do
  if $compiler -c -o "$work/varargs.o" "$consumer/varargs_probe.cpp" $(pkg-config --cflags xtbasis) \
      2>"$work/varargs-$compiler.txt"; then
    echo "$compiler compiled a CString passed through '...'" >&2
    exit 1
  fi
  grep -q "non-trivial" "$work/varargs-$compiler.txt" ||
    { echo "$compiler refused the probe for another reason:" >&2; cat "$work/varargs-$compiler.txt" >&2; exit 1; }
done

# find_package with no CMAKE_CXX_STANDARD in the consumer.
cmake -S "$consumer" -B "$work/cmake-consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake-consumer" >/dev/null
"$work/cmake-consumer/hello"
mkdir -p "$work/log-cmake"
"$work/cmake-consumer/format_probe" "$work/log-cmake" 2>/dev/null
if cmake --build "$work/cmake-consumer" --target varargs >/dev/null 2>&1; then
  echo "the CMake target compiled a CString passed through '...'" >&2
  exit 1
fi

# Code as the Windows build had it, compiled with both compilers.
sh "$source/tests/packaging/check-porting.sh" "$work/prefix" "$source/tests/packaging/porting"

# Programs ported from Windows: paths built with '\' and the last-error
# numbers and texts they compare and show.
export XTBASIS_CRASH_HELPER="$(find "$work/prefix" -name xtbasis-crashhelper -type f)"
for probe in backslash_paths last_errors; do
  c++ -std=c++20 -o "$work/$probe" "$source/tests/packaging/porting/$probe.cpp" \
    $(pkg-config --cflags --libs xtbasis) -lgtest -lgtest_main -pthread
  "$work/$probe" >"$work/$probe.log" 2>&1 || { cat "$work/$probe.log" >&2; exit 1; }
done
